#include "skin_data.h"

#include "skin_archive.h"
#include "skin_limits.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>

namespace quill {

const SkinPicture* SkinData::Find(const QString& name) const {
    for (auto it = pictures.crbegin(); it != pictures.crend(); ++it) {
        if (it->name == name)
            return &*it;
    }
    return nullptr;
}

QPixmap SkinData::Pixmap(const SkinPicture& picture, qreal dpr) {
    if (dpr > 1.25 && !picture.image2x.isNull()) {
        QPixmap pm = QPixmap::fromImage(picture.image2x);
        pm.setDevicePixelRatio(2.0);
        return pm;
    }
    return QPixmap::fromImage(picture.image1x);
}

QPixmap SkinData::Pixmap(const QString& name, qreal dpr) const {
    const SkinPicture* p = Find(name);
    return p ? Pixmap(*p, dpr) : QPixmap();
}

QImage DecodeSkinPng(const QByteArray& bytes, const QString& name, QString* error) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    // No guessing: a guessing reader asks (and loads) every image plugin first.
    reader.setAutoDetectImageFormat(false);
    // Only PNG is read: the header is checked before any pixel is decoded.
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid()) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a PNG picture").arg(name);
        return {};
    }
    if (size.width() > skin_limits::kMaxImageSide || size.height() > skin_limits::kMaxImageSide ||
        static_cast<int64_t>(size.width()) * size.height() > skin_limits::kMaxImagePixels) {
        if (error)
            *error = QStringLiteral("\"%1\" is %2 x %3 pixels, larger than allowed")
                         .arg(name)
                         .arg(size.width())
                         .arg(size.height());
        return {};
    }
    QImage image;
    if (!reader.read(&image) || image.isNull() || image.size() != size) {
        if (error)
            *error = QStringLiteral("\"%1\" is a damaged PNG picture (%2)")
                         .arg(name, reader.errorString());
        return {};
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::unique_ptr<SkinData> ReadSkinBytes(const QByteArray& bytes, QString* error) {
    SkinArchive archive;
    QString why;
    if (bytes.isEmpty()) {
        if (error)
            *error = QStringLiteral("the file is empty, not a ZIP archive");
        return nullptr;
    }
    if (!archive.Open(bytes, &why)) {
        if (error)
            *error = why;
        return nullptr;
    }
    const QString manifestName = QStringLiteral("skin.json");
    QByteArray json;
    if (!archive.Contains(manifestName)) {
        if (error)
            *error = QStringLiteral("the archive has no \"skin.json\" manifest");
        return nullptr;
    }
    if (!archive.Read(manifestName, json, &why)) {
        if (error)
            *error = why;
        return nullptr;
    }
    auto data = std::make_unique<SkinData>();
    if (!ParseSkinManifest(json, data->manifest, &why)) {
        if (error)
            *error = why;
        return nullptr;
    }
    int64_t pixels = 0;
    auto load = [&](const QString& file, QImage& out) {
        QByteArray png;
        if (!archive.Read(file, png, &why))
            return false;
        out = DecodeSkinPng(png, file, &why);
        if (out.isNull())
            return false;
        pixels += static_cast<int64_t>(out.width()) * out.height();
        if (pixels > skin_limits::kMaxTotalImagePixels) {
            why = QStringLiteral("the pictures together are larger than allowed");
            return false;
        }
        return true;
    };
    for (const SkinImageEntry& entry : data->manifest.images) {
        SkinPicture picture;
        picture.name = entry.name;
        if (!load(entry.file, picture.image1x) ||
            (!entry.file2x.isEmpty() && !load(entry.file2x, picture.image2x))) {
            if (error)
                *error = QStringLiteral("image \"%1\": %2").arg(entry.name, why);
            return nullptr;
        }
        if (!picture.image2x.isNull() && picture.image2x.size() != picture.image1x.size() * 2) {
            if (error)
                *error = QStringLiteral("image \"%1\": the 2x picture is not twice the size of "
                                        "the 1x picture")
                             .arg(entry.name);
            return nullptr;
        }
        data->pictures.push_back(std::move(picture));
    }
    return data;
}

std::unique_ptr<SkinData> ReadSkinFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.exists()) {
        if (error)
            *error = QStringLiteral("the skin file \"%1\" does not exist").arg(path);
        return nullptr;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("the skin file \"%1\" cannot be opened: %2")
                         .arg(path, file.errorString());
        return nullptr;
    }
    if (file.size() > skin_limits::kMaxArchiveBytes) {
        if (error)
            *error = QStringLiteral("the skin file \"%1\" is larger than %2 MB")
                         .arg(path)
                         .arg(skin_limits::kMaxArchiveBytes / (1024 * 1024));
        return nullptr;
    }
    const QByteArray bytes = file.read(skin_limits::kMaxArchiveBytes + 1);
    QString why;
    auto data = ReadSkinBytes(bytes, &why);
    if (!data && error)
        *error = QStringLiteral("the skin file \"%1\" cannot be used: %2").arg(path, why);
    return data;
}

} // namespace quill
