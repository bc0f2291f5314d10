#include "task_file.h"

#include "core/app_error.h"
#include "core/save_worker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>

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

bool EventRunner::event(QEvent* event) {
    if (event->type() != QEvent::User)
        return QObject::event(event);
    run();
    return true;
}

TaskFile::TaskFile(QString path) : path_(std::move(path)) {
    snapshot_.run = [this] { SubmitDue(); };
}

TaskFile::~TaskFile() {
    // A change whose copy was still to be taken is written before the program goes.
    SubmitDue();
}

void TaskFile::ThrowIfBlocked() const {
    if (!blockedReason_.isEmpty()) {
        throw AppError(QStringLiteral("The tasks were not saved: \"%1\" is kept as it was "
                                      "found at start-up.\n%2")
                           .arg(path_, blockedReason_)
                           .toStdString());
    }
}

void TaskFile::Submit(const TaskStore& store) {
    if (!worker_) {
        const std::string path = path_.toStdString();
        worker_ = std::make_unique<SaveWorker>(
            [path](const TaskStore& state) { return SaveTasks(state, path); },
            [this] {
                QMetaObject::invokeMethod(
                    &receiver_, [this] { TellFailure(); }, Qt::QueuedConnection);
            });
    }
    // A copy, so the worker never reads the store while a command changes it;
    // copying costs this thread less than making the file's bytes would.
    due_ = nullptr;
    worker_->SubmitCopyOf(store);
}

void TaskFile::SubmitDue() {
    if (due_)
        Submit(*due_);
}

void TaskFile::SaveInBackground(const TaskStore& store) {
    ThrowIfBlocked();
    if (due_)
        return; // the copy to come holds this change too
    due_ = &store;
    // Below the priority of the toolkit's repaint requests: the change is on
    // screen before the copy is taken.
    QCoreApplication::postEvent(&snapshot_, new QEvent(QEvent::User), Qt::LowEventPriority - 1);
}

void TaskFile::Save(const TaskStore& store) {
    ThrowIfBlocked();
    Submit(store);
    const SaveResult result = worker_->WaitForLast();
    if (!result.ok)
        throw AppError(result.error);
}

void TaskFile::WaitForSaves() {
    SubmitDue();
    if (worker_)
        worker_->Wait();
}

void TaskFile::TellFailure() {
    // One message box at a time: a failure that comes while one is open is the
    // same news, and the next change tries again anyway.
    if (telling_ || !worker_)
        return;
    const std::optional<std::string> failure = worker_->TakeFailure();
    if (!failure || !failureHandler_)
        return;
    telling_ = true;
    failureHandler_(QString::fromStdString(*failure));
    telling_ = false;
}

} // namespace quill
