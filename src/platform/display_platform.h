#pragma once
// Which window system the program runs on. It places and fades its own windows
// and draws its tray icon through X, which a Wayland compositor does not allow
// a client: on a Wayland desktop it runs through XWayland. Decided before the
// application object exists, from the environment and the arguments.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quill {

struct DisplayChoice {
    QByteArray platform; // for QT_QPA_PLATFORM; empty: leave it as it is
    QString error;       // no display to run on: say this and end
};

// `arguments`: the process's, the program's name first. The user's own choice
// (QT_QPA_PLATFORM, or -platform/--platform) always stands.
DisplayChoice ChooseDisplayPlatform(const QStringList& arguments, const QString& qpaPlatform,
                                    const QString& display, const QString& waylandDisplay);

// The same for this process.
DisplayChoice ChooseDisplayPlatform(int argc, char** argv);

} // namespace quill
