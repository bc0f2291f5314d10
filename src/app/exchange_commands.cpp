#include "exchange_commands.h"

#include "app_error_handler.h"
#include "calendar/task_exchange.h"
#include "command_host.h"
#include "core/date_time.h"
#include "core/task_store.h"
#include "ui/message_form.h"
#include "ui/task_list_host.h"

#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QStandardPaths>

namespace quill {

namespace {

constexpr const char* kCalendarFilter = "iCalendar files (*.ics)";
constexpr const char* kCsvFilter = "CSV files (*.csv)";

QString StartFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

} // namespace

ExchangeCommands::ExchangeCommands(QWidget* window, CommandHost& host, TaskListHost& list,
                                   TaskStore& store)
    : QObject(window), window_(window), host_(host), list_(list), store_(store) {}

void ExchangeCommands::AddMenuItems(std::initializer_list<QMenu*> menus) {
    for (QMenu* menu : menus) {
        menu->addSeparator();
        QAction* exportItem =
            menu->addAction(QStringLiteral("Export Tasks..."), this, [this] { ExportTasks(); });
        exportItem->setObjectName(QStringLiteral("ExportTasks"));
        QAction* importItem =
            menu->addAction(QStringLiteral("Import Tasks..."), this, [this] { ImportTasks(); });
        importItem->setObjectName(QStringLiteral("ImportTasks"));
    }
}

QString ExchangeCommands::ChooseFile(const QString& caption, bool save) {
    if (chooseFile_)
        return chooseFile_(caption, save);
    QFileDialog dialog(window_, caption, StartFolder());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters(
            {QString::fromLatin1(kCalendarFilter), QString::fromLatin1(kCsvFilter)});
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(
            {QString::fromLatin1(kCalendarFilter), QStringLiteral("All files (*)")});
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString path = dialog.selectedFiles().constFirst();
    // A name typed without its extension takes the chosen type's.
    if (save && ExportFormatFor(path.toStdString()) == ExportFormat::Unknown)
        path += dialog.selectedNameFilter() == QLatin1String(kCsvFilter) ? QStringLiteral(".csv")
                                                                         : QStringLiteral(".ics");
    return path;
}

void ExchangeCommands::ExportTasks() {
    const QString path = ChooseFile(QStringLiteral("Export Tasks"), true);
    if (path.isEmpty())
        return;
    const ExportResult result = ExportTasksToFile(store_, list_.ShownCategoryName().toStdString(),
                                                  path.toStdString(), UtcNow());
    if (!result.ok)
        ShowAppError(QString::fromStdString(result.error));
}

void ExchangeCommands::ImportTasks() {
    const QString path = ChooseFile(QStringLiteral("Import Tasks"), false);
    if (path.isEmpty())
        return;
    const CalendarRead read = ReadCalendarFile(path.toStdString(), Today());
    if (!read.ok) {
        ShowAppError(QString::fromStdString(read.error));
        return;
    }
    const StoreState before = CaptureState(store_);
    const ImportSummary summary = ApplyImport(store_, read);
    if (summary.changed())
        host_.RecordChange(DiffStates("Import Tasks", before, store_));
    if (summary.categoriesAdded > 0 && categoriesAdded_)
        categoriesAdded_();
    // One change: filtered, sorted, saved once and shown, as after an edit.
    if (summary.changed())
        ReportErrors([this] { host_.RefreshTaskList(true); });
    ShowMessageDialog(QString::fromStdString(ImportSummaryText(summary)),
                      QString::fromLatin1(kAppTitle), kNoticeMessage);
}

} // namespace quill
