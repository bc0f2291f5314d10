// quillnote-print as a user runs it: what it prints, what it refuses and with
// which exit code, and that it never writes to or beside its data file.
#include "core/data_file.h"
#include "core/date_time.h"
#include "print_samples.h"
#include "print_test_util.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace quill;

namespace {

// Every entry of `dir` with its bytes (a link's target's).
QMap<QString, QByteArray> Snapshot(const QDir& dir) {
    QMap<QString, QByteArray> files;
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot)) {
        QFile file(dir.filePath(name));
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
    }
    return files;
}

} // namespace

class TestPrintTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusalsAndExitCodes_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("written"); // the file that becomes a PDF, or none
        QTest::addColumn<QString>("said");    // in what the tool prints
        const auto row = [](const char* name, const QStringList& args, int code,
                            const char* written, const char* said) {
            QTest::newRow(name) << args << code << QString::fromLatin1(written)
                                << QString::fromLatin1(said);
        };
        row("prints", {"tasks.dat", "new.pdf"}, 0, "new.pdf", "1");
        row("overdue now left out", {"--only-uncompleted", "tasks.dat", "old.pdf"}, 0, "old.pdf",
            "1");
        row("output is the input", {"tasks.dat", "tasks.dat"}, 1, "", "the data file itself");
        row("a link to the input", {"tasks.dat", "link.pdf"}, 1, "", "the data file itself");
        row("a hard link", {"tasks.dat", "hard.pdf"}, 1, "", "the data file itself");
        row("arguments swapped", {"old.pdf", "tasks.dat"}, 1, "", "not a PDF file");
        row("swapped, forced", {"--force", "old.pdf", "tasks.dat"}, 1, "", "not a Quillnote");
        row("not a PDF", {"tasks.dat", "notes.txt"}, 1, "", "--force");
        row("not a PDF, forced", {"--force", "tasks.dat", "notes.txt"}, 0, "notes.txt", "1");
        row("damaged", {"damaged.dat", "new.pdf"}, 1, "", "--damaged-ok");
        row("damaged, accepted", {"--damaged-ok", "damaged.dat", "new.pdf"}, 0, "new.pdf", "1");
        row("a file named -x", {"--", "-x", "new.pdf"}, 0, "new.pdf", "1");
        row("unknown option", {"-x", "new.pdf"}, 2, "", "Usage:");
        row("help lists every option", {"--help"}, 0, "", "--damaged-ok");
    }
    void refusalsAndExitCodes() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, written);
        QFETCH(QString, said);
        QTemporaryDir tmp;
        const QDir dir(tmp.path());
        // Every task marked "not overdue", as saved before one of them fell overdue.
        TaskStore store = printtest::SampleStore(DatePart(Today()));
        for (TTASK_ITEM& task : store.Tasks)
            task.NotOverdue = 1;
        const std::vector<uint8_t> bytes = SerializeTasks(store);
        const QByteArray data(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
        const std::pair<const char*, QByteArray> files[] = {{"tasks.dat", data},
                                                            {"-x", data},
                                                            {"damaged.dat", data.chopped(10)},
                                                            {"old.pdf", "%PDF-1.4\n%\n"},
                                                            {"notes.txt", "my notes\n"}};
        for (const auto& [name, content] : files) {
            QFile file(dir.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        }
        QVERIFY(QFile::link(QStringLiteral("tasks.dat"), dir.filePath(QStringLiteral("link.pdf"))));
        QCOMPARE(::link(qPrintable(dir.filePath(QStringLiteral("tasks.dat"))),
                        qPrintable(dir.filePath(QStringLiteral("hard.pdf")))),
                 0);

        const QMap<QString, QByteArray> before = Snapshot(dir);
        QProcess tool;
        tool.setWorkingDirectory(dir.path());
        tool.setProcessChannelMode(QProcess::MergedChannels);
        tool.start(QStringLiteral(QUILLNOTE_PRINT_TOOL), args);
        QVERIFY(tool.waitForFinished(60000));
        const QString output = QString::fromLocal8Bit(tool.readAll());
        QVERIFY2(tool.exitCode() == exitCode && output.contains(said), qPrintable(output));
        // Only the output is new or changed: no copy of a damaged file, nothing else.
        const QMap<QString, QByteArray> after = Snapshot(dir);
        QMap<QString, QByteArray> expected = before;
        if (!written.isEmpty())
            expected[written] = after.value(written);
        QVERIFY(after == expected);
        if (!written.isEmpty()) {
            const QString text = printtest::PageTexts(dir.filePath(written)).join(QString());
            QVERIFY(text.contains(QStringLiteral("Water the plants")));
            QCOMPARE(text.contains(QStringLiteral("Return the library books")),
                     !args.contains(QStringLiteral("--only-uncompleted")));
        }
    }
};

QTEST_MAIN(TestPrintTool)
#include "tst_print_tool.moc"
