// The settings dialog on its own: captions and places, loading and reading back
// the options, the skin list rules, Enter and Escape.
#include "../support/window_parts.h"
#include "skin/skin_label.h"
#include "ui/options_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTest>
#include <QTimer>

using namespace quill;

namespace {
// The check box of each switch of kOptionSwitches, by the dialog's names.
constexpr const char* kSwitchBoxes[] = {"CheckBox1", "CheckBox2", "CheckBox4",  "CheckBox5",
                                        "CheckBox6", "CheckBox7", "CheckBox10", "CheckBox11",
                                        "CheckBox8", "CheckBox9"};
static_assert(std::size(kSwitchBoxes) == kOptionSwitches.size());
} // namespace

class OptionsFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shouldLayOutTheControlsWithTheirCaptions() {
        TOptionsForm form;
        QCOMPARE(form.ClientSize(), QSize(338, 266));
        QCOMPARE(form.font().family(), QStringLiteral("Verdana"));
        QCOMPARE(form.font().pointSize(), 8);
        const struct {
            const char* box;
            QPoint pos;
            const char* caption;
        } expected[] = {
            {"CheckBox1", {23, 32}, "Start with Windows"},
            {"CheckBox2", {23, 56}, "Minimize on start"},
            {"CheckBox4", {23, 80}, "Transparency"},
            {"CheckBox9", {23, 104}, "Always on Top"},
            {"CheckBox5", {183, 32}, "Due Date"},
            {"CheckBox6", {183, 56}, "Priority"},
            {"CheckBox7", {183, 80}, "Category"},
            {"CheckBox10", {183, 104}, "Reminder Icon"},
            {"CheckBox11", {183, 128}, "Grid"},
            {"CheckBox8", {183, 144}, "Done Task put in bottom"},
        };
        for (const auto& e : expected) {
            QCOMPARE(Part<QCheckBox>(&form, e.box)->pos(), e.pos);
            QCOMPARE(Part<QCheckBox>(&form, e.box)->text(), QString::fromLatin1(e.caption));
        }
        QCOMPARE(Part<TSkinLabel>(&form, "SkinLabel3")->pos(), QPoint(17, 143));
        QCOMPARE(Part<TSkinLabel>(&form, "SkinLabel3")->Caption(), QStringLiteral("Skins:"));
        QCOMPARE(Part<QComboBox>(&form, "ComboBox2")->pos(), QPoint(71, 139));
        QCOMPARE(Part<TSkinLabel>(&form, "SkinLabel1")->pos(), QPoint(17, 167));
        QCOMPARE(Part<TSkinLabel>(&form, "SkinLabel1")->Caption(), QStringLiteral("Sort by:"));
        const auto* sortBy = Part<QComboBox>(&form, "ComboBox1");
        QCOMPARE(sortBy->pos(), QPoint(71, 163));
        QCOMPARE(sortBy->count(), 3);
        QCOMPARE(sortBy->itemText(0), QStringLiteral("Due Date"));
        QCOMPARE(sortBy->itemText(1), QStringLiteral("Priority"));
        QCOMPARE(sortBy->itemText(2), QStringLiteral("Category"));
    }

    // Each switch has its own check box: loaded alone, only that box is ticked,
    // and it reads back as the same options.
    void shouldLoadEachOptionIntoItsControlAndReadItBack() {
        TOptionsForm form;
        QCOMPARE(form.Options(), ProgramOptions()); // the defaults before any Load
        for (size_t i = 0; i < kOptionSwitches.size(); ++i) {
            ProgramOptions options;
            for (const OptionSwitch& option : kOptionSwitches)
                options.*option.field = false;
            options.*kOptionSwitches[i].field = true;
            options.sortBy = int32_t(i % 3);
            form.Load(options);
            for (size_t j = 0; j < kOptionSwitches.size(); ++j)
                QCOMPARE(Part<QCheckBox>(&form, kSwitchBoxes[j])->isChecked(), i == j);
            QCOMPARE(Part<QComboBox>(&form, "ComboBox1")->currentIndex(), int(i % 3));
            QCOMPARE(form.Options(), options);
        }
        // What the user changes is what Options() answers.
        Part<QCheckBox>(&form, "CheckBox11")->setChecked(true);
        Part<QComboBox>(&form, "ComboBox1")->setCurrentIndex(1);
        QVERIFY(form.Options().showGrid);
        QCOMPARE(form.Options().sortBy, 1);
        // A stored order the list does not have leaves it without a selection.
        ProgramOptions unknown;
        unknown.sortBy = 7;
        form.Load(unknown);
        QCOMPARE(form.Options().sortBy, -1);
    }

    void shouldPickTheSkinPositionByExactName() {
        QCOMPARE(SkinListPosition({}, "Default"), -1);
        QCOMPARE(SkinListPosition({"Dark", "Default"}, "Default"), 1);
        QCOMPARE(SkinListPosition({"Dark", "Default"}, "default"), 0); // case counts
        QCOMPARE(SkinListPosition({"Dark", "Default"}, "Gone"), 0);
        QCOMPARE(SkinListPosition({"A", "B", "A"}, "A"), 2); // the last of several
    }

    void shouldFillTheSkinListOnEveryShow() {
        TOptionsForm form;
        auto* skinList = Part<QComboBox>(&form, "ComboBox2");
        QStringList skins{"Dark", "Default"};
        QString current = "Default";
        form.SetSkinSource([&] { return skins; }, [&] { return current; });
        QTimer::singleShot(0, &form, [&form] { form.Button2Click(); });
        QCOMPARE(form.ShowModal(), int(mrCancel));
        QCOMPARE(skinList->count(), 2);
        QCOMPARE(skinList->currentIndex(), 1);
        QCOMPARE(form.ChosenSkin(), std::nullopt); // the current skin stayed selected
        skinList->setCurrentIndex(0);
        QCOMPARE(form.ChosenSkin(), std::optional<QString>("Dark"));

        skins.clear();
        QTimer::singleShot(0, &form, [&form] { form.Button1Click(); });
        QCOMPARE(form.ShowModal(), int(mrOk));
        QCOMPARE(skinList->count(), 0);
        QCOMPARE(skinList->currentIndex(), -1);
        QCOMPARE(form.ChosenSkin(), std::nullopt);
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
        TOptionsForm form;
        QTimer::singleShot(0, &form, [&form, key] {
            auto* box = Part<QCheckBox>(&form, "CheckBox5");
            box->setFocus();
            QTest::keyClick(box, Qt::Key(key));
        });
        QCOMPARE(form.ShowModal(), result);
    }
};

QTEST_MAIN(OptionsFormTest)
#include "options_form_test.moc"
