// The program's own command line: what it answers, and that the toolkit's
// options still reach the application object.
#include "app/command_line.h"

#include <QTest>

using quill::CommandLineAction;
using quill::ParseCommandLine;

class CommandLineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldDecideFromTheArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("run");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("outStart");
        QTest::newRow("none") << QStringList{} << true << 0 << QString();
        QTest::newRow("--help") << QStringList{"--help"} << false << 0 << "Usage: quillnote";
        QTest::newRow("-h") << QStringList{"-h"} << false << 0 << "Usage: quillnote";
        const QString version = QStringLiteral("quillnote " QUILLNOTE_VERSION "\n");
        QTest::newRow("--version") << QStringList{"--version"} << false << 0 << version;
        QTest::newRow("-v") << QStringList{"-v"} << false << 0 << version;
        QTest::newRow("unknown") << QStringList{"--bogus"} << false << 2 << QString();
        QTest::newRow("value missing") << QStringList{"-platform"} << false << 2 << QString();
        QTest::newRow("toolkit platform")
            << QStringList{"-platform", "xcb"} << true << 0 << QString();
        QTest::newRow("session restore")
            << QStringList{"-session", "10abc", "--style=Fusion", "-reverse"} << true << 0
            << QString();
    }
    void shouldDecideFromTheArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(bool, run);
        QFETCH(int, exitCode);
        QFETCH(QString, outStart);
        arguments.prepend(QStringLiteral("/usr/bin/quillnote"));
        const CommandLineAction action = ParseCommandLine(arguments);
        QCOMPARE(action.run, run);
        QCOMPARE(action.exitCode, exitCode);
        QVERIFY2(action.out.startsWith(outStart), qPrintable(action.out));
        // A refusal is one line on standard error naming the option.
        QCOMPARE(action.err.count(QLatin1Char('\n')), exitCode == 2 ? 1 : 0);
        if (exitCode == 2)
            QVERIFY(action.err.contains(arguments.at(1).mid(arguments.at(1).lastIndexOf('-') + 1)));
    }

    // The usage names where the tasks are kept and the tools beside the program.
    void shouldTellWhereTheDataIsAndTheTools() {
        const QString usage = quill::UsageText();
        for (const char* text : {"quillnote.dat", "$XDG_DATA_HOME/Tolvane/Quillnote/",
                                 "Quillnote.ini", "quillnote-data", "quillnote-print"})
            QVERIFY2(usage.contains(QLatin1String(text)), text);
        QVERIFY(!usage.contains(QLatin1String("-platform")));
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
