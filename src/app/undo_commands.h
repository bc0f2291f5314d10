#pragma once
// Undo and redo for the main window: the history of the run's changes, the
// "Undo ..." and "Redo ..." menu items and the keys (Ctrl+Z; Ctrl+Shift+Z and
// Ctrl+Y). An undone change is shown and saved like the change itself.

#include "core/undo_history.h"

#include <QObject>
#include <QPointer>
#include <QVector>

#include <initializer_list>

class QAction;
class QMenu;
class QWidget;

namespace quill {

class CommandHost;
struct TaskStore;

class UndoCommands : public QObject {
    Q_OBJECT
public:
    // `window` takes the keys; `host` shows what a step changed.
    UndoCommands(QWidget* window, CommandHost& host, TaskStore& store);

    // Appends "Undo ..." and "Redo ..." after what each menu already holds.
    void AddMenuItems(std::initializer_list<QMenu*> menus);

    // A change the user made: one step, however many fields it changed.
    void Record(UndoStep step) { history_.Record(std::move(step)); }

    // Do nothing while a window waits for an answer: the change that window is
    // making must not have its ground moved under it.
    void Undo();
    void Redo();

    const UndoHistory& History() const { return history_; }
    // Forgets every step: after a sync replaced the tasks, undoing a step from
    // before it would put back what the server changed, unseen.
    void Forget() { history_ = UndoHistory(); }
    // The menu texts: "Undo Delete Task", "Redo Done"; bare while nothing is there.
    QString UndoText() const;
    QString RedoText() const;

private:
    void Show(const UndoHistory::Outcome& outcome);
    void UpdateItems();

    CommandHost& host_;
    TaskStore& store_;
    UndoHistory history_;
    QVector<QPointer<QAction>> undoItems_;
    QVector<QPointer<QAction>> redoItems_;
};

} // namespace quill
