// The task editor's date and time fields show their whole text in each shipped
// skin, enabled and disabled: every widest text of the field's format, in the
// font its line edit shows, fits inside the line edit's text rectangle.
#include "skin/skin.h"
#include "skin_test_util.h"
#include "support/window_parts.h"
#include "ui/edit_task_form.h"
#include "widgets/date_time_picker.h"

#include <QLineEdit>
#include <QTest>

class TestEditorFields : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void shouldShowTheWholeDateAndTime() {
        for (const char* name : {"Default", "Dark"}) {
            quill::TSkin skin;
            QVERIFY(skin.LoadSkin(quill::test::ShippedSkin(QString::fromLatin1(name))));
            quill::TEditTaskForm form;
            skin.Attach(&form);
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            for (auto* picker : {Part<quill::TDateTimePicker>(&form, "DateTimePicker1"),
                                 Part<quill::TDateTimePicker>(&form, "DateTimePicker2"),
                                 Part<quill::TDateTimePicker>(&form, "DateTimePicker4")})
                for (bool enabled : {true, false}) {
                    picker->setEnabled(enabled);
                    const QLineEdit* edit = picker->findChild<QLineEdit*>();
                    // QLineEdit draws its text two pixels inside that rectangle.
                    const int room =
                        edit->contentsRect().marginsRemoved(edit->textMargins()).width() - 4;
                    for (const QString& text : picker->WidestTexts())
                        QVERIFY2(
                            edit->fontMetrics().horizontalAdvance(text) < room,
                            qPrintable(QStringLiteral("%1 %2: %3")
                                           .arg(QLatin1String(name), picker->objectName(), text)));
                }
        }
    }
};

QTEST_MAIN(TestEditorFields)
#include "editor_fields_test.moc"
