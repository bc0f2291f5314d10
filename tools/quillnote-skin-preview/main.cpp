// quillnote-skin-preview SKIN.skn OUTDIR [--scale 2]
// Renders every window template of a skin with sample content, and a sheet of
// its buttons in every state, to PNG files in OUTDIR. Runs headless.

#include "sample_windows.h"
#include "skin/skin.h"
#include "skin/skin_manifest.h"
#include "skin/skin_pictures.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const char* skinPath = nullptr;
    const char* outDir = nullptr;
    int scale = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            scale = std::atoi(argv[++i]);
        } else if (!skinPath) {
            skinPath = argv[i];
        } else if (!outDir) {
            outDir = argv[i];
        } else {
            skinPath = nullptr;
            break;
        }
    }
    if (!skinPath || !outDir || (scale != 1 && scale != 2)) {
        std::fprintf(stderr, "usage: quillnote-skin-preview SKIN.skn OUTDIR [--scale 2]\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (scale == 2)
        qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);

    quill::TSkin skin;
    QString error;
    if (!skin.LoadSkin(QString::fromLocal8Bit(skinPath), &error)) {
        std::fprintf(stderr, "quillnote-skin-preview: %s\n", qPrintable(error));
        return 1;
    }
    quill::SkinParams params;
    quill::LoadInforInDescription(params, skin.GetDescription().toStdString());
    quill::SkinPictures pictures;
    quill::LoadSkinPictures(skin, pictures);

    const QDir out(QString::fromLocal8Bit(outDir));
    QDir().mkpath(out.path());
    const QString suffix = scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png");
    int failures = 0;
    for (const QString& name : quill::RequiredWindowTemplates()) {
        auto window = quill::preview::BuildSampleWindow(skin, name, params, pictures);
        const QString file = out.filePath(name + suffix);
        if (!window || !window->grab().save(file, "PNG")) {
            std::fprintf(stderr, "quillnote-skin-preview: cannot render %s\n", qPrintable(name));
            ++failures;
            continue;
        }
        std::printf("%s\n", qPrintable(file));
    }
    const QString menu = out.filePath(QStringLiteral("ContextMenu") + suffix);
    if (quill::preview::RenderContextMenu(skin).save(menu, "PNG"))
        std::printf("%s\n", qPrintable(menu));
    else
        ++failures;
    const QString sheet = out.filePath(QStringLiteral("ButtonStates") + suffix);
    if (quill::preview::RenderButtonStates(skin, scale).save(sheet, "PNG"))
        std::printf("%s\n", qPrintable(sheet));
    else
        ++failures;
    return failures ? 1 : 0;
}
