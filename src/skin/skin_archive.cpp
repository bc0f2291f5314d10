#include "skin_archive.h"

#include "skin_limits.h"

#include <zlib.h>

namespace quill {
namespace {

// ZIP record signatures and the fixed sizes of their headers.
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint32_t kCentralSignature = 0x02014b50;
constexpr uint32_t kLocalSignature = 0x04034b50;
constexpr int64_t kEndSize = 22;
constexpr int64_t kCentralSize = 46;
constexpr int64_t kLocalSize = 30;

// Little-endian fields at `at`; the caller has checked that they lie inside.
uint32_t U16(const QByteArray& b, int64_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.constData() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}
uint32_t U32(const QByteArray& b, int64_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}

bool Fail(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

// Where the end-of-central-directory record starts, or -1: the last one whose
// comment runs exactly to the end of the file.
int64_t FindEndRecord(const QByteArray& b) {
    const int64_t size = b.size();
    const int64_t lowest = std::max<int64_t>(0, size - kEndSize - 0xFFFF);
    for (int64_t at = size - kEndSize; at >= lowest; --at) {
        if (U32(b, at) == kEndSignature && at + kEndSize + U16(b, at + 20) == size)
            return at;
    }
    return -1;
}

} // namespace

bool IsSafeEntryName(const QString& name) {
    if (name.isEmpty() || name.size() > 255 || name.startsWith(u'/'))
        return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c == u'\\' || c == u':' || c.unicode() == 0x7F)
            return false;
    }
    // A trailing "/" marks a directory entry; its parts must still be plain.
    QString path = name;
    if (path.endsWith(u'/'))
        path.chop(1);
    for (const QString& part : path.split(u'/')) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return true;
}

bool SkinArchive::Open(const QByteArray& bytes, QString* error) {
    index_.clear();
    bytes_.clear();
    if (bytes.size() > skin_limits::kMaxArchiveBytes)
        return Fail(error, QStringLiteral("the file is larger than %1 MB")
                               .arg(skin_limits::kMaxArchiveBytes / (1024 * 1024)));
    const auto notZip = [error](const QString& why) {
        return Fail(error, QStringLiteral("not a readable ZIP archive (%1)").arg(why));
    };
    const int64_t end = FindEndRecord(bytes);
    if (end < 0)
        return notZip(QStringLiteral("Not a zip archive"));
    const int64_t count = U16(bytes, end + 10);
    const int64_t dirSize = U32(bytes, end + 12);
    const int64_t dirStart = U32(bytes, end + 16);
    // One disk only, and a directory that ends where its end record begins (the
    // archive is neither split, nor a ZIP64 one, nor cut or padded in between).
    if (U16(bytes, end + 4) != 0 || U16(bytes, end + 6) != 0 || U16(bytes, end + 8) != count)
        return notZip(QStringLiteral("Multi-disk zip archives not supported"));
    if (dirStart + dirSize != end)
        return notZip(QStringLiteral("Zip archive inconsistent"));
    if (count > skin_limits::kMaxEntries)
        return Fail(
            error,
            QStringLiteral("the archive holds more than %1 files").arg(skin_limits::kMaxEntries));
    const auto damaged = [error](int64_t i) {
        return Fail(error, QStringLiteral("entry %1 of the archive is damaged").arg(i));
    };
    int64_t at = dirStart;
    int64_t total = 0;
    for (int64_t i = 0; i < count; ++i) {
        if (at + kCentralSize > end || U32(bytes, at) != kCentralSignature)
            return damaged(i);
        const uint32_t flags = U16(bytes, at + 8);
        Entry entry;
        entry.method = static_cast<int>(U16(bytes, at + 10));
        entry.crc = U32(bytes, at + 16);
        entry.packedSize = U32(bytes, at + 20);
        entry.size = U32(bytes, at + 24);
        const int64_t nameLength = U16(bytes, at + 28);
        const int64_t extraLength = U16(bytes, at + 30);
        const int64_t commentLength = U16(bytes, at + 32);
        const int64_t local = U32(bytes, at + 42);
        const int64_t next = at + kCentralSize + nameLength + extraLength + commentLength;
        if (next > end)
            return damaged(i);
        const QByteArray rawName = bytes.mid(at + kCentralSize, nameLength);
        // The file's own header must agree with the directory: same name, same
        // method, its data inside the part of the archive before the directory.
        if (local + kLocalSize > dirStart || U32(bytes, local) != kLocalSignature ||
            U16(bytes, local + 8) != static_cast<uint32_t>(entry.method) ||
            U16(bytes, local + 26) != nameLength ||
            bytes.mid(local + kLocalSize, nameLength) != rawName)
            return damaged(i);
        entry.dataOffset = local + kLocalSize + nameLength + U16(bytes, local + 28);
        if (entry.dataOffset + entry.packedSize > dirStart)
            return damaged(i);
        const QString name = QString::fromUtf8(rawName);
        if (!IsSafeEntryName(name))
            return Fail(error,
                        QStringLiteral("the archive holds an unsafe file name \"%1\"").arg(name));
        if (index_.contains(name))
            return Fail(error, QStringLiteral("the archive holds \"%1\" twice").arg(name));
        if ((flags & 1) != 0)
            return Fail(error, QStringLiteral("\"%1\" is encrypted").arg(name));
        if (entry.method != 0 && entry.method != Z_DEFLATED)
            return Fail(error, QStringLiteral("\"%1\" is compressed with a method other than "
                                              "deflate (%2)")
                                   .arg(name)
                                   .arg(entry.method));
        if (entry.size > skin_limits::kMaxEntryBytes)
            return Fail(error, QStringLiteral("\"%1\" expands to more than %2 MB")
                                   .arg(name)
                                   .arg(skin_limits::kMaxEntryBytes / (1024 * 1024)));
        total += entry.size;
        if (total > skin_limits::kMaxTotalBytes)
            return Fail(error, QStringLiteral("the archive expands to more than %1 MB")
                                   .arg(skin_limits::kMaxTotalBytes / (1024 * 1024)));
        index_.insert(name, entry);
        at = next;
    }
    if (at != end)
        return notZip(QStringLiteral("Zip archive inconsistent"));
    bytes_ = bytes;
    budget_ = skin_limits::kMaxTotalBytes;
    return true;
}

bool SkinArchive::Read(const QString& name, QByteArray& out, QString* error) {
    out.clear();
    const auto found = index_.constFind(name);
    if (found == index_.constEnd())
        return Fail(error, QStringLiteral("the archive lacks \"%1\"").arg(name));
    const Entry& entry = *found;
    const auto damaged = [&](const char* why) {
        out.clear();
        return Fail(error, QStringLiteral("\"%1\" is damaged (%2)").arg(name, QLatin1String(why)));
    };
    const auto* packed = reinterpret_cast<const Bytef*>(bytes_.constData() + entry.dataOffset);
    int64_t got = 0;
    if (entry.method == 0) {
        out = bytes_.mid(entry.dataOffset, entry.packedSize);
        got = out.size();
    } else {
        // Room for one byte more than declared: a header that under-states the
        // size is caught without inflating the rest.
        out.resize(static_cast<qsizetype>(entry.size) + 1);
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            return damaged("cannot start inflating");
        z.next_in = const_cast<Bytef*>(packed);
        z.avail_in = static_cast<uInt>(entry.packedSize);
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        const int result = inflate(&z, Z_FINISH);
        got = static_cast<int64_t>(z.total_out);
        inflateEnd(&z);
        if (result != Z_STREAM_END && got <= entry.size)
            return damaged(result == Z_DATA_ERROR ? "Compression error" : "Premature end of data");
    }
    if (got != entry.size) {
        out.clear();
        return Fail(error,
                    QStringLiteral("\"%1\" does not hold the size its header gives").arg(name));
    }
    out.resize(static_cast<qsizetype>(got));
    if (crc32(0, reinterpret_cast<const Bytef*>(out.constData()), static_cast<uInt>(got)) !=
        entry.crc)
        return damaged("CRC error");
    budget_ -= got;
    if (budget_ < 0) {
        out.clear();
        return Fail(error, QStringLiteral("the archive expands to more than allowed"));
    }
    return true;
}

} // namespace quill
