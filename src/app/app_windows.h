#pragma once
// The program's eight windows, created once in a fixed order (the main window
// first) and kept for the whole run.

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
    const AppWindowSet& Others() const { return mainForm_->Windows(); }

private:
    // The other windows are children of the main window and go with it.
    std::unique_ptr<TMainForm> mainForm_;
};

} // namespace quill
