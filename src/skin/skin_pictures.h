#pragma once
// The small pictures the task list draws, copied out of the skin by name.

#include <QPixmap>
#include <QString>
#include <array>

namespace quill {

class TSkin;

struct SkinPictures {
    std::array<QPixmap, 10> CategoryMarks; // index = a category's ColorIndex
    QPixmap Low;                           // "low": priority "Low"
    QPixmap Height;                        // "height": priority "High"
    QPixmap Check;                         // "_check": done
    QPixmap NCheck;                        // "_n_check": not done
    QPixmap Reminder;                      // "_reminder": reminder set
};

// Copies the last image called `name` into `slot`; a missing name leaves the slot
// as it was. Sizes are logical: use QPixmap::deviceIndependentSize().
void LoadSkinBitmap(const TSkin& skin, const QString& name, QPixmap& slot);

// The sixteen pictures, in start-up order: "0".."9", "low", "height", "_check",
// "_n_check", "_reminder".
void LoadSkinPictures(const TSkin& skin, SkinPictures& pictures);

} // namespace quill
