#pragma once
// The parsed contents of one skin file: its manifest and its decoded pictures.

#include "skin_manifest.h"

#include <QImage>
#include <QString>
#include <QVector>
#include <memory>

namespace quill {

// A picture of the skin, decoded once when the skin is read (Decode), so that a
// damaged picture refuses the whole skin and the previous one stays.
class SkinPicture {
public:
    SkinPicture() = default;
    SkinPicture(QString name, QByteArray png1x, QSize size1x, QByteArray png2x = {});

    QString name;
    // Null when the picture cannot be decoded (the 2x one also when there is none).
    const QImage& image1x() const;
    const QImage& image2x() const;
    bool has2x() const { return !png2x_.isEmpty(); }
    // Decodes both resolutions; false with the reason when either is damaged.
    bool Decode(QString* error) const;
    // Lets the decoded 2x picture go (it is decoded again when a screen needs it):
    // most screens draw the 1x one only, and the 2x pictures are four times larger.
    void Forget2x() const;
    QSize logicalSize() const { return size1x_; }

private:
    QByteArray png1x_;
    QByteArray png2x_;
    QSize size1x_;
    mutable QImage image1x_;
    mutable QImage image2x_;
    mutable bool decoded1x_ = false;
    mutable bool decoded2x_ = false;
};

class SkinData {
public:
    SkinManifest manifest;
    QVector<SkinPicture> pictures; // in manifest order

    // The last picture called `name`, or nullptr.
    const SkinPicture* Find(const QString& name) const;
    // The picture at the best resolution for `dpr`, carrying its device pixel ratio.
    QPixmap Pixmap(const QString& name, qreal dpr) const;
    static QPixmap Pixmap(const SkinPicture& picture, qreal dpr);
};

// Reads a skin file. Returns nullptr with a reason in `error` when the file is
// missing, not a skin, damaged, or breaks a limit of skin_limits.h.
std::unique_ptr<SkinData> ReadSkinFile(const QString& path, QString* error);
std::unique_ptr<SkinData> ReadSkinBytes(const QByteArray& bytes, QString* error);

// Reads the size from a PNG's header within the limits; invalid with a reason when
// the data is not a PNG picture or is too large. No pixel is decoded.
QSize ReadSkinPngSize(const QByteArray& bytes, const QString& name, QString* error);
// Decodes one PNG within the limits; null with a reason when it cannot.
QImage DecodeSkinPng(const QByteArray& bytes, const QString& name, QString* error);

} // namespace quill
