#pragma once
// The main window's find field: Ctrl+F or "Find..." opens it above the task
// list, and what is typed narrows the list to the tasks whose title or
// description holds it (TaskFinder), within the category shown. Escape, or an
// emptied field, closes it and gives the list back as it was.

#include "core/task_finder.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string_view>

class QFontMetrics;
class QLineEdit;
class QMenu;
class QPainter;

namespace quill {

struct MainLayout;
struct SkinParams;
struct TaskStore;
class TTaskList;

class FindBar : public QWidget {
    Q_OBJECT
public:
    // `parent` is the main window's client area, the list's parent.
    FindBar(QWidget* parent, TaskStore& store, TTaskList& list, const SkinParams& params);

    bool IsOpen() const { return open_; }
    void Open();
    void Close();
    // Adds "Find..." at the end of `menu`.
    void AddMenuItem(QMenu* menu);
    // What the list's filter narrows with: null while the field is closed.
    TaskFinder* ActiveFinder() { return open_ ? &finder_ : nullptr; }
    // Runs `sortWholeList` on every task of the chosen category, not only the
    // ones shown, so the list is sorted as without the field; then narrows again.
    void Sort(const std::function<void()>& sortWholeList);
    // While open, takes a strip at the top of the list's place and wears the
    // skin's font and colours.
    void Place(MainLayout& layout);
    // The field has the keys: Delete and Insert edit its text, not the list.
    bool HasKeys() const;

Q_SIGNALS:
    // Opened or closed: the list's place changed.
    void LayoutChanged();
    // Closed; `changed`: a change made while it was open was saved in the
    // narrowed order, so the list's order is to be saved again.
    void Closed(bool changed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void textEdited(const QString& text);
    void applyLook();
    uint64_t currentKey() const;
    void showRowOf(uint64_t key, uint64_t fallback);

    TaskStore& store_;
    TTaskList& list_;
    const SkinParams& params_;
    QLineEdit* edit_ = nullptr;
    TaskFinder finder_;
    bool open_ = false;
    bool changed_ = false;
    uint64_t openedOn_ = 0; // the current task when the field opened
    uint64_t placedOn_ = 0; // the current task the last narrowing chose
};

// Marks where `foldedText` is found in `title` on a title cell whose text,
// `shown` (the title fitted to the column), starts at `x`: a band of `band`
// behind the letters and a line of `line` under them.
void DrawFoundMark(QPainter& canvas, const std::string& title, std::string_view foldedText,
                   const QString& shown, const QFontMetrics& metrics, int x, int top, int height,
                   const QColor& band, const QColor& line);

} // namespace quill
