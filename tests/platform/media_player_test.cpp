// The alarm player: which files open (any sound libsndfile decodes, MIDI), which
// fail and why, where a relative name is found, and that playing never waits for
// a sound device that is not there.
#include "platform/media_player.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

#include <cmath>
#include <vector>

namespace quill {

namespace {
// Half a second (or so) of a 440 Hz tone in the given container and encoding.
bool WriteTone(const QString& path, int format) {
    SF_INFO info{};
    info.samplerate =
        (format & SF_FORMAT_SUBMASK) == SF_FORMAT_OPUS ? 48000 : 44100; // Opus: 48 kHz
    info.channels = 1;
    info.format = format;
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    std::vector<float> samples(22050);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = 0.5f * float(std::sin(2 * M_PI * 440 * double(i) / 44100));
    sf_writef_float(file, samples.data(), sf_count_t(samples.size()));
    sf_close(file);
    return true;
}

// A one-note Standard MIDI File.
QByteArray MidiBytes() {
    const char track[] = {'\x00', '\x90', '\x3C', '\x64', '\x60', '\x80',
                          '\x3C', '\x00', '\x00', '\xFF', '\x2F', '\x00'};
    QByteArray bytes("MThd\0\0\0\x06\0\0\0\x01\0\x60", 14);
    bytes += QByteArray("MTrk\0\0\0", 7) + char(sizeof track);
    bytes += QByteArray(track, sizeof track);
    return bytes;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

class TestMediaPlayer : public QObject {
    Q_OBJECT
public:
    // No sound server in these tests: the player must neither wait nor fail opening.
    static void initMain() { qputenv("PULSE_SERVER", "unix:/nonexistent/quillnote-test"); }

private:
    QTemporaryDir dir_; // the files of the table, kept for the run

private Q_SLOTS:
    void opensSoundAndRefusesTheRest_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("expected");
        const auto at = [this](const char* name) {
            return dir_.filePath(QString::fromLatin1(name));
        };
        const struct {
            const char* name;
            int format;
        } sounds[] = {{"tone.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
                      {"tone-float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
                      {"tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
                      {"tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
                      {"tone.opus", SF_FORMAT_OGG | SF_FORMAT_OPUS},
                      {"tone.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III}};
        for (const auto& s : sounds) {
            QVERIFY2(WriteTone(at(s.name), s.format), s.name);
            QTest::newRow(s.name) << at(s.name) << int(TMediaPlayer::OpenError::None);
        }
        WriteBytes(at("tune.mid"), MidiBytes());
        QTest::newRow("MIDI") << at("tune.mid") << int(TMediaPlayer::OpenError::None);
        WriteBytes(at("notes.txt"), "remember the milk\n");
        QTest::newRow("text") << at("notes.txt") << int(TMediaPlayer::OpenError::NotSound);
        WriteBytes(at("empty.wav"), "");
        QTest::newRow("empty") << at("empty.wav") << int(TMediaPlayer::OpenError::NotSound);
        WriteBytes(at("header.wav"), QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16));
        QTest::newRow("header only") << at("header.wav") << int(TMediaPlayer::OpenError::NotSound);
        QTest::newRow("missing") << at("gone.wav") << int(TMediaPlayer::OpenError::NotFound);
        QTest::newRow("folder") << dir_.path() << int(TMediaPlayer::OpenError::NotFound);
    }
    void opensSoundAndRefusesTheRest() {
        QFETCH(QString, name);
        QFETCH(int, expected);
        TMediaPlayer player;
        player.FileName = name;
        QCOMPARE(player.Open(), expected == int(TMediaPlayer::OpenError::None));
        QCOMPARE(int(player.LastError()), expected);
        QCOMPARE(player.IsOpen(), expected == int(TMediaPlayer::OpenError::None));
        player.Close();
        QVERIFY(!player.IsOpen());
    }

    void playingWithoutADeviceEndsSilently_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("wav") << QStringLiteral("tone.wav");
        QTest::newRow("midi") << QStringLiteral("tune.mid");
    }
    void playingWithoutADeviceEndsSilently() {
        QFETCH(QString, file);
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        if (file.endsWith(QLatin1String(".mid")))
            WriteBytes(path, MidiBytes());
        else
            QVERIFY(WriteTone(path, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
        TMediaPlayer player;
        QSignalSpy finished(&player, &TMediaPlayer::PlaybackFinished);
        QSignalSpy started(&player, &TMediaPlayer::PlaybackStarted);
        player.FileName = path;
        QVERIFY(player.Open());
        player.Play(); // returns at once; the outcome comes as a signal
        QVERIFY(finished.wait(5000));
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(started.count(), 0);
        // Stop and close after the end are harmless, and the player opens again.
        player.Stop();
        player.Close();
        QVERIFY(player.Open());
    }

    void relativeNamesAreFoundInTheCurrentFolderThenBesideTheProgram() {
        QTemporaryDir program, current;
        WriteBytes(program.filePath("alarm.wav"), "x");
        WriteBytes(program.filePath("both.wav"), "x");
        WriteBytes(current.filePath("both.wav"), "x");
        const QString before = QDir::currentPath();
        QDir::setCurrent(current.path());
        const auto resolve = [&](const QString& name) {
            return ResolveSoundFile(name, program.path());
        };
        QCOMPARE(resolve("alarm.wav"), QFileInfo(program.filePath("alarm.wav")).absoluteFilePath());
        QCOMPARE(resolve("both.wav"), QFileInfo(current.filePath("both.wav")).absoluteFilePath());
        QCOMPARE(resolve(program.filePath("alarm.wav")),
                 QFileInfo(program.filePath("alarm.wav")).absoluteFilePath());
        QCOMPARE(resolve("nowhere.wav"), QString());
        QCOMPARE(resolve(current.filePath("alarm.wav")), QString()); // absolute: no fallback
        QCOMPARE(resolve(QString()), QString());
        QDir::setCurrent(before);
    }

    void aGeneralMidiSoundFontIsInstalled() { QVERIFY(!DefaultSoundFont().isEmpty()); }
};

} // namespace quill

QTEST_MAIN(quill::TestMediaPlayer)
#include "media_player_test.moc"
