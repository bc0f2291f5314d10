#pragma once
// The sound module: the decoders (libsndfile, FluidSynth) and the output (Qt
// Multimedia) in a library of their own, opened when the first sound plays or the
// about window asks for their versions. Most starts play nothing, and loading
// these libraries cost every start more than ten milliseconds.

#include <QString>
#include <functional>

namespace quill {

// Plays one file at a time; made, used and deleted on the player's thread.
class SoundEngine {
public:
    // Called on the player's thread. `error` is a TMediaPlayer::OpenError.
    struct Events {
        std::function<void(quint64 request, int error)> opened;
        std::function<void()> started;
        std::function<void(bool heard)> finished;
    };
    virtual ~SoundEngine() = default;
    // Stops what plays, opens `path` and plays it once; `opened` comes first.
    virtual void Play(quint64 request, const QString& path) = 0;
    virtual void Stop() = 0;
};

// What the module offers; the members are null when it could not be opened.
struct SoundModule {
    SoundEngine* (*makeEngine)(const SoundEngine::Events& events) = nullptr;
    const char* (*sndfileVersion)() = nullptr;
    const char* (*fluidsynthVersion)() = nullptr;
    QString error; // why it could not be opened
};

// Opens the module once (from any thread) and keeps it for the rest of the run.
const SoundModule& LoadSoundModule();

// The module's file name, and its entry points (extern "C" in the module).
inline constexpr const char* kSoundModuleName = "quillnote-sound";
inline constexpr const char* kMakeSoundEngine = "quillnote_make_sound_engine";
inline constexpr const char* kSndfileVersion = "quillnote_sndfile_version";
inline constexpr const char* kFluidsynthVersion = "quillnote_fluidsynth_version";

} // namespace quill
