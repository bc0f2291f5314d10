#pragma once
// The alarm player: plays one sound file at a time.
//
// Everything that touches the file runs on the player's own thread, which opens the
// sound module (sound_engine.h) for the first sound: Play() returns
// at once, then the file is opened there (WAV, FLAC, Ogg Vorbis, Opus, MP3 through
// libsndfile; MIDI through libfluidsynth and a General MIDI SoundFont) and Opened
// tells how that went: the file is missing, holds no sound the player can decode,
// or opened fine. Decoding and output run on the same thread, so nothing here ever
// waits for the sound device. Without a device, or when the device fails, the
// sound is simply not heard: that is not an open failure, since the file is fine.

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
    Q_ENUM(OpenError)

    explicit TMediaPlayer(QObject* parent = nullptr);
    ~TMediaPlayer() override;

    // Stops what is playing, then opens `fileName` and plays it once from its
    // start, all on the player's thread; returns at once with the number Opened
    // reports this request under.
    quint64 Play(const QString& fileName);
    // Stops what is playing; a Play() made before is stopped too, even when its
    // file has not been opened yet (the player's thread takes calls in order).
    void Stop();

Q_SIGNALS:
    // How opening the file of a Play() request went; exactly once per request,
    // before its PlaybackFinished.
    void Opened(quint64 request, quill::TMediaPlayer::OpenError error);
    // Sound of the file reached the output device.
    void PlaybackStarted();
    // Playing ended: the file finished, Stop() came, the file did not open, or no
    // device could play it (`heard` false when nothing reached a device).
    void PlaybackFinished(bool heard);

private:
    QThread* thread_ = nullptr;
    PlaybackWorker* worker_ = nullptr;
    quint64 lastRequest_ = 0;
};

} // namespace quill
