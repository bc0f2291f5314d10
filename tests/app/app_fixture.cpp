#include "app_fixture.h"

#include "app/main_form.h"
#include "platform/autostart.h"
#include "platform/settings_store.h"
#include "support/fake_tray_icon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>

namespace quill {

AppFixture::AppFixture(bool trayAvailable) {
    services_ = std::make_unique<AppServices>();
    services_->exeDir = dir_.path();
    services_->location.dataDir = dir_.path();
    services_->stateDir = QDir(dir_.path()).filePath("state");
    QDir(dir_.path()).mkpath(QStringLiteral("cfg"));
    services_->settings = std::make_unique<SettingsStore>(SettingsPath());
    services_->autostart =
        std::make_unique<Autostart>(AutostartDir(), QDir(dir_.path()).filePath("quillnote"));
    services_->tray = std::make_unique<FakeTrayIcon>(trayAvailable);
    previous_ = SetErrorPresenter([this](const QString& message) { errors << message; });
}

AppFixture::~AppFixture() {
    windows_.reset();
    SetErrorPresenter(previous_);
}

QString AppFixture::SettingsPath() const {
    return QDir(dir_.path()).filePath("cfg/Quillnote.ini");
}
QString AppFixture::AutostartDir() const {
    return QDir(dir_.path()).filePath("autostart");
}
QString AppFixture::DataPath() const {
    // The program saves in the background: a test reads the file as the saves
    // asked for so far leave it.
    if (TMainForm* main = Main())
        main->DataFile().WaitForSaves();
    return QDir(dir_.path()).filePath("quillnote.dat");
}
FakeTrayIcon& AppFixture::Tray() const {
    return static_cast<FakeTrayIcon&>(*services_->tray);
}

QString AppFixture::StoredValue(const QString& name) const {
    QSettings ini(SettingsPath(), QSettings::IniFormat);
    return ini.value(name).toString();
}

void AppFixture::Store(const QString& name, const QVariant& value) {
    services_->settings->WriteString(name, value.toString());
}

void AppFixture::InstallSkin(const QString& name, const QString& subdir, const QString& asName) {
    const QString from =
        QDir(QCoreApplication::applicationDirPath()).filePath("Skins/" + name + ".skn");
    QDir(dir_.path()).mkpath(subdir);
    const QString to =
        QDir(dir_.path()).filePath(subdir + "/" + (asName.isEmpty() ? name : asName) + ".skn");
    QFile::remove(to);
    if (!QFile::copy(from, to))
        qFatal("cannot copy skin %s", qPrintable(from));
}

TMainForm* AppFixture::CreateWindows() {
    windows_ = std::make_unique<AppWindows>(*services_);
    return windows_->MainForm();
}

bool AppFixture::ShowAndActivate() {
    TMainForm* main = Main();
    main->show();
    main->activateWindow();
    return QTest::qWaitFor([main] { return main->HasActivated(); }, 3000);
}

} // namespace quill
