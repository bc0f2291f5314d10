// The settings dialog on its own: captions and places, the stored values, the
// skin list rules, Enter and Escape.
#include "app/options_form.h"
#include "platform/settings_store.h"
#include "skin/skin_label.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace quill;

namespace {
// A check box's value as the settings table writes it (1 or 0), a list's position.
int ControlValue(const QWidget* control) {
    if (const auto* box = qobject_cast<const QCheckBox*>(control))
        return box->isChecked() ? 1 : 0;
    if (const auto* list = qobject_cast<const QComboBox*>(control))
        return list->currentIndex();
    return -1;
}
} // namespace

class OptionsFormTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString Ini() const { return dir_.filePath(QStringLiteral("Quillnote.ini")); }

private Q_SLOTS:
    void init() { QFile::remove(Ini()); }

    void shouldLayOutTheControlsWithTheirCaptions() {
        SettingsStore store(Ini());
        TOptionsForm form(store);
        QCOMPARE(form.ClientSize(), QSize(338, 266));
        QCOMPARE(form.font().family(), QStringLiteral("Verdana"));
        QCOMPARE(form.font().pointSize(), 8);
        const struct {
            QCheckBox* box;
            QPoint pos;
            const char* caption;
        } expected[] = {
            {form.CheckBox1, {23, 32}, "Start with Windows"},
            {form.CheckBox2, {23, 56}, "Minimize on start"},
            {form.CheckBox4, {23, 80}, "Transparency"},
            {form.CheckBox9, {23, 104}, "Always on Top"},
            {form.CheckBox5, {183, 32}, "Due Date"},
            {form.CheckBox6, {183, 56}, "Priority"},
            {form.CheckBox7, {183, 80}, "Category"},
            {form.CheckBox10, {183, 104}, "Reminder Icon"},
            {form.CheckBox11, {183, 128}, "Grid"},
            {form.CheckBox8, {183, 144}, "Done Task put in bottom"},
        };
        for (const auto& e : expected) {
            QCOMPARE(e.box->pos(), e.pos);
            QCOMPARE(e.box->text(), QString::fromLatin1(e.caption));
        }
        QCOMPARE(form.SkinLabel3->pos(), QPoint(17, 143));
        QCOMPARE(form.SkinLabel3->Caption(), QStringLiteral("Skins:"));
        QCOMPARE(form.ComboBox2->pos(), QPoint(71, 139));
        QCOMPARE(form.SkinLabel1->pos(), QPoint(17, 167));
        QCOMPARE(form.SkinLabel1->Caption(), QStringLiteral("Sort by:"));
        QCOMPARE(form.ComboBox1->pos(), QPoint(71, 163));
        QCOMPARE(form.ComboBox1->count(), 3);
        QCOMPARE(form.ComboBox1->itemText(0), QStringLiteral("Due Date"));
        QCOMPARE(form.ComboBox1->itemText(1), QStringLiteral("Priority"));
        QCOMPARE(form.ComboBox1->itemText(2), QStringLiteral("Category"));
    }

    // Each option of the settings table has its control, starts at its default
    // and is what the rest of the program reads.
    void shouldStartFromTheDefaultsWithoutStoredSettings() {
        SettingsStore store(Ini());
        TOptionsForm form(store);
        for (const settings::DialogOption& option : settings::kDialogOptions) {
            QWidget* control = form.findChild<QWidget*>(option.control);
            QVERIFY2(control, option.control);
            QCOMPARE(ControlValue(control), option.def);
        }
        QVERIFY(!form.StartWithWindows() && !form.MinimizeOnStart() && !form.Transparency() &&
                !form.AlwaysOnTop());
        QVERIFY(form.ShowDueDate() && form.ShowPriority() && form.ShowCategory() &&
                form.ShowReminder() && form.ShowGrid() && form.DoneTaskPutInBottom());
        QCOMPARE(form.SortBy(), 0);
    }

    void shouldReadAndRefillFromTheStore() {
        SettingsStore store(Ini());
        store.Write(settings::kSortBy, 2);
        store.Write(settings::kShowGrid, false);
        store.Write(settings::kAlwaysOnTop, true);
        TOptionsForm form(store);
        QCOMPARE(form.SortBy(), 2);
        QVERIFY(!form.ShowGrid());
        QVERIFY(form.AlwaysOnTop());
        // The controls are the live copy until FormCreate refills them.
        form.CheckBox11->setChecked(true);
        form.ComboBox1->setCurrentIndex(1);
        QVERIFY(form.ShowGrid());
        QCOMPARE(form.SortBy(), 1);
        form.FormCreate();
        QVERIFY(!form.ShowGrid());
        QCOMPARE(form.SortBy(), 2);
    }

    void shouldWriteEveryOptionAsText() {
        SettingsStore store(Ini());
        TOptionsForm form(store);
        // Every control away from its default...
        for (const settings::DialogOption& option : settings::kDialogOptions) {
            QWidget* control = form.findChild<QWidget*>(option.control);
            if (auto* box = qobject_cast<QCheckBox*>(control))
                box->setChecked(option.def == 0);
            else if (auto* list = qobject_cast<QComboBox*>(control))
                list->setCurrentIndex(2);
        }
        form.WriteSettings();
        // ...is stored under its own name, as "1"/"0" or the position.
        const QSettings raw(Ini(), QSettings::IniFormat);
        for (const settings::DialogOption& option : settings::kDialogOptions) {
            const QString expected = option.kind == settings::OptionKind::Choice
                                         ? QStringLiteral("2")
                                         : QString::number(option.def == 0 ? 1 : 0);
            QCOMPARE(raw.value(option.name).toString(), expected);
        }
        QCOMPARE(raw.allKeys().size(), int(settings::kDialogOptions.size()));
    }

    void shouldPickTheSkinPositionByExactName() {
        QCOMPARE(SkinListPosition({}, "Default"), -1);
        QCOMPARE(SkinListPosition({"Dark", "Default"}, "Default"), 1);
        QCOMPARE(SkinListPosition({"Dark", "Default"}, "default"), 0); // case counts
        QCOMPARE(SkinListPosition({"Dark", "Default"}, "Gone"), 0);
        QCOMPARE(SkinListPosition({"A", "B", "A"}, "A"), 2); // the last of several
    }

    void shouldFillTheSkinListOnEveryShow() {
        SettingsStore store(Ini());
        TOptionsForm form(store);
        QStringList skins{"Dark", "Default"};
        QString current = "Default";
        form.SetSkinSource([&] { return skins; }, [&] { return current; });
        QTimer::singleShot(0, &form, [&form] { form.Button2Click(); });
        QCOMPARE(form.ShowModal(), int(mrCancel));
        QCOMPARE(form.ComboBox2->count(), 2);
        QCOMPARE(form.ComboBox2->currentIndex(), 1);
        QCOMPARE(form.SkinPositionAtShow(), 1);

        skins.clear();
        QTimer::singleShot(0, &form, [&form] { form.Button1Click(); });
        QCOMPARE(form.ShowModal(), int(mrOk));
        QCOMPARE(form.ComboBox2->count(), 0);
        QCOMPARE(form.ComboBox2->currentIndex(), -1);
    }

    void shouldCloseWithOkOnEnterAndCancelOnEscape_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(mrOk);
        QTest::newRow("Enter") << int(Qt::Key_Enter) << int(mrOk);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(mrCancel);
    }
    void shouldCloseWithOkOnEnterAndCancelOnEscape() {
        QFETCH(int, key);
        QFETCH(int, result);
        SettingsStore store(Ini());
        TOptionsForm form(store);
        QTimer::singleShot(0, &form, [&form, key] {
            form.CheckBox5->setFocus();
            QTest::keyClick(form.CheckBox5, Qt::Key(key));
        });
        QCOMPARE(form.ShowModal(), result);
    }
};

int RunOptionsFormTests(int argc, char** argv) {
    OptionsFormTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "options_form_test.moc"
