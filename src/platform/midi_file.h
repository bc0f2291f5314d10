#pragma once
// Whether a Standard MIDI File is one the synthesiser can load and play.
//
// FluidSynth only looks at the first four bytes ("MThd") when asked whether a file
// is MIDI, and a file its loader then refuses plays nothing without a word. The
// check below walks the whole file as that loader does and refuses everything it
// refuses, plus what is damaged although the loader would stumble through it (a
// chunk longer than the file, an event running past its track's end). Plain C++:
// no file access, the caller hands over the bytes.

#include <cstddef>
#include <cstdint>
#include <span>

namespace quill {

// The largest MIDI file played. The synthesiser reads a MIDI file whole into
// memory; a larger one is not read at all.
inline constexpr std::size_t kMaxMidiFileBytes = std::size_t{16} * 1024 * 1024;

enum class MidiFault {
    None,     // loads and plays
    TooLarge, // more than kMaxMidiFileBytes
    Header,   // no "MThd" header of 6 bytes, format 0-2, 1-127 tracks, ticks per quarter
    Chunk,    // a track missing, cut short, longer than the file, or after another chunk
    Event,    // an event that is malformed or runs past the end of its track
};

// True when `bytes` begin as a Standard MIDI File does, damaged or not.
bool StartsAsMidiFile(std::span<const std::uint8_t> bytes);

// Checks a whole file: its header, then each of the tracks the header announces,
// each track event by event up to its end-of-track event or its last byte. Bytes
// after the last track are not looked at, nor bytes after an end-of-track event
// inside its track.
MidiFault CheckMidiFile(std::span<const std::uint8_t> bytes);

} // namespace quill
