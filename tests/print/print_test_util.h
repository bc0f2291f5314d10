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

} // namespace quill::printtest
