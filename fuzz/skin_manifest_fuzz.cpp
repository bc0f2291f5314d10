// Feeds arbitrary bytes to the manifest parser and to the description parser,
// and the description of every manifest that parses to the latter.

#include "skin/skin_manifest.h"
#include "skin/skin_params.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    quill::SkinParams params;
    const bool fontSet = quill::LoadInforInDescription(params, text);
    if (fontSet && (params.TaskFontSize < 1 || params.TaskFontSize > 500))
        __builtin_trap();
    if (params.TaskLeftTab < 0 || params.TaskTopTab < 0 || params.CatBottomTab < 0)
        __builtin_trap(); // margins come from plain digits only
    quill::ParseSkinColor(text);

    quill::SkinManifest manifest;
    QString error;
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (quill::ParseSkinManifest(json, manifest, &error)) {
        quill::LoadInforInDescription(params, manifest.description.toStdString());
        if (manifest.windows.size() != quill::RequiredWindowTemplates().size())
            __builtin_trap();
    } else if (error.isEmpty()) {
        __builtin_trap(); // a refusal always says why
    }
    return 0;
}
