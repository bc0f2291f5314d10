#pragma once
// Reads the files of a ".skn" archive (a ZIP file) into memory, within the
// limits of skin_limits.h; refuses damaged archives and unsafe entry names.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

struct zip; // libzip's archive handle

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
    QByteArray bytes_;
    // One handle for every read: opening the archive parses (and checks) the whole
    // central directory, too costly to repeat per entry.
    std::shared_ptr<zip> archive_;
    QHash<QString, int64_t> index_; // entry name -> libzip index
    QHash<QString, int64_t> sizes_; // declared uncompressed size
    int64_t budget_ = 0;            // uncompressed bytes still allowed
};

// True for an archive entry name that stays inside the archive: relative,
// forward slashes only, no "." or ".." parts, no empty parts, no control bytes.
bool IsSafeEntryName(const QString& name);

} // namespace quill
