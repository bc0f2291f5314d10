// The General MIDI SoundFont: built into the program (for its tests and tools) and
// into the sound module, which must not depend on the program's libraries.
#include "platform/media_player.h"

#include <QFileInfo>

namespace quill {

QString DefaultSoundFont() {
    for (const char* path :
         {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
          "/usr/share/sounds/sf2/FluidR3_GM.sf2"}) {
        if (QFileInfo(QString::fromLatin1(path)).isFile())
            return QString::fromLatin1(path);
    }
    return {};
}

} // namespace quill
