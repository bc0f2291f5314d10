#include "skin_test_util.h"

#include "skin/skin_archive.h"

#include <QFile>
#include <QJsonDocument>
#include <zip.h>

namespace quill::test {

QString ShippedSkin(const QString& name) {
    return QStringLiteral(QUILLNOTE_TEST_SKINS_DIR "/") + name + QStringLiteral(".skn");
}

SkinEntries UnpackSkin(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    SkinArchive archive;
    if (!archive.Open(file.readAll(), nullptr))
        return {};
    SkinEntries out;
    for (const QString& name : archive.Names()) {
        QByteArray bytes;
        if (!archive.Read(name, bytes, nullptr))
            return {};
        out.push_back({name, bytes});
    }
    return out;
}

bool WriteZip(const QString& path, const SkinEntries& entries) {
    QFile::remove(path);
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const auto& [name, bytes] : entries) {
        // libzip reads the buffer at zip_close; the entries outlive that call.
        zip_source_t* src = zip_source_buffer(archive, bytes.constData(),
                                              static_cast<zip_uint64_t>(bytes.size()), 0);
        if (!src || zip_file_add(archive, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8) < 0) {
            zip_source_free(src);
            zip_discard(archive);
            return false;
        }
    }
    return zip_close(archive) == 0;
}

SkinEntries WithEntry(SkinEntries entries, const QString& name, const QByteArray& bytes) {
    for (auto& entry : entries) {
        if (entry.first == name) {
            entry.second = bytes;
            return entries;
        }
    }
    entries.push_back({name, bytes});
    return entries;
}

SkinEntries WithManifest(SkinEntries entries, const std::function<void(QJsonObject&)>& edit) {
    for (auto& entry : entries) {
        if (entry.first == QLatin1String("skin.json")) {
            QJsonObject root = QJsonDocument::fromJson(entry.second).object();
            edit(root);
            entry.second = QJsonDocument(root).toJson();
        }
    }
    return entries;
}

} // namespace quill::test
