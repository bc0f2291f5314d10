// The tray icon's clicks and the main window's menu, the help file, and the
// about window, on the program's real windows.
#include "../skin/skin_test_util.h"
#include "app/about_window.h"
#include "app/help_file.h"
#include "app/main_form.h"
#include "app/quillnote_application.h"
#include "app_fixture.h"
#include "platform/settings_store.h"
#include "platform/tray_icon.h"
#include "print/print_form.h"
#include "skin/skin.h"
#include "skin/skin_frame.h"
#include "ui/categories_form.h"
#include "ui/edit_task_form.h"
#include "ui/options_form.h"
#include "ui/reminder_form.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace quill;

namespace {
void Touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
}

QWidget* Dialog(AppWindowSet& w, const QString& name) {
    const QList<QWidget*> all = {
        static_cast<QWidget*>(w.EditTaskForm()), static_cast<QWidget*>(w.ReminderForm()),
        static_cast<QWidget*>(w.OptionsForm()), static_cast<QWidget*>(w.CategoriesForm()),
        static_cast<QWidget*>(w.PrintForm())};
    for (QWidget* d : all) {
        if (d && d->objectName() == name)
            return d;
    }
    return nullptr;
}
// The window with the keyboard focus (the offscreen platform can leave
// QApplication::activeWindow() empty when a hidden window is shown again).
QString FrontWindowName() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowHandle() && w->windowHandle() == QGuiApplication::focusWindow())
            return w->objectName();
    }
    return {};
}
} // namespace

class TrayHelpAboutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldAnswerTheTrayIconByWhatIsOpen_data() {
        QTest::addColumn<QString>("open");     // the dialog that is shown, or ""
        QTest::addColumn<bool>("right");       // right button, else left
        QTest::addColumn<QString>("expected"); // the active window after, or "menu"
        QTest::newRow("nothing open, left") << "" << false << "MainForm";
        QTest::newRow("nothing open, right") << "" << true << "menu";
        for (const char* d : {"EditTaskForm", "ReminderForm", "OptionsForm"}) {
            QTest::addRow("%s, left", d) << d << false << d;
            QTest::addRow("%s, right", d) << d << true << d;
        }
        // The categories window comes forward on a left click only; a right click
        // opens the menu over it.
        QTest::newRow("CategoriesForm, left") << "CategoriesForm" << false << "CategoriesForm";
        QTest::newRow("CategoriesForm, right") << "CategoriesForm" << true << "menu";
        // The print dialog does not hold the left click back.
        QTest::newRow("PrintForm, left") << "PrintForm" << false << "MainForm";
        QTest::newRow("PrintForm, right") << "PrintForm" << true << "menu";
    }
    void shouldAnswerTheTrayIconByWhatIsOpen() {
        QFETCH(QString, open);
        QFETCH(bool, right);
        QFETCH(QString, expected);
        // GIVEN the main window hidden in the tray and maybe one dialog shown
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        main->HideMainWindow();
        QWidget* dialog = open.isEmpty() ? nullptr : Dialog(main->Windows(), open);
        if (dialog) {
            dialog->show();
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            // Something else in front, so bringing it forward is seen.
            QWidget other;
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            other.hide();
        }
        // WHEN the tray icon is clicked
        if (right)
            Q_EMIT f.Tray().RightButtonDown(QPoint(600, 500));
        else
            Q_EMIT f.Tray().LeftButtonDown();
        // THEN the window, the dialog or the menu is in front, and nothing else
        if (expected == QLatin1String("menu")) {
            QTRY_VERIFY(Part<QMenu>(main, "PopupMenu1")->isVisible());
            QCOMPARE(Part<QAction>(main, "Open1")->text(), QStringLiteral("Open"));
            QVERIFY(!main->TrayPopupPending());
            Part<QMenu>(main, "PopupMenu1")->hide();
        } else {
            QTRY_COMPARE(FrontWindowName(), expected);
            QVERIFY(!Part<QMenu>(main, "PopupMenu1")->isVisible());
        }
        // Only a left click that shows the window shows it; the menu opens over the tray.
        QCOMPARE(main->isVisible(), expected == QLatin1String("MainForm"));
        if (dialog)
            dialog->hide();
    }

    void shouldOfferOpenFromTheTrayAndMinimizeOnTheWindow() {
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        // On the window the first item hides it to the tray.
        Part<QMenu>(main, "PopupMenu1")->popup(main->mapToGlobal(QPoint(100, 100)));
        QTRY_VERIFY(Part<QMenu>(main, "PopupMenu1")->isVisible());
        QCOMPARE(Part<QAction>(main, "Open1")->text(), QStringLiteral("Minimize"));
        Part<QMenu>(main, "PopupMenu1")->hide();
        Part<QAction>(main, "Open1")->trigger();
        QVERIFY(main->isHidden());
        // From the tray it reads "Open" and brings the window back.
        Q_EMIT f.Tray().RightButtonDown(QPoint(600, 500));
        QTRY_VERIFY(Part<QMenu>(main, "PopupMenu1")->isVisible());
        QCOMPARE(Part<QAction>(main, "Open1")->text(), QStringLiteral("Open"));
        Part<QMenu>(main, "PopupMenu1")->hide();
        Part<QAction>(main, "Open1")->trigger();
        QTRY_VERIFY(main->isVisible());
        QTRY_VERIFY(main->isActiveWindow());
        // "Exit" runs the close sequence.
        QSignalSpy closed(main, &TMainForm::CloseAccepted);
        Part<QAction>(main, "N1")->trigger();
        QCOMPARE(closed.count(), 1);
        QVERIFY(!f.Tray().IsAdded());
    }

    void shouldOpenTheHelpBesideTheProgramOrSayWhy() {
        QTemporaryDir dir;
        QTemporaryDir shared; // an installed copy's share folder
        QStringList opened;
        bool opens = true;
        const auto open = [&](const QString& path) {
            opened << path;
            return opens;
        };
        bool chmHasOpener = false;
        const auto chmOpener = [&](const QString&) { return chmHasOpener; };
        const auto help = [&] { return OpenHelp(dir.path(), shared.path(), open, chmOpener); };
        const QString html = dir.filePath(kHelpHtmlName);
        const QString chm = dir.filePath(kHelpChmName);
        // Nothing there: a message naming the file, nothing opened.
        QString problem = help();
        QVERIFY(problem.contains(QDir::toNativeSeparators(html)));
        QVERIFY(problem.contains(QStringLiteral("not found")));
        QVERIFY(opened.isEmpty());
        // An installed copy's help in its share folder.
        Touch(shared.filePath(kHelpHtmlName));
        QCOMPARE(help(), QString());
        QCOMPARE(opened, QStringList{shared.filePath(kHelpHtmlName)});
        opened.clear();
        // The HTML help beside the program comes first.
        Touch(html);
        QCOMPARE(help(), QString());
        QCOMPARE(opened, QStringList{html});
        // A CHM file beside it is opened instead, but only where a program takes it.
        Touch(chm);
        QCOMPARE(help(), QString());
        QCOMPARE(opened.last(), html);
        chmHasOpener = true;
        QCOMPARE(help(), QString());
        QCOMPARE(opened.last(), chm);
        // No program to show it: said, with the path.
        opens = false;
        problem = help();
        QVERIFY(problem.contains(QDir::toNativeSeparators(chm)));
        QVERIFY(problem.contains(QStringLiteral("could not be opened")));
    }

    void shouldTellWhatTheUserHasAndWhereTheDataIs() {
        AppFixture f;
        f.CreateWindows();
        const AboutInfo info = MakeAboutInfo(f.Services());
        QCOMPARE(info.product, QStringLiteral("Tolva Quillnote"));
        QCOMPARE(info.vendor, QStringLiteral("Tolvane"));
        QVERIFY(!info.version.isEmpty() && info.version != QLatin1String("unknown"));
        QCOMPARE(info.dataFile, f.DataPath());
        QCOMPARE(info.settingsFile, f.SettingsPath());
        QStringList names;
        for (const AboutComponent& c : info.components) {
            names << c.name;
            QVERIFY2(!c.licence.isEmpty(), qPrintable(c.name));
        }
        for (const char* linked : {"Qt", "zlib", "libsndfile", "FluidSynth", "CUPS"})
            QVERIFY2(names.contains(QLatin1String(linked)), linked);
        QCOMPARE(info.components.first().version, QString::fromLatin1(qVersion()));
        // Each library: a version number alone, never its name again.
        const QRegularExpression number(QStringLiteral("^\\d+(\\.\\d+)+$"));
        for (qsizetype i = 0; i + 1 < info.components.size(); ++i)
            QVERIFY2(number.match(info.components[i].version).hasMatch(),
                     qPrintable(info.components[i].name + ": " + info.components[i].version));

        TAboutForm about(info);
        QStringList folders;
        about.openFolder = [&](const QString& d) {
            folders << d;
            return true;
        };
        QCOMPARE(Part<QLabel>(&about, "ProductLabel")->text(), QStringLiteral("Tolva Quillnote"));
        const QString version = Part<QLabel>(&about, "VersionLabel")->text();
        QVERIFY(version.contains(info.version));
        QVERIFY(version.contains(QStringLiteral("Tolvane")));
        QCOMPARE(Part<QLabel>(&about, "DataFileLabel")->text(),
                 QDir::toNativeSeparators(f.DataPath()));
        QVERIFY(Part<QTextBrowser>(&about, "LicenceText")
                    ->toPlainText()
                    .contains(QStringLiteral("LGPL-3.0")));
        QTest::mouseClick(Part<QPushButton>(&about, "OpenDataFolderButton"), Qt::LeftButton);
        QCOMPARE(folders, QStringList{f.ExeDir()});
    }

    void shouldCloseTheAboutWindowWithOkEnterAndEscape_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("OK button") << "ok" << int(mrOk);
        QTest::newRow("Enter") << "enter" << int(mrOk);
        QTest::newRow("Escape") << "escape" << int(mrCancel);
    }
    void shouldCloseTheAboutWindowWithOkEnterAndEscape() {
        QFETCH(QString, how);
        QFETCH(int, result);
        AppFixture f;
        TMainForm* main = f.CreateWindows();
        QVERIFY(f.ShowAndActivate());
        int got = -1;
        QStringList templates;
        QTimer::singleShot(0, [&] {
            auto* about = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
            if (!about)
                return;
            templates = Part<TSkin>(main)->AppliedTemplates(about);
            if (how == QLatin1String("ok")) {
                for (auto* button : about->findChildren<QAbstractButton*>("OKButton"))
                    QTest::mouseClick(button, Qt::LeftButton);
            } else {
                about->activateWindow();
                QTest::keyClick(about,
                                how == QLatin1String("enter") ? Qt::Key_Return : Qt::Key_Escape);
            }
            got = about->GetModalResult();
            if (about->IsShowingModal() && got == mrNone)
                about->SetModalResult(99); // not closed: end the test, not the run
        });
        Part<QAction>(main, "About1")->trigger();
        QCOMPARE(got, result);
        QVERIFY(templates.contains(QStringLiteral("AboutForm"))); // the current skin's
    }

    void shouldDrawTheAboutWindowWithTheBuiltInSkinWhenTheCurrentHasNone() {
        // GIVEN a skin without the about template
        QTemporaryDir dir;
        const QString path = dir.filePath("Plain.skn");
        using namespace quill::test;
        QVERIFY(WriteZip(path, WithManifest(UnpackSkin(ShippedSkin("Dark")), [](QJsonObject& m) {
                             QJsonObject t = m["templates"].toObject();
                             t.remove("AboutForm");
                             m["templates"] = t;
                         })));
        TSkin plain;
        QVERIFY(plain.LoadSkin(path));
        TSkin dark;
        QVERIFY(dark.LoadSkin(ShippedSkin("Dark")));
        // THEN the built-in one draws it; a skin with the template draws it itself
        TSkin* builtIn = AboutSkin(plain);
        QVERIFY(builtIn && builtIn != &plain);
        QCOMPARE(builtIn->Name(), QStringLiteral("Default"));
        QCOMPARE(AboutSkin(dark), &dark);
    }
};

int main(int argc, char** argv) {
    QuillnoteApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TrayHelpAboutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tray_help_about_test.moc"
