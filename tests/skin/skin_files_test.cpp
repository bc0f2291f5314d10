// Skin files: loading, damaged and hostile files, images by name, the skin list
// on disk and the Skins submenu, colours.

#include "skin/skin.h"
#include "skin/skin_colors.h"
#include "skin/skin_data.h"
#include "skin/skin_limits.h"
#include "skin/skin_list.h"
#include "skin/skin_pictures.h"
#include "skin_test_util.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <dirent.h>

using namespace quill;
using namespace quill::test;

namespace {

QByteArray Png(int w, int h, QColor color = Qt::red) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QJsonArray Images(const QJsonObject& root) {
    return root.value(QStringLiteral("images")).toArray();
}

} // namespace

class SkinFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir tmp_;
    int counter_ = 0;

    QString Write(const SkinEntries& entries) {
        const QString path = tmp_.filePath(QStringLiteral("made%1.skn").arg(++counter_));
        if (!WriteZip(path, entries))
            return {};
        return path;
    }
    QString WriteBytes(const QByteArray& bytes) {
        const QString path = tmp_.filePath(QStringLiteral("raw%1.skn").arg(++counter_));
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }

    // Loads Default, then `bad`: the load fails with a reason and Default stays.
    void ExpectRejected(const QString& bad, const QString& reasonPart) {
        TSkin skin;
        QString error;
        QVERIFY2(skin.LoadSkin(ShippedSkin(QStringLiteral("Default")), &error), qPrintable(error));
        const QString description = skin.GetDescription();
        const int images = skin.GetImageCount();
        QVERIFY(!skin.LoadSkin(bad, &error));
        QVERIFY2(error.contains(reasonPart, Qt::CaseInsensitive),
                 qPrintable(QStringLiteral("error was: ") + error));
        QVERIFY(skin.IsLoaded());
        QCOMPARE(skin.GetDescription(), description);
        QCOMPARE(skin.GetImageCount(), images);
        QCOMPARE(skin.Name(), QStringLiteral("Default"));
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(tmp_.isValid()); }

    void shouldTakeFromASkinFontOnlyWhatItSets() {
        QFont base(QStringLiteral("DejaVu Sans"));
        base.setPointSize(11);
        base.setBold(true);
        struct Case {
            SkinFontSetting setting;
            bool sets;
            QString family;
            int pointSize;
            bool bold;
        };
        const Case cases[] = {
            {{}, false, "DejaVu Sans", 11, false},
            {{"Liberation Sans", 0, false}, true, "Liberation Sans", 11, false},
            {{"", 9, false}, true, "DejaVu Sans", 9, false},
            {{"", 0, true}, true, "DejaVu Sans", 11, true},
            {{"Liberation Sans", 8, true}, true, "Liberation Sans", 8, true},
        };
        for (const Case& c : cases) {
            QCOMPARE(SetsFont(c.setting), c.sets);
            const QFont font = SkinFont(c.setting, base);
            QCOMPARE(font.family(), c.family);
            QCOMPARE(font.pointSize(), c.pointSize);
            QCOMPARE(font.bold(), c.bold);
        }
    }

    void shippedSkinsLoadWithEveryPicture_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("Default") << QStringLiteral("Default");
        QTest::newRow("Dark") << QStringLiteral("Dark");
    }
    void shippedSkinsLoadWithEveryPicture() {
        QFETCH(QString, name);
        TSkin skin;
        QString error;
        QVERIFY2(skin.LoadSkin(ShippedSkin(name), &error), qPrintable(error));
        QCOMPARE(skin.Name(), name);
        QStringList names;
        for (int i = 0; i < skin.GetImageCount(); ++i)
            names << skin.GetImageName(i);
        for (const char* wanted : {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "low",
                                   "height", "_check", "_n_check", "_reminder"}) {
            const int index = names.lastIndexOf(QString::fromLatin1(wanted));
            QVERIFY2(index >= 0, wanted);
            const SkinImageInfo info = skin.GetImageInfo(index);
            QVERIFY(info.width >= 10 && info.width <= 20);
            QVERIFY(info.height >= 10 && info.height <= 16);
            const QPixmap x2 = skin.GetImage(index, 2.0);
            QCOMPARE(x2.devicePixelRatio(), 2.0);
            QCOMPARE(x2.deviceIndependentSize().toSize(), QSize(info.width, info.height));
        }
    }

    void defaultDescriptionIsExact() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        QCOMPARE(skin.GetDescription(),
                 QStringLiteral("SellectBarColor=#E4E4E4;TaskFontName=Verdana;TaskFontName=Verdana;"
                                "TaskFontColor=#999999;DoneTaskColor=#666666;OverDueColor=clRed;"
                                "GridLineColor=#CCCCCC;TabBetweenTS=0;TaskRightTab=2;TaskTopTab=11;"
                                "TaskBottomTab=62;CatRightTab=20;CatBottomTab=30;"));
    }

    void darkSkinChangesTheParameters() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Dark"))));
        SkinParams dark;
        SkinParams def;
        LoadInforInDescription(dark, skin.GetDescription().toStdString());
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        LoadInforInDescription(def, skin.GetDescription().toStdString());
        QVERIFY(dark.GridLineColor != def.GridLineColor);
        QVERIFY(dark.SellectBarColor != def.SellectBarColor);
        QVERIFY(dark.TaskFontName != def.TaskFontName);
        QVERIFY(dark.TaskTopTab != def.TaskTopTab);
        QVERIFY(dark.TaskLeftTab != def.TaskLeftTab);
    }

    void embeddedDefaultSkinIsTheShippedOne() {
        QFile embedded(QStringLiteral(":/skins/Default.skn"));
        QVERIFY(embedded.open(QIODevice::ReadOnly));
        QFile shipped(ShippedSkin(QStringLiteral("Default")));
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QCOMPARE(embedded.readAll(), shipped.readAll());
    }

    void missingFileIsAnError() {
        ExpectRejected(tmp_.filePath(QStringLiteral("nope.skn")), QStringLiteral("does not exist"));
    }

    void damagedArchivesAreRejected() {
        ExpectRejected(WriteBytes("this is not a zip file at all"), QStringLiteral("ZIP"));
        ExpectRejected(WriteBytes(QByteArray()), QStringLiteral("empty"));
        QFile f(ShippedSkin(QStringLiteral("Default")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray whole = f.readAll();
        ExpectRejected(WriteBytes(whole.left(whole.size() / 2)), QStringLiteral("ZIP"));
        QByteArray flipped = whole;
        for (int i = 200; i < 4000; i += 7)
            flipped[i] = static_cast<char>(flipped[i] ^ 0x5A);
        ExpectRejected(WriteBytes(flipped), QString());
        // One file's method changed in both its headers to one the reader lacks.
        QByteArray method = whole;
        const qsizetype central = method.indexOf(QByteArray("PK\x01\x02", 4));
        QVERIFY(method.startsWith("PK\x03\x04") && central > 0);
        method[8] = method[central + 10] = 12; // bzip2
        ExpectRejected(WriteBytes(method), QStringLiteral("deflate"));
    }

    void manifestProblemsAreRejected() {
        const SkinEntries base = UnpackSkin(ShippedSkin(QStringLiteral("Default")));
        QVERIFY(!base.isEmpty());
        ExpectRejected(Write(WithEntry(base, QStringLiteral("skin.json"), "{ not json")),
                       QStringLiteral("not JSON"));
        ExpectRejected(Write(WithEntry(base, QStringLiteral("skin.json"), "[1, 2]")),
                       QStringLiteral("not a JSON object"));
        SkinEntries noManifest;
        for (const auto& e : base)
            if (e.first != QLatin1String("skin.json"))
                noManifest.push_back(e);
        ExpectRejected(Write(noManifest), QStringLiteral("skin.json"));
        ExpectRejected(Write(WithManifest(
                           base, [](QJsonObject& r) { r.remove(QStringLiteral("description")); })),
                       QStringLiteral("description: missing"));
        ExpectRejected(Write(WithManifest(base,
                                          [](QJsonObject& r) {
                                              QJsonObject t =
                                                  r.value(QStringLiteral("templates")).toObject();
                                              t.remove(QStringLiteral("PrintForm"));
                                              r.insert(QStringLiteral("templates"), t);
                                          })),
                       QStringLiteral("templates.PrintForm: missing"));
        ExpectRejected(
            Write(WithManifest(
                base, [](QJsonObject& r) { r.insert(QStringLiteral("windowColor"), 12); })),
            QStringLiteral("windowColor"));
        for (const char* colour :
             {"#12345G", "#1234", "123456", "#\u0661\u0662\u0663\u0664\u0665\u0666"})
            ExpectRejected(Write(WithManifest(base,
                                              [colour](QJsonObject& r) {
                                                  r.insert(QStringLiteral("windowColor"),
                                                           QString::fromUtf8(colour));
                                              })),
                           QStringLiteral("must be a colour"));
        ExpectRejected(Write(WithManifest(
                           base, [](QJsonObject& r) { r.insert(QStringLiteral("version"), 99); })),
                       QStringLiteral("newer"));
        ExpectRejected(
            Write(WithManifest(
                base,
                [](QJsonObject& r) {
                    QJsonArray images = Images(r);
                    images.append(QJsonObject{{"name", "x"}, {"file", "images/none.png"}});
                    r.insert(QStringLiteral("images"), images);
                })),
            QStringLiteral("lacks"));
    }

    void badPicturesAreRejected() {
        const SkinEntries base = UnpackSkin(ShippedSkin(QStringLiteral("Default")));
        const QString file = QStringLiteral("images/mark0.png");
        ExpectRejected(Write(WithEntry(base, file, "\x89PNG\r\n\x1a\n garbage")),
                       QStringLiteral("PNG"));
        ExpectRejected(Write(WithEntry(base, file, Png(skin_limits::kMaxImageSide + 1, 2))),
                       QStringLiteral("larger than allowed"));
        // A header claiming 60000 x 60000 pixels is refused before decoding.
        QByteArray huge = Png(14, 14);
        const uint32_t side = 60000;
        for (int i = 0; i < 4; ++i) {
            huge[16 + i] = static_cast<char>((side >> (24 - 8 * i)) & 0xFF);
            huge[20 + i] = static_cast<char>((side >> (24 - 8 * i)) & 0xFF);
        }
        ExpectRejected(Write(WithEntry(base, file, huge)), QStringLiteral("\"images/mark0.png\""));
        ExpectRejected(Write(WithEntry(base, QStringLiteral("images/mark0@2x.png"), Png(14, 14))),
                       QStringLiteral("twice the size"));
    }

    // Pixels are decoded when first used: a picture whose header is sound but whose
    // pixel data is damaged still loads, and draws as nothing (1x) or as its 1x
    // picture (2x), never as garbage.
    void damagedPixelsRefuseTheSkin() {
        const SkinEntries base = UnpackSkin(ShippedSkin(QStringLiteral("Default")));
        // The header chunk stays sound; the compressed pixel data is garbage.
        const auto damage = [](QByteArray png) {
            const qsizetype data = png.indexOf("IDAT") + 4;
            for (qsizetype i = data; i < data + 6 && i < png.size() - 4; ++i)
                png[i] = static_cast<char>(0xA5);
            return png;
        };
        for (const QString& file :
             {QStringLiteral("images/mark0.png"), QStringLiteral("images/mark0@2x.png")}) {
            QByteArray original;
            for (const auto& entry : base) {
                if (entry.first == file)
                    original = entry.second;
            }
            QVERIFY2(!original.isEmpty(), qPrintable(file));
            TSkin skin;
            QString error;
            QVERIFY2(skin.LoadSkin(Write(base), &error), qPrintable(error));
            const QString description = skin.GetDescription();
            QVERIFY(!skin.LoadSkin(Write(WithEntry(base, file, damage(original))), &error));
            QVERIFY2(error.contains(QStringLiteral("damaged")), qPrintable(error));
            // The skin loaded before is still the one in use.
            QVERIFY(skin.IsLoaded());
            QCOMPARE(skin.GetDescription(), description);
        }
    }

    void hostileArchivesAreRejected() {
        const SkinEntries base = UnpackSkin(ShippedSkin(QStringLiteral("Default")));
        ExpectRejected(Write(WithEntry(base, QStringLiteral("../evil.png"), Png(2, 2))),
                       QStringLiteral("unsafe"));
        ExpectRejected(Write(WithEntry(base, QStringLiteral("/etc/evil.png"), Png(2, 2))),
                       QStringLiteral("unsafe"));
        // One entry that inflates past the per-file limit.
        const QByteArray zeros(static_cast<int>(skin_limits::kMaxEntryBytes + 1), '\0');
        ExpectRejected(Write(WithEntry(base, QStringLiteral("padding.bin"), zeros)),
                       QStringLiteral("expands to more than"));
        // Many entries that together inflate past the total limit.
        SkinEntries many = base;
        const QByteArray chunk(static_cast<int>(skin_limits::kMaxEntryBytes - 1), '\0');
        for (int i = 0; i * chunk.size() <= skin_limits::kMaxTotalBytes; ++i)
            many.push_back({QStringLiteral("pad%1.bin").arg(i), chunk});
        ExpectRejected(Write(many), QStringLiteral("expands to more than"));
    }

    void understatedSizeIsCaught() {
        // A manifest whose headers claim fewer bytes than it inflates to.
        SkinEntries entries = UnpackSkin(ShippedSkin(QStringLiteral("Default")));
        const QString path = Write(entries);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        f.close();
        const QByteArray name = "skin.json";
        int patched = 0;
        for (int at = bytes.indexOf(name); at >= 0; at = bytes.indexOf(name, at + 1)) {
            // Local header: size at name - 30 + 22; central header: name - 46 + 24.
            for (int sizeAt : {at - 30 + 22, at - 46 + 24}) {
                const int sigAt = sizeAt == at - 30 + 22 ? at - 30 : at - 46;
                if (sigAt < 0)
                    continue;
                const QByteArray sig = bytes.mid(sigAt, 4);
                if (sig == QByteArray("PK\x03\x04", 4) || sig == QByteArray("PK\x01\x02", 4)) {
                    bytes[sizeAt] = 10;
                    bytes[sizeAt + 1] = bytes[sizeAt + 2] = bytes[sizeAt + 3] = 0;
                    ++patched;
                }
            }
        }
        QVERIFY(patched >= 2);
        ExpectRejected(WriteBytes(bytes), QString());
    }

    void lastImageOfANameWinsAndMissingNamesLeaveTheSlot() {
        SkinEntries entries = UnpackSkin(ShippedSkin(QStringLiteral("Default")));
        entries = WithEntry(entries, QStringLiteral("images/extra.png"), Png(9, 5, Qt::blue));
        entries = WithManifest(entries, [](QJsonObject& r) {
            QJsonArray images = Images(r);
            images.append(QJsonObject{{"name", "_check"}, {"file", "images/extra.png"}});
            r.insert(QStringLiteral("images"), images);
        });
        TSkin skin;
        QString error;
        QVERIFY2(skin.LoadSkin(Write(entries), &error), qPrintable(error));
        QPixmap check;
        LoadSkinBitmap(skin, QStringLiteral("_check"), check);
        QCOMPARE(check.deviceIndependentSize().toSize(), QSize(9, 5));
        QCOMPARE(check.toImage().pixelColor(4, 2), QColor(Qt::blue));

        QPixmap kept(3, 3);
        kept.fill(Qt::green);
        LoadSkinBitmap(skin, QStringLiteral("no-such-picture"), kept);
        QCOMPARE(kept.size(), QSize(3, 3));
        QCOMPARE(kept.toImage().pixelColor(1, 1), QColor(Qt::green));
        // Names are case-sensitive.
        LoadSkinBitmap(skin, QStringLiteral("_CHECK"), kept);
        QCOMPARE(kept.size(), QSize(3, 3));

        SkinPictures pictures;
        LoadSkinPictures(skin, pictures);
        for (const QPixmap& mark : pictures.CategoryMarks)
            QVERIFY(!mark.isNull());
        QVERIFY(!pictures.Low.isNull() && !pictures.Height.isNull());
        QVERIFY(!pictures.NCheck.isNull() && !pictures.Reminder.isNull());
        QCOMPARE(pictures.Check.deviceIndependentSize().toSize(), QSize(9, 5));
    }

    void drawToDcPaintsThePicture() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        int index = -1;
        for (int i = 0; i < skin.GetImageCount(); ++i)
            if (skin.GetImageName(i) == QLatin1String("_check"))
                index = i;
        QVERIFY(index >= 0);
        const SkinImageInfo info = skin.GetImageInfo(index);
        QImage bitmap(info.width, info.height, QImage::Format_ARGB32);
        bitmap.fill(Qt::transparent);
        QPainter p(&bitmap);
        skin.DrawToDC(index, p, 0, 0, info.width, info.height);
        p.end();
        QCOMPARE(bitmap, skin.GetImage(index).toImage().convertToFormat(QImage::Format_ARGB32));
    }

    void skinListFollowsTheDirectory() {
        QTemporaryDir dir;
        for (const char* name : {"default.skn", "Dark.skn", "notes.txt", "blue.skn", "x.skn.bak"}) {
            QFile f(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder.skn")));
        // The order the file system returns, read here straight from readdir.
        QStringList expected;
        DIR* d = opendir(QFile::encodeName(dir.path()).constData());
        QVERIFY(d);
        while (dirent* e = readdir(d)) {
            QString n = QFile::decodeName(e->d_name);
            if (n.endsWith(QLatin1String(".skn")) && n != QLatin1String("folder.skn")) {
                n.chop(4);
                n[0] = n[0].toUpper();
                expected << n;
            }
        }
        closedir(d);
        const QStringList list = GetSkinList(dir.path());
        QCOMPARE(list, expected);
        QCOMPARE(QSet<QString>(list.begin(), list.end()),
                 (QSet<QString>{QStringLiteral("Default"), QStringLiteral("Dark"),
                                QStringLiteral("Blue")}));
        QVERIFY(GetSkinList(dir.filePath(QStringLiteral("missing"))).isEmpty());
    }

    void skinsDirectoryAndFileIgnoreCase() {
        QTemporaryDir exe;
        QCOMPARE(SkinsDirectory(exe.path()), exe.filePath(QStringLiteral("Skins")));
        QVERIFY(QDir(exe.path()).mkdir(QStringLiteral("skins")));
        QCOMPARE(SkinsDirectory(exe.path()), exe.filePath(QStringLiteral("skins")));
        QVERIFY(QFile::copy(ShippedSkin(QStringLiteral("Dark")),
                            exe.filePath(QStringLiteral("skins/dark.skn"))));
        const QString found = FindSkinFile(exe.path(), QStringLiteral("Dark"));
        QCOMPARE(found, exe.filePath(QStringLiteral("skins/dark.skn")));
        TSkin skin;
        QVERIFY(skin.LoadSkin(found));
        QCOMPARE(skin.Name(), QStringLiteral("Dark"));
        QVERIFY(!QFile::exists(FindSkinFile(exe.path(), QStringLiteral("Nothing"))));
    }

    void aUsersSkinHidesAShippedOneOfTheSameName() {
        QTemporaryDir user, shipped;
        for (const auto& [dir, file] :
             {std::pair{&user, "dark.skn"}, {&shipped, "Dark.skn"}, {&shipped, "Default.skn"}}) {
            QFile f(dir->filePath(QString::fromLatin1(file)));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QStringList folders{user.path(), shipped.path()};
        QCOMPARE(GetSkinListIn(folders), (QStringList{"Dark", "Default"}));
        QCOMPARE(FindSkinFileIn(folders, "Dark"), user.filePath("dark.skn"));
        QCOMPARE(FindSkinFileIn(folders, "Default"), shipped.filePath("Default.skn"));
        QCOMPARE(FindSkinFileIn(folders, "None"), user.filePath("None.skn"));
    }

    void skinMenuChecksAndReportsTheChoice() {
        QMenu menu;
        SkinMenu skins(&menu);
        skins.Rebuild({QStringLiteral("Default"), QStringLiteral("Dark")}, QStringLiteral("Dark"));
        QCOMPARE(menu.actions().size(), 2);
        QVERIFY(!menu.actions()[0]->isChecked());
        QVERIFY(menu.actions()[1]->isChecked());
        skins.Rebuild({QStringLiteral("Default"), QStringLiteral("Dark")}, QStringLiteral("dark"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(menu.actions().size(), 2);
        QVERIFY(!menu.actions()[0]->isChecked() && !menu.actions()[1]->isChecked());

        // A name with "&" shows as it is and is chosen by its own name.
        skins.Rebuild({QStringLiteral("Default"), QStringLiteral("Rock & Roll")},
                      QStringLiteral("Default"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(menu.actions()[1]->text(), QStringLiteral("Rock && Roll"));
        QCOMPARE(menu.actions()[1]->iconText(), QStringLiteral("Rock & Roll"));
        QSignalSpy chosen(&skins, &SkinMenu::SkinChosen);
        menu.actions()[1]->trigger();
        QCOMPARE(chosen.size(), 1);
        QCOMPARE(chosen.at(0).at(0).toString(), QStringLiteral("Rock & Roll"));
        QVERIFY(menu.actions()[1]->isChecked());
        QVERIFY(!menu.actions()[0]->isChecked());

        skins.Rebuild({}, QStringLiteral("Default"));
        QVERIFY(menu.actions().isEmpty());
    }

    void skinColoursBecomeQColors() {
        QCOMPARE(SkinColorToQColor(0x0000FF), QColor(255, 0, 0));
        QCOMPARE(SkinColorToQColor(0xE4C8A0), QColor(0xA0, 0xC8, 0xE4));
        QPalette palette;
        palette.setColor(QPalette::Base, QColor(1, 2, 3));
        palette.setColor(QPalette::Highlight, QColor(4, 5, 6));
        QCOMPARE(SkinColorToQColor(0xFF000005, palette, Qt::black), QColor(1, 2, 3));
        QCOMPARE(SkinColorToQColor(0xFF00000D, palette, Qt::black), QColor(4, 5, 6));
        QCOMPARE(SkinColorToQColor(0xFF0000FF, palette, Qt::cyan), QColor(Qt::cyan));
        QCOMPARE(SkinColorToQColor(clNone, palette, Qt::black).alpha(), 0);
        QCOMPARE(SkinColorToQColor(clDefault, palette, Qt::magenta), QColor(Qt::magenta));
        QCOMPARE(QColorToSkinColor(QColor(0x11, 0x22, 0x33)), TColor(0x332211));
    }
};

QTEST_MAIN(SkinFilesTest)
#include "skin_files_test.moc"
