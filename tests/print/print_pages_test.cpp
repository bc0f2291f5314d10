// The printed pages, read back from PDF the way a reader sees them, and the
// page arithmetic behind them.
#include "core/date_time.h"
#include "print/print_job.h"
#include "print/print_layout.h"
#include "print_samples.h"
#include "print_test_util.h"
#include "skin/skin.h"
#include "support/fixed_clock.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using namespace quill;
using namespace quill::printtest;

namespace {

// One unit of width per character, four for a "W".
int Units(const QString& s) {
    return static_cast<int>(s.size() + 3 * s.count(QLatin1Char('W')));
}

// `count` tasks of normal priority without a due date, each with this title and
// description.
TaskStore SameTasks(int count, const QString& title, const QString& description) {
    TaskStore store;
    AddDefaultCategories(store);
    TTASK_ITEM t;
    t.Title = title.toStdString();
    t.Description = description.toStdString();
    t.Priority = t.NotOverdue = 1;
    store.Tasks.assign(static_cast<size_t>(count), t);
    return store;
}

} // namespace

class TestPrintPages : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    TSkin skin_;
    SkinPictures pictures_;
    int files_ = 0;
    TDateTime kToday = 0; // 2026-03-14 09:00

    // Prints `store` with `choices` and returns the PDF's path.
    QString Print(const TaskStore& store, const PrintChoices& choices) {
        const QString path = dir_.filePath(QStringLiteral("job%1.pdf").arg(++files_));
        const PrintJobResult result =
            PrintToPdfFile(path, PrintJobInput{&store, false, &pictures_, choices});
        if (!result.ok())
            qWarning("print failed: %s", qPrintable(result.error));
        return path;
    }

private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        kToday = EncodeDateTime({2026, 3, 14, 9, 0, 0, 0});
        SetClock(std::make_shared<test::FixedClock>(kToday));
        QVERIFY(skin_.LoadSkin(QStringLiteral(QUILLNOTE_SKINS_DIR "/Default.skn")));
        LoadSkinPictures(skin_, pictures_);
    }
    void cleanupTestCase() { SetClock(nullptr); }

    void wrapLines_data() {
        QTest::addColumn<QStringList>("input");
        QTest::addColumn<int>("width");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("maxLines");
        // A piece must be narrower than the width.
        QTest::newRow("fits whole") << QStringList{"short"} << 6 << QStringList{"short"} << -1;
        QTest::newRow("empty line kept")
            << QStringList{"ab", "", "cd"} << 5 << QStringList{"ab", "", "cd"} << -1;
        QTest::newRow("blank stays at the piece's end")
            << QStringList{"one two three"} << 9 << QStringList{"one two ", "three"} << -1;
        QTest::newRow("word wider than the column is cut")
            << QStringList{"abcdefghij xy"} << 5 << QStringList{"abcd", "efgh", "ij ", "xy"} << -1;
        QTest::newRow("exact width does not fit")
            << QStringList{"abcd"} << 4 << QStringList{"abc", "d"} << -1;
        QTest::newRow("width of one: a character a line")
            << QStringList{"a b"} << 1 << QStringList{"a", " ", "b"} << -1;
        QTest::newRow("wide letters") << QStringList{"iWiW iiii WWWW"} << 9
                                      << QStringList{"iWi", "W ", "iiii ", "WW", "WW"} << -1;
        QTest::newRow("zero width still ends")
            << QStringList{"xyz"} << 0 << QStringList{"x", "y", "z"} << -1;
        QTest::newRow("negative width still ends")
            << QStringList{"xy"} << -5 << QStringList{"x", "y"} << -1;
        const QString words = QStringLiteral("word ").repeated(4000);
        const QStringList lines(400, QStringLiteral("word ").repeated(10));
        QTest::newRow("a long line") << QStringList{words} << 51 << lines << -1;
        QTest::newRow("no more lines than asked")
            << QStringList{words} << 51 << lines.mid(0, 3) << 3;
    }
    void wrapLines() {
        QFETCH(QStringList, input);
        QFETCH(int, width);
        QFETCH(QStringList, expected);
        QFETCH(int, maxLines);
        // Each piece is measured near where it ends, never with the rest of its line.
        qsizetype measured = 0;
        const auto counting = [&measured](const QString& s) {
            measured += s.size();
            return Units(s);
        };
        WrapLines(input, width, counting, maxLines);
        QCOMPARE(input, expected);
        QVERIFY2(measured <= 20 * (input.join(QString()).size() + std::max(width, 1)),
                 qPrintable(QString::number(measured)));
    }

    void pageArithmetic() {
        QCOMPARE(PenWidthForDpi(1200), 11); // 1200 / 25.4 / 4 = 11.8
        QCOMPARE(PenWidthForDpi(600), 5);
        QCOMPARE(PenWidthForDpi(72), 1);
        // A block from 100 to 200 (height 200 - 102 - 5 = 93): full when <= 93 is left.
        QVERIFY(!PageFullAfterBlock(100, 200, 11, 294));
        QVERIFY(PageFullAfterBlock(100, 200, 11, 293));
    }

    // Every category in the chosen order from a copy; the list stays as it was.
    void planSortsEveryCategoryFromACopy() {
        TaskStore store = SampleStore(DatePart(kToday));
        store.VisibleTaskCount = 1; // the main window shows one category
        const TaskStore before = store;
        const PrintPlan plan = MakePrintPlan(store, 1, false, false);
        QCOMPARE(store.Tasks, before.Tasks);
        QCOMPARE(plan.Groups.size(), size_t(3));
        QStringList personal;
        for (int j : plan.Groups[0].Tasks)
            personal << QString::fromStdString(plan.Tasks[size_t(j)].Title);
        // By priority: high, normal, low.
        QCOMPARE(personal,
                 (QStringList{"Renew the car insurance", "Water the plants", "Book the dentist"}));
        const PrintPlan open = MakePrintPlan(store, 0, false, true);
        QCOMPARE(open.PrintedCount, 4); // not the done task, not the overdue one
    }

    void pageTextAndOptions_data() {
        QTest::addColumn<bool>("separate");
        QTest::addColumn<bool>("newPage");
        QTest::addColumn<bool>("onlyOpen");
        QTest::addColumn<bool>("descriptions");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("separate categories")
            << true << false << false << true << 1
            << QStringList{"Personal", "Business", "Other", "none", "Ask for a morning."}
            << QStringList{"All categories"};
        QTest::newRow("one table") << false << false << false << true << 1
                                   << QStringList{"All categories", " C ", "Book the dentist"}
                                   << QStringList{"Personal", "Business"};
        QTest::newRow("new page per category")
            << true << true << false << false << 3 << QStringList{"Other"}
            << QStringList{"Ask for a morning.", "All categories"};
        QTest::newRow("only uncompleted")
            << true << false << true << true << 1 << QStringList{"Water the plants"}
            << QStringList{"Book the dentist", "Return the library books", "Other"};
    }
    void pageTextAndOptions() {
        QFETCH(bool, separate);
        QFETCH(bool, newPage);
        QFETCH(bool, onlyOpen);
        QFETCH(bool, descriptions);
        QFETCH(int, pages);
        QFETCH(QStringList, present);
        QFETCH(QStringList, absent);
        PrintChoices choices;
        choices.SeparateCategories = separate;
        choices.NewPagePerCategory = newPage;
        choices.OnlyUncompleted = onlyOpen;
        choices.Descriptions = descriptions;
        const QString pdf = Print(SampleStore(DatePart(kToday)), choices);
        QCOMPARE(PdfInfo(pdf, QStringLiteral("Pages")).toInt(), pages);
        QCOMPARE(PdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("Tolva-Quillnote"));
        const QStringList texts = PageTexts(pdf);
        QCOMPARE(texts.size(), pages);
        for (const QString& page : texts) {
            QVERIFY(page.contains(QStringLiteral("Tolva Quillnote")));
            QVERIFY2(page.contains(QStringLiteral("14 March 2026")), qPrintable(page));
            QVERIFY(page.contains(QStringLiteral("tolvane.example")));
            QVERIFY(page.contains(QStringLiteral("Due Date")));
        }
        const QString all = texts.join(QLatin1Char('\n'));
        for (const QString& text : present)
            QVERIFY2(all.contains(text), qPrintable(text));
        for (const QString& text : absent)
            QVERIFY2(!all.contains(text), qPrintable(text));
    }

    void nothingToPrintGivesOnePage() {
        TaskStore store;
        AddDefaultCategories(store);
        for (bool newPage : {false, true}) {
            PrintChoices choices;
            choices.NewPagePerCategory = newPage;
            const QString pdf = Print(store, choices);
            const QStringList texts = PageTexts(pdf);
            QCOMPARE(texts.size(), 1);
            QVERIFY(texts[0].contains(QStringLiteral("Tolva Quillnote")));
            QVERIFY(texts[0].contains(QStringLiteral("14 March 2026")));
            QVERIFY(texts[0].contains(QStringLiteral("tolvane.example")));
            // Under "new page per category" the empty categories still show their headers.
            QCOMPARE(texts[0].contains(QStringLiteral("Business")), newPage);
        }
    }

    // Many categories and many tasks: every task printed once, the header repeated
    // on every page, no page left without a task, none past the footer.
    void longListLosesNothing() {
        TaskStore store = ManyTasks(400, DatePart(kToday));
        AddCategory(store, TCATEGORY{"Fourth", 3});
        AddCategory(store, TCATEGORY{"Fifth", 4});
        for (int i = 0; i < 400; i += 9)
            store.Tasks[size_t(i)].CategoryIndex = 3 + (i % 2);
        for (bool newPage : {false, true}) {
            PrintChoices choices;
            choices.NewPagePerCategory = newPage;
            const QStringList texts = PageTexts(Print(store, choices));
            QVERIFY(texts.size() > 10);
            const QString all = texts.join(QLatin1Char('\n'));
            for (int i = 1; i <= 400; ++i) {
                const QString title = QStringLiteral("Task number %1 on").arg(i);
                QCOMPARE(all.count(title + QLatin1Char(' ')), 1);
            }
            for (const QString& page : texts) {
                QVERIFY(page.contains(QStringLiteral("Task number")));
                QVERIFY(page.contains(QStringLiteral("Due Date")));
                // The footer is the page's last line.
                QVERIFY(page.trimmed().endsWith(QStringLiteral("https://www.tolvane.example")));
            }
        }
    }

    // A description longer than a page is cut at its bottom; the next task goes on.
    void overlongDescriptionIsCut() {
        TaskStore store;
        AddDefaultCategories(store);
        TTASK_ITEM big;
        big.Title = "Huge";
        big.NotOverdue = 1;
        for (int i = 0; i < 120; ++i)
            big.Description += "Line " + std::to_string(i) + "\r\n";
        store.Tasks.push_back(big);
        TTASK_ITEM small;
        small.Title = "After the huge one";
        small.NotOverdue = 1;
        store.Tasks.push_back(small);
        const QStringList texts = PageTexts(Print(store, PrintChoices{}));
        QCOMPARE(texts.size(), 2);
        QVERIFY(texts[0].contains(QStringLiteral("Line 50")));
        QVERIFY(!texts.join(QString()).contains(QStringLiteral("Line 119")));
        QVERIFY(texts[1].contains(QStringLiteral("After the huge one")));
    }

    // Lines stay in the title column, placed by their own direction: the first
    // task's description is as wide as the later ones' (the priority column beside
    // it, empty for normal priority, holds no ink on any page); a right-to-left
    // title or description ends at the column's right edge, a left-to-right one
    // starts at its left edge.
    void linesInTheTitleColumn_data() {
        QTest::addColumn<bool>("separate");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("anchor"); // -1 left, 1 right, 0 a full column
        QString words;
        for (int i = 0; i < 70; ++i)
            words += QStringLiteral("word%1 ").arg(i);
        const QString hebrew = QStringLiteral("לקנות לחם וחלב");
        QTest::newRow("descriptions") << true << QStringLiteral("Task") << words << 0;
        QTest::newRow("descriptions, one table") << false << QStringLiteral("Task") << words << 0;
        QTest::newRow("left-to-right title")
            << true << QStringLiteral("Buy bread and milk") << QString() << -1;
        QTest::newRow("Hebrew title") << true << hebrew << QString() << 1;
        QTest::newRow("Hebrew description") << true << QString() << hebrew << 1;
        QTest::newRow("Arabic description")
            << true << QString() << QStringLiteral("شراء الخبز والحليب") << 1;
    }
    void linesInTheTitleColumn() {
        QFETCH(bool, separate);
        QFETCH(QString, title);
        QFETCH(QString, description);
        QFETCH(int, anchor);
        PrintChoices choices;
        choices.SeparateCategories = separate;
        const QString pdf = Print(SameTasks(12, title, description), choices);
        for (int page = 1; page <= PdfInfo(pdf, QStringLiteral("Pages")).toInt(); ++page) {
            const QImage image = PageImage(pdf, page, 100);
            const QList<int> rules = VerticalRules(image, 60);
            QCOMPARE(rules.size(), separate ? 5 : 6);
            const int left = rules[1], right = rules[2], middle = (left + right) / 2;
            const auto [from, to] = InkSpan(image, left + 3, right - 1, left);
            const QByteArray where =
                QString::asprintf("page %d: ink %d..%d in %d..%d", page, from, to, left, right)
                    .toLatin1();
            QVERIFY2(anchor > 0 ? from > middle : from < left + 12, where.constData());
            QVERIFY2(anchor < 0 ? to < middle : to > right - (anchor ? 12 : (right - left) / 5),
                     where.constData());
            const int dateLeft = rules[rules.size() - 2];
            QCOMPARE(InkSpan(image, rules[rules.size() - 3] + 3, dateLeft - 1, dateLeft),
                     qMakePair(-1, -1));
        }
    }

    void pixelsAndOrientation() {
        TaskStore store = SampleStore(DatePart(kToday));
        PrintChoices choices;
        const QString portrait = Print(store, choices);
        const QImage page = PageImage(portrait, 1, 100);
        QVERIFY(page.width() < page.height());
        // The grey header bar.
        int grey = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                grey += qAbs(qGray(page.pixel(x, y)) - 200) <= 2;
        QVERIFY2(grey > page.width() * 20, qPrintable(QString::number(grey)));
        // Frames run across the whole table.
        QVERIFY(LongestDarkRow(page) > page.width() * 9 / 10);
        // The done title is struck out: a line along it, not found when nothing is done.
        const auto longestShortRun = [](const QImage& image) {
            int best = 0;
            for (int y = 0; y < image.height(); ++y) {
                int run = 0;
                for (int x = 0; x <= image.width(); ++x) {
                    if (x < image.width() && qGray(image.pixel(x, y)) < 100) {
                        ++run;
                        continue;
                    }
                    if (run < image.width() / 2) // not a frame line
                        best = std::max(best, run);
                    run = 0;
                }
            }
            return best;
        };
        QVERIFY(longestShortRun(page) > 60);
        for (TTASK_ITEM& t : store.Tasks)
            t.Done = 0;
        const QString plain = Print(store, choices);
        const int plainRun = longestShortRun(PageImage(plain, 1, 100));
        QVERIFY2(plainRun < 30, qPrintable(QString::number(plainRun)));

        choices.Landscape = true;
        const QImage wide = PageImage(Print(store, choices), 1, 100);
        QVERIFY(wide.width() > wide.height());
        QVERIFY(LongestDarkRow(wide) > wide.width() * 9 / 10);
    }

    void failuresAndCancelling() {
        const TaskStore store = SampleStore(DatePart(kToday));
        const PrintJobInput input{&store, false, &pictures_, PrintChoices{}};
        const QString bad = dir_.filePath(QStringLiteral("no/such/folder/x.pdf"));
        const PrintJobResult failed = PrintToPdfFile(bad, input);
        QCOMPARE(failed.status, PrintJobResult::Status::Failed);
        QVERIFY(failed.error.startsWith(QStringLiteral("Cannot create file")));

        const PrintJobResult missing = PrintToPrinter(QStringLiteral("NOSUCH-QUEUE"), input);
        QCOMPARE(missing.status, PrintJobResult::Status::Failed);
        QVERIFY(missing.error.contains(QStringLiteral("NOSUCH-QUEUE")));

        // Cancelling leaves an existing file as it was.
        const QString kept = dir_.filePath(QStringLiteral("kept.pdf"));
        QFile file(kept);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old");
        file.close();
        const PrintJobResult cancelled =
            PrintToPdfFile(kept, input, [](int done, int) { return done < 2; });
        QCOMPARE(cancelled.status, PrintJobResult::Status::Cancelled);
        // Also right after a task that holds a book (its block is cut to a page).
        const TaskStore book = SameTasks(2, QString(80000, QLatin1Char('x')),
                                         QStringLiteral("lorem ipsum ").repeated(7000));
        const PrintJobInput bookInput{&book, false, &pictures_, PrintChoices{}};
        QCOMPARE(PrintToPdfFile(kept, bookInput, [](int, int) { return false; }).status,
                 PrintJobResult::Status::Cancelled);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old"));
    }
};

QTEST_MAIN(TestPrintPages)
#include "print_pages_test.moc"
