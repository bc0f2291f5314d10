// The sound module (sound_engine.h): decoding with libsndfile and FluidSynth,
// output through Qt Multimedia. Opened by the program when it first needs sound.
#include "platform/media_player.h"
#include "platform/midi_file.h"
#include "platform/sound_engine.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QMediaDevices>
#include <QPointer>
#include <QTimer>

#include <fluidsynth.h>
#include <sndfile.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace quill {

namespace {

void SilenceFluidSynthLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

// Float frames for the sink, from a decoder that fills interleaved float frames.
class FrameSource : public QIODevice {
public:
    int channels = 2; // 1 or 2, what the sink gets
    int sampleRate = 44100;

    bool isSequential() const override { return true; }
    bool atEnd() const override { return finished_; }
    qint64 bytesAvailable() const override {
        return finished_ ? 0 : 4096 + QIODevice::bytesAvailable();
    }

protected:
    // Fills up to `frames` frames of `channels` floats; returns the frames written,
    // 0 at the end.
    virtual qint64 Render(float* out, qint64 frames) = 0;

    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 frameBytes = qint64(sizeof(float)) * channels;
        const qint64 frames = maxSize / frameBytes;
        if (finished_ || frames <= 0)
            return 0;
        const qint64 got = Render(reinterpret_cast<float*>(data), frames);
        if (got <= 0) {
            finished_ = true;
            return 0;
        }
        return got * frameBytes;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    bool finished_ = false;
};

class SndFileSource final : public FrameSource {
public:
    explicit SndFileSource(const QString& path) {
        SF_INFO info{};
        file_ = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
        if (!file_ || info.channels <= 0 || info.samplerate <= 0) {
            if (file_)
                sf_close(file_);
            file_ = nullptr;
            return;
        }
        fileChannels_ = info.channels;
        channels = std::min(fileChannels_, 2);
        sampleRate = info.samplerate;
    }
    ~SndFileSource() override {
        if (file_)
            sf_close(file_);
    }
    bool IsValid() const { return file_ != nullptr; }

protected:
    qint64 Render(float* out, qint64 frames) override {
        if (fileChannels_ == channels)
            return sf_readf_float(file_, out, frames);
        // More than two channels: the first two are played.
        buffer_.resize(static_cast<size_t>(frames * fileChannels_));
        const sf_count_t got = sf_readf_float(file_, buffer_.data(), frames);
        for (sf_count_t f = 0; f < got; ++f)
            for (int c = 0; c < channels; ++c)
                out[f * channels + c] = buffer_[static_cast<size_t>(f * fileChannels_ + c)];
        return got;
    }

private:
    SNDFILE* file_ = nullptr;
    int fileChannels_ = 0;
    std::vector<float> buffer_;
};

// Renders a MIDI file with a General MIDI SoundFont. The synthesiser and its
// SoundFont (slow to load) are made once per player thread and kept.
class MidiSynth {
public:
    ~MidiSynth() {
        if (synth_)
            delete_fluid_synth(synth_);
        if (settings_)
            delete_fluid_settings(settings_);
    }
    fluid_synth_t* Get() {
        if (tried_)
            return synth_;
        tried_ = true;
        SilenceFluidSynthLog();
        const QString font = DefaultSoundFont();
        if (font.isEmpty())
            return nullptr;
        settings_ = new_fluid_settings();
        fluid_settings_setnum(settings_, "synth.sample-rate", 44100.0);
        // The default gain (0.2) leaves a MIDI alarm much quieter than a recorded one.
        fluid_settings_setnum(settings_, "synth.gain", 0.6);
        synth_ = new_fluid_synth(settings_);
        if (synth_ && fluid_synth_sfload(synth_, QFile::encodeName(font).constData(), 1) < 0) {
            delete_fluid_synth(synth_);
            synth_ = nullptr;
        }
        return synth_;
    }

private:
    bool tried_ = false;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
};

// Plays the bytes of a MIDI file CheckMidiFile() accepted (the synthesiser loads
// them when it renders first, and a file it cannot load would play nothing).
class MidiSource final : public FrameSource {
public:
    MidiSource(fluid_synth_t* synth, const QByteArray& file) : synth_(synth) {
        channels = 2;
        sampleRate = 44100;
        fluid_synth_system_reset(synth_);
        player_ = new_fluid_player(synth_);
        if (player_ &&
            fluid_player_add_mem(player_, file.constData(), size_t(file.size())) == FLUID_OK &&
            fluid_player_play(player_) == FLUID_OK)
            return;
        if (player_)
            delete_fluid_player(player_);
        player_ = nullptr;
    }
    ~MidiSource() override {
        if (player_) {
            fluid_player_stop(player_);
            delete_fluid_player(player_);
        }
        fluid_synth_all_sounds_off(synth_, -1);
    }
    bool IsValid() const { return player_ != nullptr; }

protected:
    qint64 Render(float* out, qint64 frames) override {
        if (fluid_player_get_status(player_) != FLUID_PLAYER_PLAYING) {
            // Half a second for the last notes to fade, then the end.
            if (tail_ <= 0)
                return 0;
            frames = std::min<qint64>(frames, tail_);
            tail_ -= frames;
        }
        fluid_synth_write_float(synth_, static_cast<int>(frames), out, 0, 2, out, 1, 2);
        return frames;
    }

private:
    fluid_synth_t* synth_;
    fluid_player_t* player_ = nullptr;
    qint64 tail_ = 22050;
};

} // namespace

// Lives on the player's thread: decodes the file and feeds the output device.
class PlaybackWorker final : public QObject, public SoundEngine {
public:
    explicit PlaybackWorker(Events events) : events_(std::move(events)) {}
    ~PlaybackWorker() override { StopNow(false); }

    void Play(quint64 request, const QString& path) override {
        StopNow(false);
        auto error = OpenError::None;
        std::unique_ptr<FrameSource> source = Open(path, error);
        events_.opened(request, static_cast<int>(error));
        if (!source)
            return Finish(false);
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return Finish(false);
        QAudioFormat format;
        format.setSampleRate(source->sampleRate);
        format.setChannelCount(source->channels);
        format.setSampleFormat(QAudioFormat::Float);
        if (!device.isFormatSupported(format))
            return Finish(false);
        source->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        source_ = std::move(source);
        sink_ = new QAudioSink(device, format, this);
        connect(sink_, &QAudioSink::stateChanged, this, &PlaybackWorker::SinkStateChanged);
        sink_->start(source_.get());
        if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState)
            StopNow(false);
    }

    void Stop() override { StopNow(heard_); }

private:
    // OpenError's values.
    enum class OpenError { None, NotFound, NotSound };

    // The file's decoder, or null: `error` says whether the file is at fault (a
    // MIDI file without a SoundFont to play it with is silent, not faulty).
    std::unique_ptr<FrameSource> Open(const QString& path, OpenError& error) {
        if (!QFileInfo(path).isFile()) {
            error = OpenError::NotFound;
            return nullptr;
        }
        error = OpenError::NotSound;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return nullptr;
        const QByteArray start = file.peek(4);
        if (StartsAsMidiFile(AsBytes(start))) {
            // The synthesiser holds the whole file in memory: a file beyond the
            // limit is not read at all, and no more than the limit ever is.
            if (file.size() > qint64(kMaxMidiFileBytes))
                return nullptr;
            const QByteArray bytes = file.read(qint64(kMaxMidiFileBytes) + 1);
            if (CheckMidiFile(AsBytes(bytes)) != MidiFault::None)
                return nullptr; // the synthesiser could not load it: no sound
            error = OpenError::None;
            fluid_synth_t* synth = synth_.Get();
            if (!synth)
                return nullptr;
            auto midi = std::make_unique<MidiSource>(synth, bytes);
            return midi->IsValid() ? std::move(midi) : nullptr;
        }
        file.close();
        auto sound = std::make_unique<SndFileSource>(path);
        if (!sound->IsValid())
            return nullptr;
        error = OpenError::None;
        return sound;
    }

    static std::span<const std::uint8_t> AsBytes(const QByteArray& bytes) {
        return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), size_t(bytes.size())};
    }

    void SinkStateChanged(QAudio::State state) {
        if (!sink_)
            return;
        if (state == QAudio::ActiveState && !heard_) {
            heard_ = true;
            events_.started();
        } else if (state == QAudio::IdleState && source_ && source_->atEnd()) {
            // Idle means the buffer went to the server, not that it was heard:
            // stopping at once would cut the last part off.
            QTimer::singleShot(400, this, [this, sink = QPointer<QAudioSink>(sink_)] {
                if (sink && sink == sink_)
                    StopNow(heard_);
            });
        } else if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError) {
            // The device went away or refused: the rest is silence.
            StopNow(heard_);
        }
    }

    void StopNow(bool heard) {
        if (!sink_ && !source_)
            return;
        if (sink_) {
            QAudioSink* sink = sink_;
            sink_ = nullptr;
            sink->disconnect(this);
            sink->stop();
            delete sink; // before its source goes
        }
        source_.reset();
        heard_ = false;
        events_.finished(heard);
    }

    void Finish(bool heard) { events_.finished(heard); }

    Events events_;
    MidiSynth synth_;
    std::unique_ptr<FrameSource> source_;
    QAudioSink* sink_ = nullptr;
    bool heard_ = false;
};

} // namespace quill

extern "C" {

Q_DECL_EXPORT quill::SoundEngine*
quillnote_make_sound_engine(const quill::SoundEngine::Events& events) {
    return new quill::PlaybackWorker(events);
}

Q_DECL_EXPORT const char* quillnote_sndfile_version() {
    return sf_version_string();
}

Q_DECL_EXPORT const char* quillnote_fluidsynth_version() {
    return fluid_version_str();
}

} // extern "C"
