// The editor's "Repeat:" drop-down: which entry a task's rule shows, what rule
// each entry gives back, and when it can be used.
#include "support/window_parts.h"
#include "ui/edit_task_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTest>

class TestRepeatEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldShowEachRuleAndGiveItBackUnchanged_data() {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("shown");
        QTest::newRow("never") << ""
                               << "Never";
        QTest::newRow("weekdays") << "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR"
                                  << "Every weekday";
        QTest::newRow("year") << "FREQ=YEARLY"
                              << "Every year";
        QTest::newRow("custom") << "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH"
                                << "Every 2 weeks: Mon, Thu";
        QTest::newRow("same as a preset, written longer") << "FREQ=MONTHLY;INTERVAL=1"
                                                          << "Every month";
        QTest::newRow("foreign") << "FREQ=MONTHLY;COUNT=5;BYDAY=-1FR"
                                 << "Custom (from another program)";
    }
    void shouldShowEachRuleAndGiveItBackUnchanged() {
        QFETCH(QString, rule);
        QFETCH(QString, shown);
        quill::TEditTaskForm form;
        quill::TTASK_ITEM task;
        task.HasDueDate = 1;
        task.DueDate = 46000;
        task.RepeatRule = rule.toStdString();
        form.LoadTask(task, 46000);
        auto* box = Part<QComboBox>(&form, "RepeatBox");
        QCOMPARE(box->currentText(), shown);
        QCOMPARE(QString::fromStdString(form.Values().RepeatRule), rule);
    }

    void shouldGiveTheChosenRuleAndFollowTheDueDateBox() {
        quill::TEditTaskForm form;
        std::optional<quill::RepeatChoice> answer;
        form.SetCustomRepeatChooser([&](QWidget*, const quill::RepeatChoice&) { return answer; });
        quill::TTASK_ITEM task;
        task.RepeatRule = "FREQ=DAILY;COUNT=2";
        form.LoadTask(task, 46000);
        auto* box = Part<QComboBox>(&form, "RepeatBox");
        QVERIFY(!box->isEnabled());
        Part<QCheckBox>(&form, "CheckBox3")->setChecked(true);
        QVERIFY(box->isEnabled());
        const auto choose = [&](int index) {
            box->setCurrentIndex(index);
            form.RepeatBoxChange(index);
            return form.Values().RepeatRule;
        };
        QCOMPARE(choose(6), std::string("FREQ=DAILY;COUNT=2")); // "Custom..." cancelled
        QCOMPARE(box->currentIndex(), 7);
        answer = quill::RepeatChoice{quill::RepeatUnit::Weeks, 2, 0x09};
        QCOMPARE(choose(6), std::string("FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH"));
        QCOMPARE(choose(3), std::string("FREQ=WEEKLY"));
        QCOMPARE(choose(7), std::string("FREQ=DAILY;COUNT=2"));
        Part<QCheckBox>(&form, "CheckBox3")->setChecked(false);
        QVERIFY(!box->isEnabled());
    }
};

QTEST_MAIN(TestRepeatEditor)
#include "repeat_editor_test.moc"
