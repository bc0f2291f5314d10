#include "categories_form.h"

#include "core/live_options.h"
#include "core/task_store.h"
#include "skin/skin_colors.h"
#include "skin/skin_params.h"
#include "skin/skin_pictures.h"
#include "ui/fit_text.h"
#include "ui/list_font.h"
#include "widgets/string_grid.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

namespace quill {

namespace {
constexpr int kScrollBarWidth = 15;
constexpr int kNameIndent = 2;
} // namespace

TCategoriesForm::TCategoriesForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("CategoriesForm"));
    setWindowTitle(QStringLiteral("Categories"));
    SetClientSize(317, 372);
    SetKeyPreview(true);

    QWidget* c = Client();
    StringGrid1 = new TStringGrid(c);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->SetColCount(2);
    StringGrid1->SetRowCount(0);
    StringGrid1->setFont(QFont(QStringLiteral("Verdana")));
    StringGrid1->setAccessibleName(QStringLiteral("Categories"));
    StringGrid1->SetCellSource(this);

    ScrollBar1 = new QScrollBar(Qt::Vertical, c);
    ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
    ScrollBar1->setRange(0, 0);
    ScrollBar1->setSingleStep(1);
    ScrollBar1->setFocusPolicy(Qt::NoFocus);
    ScrollBar1->hide();

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    AddCategoriesMenu = PopupMenu1->addAction(QStringLiteral("Add Category..."));
    RemoveCategoriesMenu = PopupMenu1->addAction(QStringLiteral("Delete Category..."));
    EditCategoriesMenu = PopupMenu1->addAction(QStringLiteral("Edit Category..."));
    AddCategoriesMenu->setObjectName(QStringLiteral("AddCategoriesMenu"));
    RemoveCategoriesMenu->setObjectName(QStringLiteral("RemoveCategoriesMenu"));
    EditCategoriesMenu->setObjectName(QStringLiteral("EditCategoriesMenu"));
    StringGrid1->SetPopupMenu(PopupMenu1);

    connect(AddCategoriesMenu, &QAction::triggered, this, [this] { AddCategoriesMenuClick(); });
    connect(RemoveCategoriesMenu, &QAction::triggered, this,
            [this] { RemoveCategoriesMenuClick(); });
    connect(EditCategoriesMenu, &QAction::triggered, this, [this] { EditCategoriesMenuClick(); });
    connect(StringGrid1, &TStringGrid::DrawCell, this, &TCategoriesForm::StringGrid1DrawCell);
    connect(StringGrid1, &TStringGrid::SelectCell, this, &TCategoriesForm::StringGrid1SelectCell);
    connect(StringGrid1, &TStringGrid::Click, this, &TCategoriesForm::StringGrid1Click);
    connect(StringGrid1, &TStringGrid::DblClick, this, &TCategoriesForm::StringGrid1DblClick);
    connect(StringGrid1, &TStringGrid::MouseDown, this, &TCategoriesForm::StringGrid1MouseDown);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &TCategoriesForm::ScrollBar1Change);
    connect(this, &TForm::ClientResized, this, [this] { FormResize(); });
    SetSkinTemplate(QStringLiteral("CategoriesForm"), {{ScrollBar1, QStringLiteral("VScrollBar")}});
}

TCategoriesForm::~TCategoriesForm() {
    // The grid, a child, outlives this part of the window.
    StringGrid1->SetCellSource(nullptr);
}

QString TCategoriesForm::ColumnTitle(int col) const {
    return col == 0 ? QStringLiteral("Name") : QStringLiteral("Mark");
}

QString TCategoriesForm::CellText(int col, int row) const {
    if (row < 0 || row >= categoryCount())
        return QString();
    const TCATEGORY& category = store_->Categories[static_cast<size_t>(row)];
    // The marks as the category dialog says them.
    return col == 0 ? DecodeTitle(category.Name)
                    : QStringLiteral("Mark %1").arg(category.ColorIndex + 1);
}

void TCategoriesForm::SetSources(const TaskStore* store, const SkinParams* params,
                                 const SkinPictures* pictures, const LiveOptions* options) {
    store_ = store;
    params_ = params;
    pictures_ = pictures;
    options_ = options;
    FormResize();
}

void TCategoriesForm::SetGridColor(const QColor& color) {
    StringGrid1->SetColor(color);
}

int TCategoriesForm::categoryCount() const {
    return store_ ? static_cast<int>(store_->Categories.size()) : 0;
}

int TCategoriesForm::CurrentRow() const {
    return StringGrid1->Row();
}

void TCategoriesForm::RepaintRows() {
    StringGrid1->update();
}

void TCategoriesForm::FormShow() {
    FormResize();
    // The arrow keys and Delete work on the list from the start.
    StringGrid1->setFocus(Qt::OtherFocusReason);
}

void TCategoriesForm::SetupGridColumns() {
    if (params_)
        StringGrid1->SetDefaultRowHeight(
            QFontMetrics(MakeListFont(*params_), StringGrid1).height());
    StringGrid1->SetRowCount(categoryCount());
    ScrollBar1->setMaximum(StringGrid1->RowCount() - 1);
    ScrollBar1->setVisible(StringGrid1->RowCount() >= 11);
    FormResize();
}

void TCategoriesForm::FormResize() {
    if (!params_)
        return;
    const QSize client = ClientSize();
    const int w = client.width();
    const int h = client.height();
    const int top = params_->TaskTopTab;
    const int height = std::max(0, h - params_->TaskBottomTab);
    const int barLeft = w - (kScrollBarWidth + params_->TaskRightTab);
    const int gridWidth = std::max(0, barLeft - (params_->TaskLeftTab + params_->TabBetweenTS));
    StringGrid1->setGeometry(params_->TaskLeftTab, top, gridWidth, height);
    ScrollBar1->setGeometry(barLeft, top, kScrollBarWidth, height);
    ScrollBar1->setPageStep(StringGrid1->VisibleRowCount());
    // The mark column is as wide as the first mark; the name takes the rest.
    const int markWidth =
        pictures_ ? pictures_->CategoryMarks[0].deviceIndependentSize().toSize().width() : 0;
    StringGrid1->SetColWidth(1, markWidth);
    StringGrid1->SetColWidth(0, gridWidth - markWidth);
}

void TCategoriesForm::StringGrid1DrawCell(QPainter& canvas, int ACol, int ARow, const QRect& Rect,
                                          GridDrawState) {
    const QColor background = StringGrid1->Color();
    canvas.fillRect(Rect, background);
    if (!store_ || !params_ || ARow < 0 || ARow >= categoryCount())
        return;
    const QPalette& palette = StringGrid1->palette();
    auto color = [&palette](TColor c) { return SkinColorToQColor(c, palette, Qt::black); };
    canvas.fillRect(Rect,
                    ARow == StringGrid1->Row() ? color(params_->SellectBarColor) : background);
    const TCATEGORY& category = store_->Categories[static_cast<size_t>(ARow)];
    const int left = Rect.x(), top = Rect.y();
    const int right = Rect.x() + Rect.width(), bottom = Rect.y() + Rect.height();

    if (ACol == 0) {
        const QFont font = MakeListFont(*params_);
        const QFontMetrics metrics(font, StringGrid1);
        canvas.setFont(font);
        canvas.setPen(palette.color(QPalette::Text));
        const QString text =
            FitTextToWidthFast(DecodeTitle(category.Name), font, metrics, Rect.width());
        const int y = (top + bottom - metrics.height()) / 2;
        canvas.setClipRect(Rect);
        canvas.drawText(left + kNameIndent, y + metrics.ascent(), text);
    } else if (ACol == 1 && pictures_ && category.ColorIndex >= 0 &&
               category.ColorIndex < static_cast<int>(pictures_->CategoryMarks.size())) {
        const QPixmap& mark = pictures_->CategoryMarks[static_cast<size_t>(category.ColorIndex)];
        if (!mark.isNull()) {
            const QSize size = mark.deviceIndependentSize().toSize();
            canvas.drawPixmap(left + (StringGrid1->ColWidth(ACol) - size.width()) / 2,
                              top + (StringGrid1->RowHeights(ARow) - size.height()) / 2, mark);
        }
    }

    if (!options_ || !options_->ShowGrid())
        return;
    // Each line covers its first point up to, not including, its second.
    const QColor pen = color(params_->GridLineColor);
    canvas.fillRect(QRect(left, top, right - left, 1), pen);
    canvas.fillRect(QRect(left, top, 1, bottom - top), pen);
    if (ACol == StringGrid1->ColCount() - 1)
        canvas.fillRect(QRect(right - 1, top, 1, bottom - top), pen);
    if (ARow == StringGrid1->RowCount() - 1)
        canvas.fillRect(QRect(left, bottom - 1, right - left, 1), pen);
}

void TCategoriesForm::StringGrid1SelectCell(int, int ARow, bool* CanSelect) {
    ScrollBar1->setValue(ARow);
    CategoryCellSelectedSinceMouseDown = true;
    if (CanSelect)
        *CanSelect = true;
}

void TCategoriesForm::StringGrid1Click() {
    StringGrid1->SetPopupMenu(PopupMenu1);
    RemoveCategoriesMenu->setVisible(true);
    EditCategoriesMenu->setVisible(true);
}

void TCategoriesForm::StringGrid1DblClick() {
    // The grid reports no second selection when the first click of the pair hit
    // the mark column (it is the row's anchor); a press that landed on a row counts
    // as well, so a double-click anywhere on a row edits it.
    if ((CategoryCellSelectedSinceMouseDown || pressedOnRow_) && categoryCount() > 0 &&
        actions_.editCategory)
        actions_.editCategory(StringGrid1->Row());
    CategoryCellSelectedSinceMouseDown = false;
    pressedOnRow_ = false;
}

void TCategoriesForm::StringGrid1MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, int X,
                                           int Y) {
    CategoryCellSelectedSinceMouseDown = false;
    int col = 0, row = 0;
    pressedOnRow_ = Button == Qt::LeftButton && StringGrid1->MouseToCell(QPoint(X, Y), col, row);
    RemoveCategoriesMenu->setVisible(false);
    EditCategoriesMenu->setVisible(false);
    // The row under the pointer becomes current (and the click shows the row's
    // menu items) before the right button's release opens the menu.
    if (Button == Qt::RightButton)
        StringGrid1->QueueLeftClick(QPoint(X, Y));
}

void TCategoriesForm::ScrollBar1Change(int value) {
    StringGrid1->SetRow(value);
}

bool TCategoriesForm::FormKeyDown(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Delete:
        if (categoryCount() > 0 && actions_.deleteCategory)
            actions_.deleteCategory(StringGrid1->Row());
        return true;
    case Qt::Key_Escape:
        if (actions_.closeWindow)
            actions_.closeWindow();
        return true;
    default:
        return false;
    }
}

void TCategoriesForm::AddCategoriesMenuClick() {
    if (actions_.addCategory)
        actions_.addCategory();
}

void TCategoriesForm::RemoveCategoriesMenuClick() {
    if (categoryCount() > 0 && actions_.deleteCategory)
        actions_.deleteCategory(StringGrid1->Row());
}

void TCategoriesForm::EditCategoriesMenuClick() {
    if (categoryCount() > 0 && actions_.editCategory)
        actions_.editCategory(StringGrid1->Row());
}

} // namespace quill
