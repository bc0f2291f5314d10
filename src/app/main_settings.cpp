#include "main_settings.h"

#include "platform/settings_store.h"

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
    store.Write(settings::kLeft, geometry.left());
    store.Write(settings::kTop, geometry.top());
    store.Write(settings::kWidth, geometry.width());
    store.Write(settings::kHeight, geometry.height());
    store.Write(settings::kSkin, skin);
}

} // namespace quill
