#pragma once
// The display and behaviour options as they stand right now. Everything that
// depends on an option asks this interface at the moment of use, so a confirmed
// settings dialog takes effect at once.

#include "core/program_options.h"

#include <cstdint>

namespace quill {

class LiveOptions {
public:
    virtual ~LiveOptions() = default;
    virtual bool StartWithWindows() const = 0;
    virtual bool MinimizeOnStart() const = 0;
    virtual bool Transparency() const = 0;
    virtual bool AlwaysOnTop() const = 0;
    virtual bool ShowDueDate() const = 0;
    virtual bool ShowPriority() const = 0;
    virtual bool ShowCategory() const = 0;
    virtual bool ShowReminder() const = 0;
    virtual bool ShowGrid() const = 0;
    virtual bool DoneTaskPutInBottom() const = 0;
    virtual int32_t SortBy() const = 0; // 0 due date, 1 priority, 2 category
};

// A plain options value that answers for itself: the main window's live
// options, and fixed sets for tests and tools.
struct FixedOptions final : ProgramOptions, LiveOptions {
    // Every value at once.
    void Assign(const ProgramOptions& values) { static_cast<ProgramOptions&>(*this) = values; }

    bool StartWithWindows() const override { return startWithWindows; }
    bool MinimizeOnStart() const override { return minimizeOnStart; }
    bool Transparency() const override { return transparency; }
    bool AlwaysOnTop() const override { return alwaysOnTop; }
    bool ShowDueDate() const override { return showDueDate; }
    bool ShowPriority() const override { return showPriority; }
    bool ShowCategory() const override { return showCategory; }
    bool ShowReminder() const override { return showReminder; }
    bool ShowGrid() const override { return showGrid; }
    bool DoneTaskPutInBottom() const override { return doneTaskPutInBottom; }
    int32_t SortBy() const override { return sortBy; }
};

} // namespace quill
