// The program's options in the settings file: read with their defaults, written
// under their own names, and every value tried when the file cannot be written.
#include "app/options_settings.h"
#include "core/app_error.h"
#include "platform/settings_store.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using namespace quill;

namespace {
// Every option away from its default.
ProgramOptions Flipped() {
    ProgramOptions options;
    options.sortBy = 2;
    for (const OptionSwitch& option : kOptionSwitches)
        options.*option.field = !option.setting.def;
    return options;
}
} // namespace

class OptionsSettingsTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString Ini() const { return dir_.filePath(QStringLiteral("Quillnote.ini")); }

private Q_SLOTS:
    void init() {
        QFile::remove(Ini());
        QDir(Ini()).removeRecursively();
    }

    // The defaults where nothing is stored; every option under its own name.
    void shouldWriteEveryOptionUnderItsNameAndReadItBack() {
        QCOMPARE(ReadProgramOptions(SettingsStore(Ini())), ProgramOptions());
        {
            SettingsStore store(Ini());
            WriteProgramOptions(store, Flipped());
        }
        const QSettings raw(Ini(), QSettings::IniFormat);
        QCOMPARE(raw.allKeys().size(), int(kOptionSwitches.size()) + 1);
        QCOMPARE(raw.value("Sort by").toString(), QStringLiteral("2"));
        for (const OptionSwitch& option : kOptionSwitches)
            QCOMPARE(raw.value(option.setting.name).toString(),
                     option.setting.def ? QStringLiteral("0") : QStringLiteral("1"));
        QCOMPARE(ReadProgramOptions(SettingsStore(Ini())), Flipped());
    }

    // A file that cannot be written stops none of the values: each is held for
    // the run and goes to the file with the next write that succeeds; the
    // failure is told once.
    void shouldTryEveryValueAndReportTheFirstFailure() {
        SettingsStore store(Ini());
        QVERIFY(QDir().mkpath(Ini())); // a folder where the file goes
        int failures = 0;
        try {
            WriteProgramOptions(store, Flipped());
        } catch (const AppError& error) {
            ++failures;
            QVERIFY(QString::fromStdString(error.what()).startsWith("Failed to create key"));
        }
        QCOMPARE(failures, 1);
        QCOMPARE(ReadProgramOptions(store), Flipped());
        QVERIFY(QDir(Ini()).removeRecursively());
        store.Write(settings::kMainFormGroup, 1);
        QCOMPARE(ReadProgramOptions(SettingsStore(Ini())), Flipped());
    }
};

QTEST_GUILESS_MAIN(OptionsSettingsTest)
#include "options_settings_test.moc"
