// Resources: writing embedded files out, the failure messages, and the default
// alarm sound's format.

#include "core/app_error.h"
#include "platform/resources.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

#include <cmath>
#include <vector>

using namespace quill;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class ResourcesTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private Q_SLOTS:
    void initTestCase() { InitPlatformResources(); }

    void shouldWriteTheResourceBytes() {
        const QString target = dir_.filePath("alarm.wav");
        ExtractResourceToFile(kAlarmSoundResource, target);
        const QByteArray written = ReadAll(target);
        QVERIFY(written.size() > 44);
        QCOMPARE(written, ReadAll(kAlarmSoundResource));
    }

    void shouldOverwriteAnExistingFile() {
        const QString target = dir_.filePath("over.png");
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(100000, 'x')); // longer than the resource
        file.close();
        ExtractResourceToFile(":/icons/tray-normal-16.png", target);
        QCOMPARE(ReadAll(target), ReadAll(":/icons/tray-normal-16.png"));
    }

    void shouldWriteOnlyWhenMissing() {
        const QString target = dir_.filePath("mine.wav");
        QVERIFY(ExtractResourceIfMissing(kAlarmSoundResource, target));
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("my own sound");
        file.close();
        QVERIFY(!ExtractResourceIfMissing(kAlarmSoundResource, target));
        QCOMPARE(ReadAll(target), QByteArray("my own sound"));
    }

    void shouldSayWhichFileCouldNotBeCreated() {
        const QString target = dir_.filePath("no/such/folder/alarm.wav");
        try {
            ExtractResourceToFile(kAlarmSoundResource, target);
            QFAIL("the write did not fail");
        } catch (const AppError& e) {
            const QString message = e.what();
            const QString prefix = "Cannot create file \"" + target + "\". ";
            QVERIFY2(message.startsWith(prefix), qPrintable(message));
            QVERIFY2(message.size() > prefix.size(), "the reason is missing");
        }
        QVERIFY(!QFile::exists(target));
    }

    void shouldRefuseAFolderInTheWay() {
        const QString target = dir_.filePath("folder.wav");
        QVERIFY(QDir().mkpath(target));
        QVERIFY_THROWS_EXCEPTION(AppError,
                                 ExtractResourceIfMissing(kAlarmSoundResource, target + "/x/y"));
        // Something is there, so nothing is written and nothing fails.
        QVERIFY(!ExtractResourceIfMissing(kAlarmSoundResource, target));
    }

    void shouldSayWhenTheResourceDoesNotExist() {
        try {
            ExtractResourceToFile(":/sounds/none.wav", dir_.filePath("none.wav"));
            QFAIL("a missing resource was written");
        } catch (const AppError& e) {
            QVERIFY2(QString(e.what()).startsWith("Cannot open file \":/sounds/none.wav\". "),
                     e.what());
        }
    }

    void shouldShipAStereo22kHz16BitChimeOfOneToTwoSeconds() {
        const QString path = dir_.filePath("format.wav");
        ExtractResourceToFile(kAlarmSoundResource, path);
        SF_INFO info{};
        SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
        QVERIFY(file);
        QCOMPARE(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        QCOMPARE(info.channels, 2);
        QCOMPARE(info.samplerate, 22050);
        const double seconds = double(info.frames) / info.samplerate;
        QVERIFY2(seconds >= 1.0 && seconds <= 2.0, qPrintable(QString::number(seconds)));
        std::vector<float> samples(std::size_t(info.frames) * 2);
        QCOMPARE(sf_readf_float(file, samples.data(), info.frames), info.frames);
        sf_close(file);
        float peak = 0;
        double energy = 0;
        for (float v : samples) {
            peak = std::max(peak, std::fabs(v));
            energy += double(v) * v;
        }
        const double rms = std::sqrt(energy / double(samples.size()));
        QVERIFY2(peak > 0.3f && peak < 0.999f, qPrintable(QString::number(peak)));
        QVERIFY2(rms > 0.02, qPrintable(QString::number(rms)));
        // It fades out: the last 10 ms are nearly silent.
        for (std::size_t i = samples.size() - 2 * 220; i < samples.size(); ++i)
            QVERIFY(std::fabs(samples[i]) < 0.02f);
    }

    void shouldMatchWhatTheGeneratorWrites() {
        const QString path = dir_.filePath("regenerated.wav");
        QCOMPARE(QProcess::execute(QUILLNOTE_MAKE_ALARM, {path}), 0);
        QCOMPARE(ReadAll(path), ReadAll(kAlarmSoundResource));
    }
};

QTEST_GUILESS_MAIN(ResourcesTest)
#include "resources_test.moc"
