// Window templates on real widgets (offscreen): frames, buttons, clicks, the
// event dispatch, re-skinning, moving and resizing, control templates.

#include "skin/skin.h"
#include "skin/skin_button.h"
#include "skin/skin_data.h"
#include "skin/skin_dispatch.h"
#include "skin/skin_frame.h"
#include "skin/skin_label.h"
#include "skin_test_util.h"
#include "widgets/form.h"

#include <QCheckBox>
#include <QScrollBar>
#include <QtTest>

using namespace quill;
using namespace quill::test;

namespace {

struct Click {
    QString object;
    QString templ;
    QString event;
};

// Records every OnSkinEvent with the names read from its source, as a handler does.
class EventLog : public QObject {
public:
    explicit EventLog(TSkin& skin) {
        QObject::connect(&skin, &TSkin::OnSkinEvent, this,
                         [this](ISkinObject* source, const QString& event) {
                             ISkinObject* parent = source->GetParent();
                             clicks.push_back({source->GetName(),
                                               parent ? parent->GetName() : QString(), event});
                         });
    }
    QVector<Click> clicks;
};

SkinButton* Button(QWidget* window, const QString& name) {
    for (SkinButton* b : window->findChildren<SkinButton*>()) {
        if (b->GetName() == name && b->parent() == window)
            return b;
    }
    return nullptr;
}

int ButtonCount(QWidget* window) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return static_cast<int>(window->findChildren<SkinButton*>().size());
}

int FrameCount(QWidget* window) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return static_cast<int>(
        window->findChildren<SkinWindowFrame*>(Qt::FindDirectChildrenOnly).size());
}

// A window that takes its templates when it is shown, as the program's windows do.
class SelfSkinningForm : public TForm {
public:
    explicit SelfSkinningForm(TSkin& skin) : label(new QLabel(Client())) {
        SetSkinTemplate(QStringLiteral("MainForm"), {{label, QStringLiteral("Label")}});
        skin.Attach(this);
    }
    QLabel* label;
    int shows = 0;

protected:
    void FormShow() override { ++shows; }
};

} // namespace

class SkinWidgetsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void templatePutsFrameAndButtonsWhereItSays() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        const SkinWindowTemplate templ = skin.Data()->manifest.windows.value("EditTaskForm");
        TForm form;
        form.SetClientSize(346, 332);
        skin.ApplySkin(&form);
        skin.ApplySkinByName(&form, QStringLiteral("EditTaskForm"));
        QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(form.FrameMargins(), templ.margins);
        QCOMPARE(form.ClientSize(), QSize(346, 332));
        QCOMPARE(form.size(), QSize(346 + templ.margins.left() + templ.margins.right(),
                                    332 + templ.margins.top() + templ.margins.bottom()));
        QCOMPARE(templ.buttons.size(), 2);
        for (const SkinButtonLayout& layout : templ.buttons) {
            SkinButton* b = Button(&form, layout.name);
            QVERIFY2(b, qPrintable(layout.name));
            const int x = layout.fromRight ? form.width() - layout.x - layout.width : layout.x;
            const int y = layout.fromBottom ? form.height() - layout.y - layout.height : layout.y;
            QCOMPARE(b->geometry(), QRect(x, y, layout.width, layout.height));
            // Below the client area: the design controls keep all of it.
            QVERIFY(b->y() >= form.Client()->geometry().bottom());
        }
        QCOMPARE(Button(&form, "OKButton")->accessibleName(), QStringLiteral("OK"));
        QCOMPARE(Button(&form, "CancelButton")->accessibleName(), QStringLiteral("Cancel"));
        QVERIFY(Button(&form, "OKButton")->x() < Button(&form, "CancelButton")->x());

        // Buttons follow their edges when the window grows.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.resize(form.width() + 40, form.height() + 30);
        const SkinButtonLayout& cancel = templ.buttons[1];
        QCOMPARE(Button(&form, "CancelButton")->geometry().bottomRight(),
                 QPoint(form.width() - cancel.x - 1, form.height() - cancel.y - 1));
    }

    void mainWindowButtonsAreNamedAndClearOfTheList() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        SkinParams params;
        LoadInforInDescription(params, skin.GetDescription().toStdString());
        TForm form;
        skin.ApplySkinByName(&form, QStringLiteral("MainForm"));
        const QMargins m = form.FrameMargins();
        form.SetClientSize(696 - m.left() - m.right(), 480 - m.top() - m.bottom());
        QCOMPARE(form.size(), QSize(696, 480));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QMap<QString, QString> names{{"ButtonMinimize", "Minimize"},
                                           {"AddButton", "Add"},
                                           {"RemoveButton", "Remove"},
                                           {"SettingsButton", "Settings"},
                                           {"PrintButton", "Print"}};
        // The list ends TaskBottomTab - TaskTopTab above the client's bottom.
        const int listBottom =
            m.top() + params.TaskTopTab + form.ClientSize().height() - params.TaskBottomTab;
        for (auto it = names.begin(); it != names.end(); ++it) {
            SkinButton* b = Button(&form, it.key());
            QVERIFY2(b, qPrintable(it.key()));
            QCOMPARE(b->accessibleName(), it.value());
            QVERIFY(b->focusPolicy() & Qt::TabFocus);
            if (it.key() != QLatin1String("ButtonMinimize")) {
                QVERIFY(b->y() > listBottom);
                QVERIFY(b->geometry().right() < form.width() / 2); // clear of the category box
            } else {
                QVERIFY(b->geometry().bottom() < m.top()); // in the title bar
            }
        }
    }

    void clickRaisesOnSkinEventWithNames() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        EventLog log(skin);
        TForm form;
        form.SetClientSize(338, 266);
        skin.ApplySkinByName(&form, QStringLiteral("OptionsForm"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(Button(&form, "CancelButton"), Qt::LeftButton);
        QCOMPARE(log.clicks.size(), 1);
        QCOMPARE(log.clicks[0].object, QStringLiteral("CancelButton"));
        QCOMPARE(log.clicks[0].templ, QStringLiteral("OptionsForm"));
        QCOMPARE(log.clicks[0].event, QStringLiteral("OnClick"));

        // Keyboard: Tab reaches the button, Space and Enter press it.
        SkinButton* ok = Button(&form, "OKButton");
        ok->setFocus(Qt::TabFocusReason);
        QTest::keyClick(ok, Qt::Key_Space);
        QTest::keyClick(ok, Qt::Key_Return);
        QTRY_COMPARE(log.clicks.size(), 3);
        QCOMPARE(log.clicks[1].object, QStringLiteral("OKButton"));
        QCOMPARE(log.clicks[2].object, QStringLiteral("OKButton"));

        // A disabled button reports nothing.
        ok->setEnabled(false);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(log.clicks.size(), 3);
    }

    void reskinningKeepsOneSetOfButtonsAndEvents() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        EventLog log(skin);
        TForm form;
        form.SetClientSize(224, 169);
        skin.ApplySkin(&form);
        skin.ApplySkinByName(&form, QStringLiteral("AddCategoryForm"));
        skin.ApplySkinByName(&form, QStringLiteral("AddCategoryForm"));
        form.show();
        QCOMPARE(ButtonCount(&form), 2);
        QCOMPARE(form.ClientSize(), QSize(224, 169));

        // Windows re-apply on every activation: the same skin keeps the same buttons.
        const QPointer<SkinButton> first = Button(&form, "OKButton");
        skin.ApplySkin(&form);
        skin.ApplySkinByName(&form, QStringLiteral("AddCategoryForm"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(Button(&form, "OKButton"), first.data());

        QSignalSpy loaded(&skin, &TSkin::SkinLoaded);
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Dark"))));
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(ButtonCount(&form), 2);
        QVERIFY(first.isNull()); // the old skin's buttons are gone
        QCOMPARE(form.ClientSize(), QSize(224, 169));
        QCOMPARE(SkinWindowFrame::Of(&form)->TemplateName(), QStringLiteral("AddCategoryForm"));
        QTest::mouseClick(Button(&form, "OKButton"), Qt::LeftButton);
        QCOMPARE(log.clicks.size(), 1);

        // The frame now paints the new skin's title bar.
        const SkinData* dark = skin.Data();
        const QColor titleColour = dark->Find(dark->manifest.windows.value("AddCategoryForm").frame)
                                       ->image1x()
                                       .pixelColor(20, 10);
        QCOMPARE(form.grab().toImage().pixelColor(form.width() / 2 + 40, 6), titleColour);

        // Another template replaces the first one on the same window.
        skin.ApplySkinByName(&form, QStringLiteral("CategoriesForm"));
        QCOMPARE(ButtonCount(&form), dark->manifest.windows.value("CategoriesForm").buttons.size());
        QTest::mouseClick(Button(&form, "OKButton"), Qt::LeftButton);
        QCOMPARE(log.clicks.size(), 2);
        QCOMPARE(log.clicks[1].templ, QStringLiteral("CategoriesForm"));
        QCOMPARE(skin.AppliedTemplates(&form),
                 (QStringList{QString(), QStringLiteral("CategoriesForm")}));
    }

    void windowThatSkinsItselfWhenShownGetsOneFrame() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        SelfSkinningForm form(skin);
        form.SetClientSize(400, 300);
        form.show(); // becoming frameless shows it a second time from inside FormShow
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(form.shows >= 1);
        QCOMPARE(FrameCount(&form), 1);
        QCOMPARE(ButtonCount(&form), 5);
        QCOMPARE(skin.AppliedTemplates(form.label), QStringList{QStringLiteral("Label")});
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Dark"))));
        QCOMPARE(FrameCount(&form), 1);
        QCOMPARE(ButtonCount(&form), 5);
        const SkinData* dark = skin.Data();
        const QColor title = dark->Find(dark->manifest.windows.value("MainForm").frame)
                                 ->image1x()
                                 .pixelColor(20, 10);
        QCOMPARE(form.grab().toImage().pixelColor(form.width() / 2, 4), title);
    }

    void aClickThatReskinsDoesNotCrash() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        TForm form;
        skin.ApplySkinByName(&form, QStringLiteral("ReminderForm"));
        int seen = 0;
        connect(&skin, &TSkin::OnSkinEvent, &form, [&](ISkinObject* source, const QString&) {
            ++seen;
            skin.LoadSkin(ShippedSkin(QStringLiteral("Dark")));
            QCOMPARE(source->GetName(), QStringLiteral("EditButton")); // still readable
        });
        QTest::mouseClick(Button(&form, "EditButton"), Qt::LeftButton);
        QCOMPARE(seen, 1);
        QCOMPARE(ButtonCount(&form), 2);
    }

    void dispatchRunsMatchingRowsForClicksOnly() {
        SkinEventRouter router;
        QStringList ran;
        router.Add("OKButton", "EditTaskForm", [&] { ran << "editor ok"; });
        router.Add("CancelButton", "EditTaskForm", [&] { ran << "editor cancel"; });
        router.Add("PrintButton", QString(), [&] { ran << "print"; });
        QCOMPARE(router.Dispatch("OKButton", "EditTaskForm", "OnClick"), 1);
        QCOMPARE(router.Dispatch("OKButton", "EditTaskForm", "OnDblClick"), 0);
        QCOMPARE(router.Dispatch("okbutton", "EditTaskForm", "OnClick"), 0);
        QCOMPARE(router.Dispatch("OKButton", "MainForm", "OnClick"), 0);
        QCOMPARE(router.Dispatch("PrintButton", "MainForm", "OnClick"), 1);
        QCOMPARE(router.Dispatch("PrintButton", "CategoriesForm", "OnClick"), 1);
        QCOMPARE(ran, (QStringList{"editor ok", "print", "print"}));

        // From a real button's source object.
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        TForm form;
        skin.ApplySkinByName(&form, QStringLiteral("EditTaskForm"));
        connect(&skin, &TSkin::OnSkinEvent, &form,
                [&](ISkinObject* source, const QString& event) { router.Dispatch(source, event); });
        QTest::mouseClick(Button(&form, "CancelButton"), Qt::LeftButton);
        QCOMPARE(ran.last(), QStringLiteral("editor cancel"));
    }

    void titleBarMovesTheWindowAndEdgesResizeWhereAllowed() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        TForm main;
        skin.ApplySkinByName(&main, QStringLiteral("MainForm"));
        main.SetClientSize(500, 300);
        main.move(100, 100);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        SkinWindowFrame* frame = SkinWindowFrame::Of(&main);
        QVERIFY(frame);
        const QPoint start = main.pos();
        QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(60, 10));
        QTest::mouseMove(frame, QPoint(90, 30));
        QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(90, 30));
        QCOMPARE(main.pos(), start + QPoint(30, 20));

        const QSize before = main.size();
        const QPoint corner(main.width() - 2, main.height() - 2);
        QTest::mousePress(frame, Qt::LeftButton, {}, corner);
        QTest::mouseMove(frame, corner + QPoint(25, 15));
        QTest::mouseRelease(frame, Qt::LeftButton, {}, corner + QPoint(25, 15));
        QCOMPARE(main.size(), before + QSize(25, 15));

        TForm dialog;
        skin.ApplySkinByName(&dialog, QStringLiteral("PrintForm"));
        dialog.SetClientSize(260, 233);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        SkinWindowFrame* dframe = SkinWindowFrame::Of(&dialog);
        const QSize fixed = dialog.size();
        const QPoint dcorner(dialog.width() - 2, dialog.height() - 2);
        QTest::mousePress(dframe, Qt::LeftButton, {}, dcorner);
        QTest::mouseMove(dframe, dcorner + QPoint(25, 15));
        QTest::mouseRelease(dframe, Qt::LeftButton, {}, dcorner + QPoint(25, 15));
        QCOMPARE(dialog.size(), fixed);
    }

    void titleBarShowsTheCaption() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        TForm form;
        form.SetClientSize(300, 200);
        skin.ApplySkinByName(&form, QStringLiteral("OptionsForm"));
        const QImage blank = form.grab().toImage();
        form.setWindowTitle(QStringLiteral("Settings"));
        const QImage titled = form.grab().toImage();
        const int top = form.FrameMargins().top();
        QVERIFY(blank.copy(0, 0, form.width(), top) != titled.copy(0, 0, form.width(), top));
        // The client area is the frame's background, untouched by the caption.
        QCOMPARE(blank.copy(0, top + 5, form.width(), 50),
                 titled.copy(0, top + 5, form.width(), 50));
    }

    void controlTemplatesAndGenericLook() {
        TSkin skin;
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Dark"))));
        const SkinManifest& m = skin.Data()->manifest;
        QWidget window;
        window.setStyleSheet(QStringLiteral("QLineEdit#mine { margin: 1px; }"));
        auto* box = new QCheckBox(QStringLiteral("Reminder:"), &window);
        auto* painted = new QWidget(&window); // paints itself with its palette, as the list does
        auto* bar = new QScrollBar(Qt::Vertical, &window);
        auto* label = new TSkinLabel(QStringLiteral("Task:"), &window);
        label->SetCaption(QStringLiteral("Category:"));
        QCOMPARE(label->Caption(), QStringLiteral("Category:"));
        skin.ApplySkin(&window);
        skin.ApplySkinByName(bar, QStringLiteral("VScrollBar"));
        skin.ApplySkinByName(label, QStringLiteral("Label"));
        skin.ApplySkinByName(&window, QStringLiteral("NoSuchTemplate"));         // ignored
        QVERIFY(window.styleSheet().contains(QStringLiteral("QLineEdit#mine"))); // own kept
        QVERIFY(!bar->styleSheet().isEmpty());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        painted->ensurePolished();
        label->ensurePolished();
        QCOMPARE(painted->palette().color(QPalette::Text), m.controls.text);
        QCOMPARE(painted->palette().color(QPalette::WindowText), m.controls.text);
        QCOMPARE(label->palette().color(QPalette::WindowText), m.label.color);
        QVERIFY(box->grab().toImage().pixelColor(box->width() / 2, box->height() / 2).isValid());
        QVERIFY(!SkinWindowFrame::Of(&window));

        // Loading Default restyles all three.
        QVERIFY(skin.LoadSkin(ShippedSkin(QStringLiteral("Default"))));
        painted->ensurePolished();
        label->ensurePolished();
        QCOMPARE(painted->palette().color(QPalette::Text), skin.Data()->manifest.controls.text);
        QCOMPARE(label->palette().color(QPalette::WindowText), skin.Data()->manifest.label.color);
        QVERIFY(window.styleSheet().contains(QStringLiteral("QLineEdit#mine")));
        QVERIFY(window.styleSheet().count(QStringLiteral("QLineEdit#mine")) == 1);
    }

    void nothingHappensBeforeASkinIsLoaded() {
        TSkin skin;
        TForm form;
        form.SetClientSize(100, 100);
        skin.ApplySkin(&form);
        skin.ApplySkinByName(&form, QStringLiteral("MainForm"));
        QCOMPARE(form.size(), QSize(100, 100));
        QCOMPARE(ButtonCount(&form), 0);
        QCOMPARE(skin.GetImageCount(), 0);
        QVERIFY(skin.GetDescription().isEmpty());
        QCOMPARE(skin.WindowColor(), TColor(0xFF000005));
    }
};

QTEST_MAIN(SkinWidgetsTest)
#include "skin_widgets_test.moc"
