#include "widgets/window_move_rule.h"

#include <QObject>
#include <QWidget>

namespace quill {

namespace {
// The rule lives in a child of the window, so it goes with the window.
class MoveRuleHolder final : public QObject {
public:
    using QObject::QObject;
    MoveRule rule;
};

MoveRuleHolder* HolderOf(const QWidget* window) {
    return window ? window->findChild<MoveRuleHolder*>(QStringLiteral("quillnote-move-rule"),
                                                       Qt::FindDirectChildrenOnly)
                  : nullptr;
}
} // namespace

void SetMoveRule(QWidget* window, MoveRule rule) {
    MoveRuleHolder* holder = HolderOf(window);
    if (!holder && window) {
        holder = new MoveRuleHolder(window);
        holder->setObjectName(QStringLiteral("quillnote-move-rule"));
    }
    if (holder)
        holder->rule = std::move(rule);
}

QPoint ApplyMoveRule(const QWidget* window, const QRect& proposed) {
    const MoveRuleHolder* holder = HolderOf(window);
    return holder && holder->rule ? holder->rule(proposed) : proposed.topLeft();
}

} // namespace quill
