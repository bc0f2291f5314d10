// quillnote-skin-pack OUT.skn DIR: writes every file under DIR (hidden ones
// excepted) into the ZIP archive OUT.skn, names relative to DIR, in sorted
// order with a fixed time stamp so the same sources give the same bytes.

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <zip.h>

#include <cstdio>

namespace {

int Fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "quillnote-skin-pack: %s %s\n", what, qPrintable(detail));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quillnote-skin-pack OUT.skn SKIN_SOURCE_DIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QDir source(QString::fromLocal8Bit(argv[2]));
    if (!QFileInfo::exists(source.filePath(QStringLiteral("skin.json"))))
        return Fail("no skin.json in", source.path());

    QStringList names;
    QDirIterator it(source.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString rel = source.relativeFilePath(it.next());
        if (!rel.startsWith(u'.') && !rel.contains(QStringLiteral("/.")))
            names.push_back(rel);
    }
    names.sort();

    QDir().mkpath(QFileInfo(out).absolutePath());
    QFile::remove(out);
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(out).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return Fail("cannot create", out);
    for (const QString& name : names) {
        const QByteArray path = QFile::encodeName(source.filePath(name));
        zip_source_t* src = zip_source_file(archive, path.constData(), 0, -1);
        if (!src) {
            zip_discard(archive);
            return Fail("cannot read", name);
        }
        const zip_int64_t index =
            zip_file_add(archive, name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(src);
            zip_discard(archive);
            return Fail("cannot add", name);
        }
        zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), 315532800, 0); // 1980-01-01
        // Pictures are compressed already; storing them keeps reading cheap.
        const bool png = name.endsWith(QStringLiteral(".png"));
        zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                 png ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
    }
    if (zip_close(archive) != 0) {
        const QString why = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        return Fail("cannot write", out + QStringLiteral(": ") + why);
    }
    return 0;
}
