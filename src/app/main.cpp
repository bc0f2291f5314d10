// Quillnote: start-up. A second start hands over to the running instance; the
// first creates the program's windows and runs until the main window closes.
#include "app_services.h"
#include "app_windows.h"
#include "command_line.h"
#include "quillnote_application.h"
#include "shutdown_signals.h"

#include "platform/display_platform.h"
#include "platform/single_instance.h"
#include "platform/window_ops.h"

#include <QSessionManager>
#include <cstdio>
#include <cstdlib>

namespace {
// The toolkit ends the process with exit() when the X server goes away (the
// session ended without asking): save what the close would have saved.
quill::TMainForm* g_mainForm = nullptr;
void SaveAtExit() {
    if (g_mainForm)
        g_mainForm->SaveOnAbruptEnd();
}
} // namespace

int main(int argc, char* argv[]) {
    // --help and --version answer before any display or file is touched.
    if (const auto action = quill::ParseCommandLine(argc, argv); !action.run)
        return quill::FinishCommandLine(action);
    // X11 also on a Wayland desktop (XWayland); a clear word when there is no X.
    const quill::DisplayChoice display = quill::ChooseDisplayPlatform(argc, argv);
    if (!display.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", display.error.toLocal8Bit().constData());
        return 1;
    }
    if (!display.platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", display.platform);
    quill::UseShippedFontConfig(argc > 0 ? argv[0] : nullptr);
    quill::QuillnoteApplication app(argc, argv);
    // The main window often lives in the tray with no window shown: closing a
    // dialog must not end the program; only the main window's close does.
    app.setQuitOnLastWindowClosed(false);

    quill::SingleInstance instance;
    if (!instance.Claim()) {
        // Another instance runs: bring its window to the front and leave at once,
        // without touching the data file or the settings.
        return instance.NotifyRunning(3000) ? 0 : 1;
    }

    auto services = quill::MakeDefaultServices();
    quill::AppWindows windows(*services);
    quill::TMainForm* main = windows.MainForm();

    // exit() rather than quit(): the close has been decided, no window is asked again.
    QObject::connect(
        main, &quill::TMainForm::CloseAccepted, &app, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    QObject::connect(&instance, &quill::SingleInstance::ShowRequested, main,
                     [main] { main->ShowMainWindow(); });
    // Logout, SIGTERM and Ctrl+C save what "Exit" saves, but nobody may be there
    // to answer a window: a failure goes to stderr and to the next start.
    quill::ShutdownSignals signals([main] { main->CloseUnattended(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, main,
                     [main](QSessionManager&) { main->CloseUnattended(); });

    g_mainForm = main;
    std::atexit(SaveAtExit);
    main->show();
    const int result = app.exec();
    g_mainForm = nullptr;
    return result;
}
