#pragma once
// Reads the files of a ".skn" archive (a ZIP file) into memory, within the
// limits of skin_limits.h; refuses damaged archives and unsafe entry names.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace quill {

class SkinArchive {
public:
    // Opens the archive held in `bytes`. False with a reason in `error` when the
    // data is not a ZIP archive, is damaged, or breaks a limit.
    bool Open(const QByteArray& bytes, QString* error);

    bool Contains(const QString& name) const { return index_.contains(name); }
    QStringList Names() const { return index_.keys(); }
    // Decompresses one entry; false with a reason when it is missing, damaged,
    // larger than it claims or larger than the limits allow.
    bool Read(const QString& name, QByteArray& out, QString* error);

private:
    // Where one file lies in the archive, from the central directory (checked
    // against the file's own header when the archive is opened).
    struct Entry {
        int64_t dataOffset = 0; // first byte of the stored or compressed data
        int64_t packedSize = 0;
        int64_t size = 0; // declared uncompressed size
        uint32_t crc = 0;
        int method = 0; // 0 stored, 8 deflated
    };

    // The archive is read straight from its bytes: the directory is parsed once
    // at Open, and every Read inflates one file with zlib.
    QByteArray bytes_;
    QHash<QString, Entry> index_;
    int64_t budget_ = 0; // uncompressed bytes still allowed
};

// True for an archive entry name that stays inside the archive: relative,
// forward slashes only, no "." or ".." parts, no empty parts, no control bytes.
bool IsSafeEntryName(const QString& name);

} // namespace quill
