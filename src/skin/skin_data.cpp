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

SkinPicture::SkinPicture(QString name, QByteArray png1x, QSize size1x, QByteArray png2x)
    : name(std::move(name)), png1x_(std::move(png1x)), png2x_(std::move(png2x)), size1x_(size1x) {}

const QImage& SkinPicture::image1x() const {
    if (!decoded1x_) {
        decoded1x_ = true;
        image1x_ = DecodeSkinPng(png1x_, name, nullptr);
    }
    return image1x_;
}

const QImage& SkinPicture::image2x() const {
    if (!decoded2x_) {
        decoded2x_ = true;
        if (!png2x_.isEmpty()) {
            image2x_ = DecodeSkinPng(png2x_, name, nullptr);
            // Only a picture of exactly twice the size stands in for the 1x one.
            if (image2x_.size() != size1x_ * 2)
                image2x_ = QImage();
        }
    }
    return image2x_;
}

bool SkinPicture::Decode(QString* error) const {
    decoded1x_ = true;
    image1x_ = DecodeSkinPng(png1x_, name, error);
    if (image1x_.isNull())
        return false;
    decoded2x_ = true;
    if (png2x_.isEmpty())
        return true;
    image2x_ = DecodeSkinPng(png2x_, name, error);
    return !image2x_.isNull();
}

void SkinPicture::Forget2x() const {
    image2x_ = QImage();
    decoded2x_ = false;
}

QPixmap SkinData::Pixmap(const SkinPicture& picture, qreal dpr) {
    // A 2x picture that cannot be decoded leaves the 1x one to be drawn.
    if (dpr > 1.25 && picture.has2x() && !picture.image2x().isNull()) {
        QPixmap pm = QPixmap::fromImage(picture.image2x());
        pm.setDevicePixelRatio(2.0);
        return pm;
    }
    return QPixmap::fromImage(picture.image1x());
}

QPixmap SkinData::Pixmap(const QString& name, qreal dpr) const {
    const SkinPicture* p = Find(name);
    return p ? Pixmap(*p, dpr) : QPixmap();
}

namespace {

// Checks the header of a PNG held in `reader`: its size, or invalid with a reason.
QSize CheckedPngSize(QImageReader& reader, const QString& name, QString* error) {
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
    return size;
}

} // namespace

QSize ReadSkinPngSize(const QByteArray& bytes, const QString& name, QString* error) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    return CheckedPngSize(reader, name, error);
}

QImage DecodeSkinPng(const QByteArray& bytes, const QString& name, QString* error) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    const QSize size = CheckedPngSize(reader, name, error);
    if (!size.isValid())
        return {};
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
    // Reads one picture's file and checks its header before anything is decoded.
    auto load = [&](const QString& file, QByteArray& png, QSize& size) {
        if (!archive.Read(file, png, &why))
            return false;
        size = ReadSkinPngSize(png, file, &why);
        if (!size.isValid())
            return false;
        pixels += static_cast<int64_t>(size.width()) * size.height();
        if (pixels > skin_limits::kMaxTotalImagePixels) {
            why = QStringLiteral("the pictures together are larger than allowed");
            return false;
        }
        return true;
    };
    for (const SkinImageEntry& entry : data->manifest.images) {
        QByteArray png1x, png2x;
        QSize size1x, size2x;
        if (!load(entry.file, png1x, size1x) ||
            (!entry.file2x.isEmpty() && !load(entry.file2x, png2x, size2x))) {
            if (error)
                *error = QStringLiteral("image \"%1\": %2").arg(entry.name, why);
            return nullptr;
        }
        if (!entry.file2x.isEmpty() && size2x != size1x * 2) {
            if (error)
                *error = QStringLiteral("image \"%1\": the 2x picture is not twice the size of "
                                        "the 1x picture")
                             .arg(entry.name);
            return nullptr;
        }
        SkinPicture picture(entry.name, std::move(png1x), size1x, std::move(png2x));
        if (!picture.Decode(&why)) {
            if (error)
                *error = QStringLiteral("image \"%1\": %2").arg(entry.name, why);
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
