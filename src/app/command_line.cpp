#include "command_line.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cstdio>

#ifndef QUILLNOTE_VERSION
#define QUILLNOTE_VERSION "unknown"
#endif

namespace quill {

namespace {

const char* const kDescription =
    "Quillnote keeps one person's to-do list: tasks with a category, a priority,\n"
    "an optional due date and a reminder that rings and blinks the tray icon.\n"
    "The window lives in the tray; starting the program again brings the running\n"
    "window to the front. Press Insert or + in the list to add a task, F1 for help.";

const char* const kAfterOptions =
    "\n"
    "Files:\n"
    "  quillnote.dat  the tasks. A copy run from a folder its user can write keeps\n"
    "                 it beside the program (a quillnote.dat there always wins);\n"
    "                 an installed copy keeps each user's file in\n"
    "                 $XDG_DATA_HOME/Tolvane/Quillnote/ (~/.local/share/...), with\n"
    "                 alarm.wav and the user's own Skins/*.skn beside it.\n"
    "  Quillnote.ini  the settings, in $XDG_CONFIG_HOME/Tolvane/ (~/.config/...).\n"
    "\n"
    "Tools beside it:\n"
    "  quillnote-data   shows a data file as JSON, repairs a damaged one, and\n"
    "                   tells which data file is in use (--where).\n"
    "  quillnote-print  prints a data file's tasks to a PDF file, without a window.\n";

// Options the toolkit's application object reads and removes itself; they take a
// value unless listed as flags. Accepted here so they keep working.
const char* const kToolkitValueOptions[] = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "qmljsdebugger", "title",   "name",
    "visual"};
const char* const kToolkitFlags[] = {"reverse", "nograb", "dograb", "sync", "widgetcount"};

void AddHidden(QCommandLineParser& parser, const char* name, bool takesValue) {
    QCommandLineOption option(QString::fromLatin1(name));
    if (takesValue)
        option.setValueName(QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(option);
}

struct Parser {
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};

    Parser() {
        // "-platform xcb" is one option, as the toolkit reads it.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.setApplicationDescription(QString::fromLatin1(kDescription));
        parser.addOption(help);
        parser.addOption(version);
        for (const char* name : kToolkitValueOptions)
            AddHidden(parser, name, true);
        for (const char* name : kToolkitFlags)
            AddHidden(parser, name, false);
    }
};

} // namespace

QString UsageText() {
    Parser p;
    // The parser names the program only once an application object exists.
    QString text = p.parser.helpText();
    text = text.mid(text.indexOf(QLatin1Char('\n')) + 1);
    return QStringLiteral("Usage: quillnote [options]\n") + text +
           QString::fromLatin1(kAfterOptions);
}

CommandLineAction ParseCommandLine(const QStringList& arguments) {
    Parser p;
    CommandLineAction action;
    if (!p.parser.parse(arguments)) {
        action.run = false;
        action.exitCode = 2;
        action.err = QStringLiteral("quillnote: %1 Try 'quillnote --help'.\n")
                         .arg(p.parser.errorText().replace(QLatin1Char('\n'), QLatin1Char(' ')));
        return action;
    }
    if (p.parser.isSet(p.help)) {
        action.run = false;
        action.out = UsageText();
    } else if (p.parser.isSet(p.version)) {
        action.run = false;
        action.out = QStringLiteral("quillnote " QUILLNOTE_VERSION "\n");
    }
    return action;
}

CommandLineAction ParseCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return ParseCommandLine(arguments);
}

int FinishCommandLine(const CommandLineAction& action) {
    const QByteArray out = action.out.toLocal8Bit();
    const QByteArray err = action.err.toLocal8Bit();
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    std::fwrite(err.constData(), 1, static_cast<size_t>(err.size()), stderr);
    return std::fflush(stdout) == 0 ? action.exitCode : 1;
}

} // namespace quill
