#pragma once
// The task list in words, for a screen reader: one row per shown task, the
// columns as the list paints them, each cell's text what a sighted user reads
// from its picture or its text.

#include "widgets/string_grid_accessible.h"

namespace quill {

struct TaskStore;
class TTaskList;
class TaskListHost;

class TaskListCells : public GridCellSource {
public:
    // All three must outlive the cells; the list's column layout is read live.
    TaskListCells(TaskStore& store, const TTaskList& list, TaskListHost& host)
        : store_(store), list_(list), host_(host) {}

    int ShownRowCount() const override;
    QString ColumnTitle(int col) const override;
    QString CellText(int col, int row) const override;
    bool IsCheckColumn(int col) const override;
    bool IsChecked(int row) const override;
    uint64_t RowIdentity(int row) const override;
    QString RowName(int row) const override;
    QString EmptyText() const override;

private:
    int kind(int col) const;

    TaskStore& store_;
    const TTaskList& list_;
    TaskListHost& host_;
};

} // namespace quill
