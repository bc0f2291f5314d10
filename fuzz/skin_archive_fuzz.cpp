// Feeds arbitrary bytes to the skin file reader as if they were a ".skn" file.

#include "skin/skin_data.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    auto skin = quill::ReadSkinBytes(bytes, &error);
    if (!skin && error.isEmpty())
        __builtin_trap(); // a refusal always says why
    // The reader decodes every picture, so an accepted skin has all of them.
    if (skin) {
        for (const quill::SkinPicture& picture : skin->pictures) {
            if (picture.image1x().isNull() || (picture.has2x() && picture.image2x().isNull()))
                __builtin_trap();
        }
    }
    return 0;
}
