// Which window system the program asks for: X11 wherever there is an X display
// (XWayland on a Wayland desktop), the user's own choice always, and a clear
// word instead of a crash where there is no X.
#include "platform/display_platform.h"

#include <QTest>

using namespace quill;

class DisplayPlatformTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldChooseX11OrSayWhyNot_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("qpa");
        QTest::addColumn<QString>("display");
        QTest::addColumn<QString>("wayland");
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<QString>("error"); // a word the message must hold
        const QStringList plain{"quillnote"};
        QTest::newRow("X11 desktop") << plain << ""
                                     << ":0"
                                     << "" << QByteArray("xcb") << "";
        QTest::newRow("Wayland with XWayland") << plain << ""
                                               << ":1"
                                               << "wayland-0" << QByteArray("xcb") << "";
        QTest::newRow("Wayland without XWayland") << plain << ""
                                                  << ""
                                                  << "wayland-0" << QByteArray() << "XWayland";
        QTest::newRow("no display at all") << plain << ""
                                           << ""
                                           << "" << QByteArray() << "DISPLAY";
        QTest::newRow("QT_QPA_PLATFORM chosen") << plain << "wayland"
                                                << ":0"
                                                << "wayland-0" << QByteArray() << "";
        QTest::newRow("-platform chosen")
            << QStringList{"quillnote", "-platform", "offscreen"} << ""
            << ""
            << "" << QByteArray() << "";
        QTest::newRow("--platform chosen")
            << QStringList{"quillnote", "--platform", "wayland"} << ""
            << ":0"
            << "" << QByteArray() << "";
    }
    void shouldChooseX11OrSayWhyNot() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, qpa);
        QFETCH(QString, display);
        QFETCH(QString, wayland);
        QFETCH(QByteArray, platform);
        QFETCH(QString, error);
        const DisplayChoice choice = ChooseDisplayPlatform(arguments, qpa, display, wayland);
        QCOMPARE(choice.platform, platform);
        QCOMPARE(choice.error.isEmpty(), error.isEmpty());
        QVERIFY2(choice.error.contains(error), qPrintable(choice.error));
    }
};

QTEST_GUILESS_MAIN(DisplayPlatformTest)
#include "display_platform_test.moc"
