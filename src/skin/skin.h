#pragma once
// The skin engine: one TSkin draws every window of the program from a ".skn"
// file (a ZIP archive with a JSON manifest and PNG images, see docs/skin-format.md).

#include "skin_params.h"

#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <memory>

class QPainter;
class QWidget;

namespace quill {

class TForm;

// A named object of the skin (a template button, or the window template that is
// its parent). Sources of OnSkinEvent.
class ISkinObject {
public:
    virtual ~ISkinObject() = default;
    virtual QString GetName() const = 0;
    // The window template a button belongs to; nullptr for a template itself.
    virtual ISkinObject* GetParent() const = 0;
};

struct SkinImageInfo {
    int width = 0; // logical pixels (the 1x size)
    int height = 0;
};

class SkinData; // the parsed contents of one skin file

// A skin file read on another thread: its archive opened, its pictures decoded
// and the control pictures written, while start-up goes on making the window.
// TSkin::LoadSkin takes the result; the destructor waits for the thread.
class SkinFileReading {
public:
    explicit SkinFileReading(const QString& path);
    ~SkinFileReading();
    SkinFileReading(const SkinFileReading&) = delete;
    SkinFileReading& operator=(const SkinFileReading&) = delete;
    const QString& Path() const { return path_; }
    struct Result; // what the thread gives, for TSkin::LoadSkin

private:
    friend class TSkin;
    Result Take(); // waits for the thread; once
    QString path_;
    struct Thread;
    std::unique_ptr<Thread> thread_;
};

class TSkin : public QObject {
    Q_OBJECT
public:
    explicit TSkin(QObject* parent = nullptr);
    ~TSkin() override;

    // Replaces the skin's contents by the file's. A missing, foreign or damaged
    // file leaves the previous skin in place, returns false and says why in `error`.
    bool LoadSkin(const QString& path, QString* error = nullptr);
    // The same with a file read on another thread (waits for it).
    bool LoadSkin(SkinFileReading& reading, QString* error = nullptr);
    bool IsLoaded() const;

    // The description text ("key=value;..."), parsed by LoadInforInDescription.
    QString GetDescription() const;

    // The window and its child controls take the skin's generic look.
    void ApplySkin(QWidget* window);
    // The window takes the named template: frame, title bar, background, buttons.
    // A window template applies to top-level windows (a TForm places its client
    // area inside the frame); "VScrollBar" and "Label" apply to those controls.
    void ApplySkinByName(QWidget* window, const QString& templateName);
    // The window's generic look, its template and its controls' templates, as
    // the window names them (TForm::SetSkinTemplate).
    void ApplyWindow(TForm* window);
    // The window wears the skin from now on: ApplyWindow each time it shows
    // (a later LoadSkin restyles it like every other window).
    void Attach(TForm* window);

    int GetImageCount() const;
    QString GetImageName(int index) const;
    SkinImageInfo GetImageInfo(int index) const;
    // The image at the best resolution the skin has for `devicePixelRatio`; the
    // pixmap carries its device pixel ratio, so it paints at the logical size.
    QPixmap GetImage(int index, qreal devicePixelRatio = 1.0) const;
    // Draws image `index` into the painter's device at x, y with size w x h.
    void DrawToDC(int index, QPainter& painter, int x, int y, int w, int h) const;

    // Background colour for the list grids (clWindow until a skin is loaded).
    TColor WindowColor() const;

    // The name the skin's manifest gives itself; empty until a skin is loaded.
    QString Name() const;
    // The parsed skin (manifest and pictures); nullptr until a skin is loaded.
    const SkinData* Data() const;
    // The device pixel ratio pictures are best copied at: the largest of the screens'.
    qreal PreferredDevicePixelRatio() const;
    // Names of the templates `widget` has taken (empty string = the generic look).
    QStringList AppliedTemplates(const QWidget* widget) const;

Q_SIGNALS:
    // Raised when a template button is clicked: eventName is "OnClick".
    void OnSkinEvent(quill::ISkinObject* source, const QString& eventName);
    // A new skin was loaded and every window that had taken a template restyled.
    void SkinLoaded();

private:
    bool Install(SkinFileReading::Result loaded, QString* error);
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace quill
