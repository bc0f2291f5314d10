#include "find_bar.h"

#include "core/find_text.h"
#include "core/task_store.h"
#include "skin/skin_colors.h"
#include "skin/skin_params.h"
#include "ui/fit_text.h"
#include "ui/main_layout.h"
#include "ui/task_list.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QShortcut>
#include <algorithm>

namespace quill {

namespace {
constexpr int kGap = 2; // between the field and the list
} // namespace

FindBar::FindBar(QWidget* parent, TaskStore& store, TTaskList& list, const SkinParams& params)
    : QWidget(parent), store_(store), list_(list), params_(params) {
    setObjectName(QStringLiteral("FindBar"));
    auto* label = new QLabel(QStringLiteral("Find:"), this);
    label->setObjectName(QStringLiteral("FindLabel"));
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("FindEdit"));
    edit_->setAccessibleName(QStringLiteral("Find tasks"));
    edit_->setPlaceholderText(QStringLiteral("title or description"));
    label->setBuddy(edit_);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(label);
    row->addWidget(edit_, 1);
    hide();

    connect(edit_, &QLineEdit::textChanged, this, &FindBar::textEdited);
    edit_->installEventFilter(this);
    list_.StringGrid1->installEventFilter(this);
    auto* shortcut = new QShortcut(QKeySequence::Find, parent->window());
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, &FindBar::Open);
    // A change saved while the field is open is saved again in the list's own
    // order when the window closes.
    parent->window()->installEventFilter(this);
}

void FindBar::AddMenuItem(QMenu* menu) {
    QAction* item = menu->addAction(QStringLiteral("Find..."), this, &FindBar::Open);
    item->setObjectName(QStringLiteral("Find1"));
}

bool FindBar::HasKeys() const {
    return open_ && edit_->hasFocus();
}

uint64_t FindBar::currentKey() const {
    const int32_t row = list_.CurrentTaskIndex;
    if (row < 0 || row >= store_.VisibleTaskCount || row >= store_.TaskCount())
        return 0;
    return store_.Tasks[static_cast<size_t>(row)].Key;
}

// The row of the task with `key`, else of `fallback`, else the first.
void FindBar::showRowOf(uint64_t key, uint64_t fallback) {
    int32_t row = 0;
    for (const uint64_t wanted : {key, fallback}) {
        const int32_t at = wanted ? FindTaskByKey(store_, wanted) : -1;
        if (at >= 0 && at < store_.VisibleTaskCount) {
            row = at;
            break;
        }
    }
    list_.SetupGridColumns();
    list_.ResetListInput();
    if (store_.VisibleTaskCount > 0) {
        list_.StringGrid1->SetRow(row);
        list_.SelectedRow = row;
        list_.CurrentTaskIndex = row;
    }
    list_.Repaint();
}

void FindBar::Open() {
    if (!open_) {
        openedOn_ = currentKey();
        placedOn_ = openedOn_;
        finder_.Remember(store_);
        finder_.SetText({});
        changed_ = false;
        open_ = true;
        applyLook();
        show();
        Q_EMIT LayoutChanged();
    }
    edit_->setFocus(Qt::ShortcutFocusReason);
    edit_->selectAll();
}

void FindBar::Close() {
    if (!open_)
        return;
    // A task the user went to in the narrowed list stays current; otherwise
    // the one that was current before.
    const uint64_t now = currentKey();
    const bool moved = now != placedOn_;
    open_ = false;
    finder_.Widen(store_);
    list_.SetMarkedText({});
    {
        const QSignalBlocker quiet(edit_);
        edit_->clear();
    }
    hide();
    Q_EMIT LayoutChanged();
    showRowOf(moved ? now : openedOn_, now);
    list_.StringGrid1->setFocus(Qt::OtherFocusReason);
    Q_EMIT Closed(changed_);
}

void FindBar::textEdited(const QString& text) {
    if (!open_)
        return;
    if (text.isEmpty()) {
        Close();
        return;
    }
    const uint64_t current = currentKey();
    finder_.SetText(text.toStdString());
    finder_.NarrowAgain(store_);
    list_.SetMarkedText(finder_.FoldedText());
    showRowOf(current, 0);
    placedOn_ = currentKey();
}

void FindBar::Sort(const std::function<void()>& sortWholeList) {
    if (!open_) {
        sortWholeList();
        return;
    }
    finder_.Widen(store_);
    sortWholeList();
    finder_.Remember(store_);
    finder_.NarrowAgain(store_);
    changed_ = true;
}

void FindBar::Place(MainLayout& layout) {
    if (!open_)
        return;
    applyLook();
    const int height = std::max(edit_->sizeHint().height(), fontMetrics().height() + 6);
    const int right = std::max(layout.list.right(), layout.scrollBar.right());
    setGeometry(layout.list.left(), layout.list.top(), right - layout.list.left() + 1, height);
    const int take = std::min(height + kGap, layout.list.height());
    layout.list.setTop(layout.list.top() + take);
    layout.scrollBar.setTop(layout.scrollBar.top() + take);
}

// The list's font, its background and text colours, the skin's grid-line
// colour as the frame.
void FindBar::applyLook() {
    const QPalette& listPalette = list_.StringGrid1->palette();
    const QColor background = list_.BackgroundColor();
    const QColor text = listPalette.color(QPalette::Text);
    const QColor frame = SkinColorToQColor(params_.GridLineColor, listPalette, Qt::gray);
    const QColor mark = SkinColorToQColor(params_.SellectBarColor, listPalette, Qt::gray);
    setFont(list_.ListFont());
    setStyleSheet(QStringLiteral("QLabel { color: %2; background: transparent; }"
                                 "QLineEdit { background: %1; color: %2; border: 1px solid %3;"
                                 " padding: 1px 3px; selection-background-color: %4; }")
                      .arg(background.name(), text.name(), frame.name(), mark.name()));
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && watched == parentWidget()->window()) {
        Close();
        return false;
    }
    if (!open_ || event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        Close();
        return true;
    }
    if (watched != edit_)
        return false;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // The field keeps the keys while Up and Down walk the narrowed list.
        QKeyEvent copy(key->type(), key->key(), key->modifiers(), key->text());
        QCoreApplication::sendEvent(list_.StringGrid1, &copy);
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Space, Enter and Delete then act on the narrowed list.
        list_.StringGrid1->setFocus(Qt::OtherFocusReason);
        return true;
    default:
        return false;
    }
}

void DrawFoundMark(QPainter& canvas, const std::string& title, std::string_view foldedText,
                   const QString& shown, const QFontMetrics& metrics, int x, int top, int height,
                   const QColor& band, const QColor& line) {
    const FoundSpan span = FindFolded(title, foldedText);
    if (!span.found)
        return;
    const QString whole = DecodeTitle(title);
    // A shortened title ends in "...": the mark stops where the letters do.
    const int shownWidth =
        metrics.horizontalAdvance(shown.size() < whole.size() ? shown.chopped(3) : shown);
    const int from = metrics.horizontalAdvance(DecodeTitle(title.substr(0, span.begin)));
    const int to = from + metrics.horizontalAdvance(
                              DecodeTitle(title.substr(span.begin, span.end - span.begin)));
    const int right = std::min(to, shownWidth);
    if (right <= from)
        return;
    canvas.fillRect(QRect(x + from, top + 1, right - from, height - 2), band);
    canvas.fillRect(QRect(x + from, top + height - 3, right - from, 1), line);
}

} // namespace quill
