#include "skin_pictures.h"

#include "skin.h"

#include <QPainter>

namespace quill {

void LoadSkinBitmap(const TSkin& skin, const QString& name, QPixmap& slot) {
    int found = -1;
    // The search runs to the end: with several images of that name, the last wins.
    for (int i = 0; i < skin.GetImageCount(); ++i) {
        if (skin.GetImageName(i) == name)
            found = i;
    }
    if (found < 0)
        return;
    // The pixmap keeps its alpha channel, so it draws transparent as it is; the
    // best resolution for the screen is taken, carrying its device pixel ratio.
    slot = skin.GetImage(found, skin.PreferredDevicePixelRatio());
}

void LoadSkinPictures(const TSkin& skin, SkinPictures& pictures) {
    for (int i = 0; i < 10; ++i)
        LoadSkinBitmap(skin, QString::number(i), pictures.CategoryMarks[static_cast<size_t>(i)]);
    LoadSkinBitmap(skin, QStringLiteral("low"), pictures.Low);
    LoadSkinBitmap(skin, QStringLiteral("height"), pictures.Height);
    LoadSkinBitmap(skin, QStringLiteral("_check"), pictures.Check);
    LoadSkinBitmap(skin, QStringLiteral("_n_check"), pictures.NCheck);
    LoadSkinBitmap(skin, QStringLiteral("_reminder"), pictures.Reminder);
}

} // namespace quill
