#pragma once
// A folder of its own for each test: the program's folder (data file, skins,
// sound), its own settings file and autostart folder, a fake tray icon, and a
// recorder in place of the error message box.

#include "app/app_error_handler.h"
#include "app/app_services.h"
#include "app/app_windows.h"
#include "skin/skin.h"
#include "support/fake_tray_icon.h"
#include "support/window_parts.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace quill {

class AppFixture {
public:
    // trayAvailable: what the fake tray answers to IsAvailable().
    explicit AppFixture(bool trayAvailable = true);
    ~AppFixture();

    QString ExeDir() const { return dir_.path(); }
    QString SettingsPath() const;
    QString AutostartDir() const;
    // The data file; once the windows exist, after the saves asked for so far.
    QString DataPath() const;
    FakeTrayIcon& Tray() const;
    AppServices& Services() { return *services_; }
    // The settings file as another program would see it.
    QString StoredValue(const QString& name) const;
    void Store(const QString& name, const QVariant& value);

    // Copies a skin the build made (<bin>/Skins/<name>.skn) into `subdir`.
    void InstallSkin(const QString& name, const QString& subdir = QStringLiteral("Skins"),
                     const QString& asName = QString());

    // Creates the eight windows.
    TMainForm* CreateWindows();
    // Shows the main window and waits for its first activation.
    bool ShowAndActivate();
    AppWindows* Windows() const { return windows_.get(); }
    TMainForm* Main() const { return windows_ ? windows_->MainForm() : nullptr; }

    QStringList errors; // what the top-level error handler was asked to show

private:
    QTemporaryDir dir_;
    std::unique_ptr<AppServices> services_;
    std::unique_ptr<AppWindows> windows_;
    ErrorPresenter previous_;
};

// A skin button for the event table.
class FakeSkinObject : public ISkinObject {
public:
    FakeSkinObject(QString name, ISkinObject* parent) : name_(std::move(name)), parent_(parent) {}
    QString GetName() const override { return name_; }
    ISkinObject* GetParent() const override { return parent_; }

private:
    QString name_;
    ISkinObject* parent_;
};

} // namespace quill
