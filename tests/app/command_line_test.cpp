// The parser alone: the toolkit's own options still reach the application object;
// command_line_test.sh runs the programs for --help, --version and a refusal.
#include "app/command_line.h"

#include <QTest>

class CommandLineTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldRunOrRefuse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode"); // -1: the program runs
        QTest::newRow("none") << QStringList{} << -1;
        QTest::newRow("platform") << QStringList{"-platform", "xcb"} << -1;
        QTest::newRow("session") << QStringList{"-session", "10a", "--style=Fusion", "-reverse"}
                                 << -1;
        QTest::newRow("value missing") << QStringList{"-platform"} << 2;
        QTest::newRow("version") << QStringList{"-v"} << 0;
    }
    void shouldRunOrRefuse() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const quill::CommandLineAction action =
            quill::ParseCommandLine(QStringList{"quillnote"} + arguments);
        QCOMPARE(action.run ? -1 : action.exitCode, exitCode);
        QCOMPARE(action.err.count(QLatin1Char('\n')), exitCode == 2 ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
