#pragma once
// A close that nobody watches (SIGTERM, Ctrl+C, the end of the session) may show
// no window: a window would hold the logout until somebody answered it. What
// failed then is written to stderr and kept in a small file, and the next start
// tells the user once. Tasks that could not be saved where they belong are kept
// in a file of their own beside the notice, so nothing is lost.

#include "core/task_store.h"

#include <QString>

namespace quill {

class ExitNotice {
public:
    // `folder`: where the notice and rescued tasks go (UserStateDir() for a run).
    explicit ExitNotice(QString folder) : folder_(std::move(folder)) {}

    // Writes `message` to stderr and adds it to the notice for the next start.
    void Record(const QString& message) const;
    // What earlier closes recorded, empty when nothing; the notice is then gone.
    QString Take() const;

    // Writes `store` to a new data file in the folder; returns its path, or an
    // empty string when even that failed.
    QString KeepTasks(const TaskStore& store) const;

    QString NoticePath() const;

private:
    QString folder_;
};

// $XDG_STATE_HOME/Tolvane/Quillnote (usually ~/.local/state/Tolvane/Quillnote).
QString UserStateDir();

} // namespace quill
