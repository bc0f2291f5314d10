#include "message_form.h"

#include "message_layout.h"
#include "message_pictures.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <utility>

namespace quill {

namespace {
QPointer<TMessageForm> g_instance;
std::function<TMessageForm*()> g_maker;

QFont DialogFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    return font;
}
} // namespace

TMessageForm::TMessageForm(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("MessageForm"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    SetKeyPreview(true);

    QWidget* client = Client();
    Button1 = new QPushButton(QStringLiteral("OK"), client);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->resize(83, 23);
    Button2 = new QPushButton(QStringLiteral("No"), client);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->resize(81, 23);

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    // The pictures are drawn when first needed (Prepare): the dialog is made at start-up.
    Image1->setGeometry(3, 6, 45, 39);
    Image1->setAttribute(Qt::WA_TranslucentBackground);

    Label1 = new QLabel(client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(false);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setMargin(0);
    Label1->setIndent(0);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Image2 = new QLabel(client);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(2, 5, 46, 41);
    Image2->setAttribute(Qt::WA_TranslucentBackground);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    if (!g_instance)
        g_instance = this;
}

TMessageForm::~TMessageForm() = default;

TMessageForm* TMessageForm::Instance() {
    if (!g_instance && g_maker)
        g_instance = std::exchange(g_maker, nullptr)();
    return g_instance.data();
}

void TMessageForm::SetMaker(std::function<TMessageForm*()> maker) {
    g_maker = std::move(maker);
}

void TMessageForm::Prepare(const QString& text, const QString& caption, int kind) {
    setWindowTitle(caption);
    // Read out with the caption when the message opens.
    setAccessibleDescription(text);
    Label1->setFont(DialogFont());
    Label1->setText(text);
    const QSize textSize = Label1->fontMetrics().size(Qt::TextExpandTabs, text);
    Label1->resize(textSize);

    MessageLayoutInput in;
    in.labelWidth = textSize.width();
    in.labelHeight = textSize.height();
    in.kind = kind;
    // The outer width is known once the window manager has framed the window.
    in.frameWidth = isVisible() || testAttribute(Qt::WA_WState_Created)
                        ? std::max(0, frameGeometry().width() - width())
                        : 0;
    in.frameWidth += FrameMargins().left() + FrameMargins().right();
    in.image1Width = Image1->width();
    in.button1Width = Button1->width();
    in.button1Height = Button1->height();
    in.button2Width = Button2->width();
    in.button2Height = Button2->height();
    const MessageLayout layout = ComputeMessageLayout(in);

    SetClientSize(layout.clientWidth, layout.clientHeight);
    Label1->move(layout.labelLeft, layout.labelTop);
    Button1->move(layout.button1Left, layout.button1Top);
    Button1->setText(layout.button1Caption);
    Button2->move(layout.button2Left, layout.button2Top);
    Button1->show();
    Button2->setVisible(layout.question);
    QLabel* picture = layout.question ? Image1 : Image2;
    if (picture->pixmap().isNull())
        picture->setPixmap(layout.question ? MakeQuestionPicture() : MakeErrorPicture());
    Image1->setVisible(layout.question);
    Image2->setVisible(!layout.question);

    // Centred on the screen, like the system's own message boxes.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

bool TMessageForm::ShowMessageDialog(const QString& text, const QString& caption, int kind) {
    Prepare(text, caption, kind);
    return ShowModal() == mrOk;
}

void TMessageForm::Button1Click() {
    SetModalResult(mrOk);
}
void TMessageForm::Button2Click() {
    SetModalResult(mrCancel);
}

void TMessageForm::FormShow() {
    Button1->setFocus(Qt::OtherFocusReason);
}

bool TMessageForm::FormKeyDown(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        SetModalResult(mrCancel);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the button that has the focus, the first one otherwise.
        if (Button2->isVisible() && Button2->hasFocus())
            Button2Click();
        else
            Button1Click();
        return true;
    default:
        return false;
    }
}

bool ShowMessageDialog(const QString& text, const QString& caption, int kind) {
    if (TMessageForm* form = TMessageForm::Instance())
        return form->ShowMessageDialog(text, caption, kind);
    TMessageForm passing;
    return passing.ShowMessageDialog(text, caption, kind);
}

} // namespace quill
