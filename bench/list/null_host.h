#pragma once
// A host for the task list that does nothing: the benchmarks and pictures only
// paint and move the current row.
#include "ui/task_list_host.h"

#include <QMenu>

namespace quill {

class NullHost : public TaskListHost {
public:
    void SortTaskList() override {}
    void FilterTaskList() override {}
    void AddTask() override {}
    int EditTask(int) override { return 2; }
    void OpenHelpFile() override {}
    void ShowPrintDialog() override {}
    QMenu* MainPopupMenu() override { return &menu; }
    QMenu menu;
};

} // namespace quill
