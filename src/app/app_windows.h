#pragma once
// The program's windows: the main window, made at start, and the dialogs, each
// made the first time it is needed and kept for the rest of the run.

#include "main_form.h"

#include <memory>

namespace quill {

class AppWindows {
public:
    explicit AppWindows(AppServices& services);
    ~AppWindows();
    AppWindows(const AppWindows&) = delete;
    AppWindows& operator=(const AppWindows&) = delete;

    TMainForm* MainForm() const { return mainForm_.get(); }
    // A dialog is made by asking for it: Others().EditTaskForm().
    AppWindowSet& Others() const { return mainForm_->Windows(); }

private:
    // The other windows are children of the main window and go with it.
    std::unique_ptr<TMainForm> mainForm_;
};

} // namespace quill
