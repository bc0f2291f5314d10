// Autostart: the XDG autostart entry, its quoted command, switching on and off.

#include "core/app_error.h"
#include "platform/autostart.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace quill;

class AutostartTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    static QString ExecLine(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        for (const QByteArray& line : file.readAll().split('\n'))
            if (line.startsWith("Exec="))
                return QString::fromUtf8(line.mid(5));
        return QString();
    }

private Q_SLOTS:
    void shouldWriteAnEntryThatStartsTheQuotedExecutable() {
        const QString folder = dir_.filePath("on/autostart");
        Autostart autostart(folder, "/opt/my apps/quillnote");
        QVERIFY(!autostart.IsOn());
        autostart.SetAutoStart(true);
        QVERIFY(autostart.IsOn());
        QCOMPARE(autostart.EntryPath(), folder + "/quillnote.desktop");
        QCOMPARE(ExecLine(autostart.EntryPath()), QString("\"/opt/my apps/quillnote\""));

        QSettings entry(autostart.EntryPath(), QSettings::IniFormat);
        entry.beginGroup("Desktop Entry");
        QCOMPARE(entry.value("Type").toString(), QString("Application"));
        QCOMPARE(entry.value("Name").toString(), QString("Quillnote"));
    }

    void shouldRemoveTheEntryAndIgnoreAMissingOne() {
        Autostart autostart(dir_.filePath("off/autostart"), "/usr/bin/quillnote");
        autostart.SetAutoStart(false); // nothing there yet: no error
        QVERIFY(!autostart.IsOn());
        autostart.SetAutoStart(true);
        autostart.SetAutoStart(true); // writing twice keeps one entry
        QVERIFY(autostart.IsOn());
        autostart.SetAutoStart(false);
        QVERIFY(!autostart.IsOn());
        QVERIFY(!QFile::exists(autostart.EntryPath()));
        autostart.SetAutoStart(false);
    }

    void shouldEscapeWhatTheDesktopEntryFormatReserves_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/a/b"
                               << "\"/a/b\"";
        QTest::newRow("dollar") << "/a/$HOME"
                                << "\"/a/\\\\$HOME\"";
        QTest::newRow("quote") << "/a/\"q\""
                               << "\"/a/\\\\\"q\\\\\"\"";
        QTest::newRow("backtick") << "/a/`x`"
                                  << "\"/a/\\\\`x\\\\`\"";
        QTest::newRow("backslash") << "/a\\b"
                                   << "\"/a\\\\\\\\b\"";
        QTest::newRow("percent") << "/100%/q"
                                 << "\"/100%%/q\"";
    }
    void shouldEscapeWhatTheDesktopEntryFormatReserves() {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QCOMPARE(QuoteExecArgument(path), exec);
        QVERIFY(AutostartEntryText(path).contains("\nExec=" + exec + "\n"));
    }

    void shouldThrowCannotCreateFileWhenTheFolderIsAFile() {
        const QString blocker = dir_.filePath("blocker");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        Autostart autostart(blocker + "/autostart", "/usr/bin/quillnote");
        try {
            autostart.SetAutoStart(true);
            QFAIL("the write did not fail");
        } catch (const AppError& e) {
            const QString message = e.what();
            QVERIFY2(message.startsWith("Cannot create file \"" + autostart.EntryPath() + "\". "),
                     qPrintable(message));
        }
        autostart.SetAutoStart(false); // switching off stays quiet
    }
};

QTEST_GUILESS_MAIN(AutostartTest)
#include "autostart_test.moc"
