#include "main_layout.h"

#include "skin/skin_params.h"

#include <algorithm>

namespace quill {

namespace {
constexpr int kScrollBarWidth = 15;
}

MainLayout ComputeMainLayout(int cw, int ch, const SkinParams& params, QSize comboSize,
                             QSize labelSize) {
    MainLayout layout;
    const int listHeight = std::max(0, ch - params.TaskBottomTab);
    const int scrollLeft = cw - (kScrollBarWidth + params.TaskRightTab);
    layout.scrollBar = QRect(scrollLeft, params.TaskTopTab, kScrollBarWidth, listHeight);
    const int listWidth = std::max(0, scrollLeft - (params.TaskLeftTab + params.TabBetweenTS));
    layout.list = QRect(params.TaskLeftTab, params.TaskTopTab, listWidth, listHeight);
    const int comboLeft = cw - comboSize.width() - params.CatRightTab;
    const int comboTop = ch - comboSize.height() - params.CatBottomTab;
    layout.comboBox = QRect(QPoint(comboLeft, comboTop), comboSize);
    layout.label = QRect(QPoint(comboLeft - labelSize.width() - 1, comboTop + 4), labelSize);
    return layout;
}

} // namespace quill
