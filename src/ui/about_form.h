#pragma once
// The about window: what the user has (product, vendor, version, the libraries
// it runs on and their licences) and where their data and settings live, with
// buttons that open those folders. Closes with its OK button, Enter or Escape.

#include "widgets/form.h"

#include <QString>
#include <QVector>
#include <functional>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace quill {

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

class TAboutForm : public TForm {
    Q_OBJECT
public:
    explicit TAboutForm(const AboutInfo& info, QWidget* parent = nullptr);

    // Opens a folder with the desktop's file manager; answers whether it could.
    // Replaceable for tests.
    std::function<bool(const QString&)> openFolder;

    QLabel* ProductLabel = nullptr;
    QLabel* VersionLabel = nullptr;
    QLabel* DataFileLabel = nullptr;
    QLabel* SettingsLabel = nullptr;
    QPushButton* OpenDataFolderButton = nullptr;
    QPushButton* OpenSettingsFolderButton = nullptr;
    QTextBrowser* LicenceText = nullptr;

    void OpenDataFolder();
    void OpenSettingsFolder();

    // The licence list as HTML (what LicenceText shows).
    static QString LicenceHtml(const AboutInfo& info);

protected:
    bool FormKeyDown(QKeyEvent* event) override;
    void FormShow() override;

private:
    void OpenFolderOf(const QString& file);
    AboutInfo info_;
};

} // namespace quill
