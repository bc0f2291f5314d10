#pragma once
// "Export Tasks..." and "Import Tasks...": the tasks to and from calendar files
// (iCalendar, and CSV for export) through a file chooser.

#include <QObject>
#include <QString>

#include <functional>
#include <initializer_list>

class QMenu;
class QWidget;

namespace quill {

class CommandHost;
class TaskListHost;
struct TaskStore;

class ExchangeCommands : public QObject {
    Q_OBJECT
public:
    // `window` owns the commands and parents the file chooser; `list` names the
    // category shown (an export writes only its tasks); `host` shows an import.
    ExchangeCommands(QWidget* window, CommandHost& host, TaskListHost& list, TaskStore& store);

    // Appends the two items after what each menu already holds.
    void AddMenuItems(std::initializer_list<QMenu*> menus);

    void ExportTasks();
    void ImportTasks();

    // Called after an import added categories: the windows that list them refill.
    void SetCategoriesAddedHandler(std::function<void()> handler) {
        categoriesAdded_ = std::move(handler);
    }

    // Replaces the file chooser (tests): given the dialog's caption and whether
    // it is for saving, returns the chosen path, empty for none.
    using FileChooser = std::function<QString(const QString& caption, bool save)>;
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

private:
    QString ChooseFile(const QString& caption, bool save);

    QWidget* window_;
    CommandHost& host_;
    TaskListHost& list_;
    TaskStore& store_;
    FileChooser chooseFile_;
    std::function<void()> categoriesAdded_;
};

} // namespace quill
