#include "app_error_handler.h"

#include "core/app_error.h"

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

QString CaptureAppError(const std::function<void()>& step) {
    try {
        step();
    } catch (const AppError& error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

bool ReportErrors(const std::function<void()>& command) {
    const QString problem = CaptureAppError(command);
    if (!problem.isEmpty())
        ShowAppError(problem);
    return problem.isEmpty();
}

ErrorPresenter SetErrorPresenter(ErrorPresenter presenter) {
    ErrorPresenter previous = std::move(Presenter());
    Presenter() = std::move(presenter);
    return previous;
}

} // namespace quill
