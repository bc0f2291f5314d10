#include "skin_dispatch.h"

#include "skin.h"

namespace quill {

void SkinEventRouter::Add(const QString& objectName, const QString& templateName,
                          std::function<void()> action) {
    rows_.push_back({objectName, templateName, std::move(action)});
}

int SkinEventRouter::Dispatch(const QString& objectName, const QString& templateName,
                              const QString& eventName) const {
    if (eventName != QLatin1String("OnClick"))
        return 0;
    int run = 0;
    // A copy: an action may add rows while the walk goes on.
    const QVector<Row> rows = rows_;
    for (const Row& row : rows) {
        if (row.object == objectName && (row.templ.isEmpty() || row.templ == templateName)) {
            ++run;
            if (row.action)
                row.action();
        }
    }
    return run;
}

int SkinEventRouter::Dispatch(ISkinObject* source, const QString& eventName) const {
    if (!source)
        return 0;
    const QString object = source->GetName();
    ISkinObject* parent = source->GetParent();
    if (eventName != QLatin1String("OnClick"))
        return 0;
    return Dispatch(object, parent ? parent->GetName() : QString(), eventName);
}

} // namespace quill
