// quillnote-skin-art ROOT: paints the pictures of the shipped skins into
// ROOT/Default/images and ROOT/Dark/images.

#include "skin_art.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillnote-skin-art SKINS_SOURCE_DIR\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    bool ok = true;
    for (const auto& theme : {quill::art::LightTheme(), quill::art::DarkTheme()}) {
        const QString dir = root.filePath(theme.name + QStringLiteral("/images"));
        QDir().mkpath(dir);
        if (!quill::art::PaintSkinPictures(theme, dir)) {
            std::fprintf(stderr, "cannot write the pictures of %s\n", qPrintable(theme.name));
            ok = false;
        }
    }
    return ok ? 0 : 1;
}
