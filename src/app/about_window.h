#pragma once
// The about window: what the user has (product, vendor, version, the libraries
// it runs on and their licences) and where their data and settings live, with
// buttons that open those folders. Closes with its OK button, Enter or Escape.
// Its look is the template "AboutForm" of the current skin when that skin has
// one, otherwise that of the skin built into the program.

#include "widgets/form.h"

#include <QString>
#include <QVector>
#include <functional>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace quill {

struct AppServices;
class TSkin;

inline constexpr const char* kAboutTemplate = "AboutForm";

struct AboutComponent {
    QString name;
    QString version; // may be empty
    QString licence; // the licence's name, e.g. "LGPL-3.0-only"
    QString url;     // where its source and licence text are published
};

struct AboutInfo {
    QString product;
    QString vendor;
    QString version;
    QVector<AboutComponent> components;
    QString dataFile;
    QString settingsFile;
};

// What the about window tells: product, vendor, the build's version, the
// libraries with their versions and licences, the data file and settings paths.
AboutInfo MakeAboutInfo(const AppServices& services);

class TAboutForm : public TForm {
    Q_OBJECT
public:
    explicit TAboutForm(const AboutInfo& info, QWidget* parent = nullptr);

    // Opens a folder with the desktop's file manager; answers whether it could.
    // Replaceable for tests.
    std::function<bool(const QString&)> openFolder;

protected:
    bool FormKeyDown(QKeyEvent* event) override;
    void FormShow() override;

private:
    // The licence list as HTML (what LicenceText shows).
    static QString LicenceHtml(const AboutInfo& info);
    void OpenDataFolder();
    void OpenSettingsFolder();
    void OpenFolderOf(const QString& file);

    QLabel* ProductLabel = nullptr;
    QLabel* VersionLabel = nullptr;
    QLabel* DataFileLabel = nullptr;
    QLabel* SettingsLabel = nullptr;
    QPushButton* OpenDataFolderButton = nullptr;
    QPushButton* OpenSettingsFolderButton = nullptr;
    QTextBrowser* LicenceText = nullptr;
    AboutInfo info_;
};

// The skin that draws the about window: `current` when it carries the about
// template, else the program's built-in skin (nullptr if even that is unusable).
TSkin* AboutSkin(TSkin& current);

// Shows the about window modally, centred on `owner`; `onActivate` runs when it
// comes to the front (the stay-on-top rule). A second call while it is open
// brings the open one forward.
void ShowAboutWindow(const AboutInfo& info, TSkin& current, QWidget* owner,
                     const std::function<void(QWidget*)>& onActivate);

} // namespace quill
