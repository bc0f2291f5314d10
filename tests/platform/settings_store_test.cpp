// SettingsStore: defaults, text forms, invalid text and failing writes.

#include "core/app_error.h"
#include "core/program_options.h"
#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace quill;

class SettingsStoreTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString Ini() const { return dir_.filePath("Tolvane/Quillnote.ini"); }
    QString Raw(const QString& name) const {
        return QSettings(Ini(), QSettings::IniFormat).value(name).toString();
    }
    void SetRaw(const QString& name, const QString& text) {
        QSettings raw(Ini(), QSettings::IniFormat);
        raw.setValue(name, text);
    }

private Q_SLOTS:
    void init() { QFile::remove(Ini()); }

    // First: QSettings reads XDG_CONFIG_HOME once per process.
    void shouldKeepTheUsersSettingsInTheirConfigFolder() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        SettingsStore store;
        QCOMPARE(store.Location(), config.path() + "/Tolvane/Quillnote.ini");
        store.WriteInteger("Width", 700);
        QVERIFY(QFile::exists(config.path() + "/Tolvane/Quillnote.ini"));
        QCOMPARE(SettingsStore().ReadInteger("Width", 696), 700);
    }

    void shouldReturnTheTableDefaultsWhenNothingIsStored() {
        const SettingsStore store(Ini());
        QCOMPARE(store.Read(settings::kMainFormGroup), 0);
        QCOMPARE(store.Read(settings::kSkin), QString("Default"));
        QCOMPARE(store.Read(settings::kLeft), 0);
        QCOMPARE(store.Read(settings::kTop), 0);
        QCOMPARE(store.Read(settings::kWidth), 696);
        QCOMPARE(store.Read(settings::kHeight), 480);
        for (const OptionSwitch& option : kOptionSwitches)
            QCOMPARE(store.Read(option.setting), option.setting.def);
        QCOMPARE(store.Read(settings::kSortBy), 0);
        QCOMPARE(store.Read(settings::kStartWithWindows), false);
        QCOMPARE(store.Read(settings::kShowGrid), true);
        QVERIFY(!QFile::exists(Ini())); // reading creates nothing
    }

    void shouldUseTheValueNamesOfTheTable() {
        QCOMPARE(QString(settings::kSortBy.name), QString("Sort by"));
        QCOMPARE(QString(settings::kStartWithWindows.name), QString("Start with Windows"));
        QCOMPARE(QString(settings::kShowReminder.name), QString("Show reminder"));
        QCOMPARE(QString(settings::kDoneTaskPutInBottom.name), QString("Done Task put in bottom"));
        QCOMPARE(QString(settings::kAlwaysOnTop.name), QString("Always on Top"));
    }

    void shouldStoreIntegersAsDecimalAndBooleansAsOneOrZero() {
        {
            SettingsStore store(Ini());
            store.WriteInteger("Left", -37);
            store.WriteInteger("Width", 1024);
            store.WriteBool("Always on Top", true);
            store.WriteBool("Show grid", false);
            store.WriteString("Skin", "Blue Sky");
        }
        QCOMPARE(Raw("Left"), QString("-37"));
        QCOMPARE(Raw("Width"), QString("1024"));
        QCOMPARE(Raw("Always on Top"), QString("1"));
        QCOMPARE(Raw("Show grid"), QString("0"));
        QCOMPARE(Raw("Skin"), QString("Blue Sky"));

        const SettingsStore again(Ini());
        QCOMPARE(again.ReadInteger("Left", 0), -37);
        QCOMPARE(again.ReadInteger("Width", 696), 1024);
        QCOMPARE(again.ReadBool("Always on Top", false), true);
        QCOMPARE(again.ReadBool("Show grid", true), false);
        QCOMPARE(again.ReadString("Skin", "Default"), QString("Blue Sky"));
    }

    void shouldFallBackToTheDefaultForTextThatIsNoInteger_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("letters") << "abc" << 77;
        QTest::newRow("trailing letters") << "12abc" << 77;
        QTest::newRow("empty") << "" << 77;
        QTest::newRow("fraction") << "1.5" << 77;
        QTest::newRow("too large") << "99999999999" << 77;
        QTest::newRow("negative") << "-5" << -5;
        QTest::newRow("zero") << "0" << 0;
    }
    void shouldFallBackToTheDefaultForTextThatIsNoInteger() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        SetRaw("Top", text);
        const SettingsStore store(Ini());
        QCOMPARE(store.ReadInteger("Top", 77), expected);
    }

    void shouldReadAnyNonZeroIntegerAsTrue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("def");
        QTest::addColumn<bool>("expected");
        QTest::newRow("2") << "2" << false << true;
        QTest::newRow("-1") << "-1" << false << true;
        QTest::newRow("0") << "0" << true << false;
        QTest::newRow("true is no integer") << "true" << false << false;
        QTest::newRow("yes is no integer, default true") << "yes" << true << true;
    }
    void shouldReadAnyNonZeroIntegerAsTrue() {
        QFETCH(QString, text);
        QFETCH(bool, def);
        QFETCH(bool, expected);
        SetRaw("Transparency", text);
        const SettingsStore store(Ini());
        QCOMPARE(store.ReadBool("Transparency", def), expected);
    }

    void shouldKeepStringsWithCommasAndNonAsciiText() {
        {
            SettingsStore store(Ini());
            store.WriteString("Skin", QString::fromUtf8("Grün, klassisch"));
        }
        QCOMPARE(SettingsStore(Ini()).ReadString("Skin", "Default"),
                 QString::fromUtf8("Grün, klassisch"));
        // A hand-edited unquoted list still reads as the text it was.
        QFile file(Ini());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[General]\nSkin=a,b\n");
        file.close();
        QCOMPARE(SettingsStore(Ini()).ReadString("Skin", "Default"), QString("a,b"));
    }

    void shouldReadDefaultsFromADamagedFileAndStillStoreWrites() {
        QVERIFY(QDir().mkpath(QFileInfo(Ini()).absolutePath()));
        QFile file(Ini());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("\x00\xff[General\nLeft=\x01\x02\n=\n[", 16));
        file.close();
        SettingsStore store(Ini());
        QCOMPARE(store.ReadInteger("Width", 696), 696);
        store.WriteInteger("Width", 640);
        QCOMPARE(SettingsStore(Ini()).ReadInteger("Width", 696), 640);
    }

    void shouldThrowFailedToCreateKeyWhenTheFolderCannotBeMade() {
        // A regular file where the settings folder should be.
        const QString blocker = dir_.filePath("blocker");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        SettingsStore store(blocker + "/Tolvane/Quillnote.ini");
        QCOMPARE(store.ReadInteger("Left", 5), 5);
        try {
            store.WriteInteger("Left", 10);
            QFAIL("the write did not fail");
        } catch (const AppError& e) {
            // The old message first, then what a user can act on: the file and why.
            const QString message = e.what();
            QVERIFY2(message.startsWith("Failed to create key \\SOFTWARE\\Tolvane\\Quillnote. "
                                        "The settings file \"" +
                                        blocker + "/Tolvane/Quillnote.ini\" cannot be written: "),
                     qPrintable(message));
            QVERIFY2(message.contains("Not a directory"), qPrintable(message));
        }
        QVERIFY_THROWS_EXCEPTION(AppError, store.WriteBool("Show grid", true));
        QVERIFY_THROWS_EXCEPTION(AppError, store.WriteString("Skin", "X"));
    }

    void shouldJudgeEachWriteByItsOwnResult_data() {
        QTest::addColumn<bool>("damaged");
        QTest::newRow("clean file") << false;
        QTest::newRow("file with a damaged line") << true;
    }
    void shouldJudgeEachWriteByItsOwnResult() {
        QFETCH(bool, damaged);
        QVERIFY(QDir().mkpath(QFileInfo(Ini()).absolutePath()));
        QFile file(Ini());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged ? "[General]\nLeft=5\n\"broken\n=\n" : "[General]\nLeft=5\n");
        file.close();
        SettingsStore store(Ini());
        QCOMPARE(store.ReadInteger("Left", 0), 5);
        store.WriteInteger("Top", 1);
        // The file turns unwritable during the run (a folder stands where it goes)...
        QVERIFY(QFile::remove(Ini()));
        QVERIFY(QDir().mkpath(Ini()));
        QVERIFY_THROWS_EXCEPTION(AppError, store.WriteInteger("Width", 800));
        QVERIFY_THROWS_EXCEPTION(AppError, store.WriteInteger("Height", 600));
        QCOMPARE(store.ReadInteger("Width", 0), 800); // kept for this run
        // ...and writable again: the next write succeeds and brings the others along.
        QVERIFY(QDir(Ini()).removeRecursively());
        store.WriteString("Skin", "Blue");
        const SettingsStore again(Ini());
        QCOMPARE(again.ReadInteger("Left", 0), 5);
        QCOMPARE(again.ReadInteger("Top", 0), 1);
        QCOMPARE(again.ReadInteger("Width", 0), 800);
        QCOMPARE(again.ReadInteger("Height", 0), 600);
        QCOMPARE(again.ReadString("Skin", ""), QString("Blue"));
    }

    void shouldThrowWhenTheFileItselfCannotBeWritten() {
        // A folder where the settings file should be: nothing can replace it.
        const QString ini = dir_.filePath("dir-in-the-way.ini");
        QVERIFY(QDir().mkpath(ini));
        SettingsStore store(ini);
        QVERIFY_THROWS_EXCEPTION(AppError, store.WriteInteger("Left", 1));
    }
};

QTEST_GUILESS_MAIN(SettingsStoreTest)
#include "settings_store_test.moc"
