#pragma once
// "Custom...": every N days, weeks, months or years, and for weeks the days.

#include "calendar/repeat_rule.h"

#include <QString>
#include <optional>

class QWidget;

namespace quill {

// What the editor's drop-down says for a custom rule: "Every 2 weeks: Mon, Thu".
QString DescribeRepeat(const RepeatChoice& choice);

// Asks for a custom rule starting from `initial`; nothing when cancelled.
std::optional<RepeatChoice> AskCustomRepeat(QWidget* owner, const RepeatChoice& initial);

} // namespace quill
