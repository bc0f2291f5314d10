#include "main_settings.h"

#include "core/app_error.h"
#include "platform/settings_store.h"

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
    std::optional<AppError> failure;
    const auto attempt = [&failure](auto&& write) {
        try {
            write();
        } catch (const AppError& error) {
            if (!failure)
                failure = error;
        }
    };
    attempt([&] { store.Write(settings::kLeft, geometry.left()); });
    attempt([&] { store.Write(settings::kTop, geometry.top()); });
    attempt([&] { store.Write(settings::kWidth, geometry.width()); });
    attempt([&] { store.Write(settings::kHeight, geometry.height()); });
    attempt([&] { store.Write(settings::kSkin, skin); });
    if (failure)
        throw *failure;
}

} // namespace quill
