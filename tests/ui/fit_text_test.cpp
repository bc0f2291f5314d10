// Shortening titles with "...", and the main window's layout arithmetic.
#include "skin/skin_params.h"
#include "ui/fit_text.h"
#include "ui/main_layout.h"

#include <QFont>
#include <QFontMetrics>
#include <QRandomGenerator>
#include <QTest>

using namespace quill;

namespace {

// One pixel per UTF-16 unit: easy to reason about.
int Units(const QString& s) {
    return static_cast<int>(s.size());
}

QFont ListLikeFont(bool plain) {
    QFont font(QStringLiteral("Verdana"));
    font.setPointSize(10);
    if (plain) {
        font.setKerning(false);
        font.setStyleStrategy(QFont::PreferNoShaping);
    }
    return font;
}

QString RandomTitle(QRandomGenerator& rng, const QStringList& pieces, int maxPieces) {
    QString s;
    const int n = static_cast<int>(rng.bounded(maxPieces + 1));
    for (int i = 0; i < n; ++i)
        s += pieces[static_cast<int>(rng.bounded(pieces.size()))];
    return s;
}

} // namespace

class TestFitText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void shouldKeepTextThatFits() {
        QCOMPARE(FitTextToWidth("abcdef", Units, 6), QString("abcdef"));
        QCOMPARE(FitTextToWidth("abcdef", Units, 100), QString("abcdef"));
    }

    void shouldCutLongestFittingPrefix() {
        QCOMPARE(FitTextToWidth("abcdef", Units, 5), QString("ab..."));
        QCOMPARE(FitTextToWidth("abcdef", Units, 4), QString("a..."));
    }

    void shouldGiveEmptyWhenNothingFits() {
        QCOMPARE(FitTextToWidth("abcdef", Units, 3), QString());
        QCOMPARE(FitTextToWidth("abcdef", Units, 0), QString());
        QCOMPARE(FitTextToWidth("abcdef", Units, -5), QString());
        QCOMPARE(FitTextToWidth("", Units, 0), QString(""));
        QCOMPARE(FitTextToWidth("", Units, -1), QString());
    }

    void shouldLetTheLastFittingCandidateWin() {
        // Widths that shrink for longer candidates: every candidate is tried.
        auto odd = [](const QString& s) { return s.size() == 5 ? 10 : (s.size() == 7 ? 3 : 50); };
        QCOMPARE(FitTextToWidth("abcdefgh", odd, 10), QString("abcd..."));
        auto onlyShort = [](const QString& s) { return s.size() <= 5 ? 1 : 50; };
        QCOMPARE(FitTextToWidth("abcdefgh", onlyShort, 10), QString("ab..."));
    }

    void shouldNeverCutAMultiByteCharacter() {
        const QString title = DecodeTitle("h\xc3\xa9llo \xf0\x9f\x98\x80\xf0\x9f\x98\x80 end");
        QCOMPARE(title.size(), 14); // é is one unit, each emoji two
        for (int width = 0; width <= 20; ++width) {
            const QString fitted = FitTextToWidth(title, Units, width);
            QVERIFY(fitted.isEmpty() || fitted == title || fitted.endsWith("..."));
            QVERIFY2(QString::fromUtf8(fitted.toUtf8()) == fitted &&
                         !fitted.contains(QChar(QChar::ReplacementCharacter)),
                     qPrintable(fitted));
            for (qsizetype i = 0; i < fitted.size(); ++i) {
                if (fitted.at(i).isHighSurrogate())
                    QVERIFY(i + 1 < fitted.size() && fitted.at(i + 1).isLowSurrogate());
                if (fitted.at(i).isLowSurrogate())
                    QVERIFY(i > 0 && fitted.at(i - 1).isHighSurrogate());
            }
        }
        // Width 10 fits 7 units of prefix: "héllo " (6) + half an emoji is not allowed.
        QCOMPARE(FitTextToWidth(title, Units, 10), QString::fromUtf8("h\xc3\xa9llo ..."));
        QCOMPARE(FitTextToWidth(title, Units, 11),
                 QString::fromUtf8("h\xc3\xa9llo \xf0\x9f\x98\x80..."));
    }

    void shouldShowInvalidBytesAsReplacementCharacter() {
        const QString title = DecodeTitle(std::string("a\xff\xfe b\xc3", 6));
        QVERIFY(title.startsWith('a'));
        QVERIFY(title.contains(QChar(QChar::ReplacementCharacter)));
        QVERIFY(title.contains(" b"));
        QCOMPARE(DecodeTitle(std::string("plain")), QString("plain"));
    }

    void shouldMatchLiteralResultWithRealFonts_data() {
        QTest::addColumn<bool>("plain");
        QTest::newRow("list font, no kerning or shaping") << true;
        QTest::newRow("kerning font") << false;
    }
    void shouldMatchLiteralResultWithRealFonts() {
        QFETCH(bool, plain);
        const QFont font = ListLikeFont(plain);
        const QFontMetrics metrics(font);
        const QStringList pieces = {
            "a",
            "W",
            "i",
            "l",
            " ",
            "fi",
            "AV",
            "To",
            "ffl",
            "\t",
            ".",
            "...",
            "\u00e9",
            "e\u0301",
            "\u00df",
            "\u03a9",
            "\u0416",
            "\u05d0",
            "\u0627\u0644",
            "\u0915\u093f",
            "\U0001F600",
            "\u4e2d",
            "\u00ad",
            "\u200b",
            "\ufffd",
            "\u009c",
            "MMMM",
            "0",
            "7",
            "-",
        };
        QRandomGenerator rng(20261208);
        int checked = 0, cut = 0, empty = 0;
        for (int i = 0; i < 400; ++i) {
            const QString text = RandomTitle(rng, pieces, 40);
            for (int width : {0, 5, 18, 30, 60, 120, 250, 600}) {
                const QString literal = FitTextToWidth(text, metrics, width);
                const QString fast = FitTextToWidthFast(text, font, metrics, width);
                QVERIFY2(literal == fast, qPrintable(QString("text '%1' width %2: '%3' vs '%4'")
                                                         .arg(text)
                                                         .arg(width)
                                                         .arg(literal, fast)));
                ++checked;
                cut += literal.endsWith("...") && literal != text;
                empty += literal.isEmpty() && !text.isEmpty();
            }
        }
        // The sample covers all three outcomes.
        QVERIFY(cut > 100);
        QVERIFY(empty > 100);
        QVERIFY(checked - cut - empty > 100);
    }

    void shouldMatchLiteralResultForLongTitles() {
        const QFont font = ListLikeFont(true);
        const QFontMetrics metrics(font);
        QString title;
        for (int i = 0; i < 300; ++i)
            title += QChar(u'a' + (i * 7) % 26);
        for (int width = 0; width < 2300; width += 97)
            QCOMPARE(FitTextToWidthFast(title, font, metrics, width),
                     FitTextToWidth(title, metrics, width));
    }

    void shouldPlaceListScrollBarComboAndLabel() {
        SkinParams p; // defaults: left 7, right 5, top 4, bottom 65, cat 8/35, between 0
        const MainLayout l = ComputeMainLayout(800, 600, p, QSize(120, 21), QSize(60, 14));
        QCOMPARE(l.list, QRect(7, 4, 773, 535));
        QCOMPARE(l.scrollBar, QRect(780, 4, 15, 535));
        QCOMPARE(l.comboBox, QRect(672, 544, 120, 21));
        QCOMPARE(l.label, QRect(611, 548, 60, 14));
        p.TabBetweenTS = 10;
        p.TaskRightTab = 2;
        p.TaskTopTab = 11;
        p.TaskBottomTab = 62;
        const MainLayout m = ComputeMainLayout(800, 600, p, QSize(120, 21), QSize(60, 14));
        QCOMPARE(m.scrollBar, QRect(783, 11, 15, 538));
        QCOMPARE(m.list, QRect(7, 11, 766, 538));
    }

    void shouldNeverGiveNegativeSizes() {
        SkinParams p;
        const MainLayout l = ComputeMainLayout(10, 20, p, QSize(120, 21), QSize(60, 14));
        QCOMPARE(l.list.width(), 0);
        QCOMPARE(l.list.height(), 0);
        QCOMPARE(l.scrollBar.height(), 0);
    }
};

QTEST_MAIN(TestFitText)
#include "fit_text_test.moc"
