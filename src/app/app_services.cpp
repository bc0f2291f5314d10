#include "app_services.h"

#include "exit_notice.h"

#include "core/data_file.h"
#include "platform/autostart.h"
#include "platform/settings_store.h"
#include "platform/tray_icon.h"

#include <QCoreApplication>
#include <QDir>

namespace quill {

AppServices::AppServices() = default;
AppServices::~AppServices() = default;

QString AppServices::DataFilePath() const {
    return QDir(location.dataDir).filePath(QString::fromUtf8(kDataFileName));
}

std::unique_ptr<AppServices> MakeDefaultServices() {
    auto services = std::make_unique<AppServices>();
    services->exeDir = QCoreApplication::applicationDirPath();
    services->location = CurrentDataLocation();
    services->stateDir = UserStateDir();
    services->settings = std::make_unique<SettingsStore>();
    services->autostart = std::make_unique<Autostart>();
    services->tray = std::make_unique<TrayIcon>();
    return services;
}

} // namespace quill
