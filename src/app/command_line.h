#pragma once
// The program's command line. It reads no arguments of its own beyond asking for
// its usage or version; the toolkit's options (-platform, -session, -style...)
// pass through to the application object. Decided before any window, display or
// file is touched, so `--help` and `--version` work anywhere.

#include <QString>
#include <QStringList>

namespace quill {

struct CommandLineAction {
    bool run = true;  // start the program; otherwise leave with exitCode
    int exitCode = 0; // 0 after --help or --version, 2 for an unknown option
    QString out;      // for standard output
    QString err;      // for standard error (one line)
};

// `arguments` as the process got them, the program's name first.
CommandLineAction ParseCommandLine(const QStringList& arguments);

// The same for main()'s arguments.
CommandLineAction ParseCommandLine(int argc, char** argv);

// Prints the action's texts and returns its exit code.
int FinishCommandLine(const CommandLineAction& action);

// The usage `quillnote --help` prints (its manual page is made from it).
QString UsageText();

} // namespace quill
