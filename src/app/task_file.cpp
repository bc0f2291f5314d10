#include "task_file.h"

#include "core/app_error.h"

namespace quill {

QString UnreadableFileMessage(const LoadResult& result) {
    return QString::fromStdString(result.error) +
           QStringLiteral("\n\nQuillnote leaves this file untouched: nothing is saved over "
                          "it until the program is started again with a readable file, so "
                          "changes made now are not kept.");
}

QString DamagedFileMessage(const QString& path, const LoadResult& result) {
    QString text = QStringLiteral("The data file \"%1\" is damaged: %2\n\n"
                                  "Recovered %3 task(s) and %4 category(ies).")
                       .arg(path, QString::fromStdString(result.problem))
                       .arg(result.tasksRead)
                       .arg(result.categoriesRead);
    if (!result.backupPath.empty()) {
        text += QStringLiteral("\nThe original file was kept as \"%1\".")
                    .arg(QString::fromStdString(result.backupPath));
    } else {
        text += QStringLiteral("\nNo copy of the original file could be made (%1), so "
                               "Quillnote does not save over it in this run.")
                    .arg(QString::fromStdString(result.backupError));
    }
    return text;
}

QString TaskFile::Load(TaskStore& store) {
    const LoadResult result = LoadTasks(store, path_.toStdString());
    if (!MaySaveOver(result)) {
        blockedReason_ = result.outcome == LoadOutcome::Unreadable
                             ? QString::fromStdString(result.error)
                             : QStringLiteral("The damaged data file \"%1\" could not be "
                                              "copied aside (%2).")
                                   .arg(path_, QString::fromStdString(result.backupError));
    }
    switch (result.outcome) {
    case LoadOutcome::Unreadable:
        return UnreadableFileMessage(result);
    case LoadOutcome::Damaged:
        return DamagedFileMessage(path_, result);
    case LoadOutcome::NoFile:
    case LoadOutcome::Good:
        break;
    }
    return {};
}

void TaskFile::Save(const TaskStore& store) const {
    if (!blockedReason_.isEmpty()) {
        throw AppError(QStringLiteral("The tasks were not saved: \"%1\" is kept as it was "
                                      "found at start-up.\n%2")
                           .arg(path_, blockedReason_)
                           .toStdString());
    }
    const SaveResult result = SaveTasks(store, path_.toStdString());
    if (!result.ok)
        throw AppError(result.error);
}

} // namespace quill
