#include "about_window.h"

#include "app_services.h"
#include "default_files.h"
#include "platform/media_player.h"
#include "platform/settings_store.h"
#include "platform/window_ops.h"
#include "print/print_job.h"
#include "skin/skin.h"
#include "skin/skin_data.h"

#include <QApplication>
#include <QPointer>
#include <QRegularExpression>
#include <QScreen>
#include <zip.h>
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
        {QStringLiteral("libzip"), QString::fromLatin1(zip_libzip_version()),
         QStringLiteral("BSD-3-Clause"), QStringLiteral("https://libzip.org/license/")},
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
