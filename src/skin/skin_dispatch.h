#pragma once
// Routes skin button clicks by button and template name. The windows register
// their rows; a click runs every row whose names match, in registration order.

#include <QString>
#include <QVector>
#include <functional>

namespace quill {

class ISkinObject;

class SkinEventRouter {
public:
    // A row of the table; an empty templateName matches any template.
    void Add(const QString& objectName, const QString& templateName, std::function<void()> action);

    // Runs the matching rows for an event; events other than "OnClick" are
    // ignored. Names compare exactly (case-sensitive). Returns the rows run.
    int Dispatch(const QString& objectName, const QString& templateName,
                 const QString& eventName) const;
    // Same, reading the names from the source (its name, its parent's name).
    int Dispatch(ISkinObject* source, const QString& eventName) const;

    int RowCount() const { return static_cast<int>(rows_.size()); }

private:
    struct Row {
        QString object;
        QString templ;
        std::function<void()> action;
    };
    QVector<Row> rows_;
};

} // namespace quill
