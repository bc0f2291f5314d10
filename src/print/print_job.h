#pragma once
// One print job from start to end: the pages rendered to PDF, then written to
// the chosen file or handed to a printer queue. Every failure of the printing
// system comes back as a message; a job is reported printed only when the file
// was written or the queue accepted it.

#include "task_printer.h"

#include <QString>
#include <QStringList>

namespace quill {

// The entry that writes a PDF file; always the last one of the printer list.
inline constexpr const char* kPdfFileEntry = "PDF file";
// The file name suggested for it, in the user's documents folder.
inline constexpr const char* kPdfFileSuggestion = "Quillnote tasks.pdf";

// What a job prints.
struct PrintJobInput {
    const TaskStore* store = nullptr;
    bool doneToBottom = false;
    const SkinPictures* pictures = nullptr;
    PrintChoices choices;
};

struct PrintJobResult {
    enum class Status { Printed, Cancelled, Failed };
    Status status = Status::Failed;
    QString error; // Failed: what went wrong, for the user
    int pages = 0;
    bool ok() const { return status == Status::Printed; }
};

// The system's printers, then "PDF file".
QStringList PrinterChoices();

// The version of the printing system's library the program was built with.
QString CupsVersion();

// Writes the pages to `path` (replaced only when the whole job succeeded).
PrintJobResult PrintToPdfFile(const QString& path, const PrintJobInput& input,
                              const PrintProgress& progress = {});

// Prints on the named queue, with its page size and printable area.
PrintJobResult PrintToPrinter(const QString& printerName, const PrintJobInput& input,
                              const PrintProgress& progress = {});

} // namespace quill
