// The task list painted into an image: colours, pictures, selection bar, grid lines.
#include "support/window_parts.h"
#include "task_list_fixture.h"
#include "ui/categories_form.h"

#include "skin/skin_colors.h"
#include "ui/task_cell_text.h"

#include <QImage>
#include <QPaintEngine>

using namespace quill;
using namespace quill::test;

namespace {

QColor C(TColor c) {
    return SkinColorToQColor(c);
}

// Pixels of `img` inside `rect` whose colour is near `color` (text is anti-aliased).
int CountNear(const QImage& img, const QRect& rect, const QColor& color, int tolerance = 40) {
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor p = img.pixelColor(x, y);
            if (std::abs(p.red() - color.red()) + std::abs(p.green() - color.green()) +
                    std::abs(p.blue() - color.blue()) <=
                tolerance)
                ++n;
        }
    return n;
}

int CountNot(const QImage& img, const QRect& rect, const QColor& color) {
    return rect.width() * rect.height() - CountNear(img, rect, color, 0);
}

// The longest horizontal run of pixels near `color` in any pixel row of `rect`.
int LongestRun(const QImage& img, const QRect& rect, const QColor& color) {
    int best = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        int run = 0;
        for (int x = rect.left(); x <= rect.right(); ++x) {
            run = CountNear(img, QRect(x, y, 1, 1), color, 120) ? run + 1 : 0;
            best = std::max(best, run);
        }
    }
    return best;
}

// Bounding box of the pixels in `rect` that differ from `background`.
QRect Ink(const QImage& img, const QRect& rect, const QColor& background) {
    QRect box;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (img.pixelColor(x, y) != background)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

// A paint device that keeps every text drawn on it with its baseline's start, so a
// test sees what was written, not only what a cell's clip lets through.
class TextRecorder : public QPaintDevice {
public:
    struct Text {
        QPointF at;
        QString text;
    };

    explicit TextRecorder(QSize size) : size_(size) {}
    QPaintEngine* paintEngine() const override { return &engine_; }
    const std::vector<Text>& texts() const { return engine_.texts; }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        default:
            return 1;
        }
    }

private:
    struct Engine : QPaintEngine {
        Engine() : QPaintEngine(AllFeatures) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState& state) override {
            if (state.state() & DirtyTransform)
                transform = state.transform();
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            texts.push_back({transform.map(p), item.text()});
        }
        Type type() const override { return User; }
        QTransform transform;
        std::vector<Text> texts;
    };
    QSize size_;
    mutable Engine engine_;
};

} // namespace

class TestTaskListPaint : public QObject {
    Q_OBJECT
    std::unique_ptr<ListFixture> f;

    QImage Shot() { return f->grid()->grab().toImage(); }
    QRect CellOf(int kind, int row) {
        for (int col = 0; col < f->list->ColumnCount; ++col)
            if (f->list->ColumnKinds[static_cast<size_t>(col)] == kind)
                return f->grid()->CellRect(col, row);
        return QRect();
    }

private Q_SLOTS:
    void init() {
        f = std::make_unique<ListFixture>();
        // Short check pictures leave room above them to see the cell's fill.
        f->pictures.Check = Solid(16, 4, kCheckPic);
        f->pictures.NCheck = Solid(16, 4, kNCheckPic);
    }
    void cleanup() { f.reset(); }

    void shouldHaveTwoColumnsWhenOptionalColumnsAreOff() {
        f->options.showPriority = f->options.showCategory = false;
        f->options.showReminder = f->options.showDueDate = false;
        f->Build({"a"});
        QCOMPARE(int(f->list->ColumnCount), 2);
        QCOMPARE(f->grid()->ColCount(), 2);
        QCOMPARE(f->grid()->ColWidth(0), 16);
        QCOMPARE(f->grid()->ColWidth(1), f->grid()->width() - 16);
    }

    void shouldLayOutAllColumnsInFixedOrder() {
        f->Build({"a"});
        QCOMPARE(int(f->list->ColumnCount), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(int(f->list->ColumnKinds[static_cast<size_t>(i)]), i);
        // Worked out by hand for the skin's default list font, Verdana 10 pt, which
        // the tests' font configuration maps to DejaVu Sans, on a 96 dpi screen:
        // 13.33 pixels to the em, which the font system rounds to 13. DejaVu Sans
        // (2048 units to the em) rises 1901 units and falls 483: 12.07 and 3.07
        // pixels, rounded 12 and 3, a row 15 high. A digit is 1303 units wide
        // (8.27 pixels) and a colon 690 (4.38): "000:000:0000" is
        // 10 * 8.27 + 2 * 4.38 = 91.47 pixels, 91. The grid is 573 wide (600 less the
        // margins 7 and 5 and the 15 of the scroll bar), the check column 16 (the
        // check picture): the title keeps 573 - 16 - 3 * 15 - 91 = 421.
        QCOMPARE(f->grid()->width(), 573);
        QCOMPARE(f->grid()->DefaultRowHeight(), 15);
        QCOMPARE(f->grid()->ColWidth(2), 15);
        QCOMPARE(f->grid()->ColWidth(3), 15);
        QCOMPARE(f->grid()->ColWidth(4), 15);
        QCOMPARE(f->grid()->ColWidth(5), 91);
        QCOMPARE(f->grid()->ColWidth(1), 421);
        f->options.showCategory = false;
        f->list->SetupGridColumns();
        QCOMPARE(int(f->list->ColumnCount), 5);
        QCOMPARE(int(f->list->ColumnKinds[3]), int(ckReminder));
    }

    // The categories window lays its own list out, with the task list's row height.
    void shouldLayOutCategoriesListWithTheSameRowHeight() {
        f->Build({"a"});
        TCategoriesForm window;
        window.SetSources(&f->store, &f->params, &f->pictures, &f->options);
        TStringGrid* categories = Part<TStringGrid>(&window, "StringGrid1");
        window.SetupGridColumns();
        QCOMPARE(categories->DefaultRowHeight(), f->grid()->DefaultRowHeight());
        QCOMPARE(categories->RowCount(), 3);
        QCOMPARE(Part<QScrollBar>(&window, "ScrollBar1")->maximum(), 2);
        QVERIFY(Part<QScrollBar>(&window, "ScrollBar1")->isHidden());
        QCOMPARE(categories->ColWidth(1), 8);
        QCOMPARE(categories->ColWidth(0), categories->width() - 8);
        for (int i = 0; i < 8; ++i)
            f->store.Categories.push_back({"More", i});
        window.SetupGridColumns();
        QCOMPARE(categories->RowCount(), 11);
        QVERIFY(!Part<QScrollBar>(&window, "ScrollBar1")->isHidden());
        QCOMPARE(Part<QScrollBar>(&window, "ScrollBar1")->maximum(), 10);
    }

    void shouldTakeFontFromSkin() {
        f->params.TaskFontSize = 20;
        f->Build({"a"});
        QCOMPARE(f->list->ListFont().pointSize(), 20);
        QCOMPARE(f->grid()->font().pointSize(), 20);
        QCOMPARE(f->grid()->DefaultRowHeight(), QFontMetrics(f->list->ListFont()).height());
        f->params.TaskFontSize = 0;
        QCOMPARE(f->list->ListFont().pointSize(), 10);
        f->params.TaskFontSize = 2000000000;
        QCOMPARE(f->list->ListFont().pointSize(), 200);
    }

    void shouldShowSelectionBarBesideCheckCellWhileFocused() {
        f->options.showGrid = false;
        f->Build({"a", "b"});
        const QImage img = Shot();
        const QRect check = f->grid()->CellRect(0, 0);
        const QRect title = f->grid()->CellRect(1, 0);
        QCOMPARE(img.pixelColor(check.left() + 1, check.top()), kBackground);
        QCOMPARE(img.pixelColor(title.right() - 1, title.top() + 1), C(kSelectColor));
        QCOMPARE(img.pixelColor(CellOf(ckDueDate, 0).right(), title.top()), C(kSelectColor));
        const QRect other = f->grid()->CellRect(1, 1);
        QCOMPARE(img.pixelColor(other.right() - 1, other.top() + 1), kBackground);
    }

    void shouldShowWholeRowSelectedWithoutFocus() {
        f->options.showGrid = false;
        f->Build({"a", "b"});
        f->otherControl->setFocus();
        const QImage img = Shot();
        const QRect check = f->grid()->CellRect(0, 0);
        QCOMPARE(img.pixelColor(check.left() + 1, check.top()), C(kSelectColor));
        const QRect title = f->grid()->CellRect(1, 0);
        QCOMPARE(img.pixelColor(title.right() - 1, title.top() + 1), C(kSelectColor));
    }

    void shouldDrawDoneOverdueAndNormalTitlesInTheirColours() {
        f->options.showGrid = false;
        f->Build({"WWWW normal", "WWWW overdue", "WWWW done", "WWWW both"});
        f->store.Tasks[1].NotOverdue = 0;
        f->store.Tasks[2].Done = 1;
        f->store.Tasks[3].Done = 1;
        f->store.Tasks[3].NotOverdue = 0;
        f->otherControl->setFocus();
        f->grid()->SetRow(3); // keep the selection bar away from the rows looked at
        const QImage img = Shot();
        const QColor text = f->grid()->palette().color(QPalette::Text);
        const QRect normal = f->grid()->CellRect(1, 0);
        QVERIFY(CountNear(img, normal, text) > 20);
        QCOMPARE(CountNear(img, normal, C(kOverdueColor)), 0);
        const QRect overdue = f->grid()->CellRect(1, 1);
        QVERIFY(CountNear(img, overdue, C(kOverdueColor)) > 20);
        QCOMPARE(CountNear(img, overdue, C(kDoneColor)), 0);
        const QRect done = f->grid()->CellRect(1, 2);
        QVERIFY(CountNear(img, done, C(kDoneColor)) > 20);
        f->grid()->SetRow(0);
        const QImage img2 = Shot();
        const QRect both = f->grid()->CellRect(1, 3);
        QVERIFY(CountNear(img2, both, C(kDoneColor)) > 20);
        QCOMPARE(CountNear(img2, both, C(kOverdueColor)), 0);
    }

    void shouldTakeTextColourFromListPalette() {
        f->options.showGrid = false;
        f->Build({"WWWW a", "b"});
        QPalette palette = f->window->palette();
        palette.setColor(QPalette::Text, QColor(200, 30, 160));
        f->window->setPalette(palette);
        f->grid()->SetRow(1);
        const QImage img = Shot();
        QVERIFY(CountNear(img, f->grid()->CellRect(1, 0), QColor(200, 30, 160)) > 20);
    }

    void shouldStrikeOutDoneTitles() {
        f->options.showGrid = false;
        f->Build({"l l l l l l l l l l", "l l l l l l l l l l"});
        f->store.Tasks[0].Done = 1;
        f->params.DoneTaskColor = 0x000000;
        f->grid()->SetRow(1);
        f->otherControl->setFocus();
        f->grid()->SetRow(1);
        // Row 1 is selected; compare row 0 (done) with the same title not done.
        const QImage img = Shot();
        const int textWidth =
            QFontMetrics(f->list->ListFont()).horizontalAdvance("l l l l l l l l l l");
        const QRect done = f->grid()->CellRect(1, 0);
        QVERIFY(LongestRun(img, done, Qt::black) >= textWidth - 3);
        f->store.Tasks[0].Done = 0;
        const QImage img2 = Shot();
        QVERIFY(LongestRun(img2, done, Qt::black) < textWidth / 2);
    }

    void shouldDrawGridLinesAndBottomLineOfLastTask() {
        f->Build({"a", "b", "c"});
        f->otherControl->setFocus();
        f->grid()->SetRow(2);
        const QImage img = Shot();
        const QColor grid = C(kGridColor);
        const QRect title = f->grid()->CellRect(1, 0);
        QCOMPARE(img.pixelColor(title.left() + 5, title.top()), grid);     // top edge
        QCOMPARE(img.pixelColor(title.left(), title.top() + 5), grid);     // left edge
        QVERIFY(img.pixelColor(title.right(), title.top() + 5) != grid);   // no right edge
        QVERIFY(img.pixelColor(title.left() + 5, title.bottom()) != grid); // not the last row
        const QRect last = f->grid()->CellRect(f->grid()->ColCount() - 1, 0);
        QCOMPARE(img.pixelColor(last.right(), last.top() + 5), grid); // right edge of the row
        const QRect bottom = f->grid()->CellRect(1, 2);
        QCOMPARE(img.pixelColor(bottom.left() + 5, bottom.bottom()), grid);
        // Below the last task: no lines.
        const QRect empty = f->grid()->CellRect(1, 3);
        QCOMPARE(img.pixelColor(empty.left() + 5, empty.top() + 1), kBackground);
    }

    void shouldDrawNoGridLinesWhenGridIsOff() {
        f->options.showGrid = false;
        f->Build({"a", "b"});
        const QImage img = Shot();
        const QRect title = f->grid()->CellRect(1, 1);
        QCOMPARE(img.pixelColor(title.left() + 5, title.top()), kBackground);
        QCOMPARE(img.pixelColor(title.left(), title.top() + 5), kBackground);
        QCOMPARE(CountNear(img, img.rect(), C(kGridColor), 0), 0);
    }

    void shouldLeavePartialRowBlankAndCloseLastFullRow() {
        std::vector<std::string> titles(20, "WWWW");
        f->Build(titles, 100);
        const int h = f->grid()->DefaultRowHeight();
        const int listHeight = 3 * h + h / 2; // three rows and a half
        f->grid()->resize(f->grid()->width(), listHeight);
        f->otherControl->setFocus();
        const QImage img = Shot();
        const QRect partial(0, 3 * h, f->grid()->width(), listHeight - 3 * h);
        QCOMPARE(CountNot(img, partial, kBackground), 0);
        // The last fully visible row gets a bottom line although more tasks follow.
        const QRect lastFull = f->grid()->CellRect(1, 2);
        QCOMPARE(img.pixelColor(lastFull.left() + 5, lastFull.bottom()), C(kGridColor));
        // A row whose bottom touches the list's last pixel row counts as not fitting.
        f->grid()->resize(f->grid()->width(), 3 * h);
        const QImage img2 = Shot();
        QCOMPARE(CountNot(img2, QRect(0, 2 * h, f->grid()->width(), h), kBackground), 0);
        QCOMPARE(f->grid()->VisibleRowCount(), 2);
    }

    // A list that shows no task keeps its one blank row and says what to do in
    // one line across its middle, in the muted colour; the first task removes it.
    void shouldSayWhatToDoInTheMiddleOfAnEmptyList_data() {
        QTest::addColumn<int>("visible");
        QTest::addColumn<QString>("hint");
        QTest::newRow("no task") << -1 << "No tasks yet. Press Insert or + to add one.";
        QTest::newRow("filter hides all") << 0 << "No tasks in Personal.";
        QTest::newRow("one task") << 1 << QString();
    }
    void shouldSayWhatToDoInTheMiddleOfAnEmptyList() {
        QFETCH(int, visible);
        QFETCH(QString, hint);
        f->options.showGrid = false;
        f->Build(visible < 0 ? std::vector<std::string>{} : std::vector<std::string>{"a"});
        f->store.VisibleTaskCount = std::max(visible, 0);
        f->host->shownCategory = QStringLiteral("Personal");
        f->list->SetupGridColumns();
        const QColor muted(0, 120, 255);
        QPalette palette = f->window->palette();
        palette.setColor(QPalette::PlaceholderText, muted);
        f->window->setPalette(palette);
        QCOMPARE(f->grid()->RowCount(), 1);
        TextRecorder recorder(f->grid()->size());
        f->grid()->render(&recorder);
        const auto& texts = recorder.texts();
        QCOMPARE(std::any_of(texts.begin(), texts.end(), [&](auto& t) { return t.text == hint; }),
                 !hint.isEmpty());
        const QImage img = Shot();
        const int line = f->grid()->DefaultRowHeight();
        const QRect middle(0, (img.height() - line) / 2, img.width(), line);
        QCOMPARE(CountNear(img, middle, muted) > 30, !hint.isEmpty());
        QCOMPARE(CountNear(img, img.rect(), muted), CountNear(img, middle, muted));
    }

    void shouldCentreNoneInDueDateColumn() {
        f->options.showGrid = false;
        f->Build({"a", "b"});
        f->otherControl->setFocus();
        f->grid()->SetRow(1);
        const QImage img = Shot();
        const QRect cell = CellOf(ckDueDate, 0);
        const QRect ink = Ink(img, cell, kBackground);
        QVERIFY(!ink.isEmpty());
        const int leftGap = ink.left() - cell.left();
        const int rightGap = cell.right() - ink.right();
        QVERIFY2(std::abs(leftGap - rightGap) <= 2,
                 qPrintable(QString("%1 vs %2").arg(leftGap).arg(rightGap)));
        QCOMPARE(DueDateText(f->store.Tasks[0]), QString("none"));
    }

    void shouldFormatDueDateWithoutTime() {
        TTASK_ITEM t = MakeTask("x");
        t.HasDueDate = 1;
        // Days since 1899-12-30, in the short date format of the tests' C locale:
        // 45658 is 2025-01-01, so 46000 is day 343 of 2025, 9 December.
        const std::pair<double, QString> dates[] = {
            {46000.75, "9 Dec 2025"}, // the time of day is not shown
            {2.0, "1 Jan 1900"},
            {0.0, "30 Dec 1899"},   // the first day of the count
            {-1.25, "29 Dec 1899"}, // before it, the date part counts towards zero
        };
        for (const auto& [days, text] : dates) {
            t.DueDate = days;
            QCOMPARE(DueDateText(t), text);
        }
        t.DueDate = std::numeric_limits<double>::quiet_NaN();
        QCOMPARE(DueDateText(t), QString());
        t.DueDate = 1e300;
        QCOMPARE(DueDateText(t), QString());
        t.HasDueDate = 0;
        QCOMPARE(DueDateText(t), QString("none"));
    }

    void shouldDrawPicturesByTaskFields() {
        f->options.showGrid = false;
        f->Build({"high", "low", "normal", "odd"});
        f->store.Tasks[0].Priority = 0;
        f->store.Tasks[1].Priority = 2;
        f->store.Tasks[2].Priority = 1;
        f->store.Tasks[3].Priority = 7;
        f->store.Tasks[0].ReminderOn = 1;
        f->store.Tasks[0].Done = 1;
        f->store.Tasks[1].CategoryIndex = 2; // "Other", mark 2
        f->store.Tasks[2].CategoryIndex = 9; // no such category
        f->store.Categories.push_back({"Broken", 12});
        f->store.Tasks[3].CategoryIndex = 3; // mark 12 does not exist
        f->otherControl->setFocus();
        f->grid()->SetRow(3);
        const QImage img = Shot();
        QVERIFY(CountNear(img, CellOf(ckPriority, 0), kHighPic, 0) == 64);
        QVERIFY(CountNear(img, CellOf(ckPriority, 1), kLowPic, 0) == 64);
        QCOMPARE(CountNot(img, CellOf(ckPriority, 2), kBackground), 0);
        QCOMPARE(CountNear(img, CellOf(ckCheck, 0), kCheckPic, 0), 64);
        QCOMPARE(CountNear(img, CellOf(ckCheck, 1), kNCheckPic, 0), 64);
        QCOMPARE(CountNear(img, CellOf(ckReminder, 0), kReminderPic, 0), 64);
        QCOMPARE(CountNot(img, CellOf(ckReminder, 1), kBackground), 0);
        QCOMPARE(CountNear(img, CellOf(ckCategory, 0), MarkColor(0), 0), 64);
        QCOMPARE(CountNear(img, CellOf(ckCategory, 1), MarkColor(2), 0), 64);
        QCOMPARE(CountNot(img, CellOf(ckCategory, 2), kBackground), 0);
        // Row 3 is the selection bar; the broken category shows only the bar.
        QCOMPARE(CountNot(img, CellOf(ckCategory, 3), C(kSelectColor)), 0);
        // The category mark sits one pixel further right and down than centred.
        const QRect cat = CellOf(ckCategory, 0);
        const QRect ink = Ink(img, cat, kBackground);
        QCOMPARE(ink.left(), cat.left() + 1 + (cat.width() - 8) / 2);
        QCOMPARE(ink.top(), cat.top() + 1 + (cat.height() - 8) / 2);
        const QRect pri = CellOf(ckPriority, 0);
        QCOMPARE(Ink(img, pri, kBackground).left(), pri.left() + (pri.width() - 8) / 2);
    }

    void shouldDrawPicturesWithTransparency() {
        QPixmap hollow(16, 4);
        hollow.fill(Qt::transparent);
        f->pictures.NCheck = hollow;
        f->options.showGrid = false;
        f->Build({"a", "b"});
        f->grid()->SetRow(1);
        const QImage img = Shot();
        QCOMPARE(CountNot(img, f->grid()->CellRect(0, 0), kBackground), 0);
    }

    void shouldShortenLongTitlesWithEllipsis() {
        f->options.showGrid = false;
        f->Build({std::string(400, 'W'), "Short"});
        TextRecorder recorder(f->grid()->size());
        f->grid()->render(&recorder);
        const QRect cell = f->grid()->CellRect(1, 0);
        QStringList drawn;
        for (const auto& t : recorder.texts())
            if (cell.contains(t.at.toPoint()))
                drawn << t.text;
        QCOMPARE(drawn.size(), 1);
        const QString& text = drawn.front();
        // As many whole W's as fit with "..." into the cell's width, and no more.
        QVERIFY2(text.endsWith("...") && text.size() > 3, qPrintable(text));
        QCOMPARE(text.chopped(3), QString(text.size() - 3, 'W'));
        const QFontMetrics metrics(f->list->ListFont(), f->grid());
        QVERIFY(metrics.horizontalAdvance(text) <= cell.width());
        QVERIFY(metrics.horizontalAdvance("W" + text) > cell.width());
        // A title that fits is drawn whole.
        bool shortDrawn = false;
        for (const auto& t : recorder.texts())
            shortDrawn = shortDrawn || t.text == "Short";
        QVERIFY(shortDrawn);
    }

    // A shortened title is fitted to the room right of its indent: the last dot
    // of "..." is never cut at the cell's edge. Titles of different widths leave
    // different room after the fit, so at least one would end within the indent.
    void shouldDrawTheWholeEllipsisOfAShortenedTitle() {
        f->options.showGrid = false;
        std::vector<std::string> titles;
        for (int n = 0; n < 12; ++n)
            titles.push_back(std::string(static_cast<size_t>(n), 'W') + std::string(300, 'i'));
        f->Build(titles, 400);
        f->otherControl->setFocus();
        const QImage img = Shot();
        for (int row = 1; row < 12; ++row) {
            const QRect title = f->grid()->CellRect(1, row);
            const QRect ink = Ink(img, title, kBackground);
            QVERIFY(!ink.isEmpty());
            QVERIFY2(ink.right() < title.right(), qPrintable(QString("row %1").arg(row)));
        }
    }
};

QTEST_MAIN(TestTaskListPaint)
#include "task_list_paint_test.moc"
