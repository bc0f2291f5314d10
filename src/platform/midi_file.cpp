#include "platform/midi_file.h"

#include <algorithm>

namespace quill {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::uint8_t kHeaderId[] = {'M', 'T', 'h', 'd'};
constexpr std::uint8_t kTrackId[] = {'M', 'T', 'r', 'k'};
constexpr std::size_t kHeaderBytes = 14; // "MThd", length 6, format, tracks, division
// The synthesiser plays at most this many tracks and refuses a file with more.
constexpr std::uint32_t kMaxTracks = 127;

std::uint32_t BigEndian(Bytes bytes, std::size_t at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value = (value << 8) | bytes[at + i];
    return value;
}

// A variable-length quantity: seven bits a byte, at most four bytes (a fifth is
// refused by the synthesiser's loader and by the file format alike).
bool ReadVarLen(Bytes track, std::size_t& pos, std::uint32_t& value) {
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (pos >= track.size())
            return false;
        const std::uint8_t byte = track[pos++];
        value = (value << 7) | (byte & 0x7Fu);
        if ((byte & 0x80) == 0)
            return true;
    }
    return false;
}

// Meta events of a fixed length; the synthesiser refuses one of another length.
bool MetaLengthFits(std::uint8_t type, std::uint32_t length) {
    switch (type) {
    case 0x2F: // end of track
        return length == 0;
    case 0x51: // tempo
        return length == 3;
    case 0x54: // SMPTE offset
        return length == 5;
    case 0x58: // time signature
        return length == 4;
    case 0x59: // key signature
        return length == 2;
    default:
        return true;
    }
}

// One track's events, `track` being exactly the chunk's data.
bool TrackIsWellFormed(Bytes track) {
    std::size_t pos = 0;
    std::uint8_t running = 0; // no running status at the start of a track
    while (pos < track.size()) {
        std::uint32_t delta = 0;
        if (!ReadVarLen(track, pos, delta) || pos >= track.size())
            return false;
        std::uint8_t status = track[pos];
        if (status & 0x80)
            ++pos;
        else if (running == 0)
            return false; // a data byte with no status to run on
        else
            status = running;

        if (status == 0xFF || status == 0xF0) { // meta, system exclusive
            running = 0;                        // both end a running status
            std::uint8_t type = 0;
            if (status == 0xFF) {
                if (pos >= track.size())
                    return false;
                type = track[pos++];
            }
            std::uint32_t length = 0;
            if (!ReadVarLen(track, pos, length) || length > track.size() - pos)
                return false;
            pos += length;
            if (status == 0xFF && !MetaLengthFits(type, length))
                return false;
            if (status == 0xFF && type == 0x2F)
                return true; // what follows the end of the track is not read
        } else if (status > 0xF0) {
            return false; // escaped data (F7) and system messages: refused when loading
        } else {
            running = status;
            const std::size_t count = (status & 0xE0) == 0xC0 ? 1 : 2; // program, pressure: 1
            if (count > track.size() - pos)
                return false;
            for (std::size_t i = 0; i < count; ++i) {
                if (track[pos++] & 0x80)
                    return false; // a status byte where data belongs: the file is cut
            }
        }
    }
    return true;
}

} // namespace

bool StartsAsMidiFile(Bytes bytes) {
    return bytes.size() >= 4 && std::equal(bytes.begin(), bytes.begin() + 4, kHeaderId);
}

MidiFault CheckMidiFile(Bytes bytes) {
    if (bytes.size() > kMaxMidiFileBytes)
        return MidiFault::TooLarge;
    if (bytes.size() < kHeaderBytes || !StartsAsMidiFile(bytes) || BigEndian(bytes, 4, 4) != 6)
        return MidiFault::Header;
    const std::uint32_t format = BigEndian(bytes, 8, 2);
    const std::uint32_t tracks = BigEndian(bytes, 10, 2);
    const std::uint32_t division = BigEndian(bytes, 12, 2);
    // A division with its top bit set counts SMPTE frames, which the synthesiser
    // does not play; none at all would make every tick infinitely long.
    if (format > 2 || tracks == 0 || tracks > kMaxTracks || division == 0 || (division & 0x8000))
        return MidiFault::Header;

    // The tracks follow one another. The synthesiser does not step over a chunk
    // of another kind before a track (it takes what follows for more of that
    // chunk), so such a file does not load; chunks after the last track are not
    // read.
    std::size_t pos = kHeaderBytes;
    for (std::uint32_t track = 0; track < tracks; ++track) {
        if (bytes.size() - pos < 8 || !std::equal(kTrackId, kTrackId + 4, bytes.begin() + pos))
            return MidiFault::Chunk;
        const std::uint32_t length = BigEndian(bytes, pos + 4, 4);
        pos += 8;
        if (length > bytes.size() - pos)
            return MidiFault::Chunk;
        if (!TrackIsWellFormed(bytes.subspan(pos, length)))
            return MidiFault::Event;
        pos += length;
    }
    return MidiFault::None;
}

} // namespace quill
