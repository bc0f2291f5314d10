// The message dialog: its layout numbers and how it answers.
#include "support/window_parts.h"
#include "ui/message_form.h"
#include "ui/message_layout.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace quill;

class MessageDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldRaiseAOneLineTextToTheMinimumHeight() {
        MessageLayoutInput in;
        in.labelWidth = 300;
        in.labelHeight = 13;
        const MessageLayout out = ComputeMessageLayout(in);
        QCOMPARE(out.clientHeight, 96); // 13 + 58 = 71, raised to 96
        QCOMPARE(out.button1Top, 96 - 23 - 14);
        QCOMPARE(out.clientWidth, 300 + 45 + 30);
        QCOMPARE(out.labelLeft, 56);
        QCOMPARE(out.labelTop, 20);
    }

    void shouldGrowWithATallText() {
        MessageLayoutInput in;
        in.labelWidth = 200;
        in.labelHeight = 65;
        const MessageLayout out = ComputeMessageLayout(in);
        QCOMPARE(out.clientHeight, 65 + 58);
        QCOMPARE(out.button1Top, 65 + 58 - 23 - 14);
    }

    void shouldCentreYesAndNoSixPixelsApartOnHalfTheOuterWidth_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("frame");
        QTest::newRow("kind 4") << 4 << 0;
        QTest::newRow("kind 14 as 4") << 14 << 0;
        QTest::newRow("with a frame") << 4 << 8;
    }
    void shouldCentreYesAndNoSixPixelsApartOnHalfTheOuterWidth() {
        QFETCH(int, kind);
        QFETCH(int, frame);
        MessageLayoutInput in;
        in.labelWidth = 301;
        in.labelHeight = 13;
        in.kind = kind;
        in.frameWidth = frame;
        const MessageLayout out = ComputeMessageLayout(in);
        const int half = (301 + 45 + 30 + frame) / 2;
        QVERIFY(out.question);
        QCOMPARE(out.button1Caption, QStringLiteral("Yes"));
        QCOMPARE(out.button1Left, half - 83 - 3);
        QCOMPARE(out.button2Left, half + 3);
        QCOMPARE(out.button2Left - (out.button1Left + 83), 6);
    }

    void shouldCentreASingleOkButton_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("kind 0") << 0;
        QTest::newRow("kind 10 as 0") << 10;
        QTest::newRow("kind -20 as 0") << -20;
    }
    void shouldCentreASingleOkButton() {
        QFETCH(int, kind);
        MessageLayoutInput in;
        in.labelWidth = 250;
        in.labelHeight = 13;
        in.kind = kind;
        const MessageLayout out = ComputeMessageLayout(in);
        QVERIFY(!out.question);
        QCOMPARE(out.button1Caption, QStringLiteral("OK"));
        QCOMPARE(out.button1Left, (250 + 45 + 30) / 2 - 83 / 2);
    }

    void shouldKeepBothButtonsInsideAShortQuestion() {
        MessageLayoutInput in;
        in.labelWidth = 20;
        in.labelHeight = 13;
        in.kind = 4;
        const MessageLayout out = ComputeMessageLayout(in);
        QVERIFY(out.button1Left >= 0);
        QVERIFY(out.button2Left + 81 <= out.clientWidth);
        QCOMPARE(out.clientWidth, MinimumMessageClientWidth(in));
    }

    void shouldWidenForALongTextAndNeverWrap() {
        TMessageForm form;
        const QString text(400, QLatin1Char('W'));
        form.Prepare(text, QStringLiteral("Attention"), 0);
        QVERIFY(!Part<QLabel>(&form, "Label1")->wordWrap());
        QCOMPARE(form.ClientSize().width(), Part<QLabel>(&form, "Label1")->width() + 45 + 30);
        QVERIFY(form.ClientSize().width() > 1000);
    }

    void shouldSwitchBetweenQuestionAndNotice() {
        TMessageForm form;
        form.Prepare(QStringLiteral("Delete the category?"), QStringLiteral("Question"), 4);
        QCOMPARE(form.windowTitle(), QStringLiteral("Question"));
        QCOMPARE(Part<QPushButton>(&form, "Button1")->text(), QStringLiteral("Yes"));
        QCOMPARE(Part<QPushButton>(&form, "Button2")->text(), QStringLiteral("No"));
        QVERIFY(!Part<QPushButton>(&form, "Button2")->isHidden());
        QVERIFY(!Part<QLabel>(&form, "Image1")->isHidden());
        QVERIFY(Part<QLabel>(&form, "Image2")->isHidden());

        form.Prepare(QStringLiteral("You have to enter something in task field."),
                     QStringLiteral("Attention"), 0);
        QCOMPARE(Part<QPushButton>(&form, "Button1")->text(), QStringLiteral("OK"));
        QVERIFY(Part<QPushButton>(&form, "Button2")->isHidden());
        QVERIFY(Part<QLabel>(&form, "Image1")->isHidden());
        QVERIFY(!Part<QLabel>(&form, "Image2")->isHidden());
        QCOMPARE(Part<QLabel>(&form, "Label1")->pos(), QPoint(56, 20));
        QCOMPARE(form.ClientSize().height(),
                 std::max(96, Part<QLabel>(&form, "Label1")->height() + 58));
        QCOMPARE(Part<QPushButton>(&form, "Button1")->y(), form.ClientSize().height() - 23 - 14);
    }

    void shouldDrawPicturesOfTheGivenSizes() {
        TMessageForm form;
        form.Prepare(QStringLiteral("Delete the category?"), QStringLiteral("Question"), 4);
        QCOMPARE(Part<QLabel>(&form, "Image1")->pixmap().size(), QSize(45, 39));
        form.Prepare(QStringLiteral("Nothing to print."), QStringLiteral("Attention"), 0);
        QCOMPARE(Part<QLabel>(&form, "Image1")->pixmap().size(), QSize(45, 39)); // drawn once, kept
        QCOMPARE(Part<QLabel>(&form, "Image2")->pixmap().size(), QSize(46, 41));
        const QImage error = Part<QLabel>(&form, "Image2")->pixmap().toImage();
        const QColor centre = error.pixelColor(23, 20);
        QVERIFY(centre.red() > 200 && centre.green() > 200); // the white cross
        const QColor disc = error.pixelColor(12, 20);
        QVERIFY(disc.red() > 150 && disc.green() < 80); // the red disc
        QCOMPARE(error.pixelColor(0, 0).alpha(), 0);    // transparent around
    }

    void shouldPaintTheQuestionLayout() {
        TMessageForm form;
        form.Prepare(QStringLiteral("Do you really want to delete category \"Business\"?"),
                     QStringLiteral("Question"), 4);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QImage shot = form.grab().toImage();
        if (qEnvironmentVariableIsSet("QUILLNOTE_SHOTS"))
            shot.save(qEnvironmentVariable("QUILLNOTE_SHOTS") + "/message-question.png");
        // The question mark's blue shows inside the picture's place.
        bool blue = false;
        for (int y = 6; y < 45 && !blue; ++y)
            for (int x = 3; x < 48 && !blue; ++x)
                blue = shot.pixelColor(x, y).blue() > 150 && shot.pixelColor(x, y).red() < 80;
        QVERIFY(blue);
        form.hide();
    }

    void shouldAnswerTrueForTheFirstButtonOnly_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("expected");
        QTest::newRow("Yes") << "yes" << true;
        QTest::newRow("No") << "no" << false;
        QTest::newRow("frame") << "close" << false;
        QTest::newRow("Escape") << "escape" << false;
        QTest::newRow("Enter") << "enter" << true;
    }
    void shouldAnswerTrueForTheFirstButtonOnly() {
        QFETCH(QString, how);
        QFETCH(bool, expected);
        TMessageForm form;
        QTimer::singleShot(0, &form, [&form, how] {
            if (how == "yes")
                QTest::mouseClick(Part<QPushButton>(&form, "Button1"), Qt::LeftButton);
            else if (how == "no")
                QTest::mouseClick(Part<QPushButton>(&form, "Button2"), Qt::LeftButton);
            else if (how == "close")
                form.close();
            else if (how == "escape")
                QTest::keyClick(Part<QPushButton>(&form, "Button1"), Qt::Key_Escape);
            else
                QTest::keyClick(Part<QPushButton>(&form, "Button1"), Qt::Key_Return);
        });
        QCOMPARE(form.ShowMessageDialog(QStringLiteral("Sure?"), QStringLiteral("Q"), 4), expected);
        QVERIFY(!form.isVisible());
    }
};

int RunMessageDialogTests(int argc, char** argv) {
    MessageDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "message_dialog_test.moc"
