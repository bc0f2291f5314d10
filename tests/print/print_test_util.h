#pragma once
// Reading rendered PDF files the way a reader would: text, pages, pixels.

#include "print/print_job.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace quill::printtest {

// The text of each page (pdftotext -layout), in page order.
QStringList PageTexts(const QString& pdf);
// pdfinfo's value for `key` ("Pages", "Title", "Page size").
QString PdfInfo(const QString& pdf, const QString& key);
// Page `page` (1-based) rasterised in grey at `dpi`.
QImage PageImage(const QString& pdf, int page, int dpi);
// The longest run of dark pixels (below 100) along any row of `image`.
int LongestDarkRow(const QImage& image);
// The x of every vertical rule of `image`: a column with a dark vertical run of at
// least `minRun` pixels (neighbouring columns count once, by the leftmost).
QList<int> VerticalRules(const QImage& image, int minRun);
// The leftmost and rightmost x of ink (below 100) in columns [from, to) over the
// table's rows: between its first and last bar (header bar or horizontal rule),
// not on a bar, where the rule at `ruleX` is dark. {-1, -1} when there is none.
QPair<int, int> InkSpan(const QImage& image, int from, int to, int ruleX);

} // namespace quill::printtest
