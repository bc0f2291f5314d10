#include "print_job.h"

#include <QLibrary>
#include <QLocale>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cups/cups.h>

namespace quill {
namespace {

// The printing system's library is opened when the first job goes to a printer,
// not at start-up: it pulls in a dozen libraries (TLS, Kerberos, Avahi) that
// cost every start several milliseconds and most runs never use.
struct CupsCalls {
    decltype(&cupsPrintFile) printFile = nullptr;
    decltype(&cupsLastErrorString) lastErrorString = nullptr;
    QString error; // why the library could not be used
};

const CupsCalls& Cups() {
    static const CupsCalls calls = [] {
        CupsCalls loaded;
        QLibrary library(QStringLiteral("cups"), 2);
        loaded.printFile =
            reinterpret_cast<decltype(&cupsPrintFile)>(library.resolve("cupsPrintFile"));
        loaded.lastErrorString = reinterpret_cast<decltype(&cupsLastErrorString)>(
            library.resolve("cupsLastErrorString"));
        if (!loaded.printFile || !loaded.lastErrorString)
            loaded.error = library.errorString();
        return loaded; // the library stays loaded: QLibrary does not unload it
    }();
    return calls;
}

constexpr int kPdfResolution = 1200;

struct RenderResult {
    bool ok = false;
    bool cancelled = false;
    int pages = 0;
};

RenderResult Render(QIODevice& out, QPageLayout layout, int resolution, const PrintJobInput& input,
                    const PrintProgress& progress) {
    layout.setOrientation(input.choices.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    QPdfWriter writer(&out);
    writer.setTitle(QString::fromLatin1(kPrintJobName));
    writer.setCreator(QStringLiteral("Quillnote"));
    writer.setResolution(resolution);
    writer.setPageLayout(layout);
    static const SkinPictures kNoPictures;
    TaskPrinter printer(writer, input.choices, input.pictures ? *input.pictures : kNoPictures);
    static const TaskStore kNoTasks;
    bool cancelled = false;
    const PrintProgress watch = [&](int done, int total) {
        if (progress && !progress(done, total)) {
            cancelled = true;
            return false;
        }
        return true;
    };
    const bool ok =
        printer.PrintTasks(input.store ? *input.store : kNoTasks, input.doneToBottom, watch);
    return RenderResult{ok, cancelled, printer.PageCount()};
}

PrintJobResult Failed(const QString& error) {
    PrintJobResult result;
    result.status = PrintJobResult::Status::Failed;
    result.error = error;
    return result;
}

PrintJobResult Cancelled() {
    PrintJobResult result;
    result.status = PrintJobResult::Status::Cancelled;
    return result;
}

QPageLayout PdfFileLayout() {
    const bool us = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(us ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(6, 6, 6, 6), QPageLayout::Millimeter);
}

} // namespace

QString CupsVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(CUPS_VERSION_MAJOR)
        .arg(CUPS_VERSION_MINOR)
        .arg(CUPS_VERSION_PATCH);
}

QStringList PrinterChoices() {
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.append(QString::fromLatin1(kPdfFileEntry));
    return names;
}

PrintJobResult PrintToPdfFile(const QString& path, const PrintJobInput& input,
                              const PrintProgress& progress) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Failed(
            QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    const RenderResult rendered = Render(file, PdfFileLayout(), kPdfResolution, input, progress);
    if (rendered.cancelled)
        return Cancelled(); // the file stays as it was
    if (!rendered.ok)
        return Failed(QStringLiteral("The PDF file \"%1\" could not be drawn.").arg(path));
    if (!file.commit())
        return Failed(
            QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    PrintJobResult result;
    result.status = PrintJobResult::Status::Printed;
    result.pages = rendered.pages;
    return result;
}

PrintJobResult PrintToPrinter(const QString& printerName, const PrintJobInput& input,
                              const PrintProgress& progress) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    if (info.isNull())
        return Failed(QStringLiteral("The printer \"%1\" is not available.").arg(printerName));
    // The queue's own paper and printable area.
    const QPrinter queue(info, QPrinter::HighResolution);
    const int resolution = queue.resolution() > 0 ? queue.resolution() : kPdfResolution;
    QTemporaryFile spool;
    if (!spool.open())
        return Failed(QStringLiteral("Cannot create a temporary file for printing. %1")
                          .arg(spool.errorString()));
    const RenderResult rendered = Render(spool, queue.pageLayout(), resolution, input, progress);
    if (rendered.cancelled)
        return Cancelled(); // nothing was sent to the printer
    if (!rendered.ok || !spool.flush())
        return Failed(QStringLiteral("The pages for \"%1\" could not be drawn.").arg(printerName));
    const CupsCalls& cups = Cups();
    if (!cups.printFile)
        return Failed(QStringLiteral("The printer \"%1\" cannot be reached: the printing "
                                     "system (CUPS) could not be loaded. %2")
                          .arg(printerName, cups.error));
    const QByteArray name = printerName.toLocal8Bit();
    const QByteArray file = spool.fileName().toLocal8Bit();
    const int job = cups.printFile(name.constData(), file.constData(), kPrintJobName, 0, nullptr);
    if (job <= 0)
        return Failed(QStringLiteral("The printer \"%1\" did not accept the job: %2")
                          .arg(printerName, QString::fromLocal8Bit(cups.lastErrorString())));
    PrintJobResult result;
    result.status = PrintJobResult::Status::Printed;
    result.pages = rendered.pages;
    return result;
}

} // namespace quill
