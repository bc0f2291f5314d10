#include "app_error_handler.h"

#include <QApplication>
#include <QMessageBox>

namespace quill {

namespace {
ErrorPresenter& Presenter() {
    static ErrorPresenter presenter;
    return presenter;
}

void ShowMessageBox(const QString& message) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kAppTitle), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}
} // namespace

void ShowAppError(const QString& message) {
    if (const ErrorPresenter& presenter = Presenter())
        presenter(message);
    else
        ShowMessageBox(message);
}

ErrorPresenter SetErrorPresenter(ErrorPresenter presenter) {
    ErrorPresenter previous = std::move(Presenter());
    Presenter() = std::move(presenter);
    return previous;
}

} // namespace quill
