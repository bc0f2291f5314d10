#include "about_window.h"

#include "app_services.h"
#include "default_files.h"
#include "platform/media_player.h"
#include "platform/settings_store.h"
#include "platform/shell.h"
#include "platform/tray_icon.h"
#include "platform/window_ops.h"
#include "print/print_job.h"
#include "skin/skin.h"
#include "skin/skin_data.h"
#include "ui/message_form.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <zlib.h>

#include <algorithm>

namespace quill {
namespace {

// The versions the build was made with where a library has no way to ask it.
#ifndef QUILLNOTE_VERSION
#define QUILLNOTE_VERSION "unknown"
#endif
#ifndef QUILLNOTE_XCB_VERSION
#define QUILLNOTE_XCB_VERSION ""
#endif

// A library's own version text ("libsndfile-1.2.0") as the number alone.
QString VersionNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("\\d+(\\.\\d+)*"));
    return number.match(text).captured();
}

bool HasAboutTemplate(const TSkin& skin) {
    const SkinData* data = skin.Data();
    return data && data->manifest.windows.contains(QLatin1String(kAboutTemplate));
}

// The window's client area at design size.
constexpr int kClientWidth = 460;
constexpr int kClientHeight = 400;

QLabel* MakeLabel(const QString& text, QWidget* parent, const char* name) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

// A path the user can select and copy; long paths break at separators.
QLabel* MakePathLabel(const QString& path, QWidget* parent, const char* name) {
    QLabel* label = MakeLabel(QDir::toNativeSeparators(path), parent, name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    label->setToolTip(QDir::toNativeSeparators(path));
    return label;
}

} // namespace

AboutInfo MakeAboutInfo(const AppServices& services) {
    AboutInfo info;
    info.product = QStringLiteral("Tolva Quillnote");
    info.vendor = QStringLiteral("Tolvane");
    info.version = QStringLiteral(QUILLNOTE_VERSION);
    info.dataFile = services.DataFilePath();
    info.settingsFile = services.settings ? services.settings->Location() : QString();
    // Everything the program is linked with and ships (on Windows, beside it).
    info.components = {
        {QStringLiteral("Qt"), QString::fromLatin1(qVersion()), QStringLiteral("LGPL-3.0-only"),
         QStringLiteral("https://www.qt.io/licensing/open-source-lgpl-obligations")},
        {QStringLiteral("zlib"), QString::fromLatin1(zlibVersion()), QStringLiteral("Zlib"),
         QStringLiteral("https://zlib.net/zlib_license.html")},
        {QStringLiteral("libsndfile"), SndfileVersion(), QStringLiteral("LGPL-2.1-or-later"),
         QStringLiteral("https://github.com/libsndfile/libsndfile/blob/master/COPYING")},
        {QStringLiteral("FluidSynth"), FluidsynthVersion(), QStringLiteral("LGPL-2.1-or-later"),
         QStringLiteral("https://github.com/FluidSynth/fluidsynth/blob/master/LICENSE")},
        {QStringLiteral("CUPS"), CupsVersion(), QStringLiteral("Apache-2.0"),
         QStringLiteral("https://github.com/OpenPrinting/cups/blob/master/LICENSE")},
        {QStringLiteral("libxcb"), QStringLiteral(QUILLNOTE_XCB_VERSION), QStringLiteral("MIT"),
         QStringLiteral("https://gitlab.freedesktop.org/xorg/lib/libxcb/-/blob/master/COPYING")},
        {QStringLiteral("Skins, icons and alarm sound"), QString(),
         QStringLiteral("made for Quillnote, \u00a9 Tolvane"), QString()},
    };
    // One name and one version each, whatever form the library gives it in.
    for (AboutComponent& component : info.components)
        component.version = VersionNumber(component.version);
    return info;
}

TAboutForm::TAboutForm(const AboutInfo& info, QWidget* parent) : TForm(parent), info_(info) {
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About %1").arg(info.product));
    SetKeyPreview(true);
    openFolder = [](const QString& dir) { return OpenWithShell(dir); };

    QWidget* client = Client();
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(18, 14, 18, 10);
    layout->setSpacing(6);

    // Product, vendor and version beside the program's icon.
    auto* head = new QHBoxLayout;
    head->setSpacing(14);
    auto* icon = MakeLabel(QString(), client, "IconLabel");
    icon->setPixmap(NormalTrayIcon().pixmap(QSize(48, 48), devicePixelRatioF()));
    icon->setFixedSize(48, 48);
    icon->setScaledContents(true);
    head->addWidget(icon, 0, Qt::AlignTop);
    auto* names = new QVBoxLayout;
    names->setSpacing(2);
    ProductLabel = MakeLabel(info.product, client, "ProductLabel");
    QFont big = ProductLabel->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    ProductLabel->setFont(big);
    names->addWidget(ProductLabel);
    VersionLabel =
        MakeLabel(QStringLiteral("Version %1  \u00b7  %2").arg(info.version, info.vendor), client,
                  "VersionLabel");
    names->addWidget(VersionLabel);
    names->addWidget(
        MakeLabel(QStringLiteral("A to-do list that lives in the tray."), client, "TaglineLabel"));
    head->addLayout(names, 1);
    layout->addLayout(head);
    layout->addSpacing(8);

    // Where the tasks and the settings are kept.
    auto* places = new QGridLayout;
    places->setHorizontalSpacing(10);
    places->setVerticalSpacing(6);
    places->setColumnStretch(1, 1);
    QLabel* dataCaption = MakeLabel(QStringLiteral("Your tasks:"), client, "DataCaption");
    QLabel* settingsCaption = MakeLabel(QStringLiteral("Settings:"), client, "SettingsCaption");
    for (QLabel* caption : {dataCaption, settingsCaption}) {
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
    }
    DataFileLabel = MakePathLabel(info.dataFile, client, "DataFileLabel");
    SettingsLabel = MakePathLabel(info.settingsFile, client, "SettingsLabel");
    OpenDataFolderButton = new QPushButton(QStringLiteral("Open Folder"), client);
    OpenDataFolderButton->setObjectName(QStringLiteral("OpenDataFolderButton"));
    OpenSettingsFolderButton = new QPushButton(QStringLiteral("Open Folder"), client);
    OpenSettingsFolderButton->setObjectName(QStringLiteral("OpenSettingsFolderButton"));
    for (QPushButton* b : {OpenDataFolderButton, OpenSettingsFolderButton}) {
        b->setAutoDefault(false);
        b->setCursor(Qt::PointingHandCursor);
    }
    connect(OpenDataFolderButton, &QPushButton::clicked, this, [this] { OpenDataFolder(); });
    connect(OpenSettingsFolderButton, &QPushButton::clicked, this,
            [this] { OpenSettingsFolder(); });
    places->addWidget(dataCaption, 0, 0, Qt::AlignTop);
    places->addWidget(DataFileLabel, 0, 1);
    places->addWidget(OpenDataFolderButton, 0, 2, Qt::AlignTop);
    places->addWidget(settingsCaption, 1, 0, Qt::AlignTop);
    places->addWidget(SettingsLabel, 1, 1);
    places->addWidget(OpenSettingsFolderButton, 1, 2, Qt::AlignTop);
    layout->addLayout(places);
    layout->addSpacing(8);

    // What the program is built from, and under which licences.
    QLabel* builtCaption =
        MakeLabel(QStringLiteral("Built with, and their licences:"), client, "LicenceCaption");
    QFont bold = builtCaption->font();
    bold.setBold(true);
    builtCaption->setFont(bold);
    layout->addWidget(builtCaption);
    LicenceText = new QTextBrowser(client);
    LicenceText->setObjectName(QStringLiteral("LicenceText"));
    LicenceText->setOpenExternalLinks(true);
    LicenceText->setFocusPolicy(Qt::NoFocus);
    LicenceText->setHtml(LicenceHtml(info));
    layout->addWidget(LicenceText, 1);
    layout->addWidget(MakeLabel(QStringLiteral("\u00a9 %1. All rights reserved.").arg(info.vendor),
                                client, "CopyrightLabel"));

    SetClientSize(kClientWidth, kClientHeight);
}

QString TAboutForm::LicenceHtml(const AboutInfo& info) {
    QString html = QStringLiteral("<table cellspacing='0' cellpadding='3' width='100%'>");
    for (const AboutComponent& c : info.components) {
        const QString name =
            c.version.isEmpty()
                ? c.name.toHtmlEscaped()
                : QStringLiteral("%1 %2").arg(c.name.toHtmlEscaped(), c.version.toHtmlEscaped());
        const QString licence = c.url.isEmpty()
                                    ? c.licence.toHtmlEscaped()
                                    : QStringLiteral("<a href='%1'>%2</a>")
                                          .arg(c.url.toHtmlEscaped(), c.licence.toHtmlEscaped());
        html += QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(name, licence);
    }
    html += QStringLiteral("</table>");
    return html;
}

void TAboutForm::OpenFolderOf(const QString& file) {
    const QString dir = QFileInfo(file).absolutePath();
    // The folder may not exist yet (settings are written when the program closes).
    if (!QFileInfo(dir).isDir()) {
        ShowMessageDialog(QStringLiteral("The folder \"%1\" does not exist yet.")
                              .arg(QDir::toNativeSeparators(dir)),
                          QStringLiteral("Attention"), 0);
        return;
    }
    if (!openFolder || !openFolder(dir))
        ShowMessageDialog(QStringLiteral("The folder \"%1\" could not be opened: no file "
                                         "manager was found.")
                              .arg(QDir::toNativeSeparators(dir)),
                          QStringLiteral("Attention"), 0);
}

void TAboutForm::OpenDataFolder() {
    OpenFolderOf(info_.dataFile);
}

void TAboutForm::OpenSettingsFolder() {
    OpenFolderOf(info_.settingsFile);
}

void TAboutForm::FormShow() {
    // Links take the text's colour of the skin, so they read on dark skins too.
    const QColor text = LicenceText->palette().color(QPalette::Text);
    LicenceText->document()->setDefaultStyleSheet(
        QStringLiteral("a { color: %1; text-decoration: underline; }").arg(text.name()));
    LicenceText->setHtml(LicenceHtml(info_));
}

bool TAboutForm::FormKeyDown(QKeyEvent* event) {
    return CloseOnEnterOrEscape(event);
}

TSkin* AboutSkin(TSkin& current) {
    if (HasAboutTemplate(current))
        return &current;
    // Loaded once, from the program itself: it cannot be missing or replaced.
    static QPointer<TSkin> builtIn;
    if (!builtIn) {
        auto* skin = new TSkin(qApp);
        if (!skin->LoadSkin(QString::fromLatin1(kDefaultSkinResource)) ||
            !HasAboutTemplate(*skin)) {
            delete skin;
            return nullptr;
        }
        builtIn = skin;
    }
    return builtIn;
}

void ShowAboutWindow(const AboutInfo& info, TSkin& current, QWidget* owner,
                     const std::function<void(QWidget*)>& onActivate) {
    static QPointer<TAboutForm> open;
    if (open) {
        WindowOps::BringToFront(open);
        return;
    }
    TAboutForm about(info);
    open = &about;
    if (TSkin* skin = AboutSkin(current)) {
        skin->ApplySkin(&about);
        skin->ApplySkinByName(&about, QLatin1String(kAboutTemplate));
        // The template's OK button closes the window.
        QObject::connect(skin, &TSkin::OnSkinEvent, &about,
                         [&about](ISkinObject* source, const QString& event) {
                             ISkinObject* parent = source ? source->GetParent() : nullptr;
                             if (event == QLatin1String("OnClick") && parent &&
                                 parent->GetName() == QLatin1String(kAboutTemplate) &&
                                 source->GetName() == QLatin1String("OKButton"))
                                 about.SetModalResult(mrOk);
                         });
    }
    if (onActivate)
        QObject::connect(&about, &TForm::Activated, &about,
                         [&about, onActivate] { onActivate(&about); });
    // Centred on the owner when it is shown, else on its screen.
    QRect area = owner && owner->isVisible() ? owner->frameGeometry() : WindowOps::WorkArea(owner);
    QRect frame(QPoint(), about.size());
    frame.moveCenter(area.center());
    const QRect work = WindowOps::WorkArea(owner);
    if (!work.isEmpty()) {
        frame.moveLeft(std::clamp(frame.left(), work.left(), work.right() - frame.width() + 1));
        frame.moveTop(std::clamp(frame.top(), work.top(), work.bottom() - frame.height() + 1));
    }
    about.move(frame.topLeft());
    // Like every other window of the program, no taskbar button of its own.
    WindowOps::SetSkipTaskbar(&about);
    about.ShowModal();
}

} // namespace quill
