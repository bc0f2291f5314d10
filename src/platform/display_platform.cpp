#include "platform/display_platform.h"

#include <algorithm>

namespace quill {

DisplayChoice ChooseDisplayPlatform(const QStringList& arguments, const QString& qpaPlatform,
                                    const QString& display, const QString& waylandDisplay) {
    DisplayChoice choice;
    const bool chosenByUser =
        !qpaPlatform.isEmpty() ||
        std::any_of(arguments.begin() + std::min<qsizetype>(1, arguments.size()), arguments.end(),
                    [](const QString& a) {
                        return a == QLatin1String("-platform") || a == QLatin1String("--platform");
                    });
    if (chosenByUser)
        return choice;
    if (!display.isEmpty()) {
        choice.platform = "xcb";
        return choice;
    }
    choice.error = waylandDisplay.isEmpty()
                       ? QStringLiteral("quillnote: no display to show its windows on (DISPLAY is "
                                        "not set). Start it in a desktop session.")
                       : QStringLiteral("quillnote: no X display (DISPLAY is not set). Quillnote "
                                        "places its windows and its tray icon through X: on a "
                                        "Wayland desktop it needs XWayland, which sets DISPLAY.");
    return choice;
}

DisplayChoice ChooseDisplayPlatform(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return ChooseDisplayPlatform(arguments, qEnvironmentVariable("QT_QPA_PLATFORM"),
                                 qEnvironmentVariable("DISPLAY"),
                                 qEnvironmentVariable("WAYLAND_DISPLAY"));
}

} // namespace quill
