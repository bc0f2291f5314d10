#pragma once
// The parsed contents of one skin file: its manifest and its decoded pictures.

#include "skin_manifest.h"

#include <QImage>
#include <QString>
#include <QVector>
#include <memory>

namespace quill {

struct SkinPicture {
    QString name;
    QImage image1x;
    QImage image2x; // null when the skin has no 2x picture
    QSize logicalSize() const { return image1x.size(); }
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

// Decodes one PNG within the limits; null with a reason when it cannot.
QImage DecodeSkinPng(const QByteArray& bytes, const QString& name, QString* error);

} // namespace quill
