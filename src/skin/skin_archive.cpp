#include "skin_archive.h"

#include "skin_limits.h"

#include <zip.h>

#include <memory>

namespace quill {
namespace {

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

QString ZipErrorText(zip_error_t* error) {
    return QString::fromUtf8(zip_error_strerror(error));
}

std::unique_ptr<zip_t, ZipCloser> OpenBuffer(const QByteArray& bytes, QString* error) {
    zip_error_t zerror;
    zip_error_init(&zerror);
    zip_source_t* source = zip_source_buffer_create(
        bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0, &zerror);
    if (!source) {
        if (error)
            *error = ZipErrorText(&zerror);
        zip_error_fini(&zerror);
        return nullptr;
    }
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &zerror);
    if (!archive) {
        zip_source_free(source);
        if (error)
            *error = ZipErrorText(&zerror);
        zip_error_fini(&zerror);
        return nullptr;
    }
    zip_error_fini(&zerror);
    return std::unique_ptr<zip_t, ZipCloser>(archive);
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
    sizes_.clear();
    bytes_.clear();
    if (bytes.size() > skin_limits::kMaxArchiveBytes) {
        if (error)
            *error = QStringLiteral("the file is larger than %1 MB")
                         .arg(skin_limits::kMaxArchiveBytes / (1024 * 1024));
        return false;
    }
    QString why;
    // The handle reads from the kept copy of the bytes, which never changes after.
    archive_.reset();
    bytes_ = bytes;
    auto archive = OpenBuffer(bytes_, &why);
    if (!archive) {
        bytes_.clear();
        if (error)
            *error = QStringLiteral("not a readable ZIP archive (%1)").arg(why);
        return false;
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count < 0 || count > skin_limits::kMaxEntries) {
        if (error)
            *error = QStringLiteral("the archive holds more than %1 files")
                         .arg(skin_limits::kMaxEntries);
        return false;
    }
    int64_t total = 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), 0, &st) != 0 ||
            !(st.valid & ZIP_STAT_NAME) || !(st.valid & ZIP_STAT_SIZE)) {
            if (error)
                *error = QStringLiteral("entry %1 of the archive is damaged").arg(i);
            return false;
        }
        const QString name = QString::fromUtf8(st.name);
        if (!IsSafeEntryName(name)) {
            if (error)
                *error = QStringLiteral("the archive holds an unsafe file name \"%1\"").arg(name);
            return false;
        }
        if (index_.contains(name)) {
            if (error)
                *error = QStringLiteral("the archive holds \"%1\" twice").arg(name);
            return false;
        }
        if (st.size > static_cast<zip_uint64_t>(skin_limits::kMaxEntryBytes)) {
            if (error)
                *error = QStringLiteral("\"%1\" expands to more than %2 MB")
                             .arg(name)
                             .arg(skin_limits::kMaxEntryBytes / (1024 * 1024));
            return false;
        }
        total += static_cast<int64_t>(st.size);
        if (total > skin_limits::kMaxTotalBytes) {
            if (error)
                *error = QStringLiteral("the archive expands to more than %1 MB")
                             .arg(skin_limits::kMaxTotalBytes / (1024 * 1024));
            return false;
        }
        index_.insert(name, i);
        sizes_.insert(name, static_cast<int64_t>(st.size));
    }
    archive_ = std::shared_ptr<zip>(archive.release(), ZipCloser());
    budget_ = skin_limits::kMaxTotalBytes;
    return true;
}

bool SkinArchive::Read(const QString& name, QByteArray& out, QString* error) {
    out.clear();
    const auto found = index_.constFind(name);
    if (found == index_.constEnd()) {
        if (error)
            *error = QStringLiteral("the archive lacks \"%1\"").arg(name);
        return false;
    }
    const int64_t declared = sizes_.value(name);
    if (!archive_) {
        if (error)
            *error = QStringLiteral("the archive lacks \"%1\"").arg(name);
        return false;
    }
    zip_t* archive = archive_.get();
    // A failed open leaves its error on the handle; the next read starts clean.
    zip_error_clear(archive);
    std::unique_ptr<zip_file_t, FileCloser> file(
        zip_fopen_index(archive, static_cast<zip_uint64_t>(*found), 0));
    if (!file) {
        if (error)
            *error = QStringLiteral("\"%1\" cannot be read (%2)")
                         .arg(name, QString::fromUtf8(zip_strerror(archive)));
        return false;
    }
    // Read at most one byte more than declared: a header that under-states the
    // size is caught without inflating the rest.
    out.resize(static_cast<qsizetype>(declared) + 1);
    int64_t got = 0;
    while (got < declared + 1) {
        const zip_int64_t n =
            zip_fread(file.get(), out.data() + got, static_cast<zip_uint64_t>(declared + 1 - got));
        if (n < 0) {
            if (error)
                *error = QStringLiteral("\"%1\" is damaged (%2)")
                             .arg(name, QString::fromUtf8(zip_file_strerror(file.get())));
            out.clear();
            return false;
        }
        if (n == 0)
            break;
        got += n;
    }
    if (got != declared) {
        if (error)
            *error = QStringLiteral("\"%1\" does not hold the size its header gives").arg(name);
        out.clear();
        return false;
    }
    budget_ -= got;
    if (budget_ < 0) {
        if (error)
            *error = QStringLiteral("the archive expands to more than allowed");
        out.clear();
        return false;
    }
    out.resize(static_cast<qsizetype>(got));
    return true;
}

} // namespace quill
