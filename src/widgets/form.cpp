#include "form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>

namespace quill {

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
}

TForm::~TForm() {
    if (filterInstalled_)
        qApp->removeEventFilter(this);
}

void TForm::SetClientSize(int width, int height) {
    resize(width + frameMargins_.left() + frameMargins_.right(),
           height + frameMargins_.top() + frameMargins_.bottom());
    placeClient();
}

QSize TForm::ClientSize() const {
    return client_->size();
}

void TForm::SetFrameMargins(const QMargins& margins) {
    if (keepOuterSize_) {
        frameMargins_ = margins;
        placeClient();
        return;
    }
    const QSize client = ClientSize();
    frameMargins_ = margins;
    SetClientSize(client.width(), client.height());
}

int TForm::ShowModal() {
    if (modalLoop_)
        return mrNone;
    modalResult_ = mrNone;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    modalLoop_ = &loop;
    if (modalResult_ == mrNone && isVisible())
        loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
    FormClose(modalResult_);
    hide();
    setWindowModality(Qt::NonModal);
    if (modalResult_ == mrNone)
        modalResult_ = mrCancel;
    return modalResult_;
}

void TForm::SetModalResult(int result) {
    modalResult_ = result;
    if (modalLoop_)
        modalLoop_->quit();
}

bool TForm::CloseOnEnterOrEscape(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return: // the main keyboard's Enter
    case Qt::Key_Enter:  // the keypad's
        SetModalResult(mrOk);
        return true;
    case Qt::Key_Escape:
        SetModalResult(mrCancel);
        return true;
    default:
        return false;
    }
}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!filterInstalled_) {
        qApp->installEventFilter(this);
        filterInstalled_ = true;
    }
    Q_EMIT Showing();
    FormShow();
}

void TForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // A modal window hidden from outside ends its modal showing.
    if (modalLoop_ && !event->spontaneous()) {
        if (modalResult_ == mrNone)
            modalResult_ = mrCancel;
        modalLoop_->quit();
    }
}

void TForm::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    if (modalLoop_) {
        if (modalResult_ == mrNone)
            modalResult_ = mrCancel;
        modalLoop_->quit();
    }
}

void TForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeClient();
}

void TForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        FormActivate();
        Q_EMIT Activated();
    }
}

bool TForm::ownsWidget(QObject* object) const {
    for (auto* w = qobject_cast<QWidget*>(object); w; w = w->parentWidget()) {
        if (w == this)
            return true;
        if (w->isWindow())
            return false;
    }
    return false;
}

bool TForm::eventFilter(QObject* watched, QEvent* event) {
    if (!keyPreview_ || !isVisible())
        return QWidget::eventFilter(watched, event);
    const auto type = event->type();
    // A key travels up the parents when the focused control ignores it; preview it
    // only at its first receiver.
    QWidget* first = QApplication::focusWidget();
    if (!first || !ownsWidget(first))
        first = this;
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched == first) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (type == QEvent::KeyPress) {
            if (FormKeyDown(key))
                return true;
            if (!key->text().isEmpty() && FormKeyPress(key))
                return true;
        } else if (FormKeyUp(key)) {
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm::placeClient() {
    client_->setGeometry(rect().marginsRemoved(frameMargins_));
    Q_EMIT ClientResized();
}

} // namespace quill
