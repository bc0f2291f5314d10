#include "add_category_form.h"

#include "mark_grid.h"
#include "skin/skin_label.h"
#include "skin/skin_pictures.h"

#include <QLineEdit>
#include <QPainter>

namespace quill {

namespace {
constexpr int kMarkCount = 10;
constexpr int kMarkCell = 16;
constexpr int kLeft = 16;
constexpr int kWidth = 224 - 2 * kLeft;
} // namespace

TAddCategoryForm::TAddCategoryForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("AddCategoryForm"));
    setWindowTitle(QStringLiteral("Category"));
    SetClientSize(224, 169);
    SetKeyPreview(true);
    QFont font(QStringLiteral("Verdana"));
    font.setPointSize(8);
    setFont(font);

    QWidget* c = Client();
    SkinLabel1 = new TSkinLabel(c);
    SkinLabel1->setObjectName(QStringLiteral("SkinLabel1"));
    SkinLabel1->setGeometry(kLeft, 12, kWidth, 16);
    Edit1 = new QLineEdit(c);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(kLeft, 30, kWidth, 22);
    SkinLabel2 = new TSkinLabel(c);
    SkinLabel2->setObjectName(QStringLiteral("SkinLabel2"));
    SkinLabel2->setGeometry(kLeft, 64, kWidth, 16);
    StringGrid1 = new TMarkGrid(kMarkCount, kMarkCell, c);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->move(kLeft, 84);
    connect(StringGrid1, &TMarkGrid::DrawCell, this,
            [this](QPainter& p, int col, const QRect& r) { StringGrid1DrawCell(p, col, r); });
    setTabOrder(Edit1, StringGrid1);
    SkinLabel1->setBuddy(Edit1);
    SkinLabel2->setBuddy(StringGrid1);
    SkinLabel1->SetCaption(QStringLiteral("Category Name:"));
    SkinLabel2->SetCaption(QStringLiteral("Select Icon:"));
    SetSkinTemplate(QStringLiteral("AddCategoryForm"),
                    {{SkinLabel1, QStringLiteral("Label")}, {SkinLabel2, QStringLiteral("Label")}});
}

TAddCategoryForm::~TAddCategoryForm() = default;

void TAddCategoryForm::SetPictures(const SkinPictures* pictures) {
    pictures_ = pictures;
    StringGrid1->update();
}

void TAddCategoryForm::Prepare(const QString& name, int mark) {
    Edit1->setText(name);
    StringGrid1->SetCol(mark);
}

QString TAddCategoryForm::Name() const {
    return Edit1->text();
}

void TAddCategoryForm::SetGridColor(const QColor& color) {
    StringGrid1->SetColor(color);
}

int TAddCategoryForm::Mark() const {
    return StringGrid1->Col();
}

void TAddCategoryForm::FormActivate() {
    SkinLabel1->SetCaption(QStringLiteral("Category Name:"));
    SkinLabel2->SetCaption(QStringLiteral("Select Icon:"));
    Edit1->setFocus(Qt::OtherFocusReason);
    Edit1->selectAll(); // typing replaces the proposed name
}

void TAddCategoryForm::StringGrid1DrawCell(QPainter& canvas, int ACol, const QRect& Rect) {
    // Only the chosen mark is framed; the others get an outline in the background
    // colour, which rubs out the frame a previous choice left.
    // The frame is black, or the text colour where black would not show (a dark skin).
    const QColor background = StringGrid1->Color();
    const QColor frame =
        background.lightness() >= 128 ? QColor(Qt::black) : palette().color(QPalette::Text);
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(ACol == StringGrid1->Col() ? frame : background);
    canvas.drawRect(Rect.adjusted(0, 0, -1, -1));
    if (!pictures_ || ACol < 0 || ACol >= static_cast<int>(pictures_->CategoryMarks.size()))
        return;
    const QPixmap& mark = pictures_->CategoryMarks[static_cast<size_t>(ACol)];
    if (mark.isNull())
        return;
    const QSize size = mark.deviceIndependentSize().toSize();
    canvas.drawPixmap(Rect.left() + (Rect.width() - size.width()) / 2,
                      Rect.top() + (Rect.height() - size.height()) / 2, mark);
}

bool TAddCategoryForm::FormKeyDown(QKeyEvent* event) {
    return CloseOnEnterOrEscape(event);
}

} // namespace quill
