#pragma once
// The alarm player: open, play, stop and close of one sound file at a time.
//
// Open() looks at the file on the caller's thread (only its header: quick) and
// fails when the file is missing or holds no sound the player can decode (WAV,
// FLAC, Ogg Vorbis, Opus, MP3 through libsndfile; MIDI through libfluidsynth and a
// General MIDI SoundFont). Decoding and output run on the player's own thread, so
// Play() returns at once and nothing here ever waits for the sound device. Without
// a device, or when the device fails, the sound is simply not heard: that is not
// an open failure, since the file is fine.

#include <QObject>
#include <QString>

class QThread;

namespace quill {

class PlaybackWorker;

// A relative sound file name is looked for in the current directory first, then in
// `fallbackDir` (where the program writes its default "alarm.wav"). Returns the
// path of the file found, or an empty string.
QString ResolveSoundFile(const QString& name, const QString& fallbackDir);

// The General MIDI SoundFont MIDI files are played with (empty when none is installed).
QString DefaultSoundFont();

// The versions of the sound libraries the program runs with, for the about window.
QString SndfileVersion();
QString FluidsynthVersion();

class TMediaPlayer : public QObject {
    Q_OBJECT
public:
    enum class OpenError { None, NotFound, NotSound };

    explicit TMediaPlayer(QObject* parent = nullptr);
    ~TMediaPlayer() override;

    // The file Open() opens.
    QString FileName;

    // Closes whatever the player holds, then opens FileName. False when the file is
    // missing or is not sound; LastError() says which.
    bool Open();
    OpenError LastError() const { return lastError_; }
    bool IsOpen() const { return open_; }

    // Plays the open file once from its start; returns at once.
    void Play();
    void Stop();
    void Close();

Q_SIGNALS:
    // Sound of the file reached the output device.
    void PlaybackStarted();
    // Playing ended: the file finished, Stop() or Close() came, or no device could
    // play it (`heard` false when nothing reached a device).
    void PlaybackFinished(bool heard);

private:
    QThread* thread_ = nullptr;
    PlaybackWorker* worker_ = nullptr;
    QString openPath_;
    bool open_ = false;
    bool midi_ = false;
    OpenError lastError_ = OpenError::None;
};

} // namespace quill
