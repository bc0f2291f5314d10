// The alarm player: which files open on its thread (any sound libsndfile decodes,
// MIDI the synthesiser can load), which fail and why, where a relative name is
// found, and that playing never waits for a sound device that is not there. The
// MIDI file check alone: which files play, and each way a damaged one is refused.
#include "platform/media_player.h"
#include "platform/midi_file.h"

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

// Pieces of Standard MIDI Files, from hex text (spaces skipped).
QByteArray Chunk(const char* id, const QByteArray& data) {
    return id + QByteArray::fromHex(QByteArray::number(data.size(), 16).rightJustified(8, '0')) +
           data;
}
QByteArray Header(const char* formatTracksDivision = "0000 0001 0060") {
    return Chunk("MThd", QByteArray::fromHex(formatTracksDivision));
}
QByteArray Track(const char* events) {
    return Chunk("MTrk", QByteArray::fromHex(events));
}
const char* const kNote = "00 90 3C 64 60 80 3C 00 00 FF 2F 00";
QByteArray MidiBytes() {
    return Header() + Track(kNote);
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
        WriteBytes(at("cut.mid"), MidiBytes().chopped(1));
        QTest::newRow("damaged MIDI") << at("cut.mid") << int(TMediaPlayer::OpenError::NotSound);
        WriteBytes(at("huge.mid"), MidiBytes() + QByteArray(16 << 20, '\0'));
        QTest::newRow("MIDI over 16 MB")
            << at("huge.mid") << int(TMediaPlayer::OpenError::NotSound);
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
        QSignalSpy opened(&player, &TMediaPlayer::Opened);
        const quint64 request = player.Play(name);
        QTRY_COMPARE_WITH_TIMEOUT(opened.count(), 1, 5000);
        QCOMPARE(opened.first().at(0).value<quint64>(), request);
        QCOMPARE(int(opened.first().at(1).value<TMediaPlayer::OpenError>()), expected);
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
        QSignalSpy opened(&player, &TMediaPlayer::Opened);
        QSignalSpy finished(&player, &TMediaPlayer::PlaybackFinished);
        QSignalSpy started(&player, &TMediaPlayer::PlaybackStarted);
        player.Play(path); // returns at once; the outcome comes as signals
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 5000);
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(started.count(), 0);
        // A missing device is no fault of the file.
        QCOMPARE(opened.first().at(1).value<TMediaPlayer::OpenError>(),
                 TMediaPlayer::OpenError::None);
        // Stop after the end is harmless, and the player plays again.
        player.Stop();
        player.Play(path);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 5000);
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

    void midiFilesAreCheckedWhole_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<MidiFault>("fault");
        using F = MidiFault;
        const QByteArray one = Header(), two = Header("0001 0002 0060"), note = Track(kNote);
        QTest::newRow("one note") << one + note << F::None;
        QTest::newRow("running status, program, sysex")
            << one + Track("00 90 3C 64 10 40 64 00 C0 05 00 F0 02 7E F7") << F::None;
        QTest::newRow("no end-of-track event") << one + Track("00 90 3C 64") << F::None;
        QTest::newRow("bytes after end of track") << one + Track("00 FF 2F 00 FF FF") << F::None;
        QTest::newRow("127 tracks, another chunk")
            << Header("0001 007F 0060") + note.repeated(127) + Chunk("XFIH", "ab") << F::None;
        QTest::newRow("over 16 MB") << one + note + QByteArray(16 << 20, '\0') << F::TooLarge;
        QTest::newRow("not MThd") << "MTxd" + one.mid(4) + note << F::Header;
        QTest::newRow("128 tracks") << Header("0001 0080 0060") + note.repeated(128) << F::Header;
        QTest::newRow("SMPTE division") << Header("0000 0001 E728") + note << F::Header;
        QTest::newRow("track past the end") << (one + note).chopped(1) << F::Chunk;
        QTest::newRow("a track missing") << two + note << F::Chunk;
        QTest::newRow("other chunk before a track")
            << two + note + Chunk("XFIH", "ab") + note << F::Chunk;
        // Damaged tracks. A whole track follows, so a check that reads on past a
        // track's end is caught.
        for (const auto& [name, events] : {std::pair{"event cut by the track end", "00 90 3C"},
                                           {"delta-time of five bytes", "81 81 81 81 00 90 3C 64"},
                                           {"running status at the start", "00 3C 64"},
                                           {"meta data past the track end", "00 FF 01 10 68"},
                                           {"tempo of two bytes", "00 FF 51 02 07 A1 00 FF 2F 00"},
                                           {"escaped data", "00 F7 01 F8 00 FF 2F 00"},
                                           {"status where data belongs", "00 90 3C 90 3C 64"}})
            QTest::newRow(name) << one + Track(events) + note << F::Event;
    }
    void midiFilesAreCheckedWhole() {
        QFETCH(QByteArray, file);
        QFETCH(MidiFault, fault);
        const std::span bytes(reinterpret_cast<const std::uint8_t*>(file.constData()),
                              size_t(file.size()));
        QCOMPARE(CheckMidiFile(bytes), fault);
        QCOMPARE(StartsAsMidiFile(bytes), file.startsWith("MThd"));
    }

    void aGeneralMidiSoundFontIsInstalled() { QVERIFY(!DefaultSoundFont().isEmpty()); }
};

} // namespace quill

QTEST_MAIN(quill::TestMediaPlayer)
#include "media_player_test.moc"
