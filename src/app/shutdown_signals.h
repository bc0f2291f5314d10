#pragma once
// Turns SIGTERM and SIGINT into a call on the user-interface thread, so the
// program closes as if the user had chosen "Exit" (settings and tasks saved).

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace quill {

class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; `onSignal` runs in the event loop for each signal.
    explicit ShutdownSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~ShutdownSignals() override;

    bool IsInstalled() const { return notifier_ != nullptr; }

private:
    void Drain();

    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace quill
