#include "skin.h"

#include "skin_colors.h"
#include "skin_data.h"
#include "skin_frame.h"
#include "skin_style.h"
#include "widgets/form.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <future>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace quill {
namespace {
const char* const kOwnStyleSheet = "quill_own_stylesheet";
// Which loaded skin last styled a widget, per kind of styling: re-applying the
// same skin (windows do it on every activation) then costs nothing.
const char* const kGenericStamp = "quill_skin_generic";
const char* const kControlStamp = "quill_skin_control";
// Unique over every engine of the process, so two engines never share a stamp.
qulonglong NextGeneration() {
    static qulonglong counter = 0;
    return ++counter;
}
const QString kGeneric; // the generic look, in the list of applied templates
} // namespace

class TSkin::Private {
public:
    struct Applied {
        QPointer<QWidget> widget;
        QString templ;
    };

    std::shared_ptr<SkinData> data;
    qulonglong generation = 0;                 // counts successful loads
    std::unique_ptr<QTemporaryDir> pictureDir; // control pictures the style sheets name
    QVector<Applied> applied;
    QSet<QWidget*> applying;       // windows inside ApplySkinByName right now
    QSet<const QObject*> attached; // windows that apply the skin when they show

    void Remember(QWidget* widget, const QString& templ) {
        for (const Applied& a : applied) {
            if (a.widget == widget && a.templ == templ)
                return;
        }
        applied.push_back({widget, templ});
    }
    void Prune() {
        applied.erase(std::remove_if(applied.begin(), applied.end(),
                                     [](const Applied& a) { return a.widget.isNull(); }),
                      applied.end());
    }
};

// What reading a skin file gives: the skin and the folder its control pictures
// were written to, or why the file was refused.
struct SkinFileReading::Result {
    std::unique_ptr<SkinData> data;
    std::unique_ptr<QTemporaryDir> pictureDir;
    QString error;
};

struct SkinFileReading::Thread {
    std::future<Result> result;
};

namespace {
// Everything loading a skin does that touches no window; safe on any thread.
SkinFileReading::Result ReadSkinAndPictures(const QString& path) {
    SkinFileReading::Result r;
    r.data = ReadSkinFile(path, &r.error);
    if (!r.data)
        return r;
    r.pictureDir = std::make_unique<QTemporaryDir>();
    if (!r.pictureDir->isValid() || !WriteControlPictures(*r.data, r.pictureDir->path()))
        r.pictureDir.reset(); // controls then go without check and arrow pictures
    // Every picture was decoded to check it; the 2x ones are kept only as read.
    for (const SkinPicture& picture : r.data->pictures)
        picture.Forget2x();
    return r;
}
} // namespace

SkinFileReading::SkinFileReading(const QString& path)
    : path_(path), thread_(std::make_unique<Thread>()) {
    try {
        thread_->result = std::async(std::launch::async, ReadSkinAndPictures, path);
    } catch (const std::system_error&) {
        // No thread to be had: Take reads the file itself.
    }
}

SkinFileReading::~SkinFileReading() {
    if (thread_->result.valid())
        thread_->result.wait();
}

SkinFileReading::Result SkinFileReading::Take() {
    if (thread_->result.valid())
        return thread_->result.get();
    return ReadSkinAndPictures(path_);
}

TSkin::TSkin(QObject* parent) : QObject(parent), d(std::make_unique<Private>()) {}

// Frames stay on their windows as pictures; their buttons hold the engine by a
// guarded pointer and stop reporting once it is gone.
TSkin::~TSkin() = default;

bool TSkin::LoadSkin(const QString& path, QString* error) {
    return Install(ReadSkinAndPictures(path), error);
}

bool TSkin::LoadSkin(SkinFileReading& reading, QString* error) {
    const bool loaded = Install(reading.Take(), error);
#ifdef __GLIBC__
    // What the reading thread no longer holds (the archive's bytes, pictures
    // decoded only to be checked) goes back to the system rather than staying in
    // that thread's heap for the whole run.
    malloc_trim(0);
#endif
    return loaded;
}

bool TSkin::Install(SkinFileReading::Result loaded, QString* error) {
    if (!loaded.data) {
        if (error)
            *error = loaded.error;
        return false;
    }
    d->data = std::move(loaded.data);
    d->generation = NextGeneration();
    // The old pictures stay on disk until every window has its new style sheet.
    std::unique_ptr<QTemporaryDir> pictureDir = std::move(loaded.pictureDir);
    std::swap(d->pictureDir, pictureDir);

    d->Prune();
    const auto applied = d->applied;
    for (const auto& a : applied) {
        if (!a.widget)
            continue;
        if (a.templ.isEmpty())
            ApplySkin(a.widget);
        else
            ApplySkinByName(a.widget, a.templ);
    }
    if (error)
        error->clear();
    Q_EMIT SkinLoaded();
    return true;
}

bool TSkin::IsLoaded() const {
    return d->data != nullptr;
}

QString TSkin::GetDescription() const {
    return d->data ? d->data->manifest.description : QString();
}

QString TSkin::Name() const {
    return d->data ? d->data->manifest.name : QString();
}

const SkinData* TSkin::Data() const {
    return d->data.get();
}

qreal TSkin::PreferredDevicePixelRatio() const {
    qreal best = 1.0;
    for (QScreen* screen : QGuiApplication::screens())
        best = std::max(best, screen->devicePixelRatio());
    return best;
}

QStringList TSkin::AppliedTemplates(const QWidget* widget) const {
    QStringList out;
    for (const auto& a : d->applied) {
        if (a.widget == widget)
            out.push_back(a.templ);
    }
    return out;
}

void TSkin::ApplySkin(QWidget* window) {
    if (!window || !d->data)
        return;
    d->Remember(window, kGeneric);
    if (window->property(kGenericStamp).toULongLong() == d->generation)
        return;
    window->setProperty(kGenericStamp, d->generation);
    const SkinData& data = *d->data;
    // Colours reach the controls through the style sheet; a palette set on the
    // window as well would be overridden unevenly under a style sheet.
    if (SetsFont(data.manifest.controls.font))
        window->setFont(SkinFont(data.manifest.controls.font, window->font()));
    // A window's own style sheet is kept in front of the skin's.
    if (!window->property(kOwnStyleSheet).isValid())
        window->setProperty(kOwnStyleSheet, window->styleSheet());
    const QString own = window->property(kOwnStyleSheet).toString();
    const QString dir = d->pictureDir ? d->pictureDir->path() : QString();
    // Cleared first: replacing one style sheet by another directly can leave
    // children with the palette of the old one. A window without one has nothing
    // to clear (and clearing restyles every child once more).
    if (!window->styleSheet().isEmpty())
        window->setStyleSheet(QString());
    window->setStyleSheet(BuildControlsStyleSheet(data, dir) + own);
}

void TSkin::ApplyWindow(TForm* window) {
    if (!window)
        return;
    ApplySkin(window);
    ApplySkinByName(window, window->SkinTemplate());
    for (const TForm::SkinnedPart& part : window->SkinnedParts())
        ApplySkinByName(part.control, part.templateName);
}

void TSkin::Attach(TForm* window) {
    if (!window || d->attached.contains(window))
        return;
    d->attached.insert(window);
    connect(window, &QObject::destroyed, this, [this, window] { d->attached.remove(window); });
    connect(window, &TForm::Showing, this, [this, window] { ApplyWindow(window); });
}

void TSkin::ApplySkinByName(QWidget* window, const QString& templateName) {
    if (!window || !d->data)
        return;
    const SkinManifest& m = d->data->manifest;
    const bool control =
        templateName == ScrollBarTemplateName() || templateName == LabelTemplateName();
    if (control) {
        if (templateName == ScrollBarTemplateName() && !qobject_cast<QScrollBar*>(window))
            return;
        d->Remember(window, templateName);
        if (window->property(kControlStamp).toULongLong() == d->generation)
            return;
        window->setProperty(kControlStamp, d->generation);
        if (templateName == ScrollBarTemplateName())
            window->setStyleSheet(BuildScrollBarStyleSheet(m.scrollBar));
        else
            ApplyLabelTemplate(window, m.label);
        return;
    }
    const auto found = m.windows.constFind(templateName);
    if (found == m.windows.constEnd())
        return; // a name the skin does not know leaves the window as it is

    // The same template of the same skin is already there: nothing to redo.
    SkinWindowFrame* current = SkinWindowFrame::Of(window);
    if (current && current->TemplateName() == templateName && current->Data() == d->data.get()) {
        if (auto* form = qobject_cast<TForm*>(window);
            form && form->FrameMargins() != found->margins)
            form->SetFrameMargins(found->margins);
        d->Remember(window, templateName);
        return;
    }
    // Making a shown window frameless hides and shows it again, and windows apply
    // their templates when shown: that nested call must not add a second frame.
    if (d->applying.contains(window))
        return;
    d->applying.insert(window);
    // A window wears one template: the previous one (of this or another skin)
    // goes first, buttons and their hookups with it.
    for (SkinWindowFrame* old :
         window->findChildren<SkinWindowFrame*>(Qt::FindDirectChildrenOnly)) {
        old->Detach();
        old->setParent(nullptr);
        old->deleteLater();
    }
    for (auto& a : d->applied) {
        if (a.widget == window && !a.templ.isEmpty() && m.windows.contains(a.templ))
            a.widget = nullptr;
    }
    d->Prune();

    if (window->isWindow() && !(window->windowFlags() & Qt::FramelessWindowHint)) {
        const bool visible = window->isVisible();
        window->setWindowFlags(window->windowFlags() | Qt::FramelessWindowHint);
        if (visible)
            window->show();
    }
    if (auto* form = qobject_cast<TForm*>(window))
        form->SetFrameMargins(found->margins);

    QPointer<TSkin> self(this);
    new SkinWindowFrame(d->data, *found, window, [self](SkinButton* button) {
        if (self)
            Q_EMIT self->OnSkinEvent(button, QStringLiteral("OnClick"));
    });
    d->applying.remove(window);
    d->Remember(window, templateName);
}

int TSkin::GetImageCount() const {
    return d->data ? static_cast<int>(d->data->pictures.size()) : 0;
}

QString TSkin::GetImageName(int index) const {
    if (index < 0 || index >= GetImageCount())
        return {};
    return d->data->pictures[index].name;
}

SkinImageInfo TSkin::GetImageInfo(int index) const {
    if (index < 0 || index >= GetImageCount())
        return {};
    const QSize s = d->data->pictures[index].logicalSize();
    return {s.width(), s.height()};
}

QPixmap TSkin::GetImage(int index, qreal devicePixelRatio) const {
    if (index < 0 || index >= GetImageCount())
        return {};
    return SkinData::Pixmap(d->data->pictures[index], devicePixelRatio);
}

void TSkin::DrawToDC(int index, QPainter& painter, int x, int y, int w, int h) const {
    if (index < 0 || index >= GetImageCount() || w <= 0 || h <= 0)
        return;
    const QPixmap pm =
        GetImage(index, painter.device() ? painter.device()->devicePixelRatioF() : 1.0);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(x, y, w, h), pm);
    painter.restore();
}

TColor TSkin::WindowColor() const {
    return d->data ? d->data->manifest.windowColor : (0xFF000000u + 5); // clWindow
}

} // namespace quill
