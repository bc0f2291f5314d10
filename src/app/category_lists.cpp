#include "category_lists.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace quill {

QStringList InitialCategoryItems() {
    return {QStringLiteral("Personal"), QStringLiteral("Business"), QStringLiteral("Other"),
            QString::fromUtf8(kAllItem)};
}

QString CategoryDisplayName(const TCATEGORY& category) {
    return QString::fromUtf8(category.Name.data(), static_cast<qsizetype>(category.Name.size()));
}

QStringList MainCategoryItems(const TaskStore& store) {
    QStringList items = CategoryNames(store);
    items << QString::fromUtf8(kAllItem) << QString::fromUtf8(kEditCategoriesItem);
    return items;
}

void FillMainCategoryList(QComboBox* box, const TaskStore& store) {
    const QSignalBlocker blocker(box);
    box->clear();
    box->addItems(MainCategoryItems(store));
    box->setCurrentIndex(box->count() - 2);
}

QStringList CategoryNames(const TaskStore& store) {
    QStringList names;
    for (const TCATEGORY& category : store.Categories)
        names << CategoryDisplayName(category);
    return names;
}

} // namespace quill
