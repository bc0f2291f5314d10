#include "main_settings.h"

#include "app_error_handler.h"

#include "core/app_error.h"
#include "platform/settings_store.h"

#include <algorithm>
#include <optional>

namespace quill {

MainWindowSettings ReadMainWindowSettings(const SettingsStore& store) {
    MainWindowSettings s;
    s.geometry = QRect(store.Read(settings::kLeft), store.Read(settings::kTop),
                       store.Read(settings::kWidth), store.Read(settings::kHeight));
    s.skin = store.Read(settings::kSkin);
    s.group = store.Read(settings::kMainFormGroup);
    return s;
}

void WriteMainWindowSettings(SettingsStore& store, const QRect& geometry, const QString& skin) {
    QString failure;
    const auto attempt = [&failure](const std::function<void()>& write) {
        const QString problem = CaptureAppError(write);
        if (failure.isEmpty())
            failure = problem;
    };
    attempt([&] { store.Write(settings::kLeft, geometry.left()); });
    attempt([&] { store.Write(settings::kTop, geometry.top()); });
    attempt([&] { store.Write(settings::kWidth, geometry.width()); });
    attempt([&] { store.Write(settings::kHeight, geometry.height()); });
    attempt([&] { store.Write(settings::kSkin, skin); });
    if (!failure.isEmpty())
        throw AppError(failure.toStdString());
}

int CategoryPositionToShow(int stored, int allPosition) {
    return stored >= 0 && stored <= allPosition ? stored : allPosition;
}

QRect FitWindowToScreens(const QRect& stored, const QList<QRect>& availableAreas,
                         const QSize& designSize) {
    if (availableAreas.isEmpty())
        return stored;
    QRect area = availableAreas.first();
    qint64 bestOverlap = 0;
    for (const QRect& candidate : availableAreas) {
        const QRect overlap = candidate.intersected(stored);
        const qint64 size = qint64(overlap.width()) * overlap.height();
        if (!overlap.isEmpty() && size > bestOverlap) {
            bestOverlap = size;
            area = candidate;
        }
    }
    const int visibleWidth = std::min(designSize.width(), area.width());
    const int visibleHeight = std::min(designSize.height(), area.height());
    const int width = std::max(stored.width(), visibleWidth);
    const int height = std::max(stored.height(), visibleHeight);
    const int left = std::clamp(stored.left(), area.left() - (width - visibleWidth),
                                area.left() + area.width() - visibleWidth);
    const int top =
        std::clamp(stored.top(), area.top(), area.top() + area.height() - visibleHeight);
    return QRect(left, top, width, height);
}

} // namespace quill
