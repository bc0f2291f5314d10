#include "print_test_util.h"

#include <QProcess>
#include <QTemporaryDir>

namespace quill::printtest {
namespace {

QByteArray Run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qWarning("%s failed: %s", qPrintable(program), process.readAllStandardError().constData());
    return process.readAllStandardOutput();
}

} // namespace

QStringList PageTexts(const QString& pdf) {
    QStringList pages =
        QString::fromUtf8(
            Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}))
            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QString PdfInfo(const QString& pdf, const QString& key) {
    const QString out = QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {pdf}));
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char(':')))
            return line.mid(key.size() + 1).trimmed();
    }
    return QString();
}

QImage PageImage(const QString& pdf, int page, int dpi) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    const QString n = QString::number(page);
    Run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-gray"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
         QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), n, QStringLiteral("-l"),
         n, pdf, prefix});
    return QImage(prefix + QStringLiteral(".png")).convertToFormat(QImage::Format_Grayscale8);
}

int LongestDarkRow(const QImage& image) {
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = row[x] < 100 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

QList<int> VerticalRules(const QImage& image, int minRun) {
    QList<int> rules;
    for (int x = 0; x < image.width(); ++x) {
        int run = 0;
        int longest = 0;
        for (int y = 0; y < image.height(); ++y) {
            run = image.constScanLine(y)[x] < 100 ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        if (longest >= minRun && (rules.isEmpty() || rules.last() + 3 < x))
            rules << x;
    }
    return rules;
}

QPair<int, int> InkSpan(const QImage& image, int from, int to, int ruleX) {
    // A bar (a header bar or a horizontal rule) runs non-white across half the page.
    const auto isBar = [&image](int y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0, run = 0; x < image.width(); ++x) {
            run = row[x] < 230 ? run + 1 : 0;
            if (run > image.width() / 2)
                return true;
        }
        return false;
    };
    QList<int> bars;
    for (int y = 0; y < image.height(); ++y) {
        if (isBar(y))
            bars << y;
    }
    QPair<int, int> span{-1, -1};
    for (int y = bars.value(0); y < bars.value(bars.size() - 1); ++y) {
        const uchar* row = image.constScanLine(y);
        if (row[ruleX] >= 100 || bars.contains(y))
            continue;
        for (int x = from; x < to; ++x) {
            if (row[x] < 100)
                span = {span.first < 0 ? x : std::min(span.first, x), std::max(span.second, x)};
        }
    }
    return span;
}

} // namespace quill::printtest
