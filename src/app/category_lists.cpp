#include "category_lists.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace quill {

CategoryFilter FilterForRow(int row, int categoryRows) {
    return row == categoryRows ? CategoryFilter::All() : CategoryFilter::Category(row);
}

int RowForFilter(const CategoryFilter& filter, int categoryRows) {
    return filter.all ? categoryRows : filter.category;
}

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
    box->setCurrentIndex(
        RowForFilter(CategoryFilter::All(), static_cast<int>(store.Categories.size())));
}

QStringList CategoryNames(const TaskStore& store) {
    QStringList names;
    for (const TCATEGORY& category : store.Categories)
        names << CategoryDisplayName(category);
    return names;
}

} // namespace quill
