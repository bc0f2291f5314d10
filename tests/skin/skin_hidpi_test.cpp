// On a 2x screen the frame and the buttons paint from the 2x pictures.

#include "skin/skin.h"
#include "skin/skin_data.h"
#include "skin/skin_pictures.h"
#include "skin_test_util.h"
#include "widgets/form.h"

#include <QtTest>

using namespace quill;

class SkinHiDpiTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void picturesAndWindowsUseTwoTimesPictures() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(test::ShippedSkin(QStringLiteral("Default"))));
        QCOMPARE(skin.PreferredDevicePixelRatio(), 2.0);
        SkinPictures pictures;
        LoadSkinPictures(skin, pictures);
        QCOMPARE(pictures.Check.devicePixelRatio(), 2.0);
        const SkinPicture* check = skin.Data()->Find(QStringLiteral("_check"));
        QCOMPARE(pictures.Check.deviceIndependentSize().toSize(), check->logicalSize());

        TForm form;
        form.SetClientSize(300, 200);
        skin.ApplySkinByName(&form, QStringLiteral("PrintForm"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QImage shot = form.grab().toImage();
        QCOMPARE(shot.devicePixelRatio(), 2.0);
        QCOMPARE(shot.size(), form.size() * 2);
        // The 1 px border is one logical pixel: two device pixels, then the title bar.
        const QImage frame = skin.Data()->Find(QStringLiteral("frame_dialog"))->image2x();
        QCOMPARE(shot.pixelColor(1, 40), frame.pixelColor(1, 40));
        QCOMPARE(shot.pixelColor(2, 40), frame.pixelColor(2, 40));
    }
};

QTEST_MAIN(SkinHiDpiTest)
#include "skin_hidpi_test.moc"
