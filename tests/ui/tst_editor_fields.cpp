// Every date and time field of the task editor shows its whole text in each
// shipped skin, enabled and disabled: the widest text of its format, in the font
// its line edit shows, fits the room the line edit gives the text.
#include "skin/skin.h"
#include "skin_test_util.h"
#include "ui/edit_task_form.h"
#include "widgets/date_time_picker.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QTest>

using namespace quill;

class TestEditorFields : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldShowTheWholeDateAndTime_data() {
        QTest::addColumn<QString>("skinName");
        QTest::newRow("Default") << "Default";
        QTest::newRow("Dark") << "Dark";
    }
    void shouldShowTheWholeDateAndTime() {
        QFETCH(QString, skinName);
        TSkin skin;
        QVERIFY(skin.LoadSkin(test::ShippedSkin(skinName)));
        TEditTaskForm form;
        form.SetSkin(&skin);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        for (TDateTimePicker* picker :
             {form.DateTimePicker1, form.DateTimePicker2, form.DateTimePicker4}) {
            for (bool enabled : {true, false}) {
                picker->setEnabled(enabled);
                QCoreApplication::processEvents();
                const QLineEdit* edit = picker->findChild<QLineEdit*>();
                // QLineEdit draws its text two pixels inside its text rectangle.
                const int room =
                    edit->contentsRect().marginsRemoved(edit->textMargins()).width() - 4;
                const QFontMetrics shown(edit->font());
                for (const QString& text : picker->WidestTexts())
                    QVERIFY2(shown.horizontalAdvance(text) < room,
                             qPrintable(QStringLiteral("%1: \"%2\" is %3 px, room %4")
                                            .arg(picker->objectName(), text)
                                            .arg(shown.horizontalAdvance(text))
                                            .arg(room)));
            }
        }
    }
};

QTEST_MAIN(TestEditorFields)
#include "tst_editor_fields.moc"
