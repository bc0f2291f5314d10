// The print options dialog on real widgets: its controls, the printer list,
// choices kept for the run, and what OK and Cancel print.
#include "print/print_form.h"
#include "print_samples.h"
#include "print_test_util.h"
#include "skin/skin_label.h"
#include "support/window_parts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace quill;

class TestPrintForm : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    TaskStore store_ = printtest::SampleStore(46000);
    SkinPictures pictures_;

    // Shows the dialog modally and closes it with `result` once it is up;
    // `whileOpen` runs first, with the dialog on screen.
    int ShowAndClose(TPrintForm& form, int result, const std::function<void()>& whileOpen = {}) {
        QTimer::singleShot(0, &form, [&form, result, whileOpen] {
            if (whileOpen)
                whileOpen();
            form.SetModalResult(result);
        });
        return form.ShowModal();
    }

    // The job's tasks; with `asked`, a PDF file chooser that counts its questions
    // and picks nothing.
    void Wire(TPrintForm& form, int* asked = nullptr) {
        form.SetJobSource([this] { return PrintJobInput{&store_, false, &pictures_, {}}; });
        if (asked)
            form.SetPdfFileChooser([asked](const QString&) {
                ++*asked;
                return QString();
            });
    }

private Q_SLOTS:
    void controlsAsDesigned() {
        TPrintForm form;
        QCOMPARE(form.ClientSize(), QSize(260, 233));
        QCOMPARE(form.font().family(), QStringLiteral("Verdana"));
        QCOMPARE(form.font().pixelSize(), 11);
        struct Expected {
            QWidget* widget;
            QPoint position;
            QString caption;
        };
        const Expected table[] = {
            {Part<TSkinLabel>(&form, "SkinLabel1"), {15, 12}, "Sort by:"},
            {Part<QComboBox>(&form, "ComboBox2"), {65, 8}, "Due Date"},
            {Part<QCheckBox>(&form, "CheckBox1"), {15, 40}, "Separate Categories"},
            {Part<QCheckBox>(&form, "CheckBox2"), {15, 64}, "Print each Category on new page"},
            {Part<QCheckBox>(&form, "CheckBox3"), {15, 88}, "Print only uncompleted tasks"},
            {Part<QCheckBox>(&form, "CheckBox4"), {16, 112}, "Print task descriptions"},
            {Part<TSkinLabel>(&form, "SkinLabel2"), {15, 140}, "Printer:"},
            {Part<QComboBox>(&form, "ComboBox1"), {60, 136}, QString()},
            {Part<TSkinLabel>(&form, "SkinLabel3"), {15, 170}, "Orientation:"},
            {Part<QRadioButton>(&form, "RadioButton1"), {87, 168}, "Portrait"},
            {Part<QRadioButton>(&form, "RadioButton2"), {167, 168}, "Landscape"},
        };
        for (const Expected& e : table) {
            QCOMPARE(e.widget->pos(), e.position);
            QString text;
            if (auto* l = qobject_cast<TSkinLabel*>(e.widget))
                text = l->Caption();
            else if (auto* b = qobject_cast<QAbstractButton*>(e.widget))
                text = b->text();
            else if (auto* c = qobject_cast<QComboBox*>(e.widget);
                     c && c == Part<QComboBox>(&form, "ComboBox2"))
                text = c->currentText();
            QCOMPARE(text, e.caption);
        }
        QCOMPARE(Part<QComboBox>(&form, "ComboBox2")->width(), 131);
        QCOMPARE(Part<QComboBox>(&form, "ComboBox1")->width(), 180);
        QCOMPARE(Part<QComboBox>(&form, "ComboBox2")->count(), 2);
        QCOMPARE(Part<QComboBox>(&form, "ComboBox2")->itemText(1), QStringLiteral("Priority"));
        const PrintChoices c = form.Choices();
        QVERIFY(c.SeparateCategories && !c.NewPagePerCategory && !c.OnlyUncompleted &&
                c.Descriptions && !c.Landscape && c.SortBy == 0);
    }

    // The printers at every showing, "PDF file" last, the first one chosen; the
    // other choices stay from one showing to the next; Cancel prints nothing.
    void printerListAndKeptChoices() {
        TPrintForm form;
        int asked = 0;
        Wire(form, &asked);
        QStringList shown;
        QCOMPARE(ShowAndClose(
                     form, mrCancel,
                     [&] {
                         for (int i = 0; i < Part<QComboBox>(&form, "ComboBox1")->count(); ++i)
                             shown << Part<QComboBox>(&form, "ComboBox1")->itemText(i);
                         Part<QComboBox>(&form, "ComboBox1")
                             ->setCurrentIndex(Part<QComboBox>(&form, "ComboBox1")->count() - 1);
                         Part<QCheckBox>(&form, "CheckBox3")->setChecked(true);
                         Part<QRadioButton>(&form, "RadioButton2")->setChecked(true);
                         Part<QComboBox>(&form, "ComboBox2")->setCurrentIndex(1);
                     }),
                 int(mrCancel));
        QCOMPARE(shown, PrinterChoices());
        QCOMPARE(shown.last(), QStringLiteral("PDF file"));
        QCOMPARE(asked, 0);
        int selected = -1;
        ShowAndClose(form, mrCancel,
                     [&] { selected = Part<QComboBox>(&form, "ComboBox1")->currentIndex(); });
        QCOMPARE(selected, 0);
        const PrintChoices c = form.Choices();
        QVERIFY(c.OnlyUncompleted && c.Landscape && c.SortBy == 1);
    }

    // OK on "PDF file" asks for the file (suggesting the documents folder) and
    // writes it while the dialog is still up.
    void okPrintsToTheChosenPdfFile() {
        TPrintForm form;
        Wire(form);
        const QString path = dir_.filePath(QStringLiteral("out.pdf"));
        QString suggested;
        bool visibleWhilePrinting = false;
        form.SetPdfFileChooser([&](const QString& s) {
            suggested = s;
            visibleWhilePrinting = form.isVisible();
            return path;
        });
        QStringList errors;
        form.SetErrorReporter([&errors](const QString& e) { errors << e; });
        ShowAndClose(form, mrOk, [&] {
            Part<QComboBox>(&form, "ComboBox1")
                ->setCurrentIndex(Part<QComboBox>(&form, "ComboBox1")->count() - 1);
            Part<QCheckBox>(&form, "CheckBox1")->setChecked(false);
        });
        QVERIFY(suggested.endsWith(QStringLiteral("/Quillnote tasks.pdf")));
        QVERIFY(visibleWhilePrinting);
        QVERIFY(errors.isEmpty());
        QVERIFY(form.LastResult().ok());
        QVERIFY(
            printtest::PageTexts(path).join(QString()).contains(QStringLiteral("All categories")));

        // A file that cannot be written is reported, not printed.
        form.SetPdfFileChooser([this](const QString&) {
            return dir_.filePath(QStringLiteral("missing/folder/out.pdf"));
        });
        ShowAndClose(form, mrOk, [&] {
            Part<QComboBox>(&form, "ComboBox1")
                ->setCurrentIndex(Part<QComboBox>(&form, "ComboBox1")->count() - 1);
        });
        QCOMPARE(form.LastResult().status, PrintJobResult::Status::Failed);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].startsWith(QStringLiteral("Cannot create file")));
    }

    // As in every other dialog, Enter means OK (here: print) and Escape Cancel,
    // whichever control has the focus.
    void enterPrintsEscapeCancels_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(mrOk);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(mrOk);
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(mrCancel);
    }
    void enterPrintsEscapeCancels() {
        QFETCH(int, key);
        QFETCH(int, result);
        TPrintForm form;
        int asked = 0;
        Wire(form, &asked);
        QTimer::singleShot(0, &form, [&form, key] {
            Part<QComboBox>(&form, "ComboBox1")
                ->setCurrentIndex(Part<QComboBox>(&form, "ComboBox1")->count() - 1);
            Part<QCheckBox>(&form, "CheckBox3")->setFocus();
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : &form, Qt::Key(key));
        });
        // A key that is not taken would leave the dialog open: close it another way.
        QTimer::singleShot(5000, &form, [&form] { form.SetModalResult(mrNone + 99); });
        QCOMPARE(form.ShowModal(), result);
        QCOMPARE(asked, result == mrOk ? 1 : 0);
    }

    void queueThatIsGoneIsReported() {
        TPrintForm form;
        Wire(form);
        QStringList errors;
        form.SetErrorReporter([&errors](const QString& e) { errors << e; });
        ShowAndClose(form, mrOk, [&] {
            Part<QComboBox>(&form, "ComboBox1")->insertItem(0, QStringLiteral("Vanished-Queue"));
            Part<QComboBox>(&form, "ComboBox1")->setCurrentIndex(0);
        });
        QCOMPARE(form.LastResult().status, PrintJobResult::Status::Failed);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].contains(QStringLiteral("Vanished-Queue")));
    }
};

QTEST_MAIN(TestPrintForm)
#include "print_form_test.moc"
