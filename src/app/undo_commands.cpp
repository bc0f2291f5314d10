#include "undo_commands.h"

#include "command_host.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QShortcut>
#include <QWidget>

namespace quill {

namespace {
QString MenuText(const char* verb, const std::string& name) {
    const QString text = QString::fromLatin1(verb);
    return name.empty() ? text : text + QLatin1Char(' ') + QString::fromStdString(name);
}
} // namespace

UndoCommands::UndoCommands(QWidget* window, CommandHost& host, TaskStore& store)
    : QObject(window), host_(host), store_(store) {
    const auto keys = [this, window](const QKeySequence& sequence,
                                     void (UndoCommands::*command)()) {
        auto* shortcut = new QShortcut(sequence, window);
        connect(shortcut, &QShortcut::activated, this, command);
    };
    keys(QKeySequence(Qt::CTRL | Qt::Key_Z), &UndoCommands::Undo);
    keys(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &UndoCommands::Redo);
    keys(QKeySequence(Qt::CTRL | Qt::Key_Y), &UndoCommands::Redo);
}

void UndoCommands::AddMenuItems(std::initializer_list<QMenu*> menus) {
    for (QMenu* menu : menus) {
        if (!menu)
            continue;
        menu->addSeparator();
        QAction* undo = menu->addAction(QStringLiteral("Undo"), this, &UndoCommands::Undo);
        undo->setObjectName(QStringLiteral("UndoChange"));
        QAction* redo = menu->addAction(QStringLiteral("Redo"), this, &UndoCommands::Redo);
        redo->setObjectName(QStringLiteral("RedoChange"));
        undoItems_.push_back(undo);
        redoItems_.push_back(redo);
        connect(menu, &QMenu::aboutToShow, this, &UndoCommands::UpdateItems);
    }
    UpdateItems();
}

QString UndoCommands::UndoText() const {
    return MenuText("Undo", history_.UndoName());
}

QString UndoCommands::RedoText() const {
    return MenuText("Redo", history_.RedoName());
}

void UndoCommands::UpdateItems() {
    for (QAction* item : undoItems_) {
        if (item) {
            item->setText(UndoText());
            item->setEnabled(history_.CanUndo());
        }
    }
    for (QAction* item : redoItems_) {
        if (item) {
            item->setText(RedoText());
            item->setEnabled(history_.CanRedo());
        }
    }
}

void UndoCommands::Undo() {
    if (QApplication::activeModalWidget())
        return;
    Show(history_.Undo(store_));
}

void UndoCommands::Redo() {
    if (QApplication::activeModalWidget())
        return;
    Show(history_.Redo(store_));
}

void UndoCommands::Show(const UndoHistory::Outcome& outcome) {
    if (!outcome.applied)
        return;
    if (outcome.categoriesChanged)
        host_.RefillCategoryLists();
    host_.RefreshTaskList(true);
    host_.MakeTaskCurrent(outcome.key);
}

} // namespace quill
