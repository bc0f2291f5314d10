#pragma once
// The base of every window of the program: a client area the window's controls
// live in (the skin's frame goes around it), modal results, and the
// create/show/activate/close-query life cycle with key preview.

#include <QMargins>
#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>
#include <functional>
#include <vector>

class QEventLoop;
class QKeyEvent;

namespace quill {

enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    // The area the window's controls are placed in, at design coordinates.
    QWidget* Client() const { return client_; }
    void SetClientSize(int width, int height);
    QSize ClientSize() const;

    // Room the skin's frame takes around the client area (borders, title bar).
    void SetFrameMargins(const QMargins& margins);
    // While set, a new frame keeps the window's outer size and gives the client
    // what is left, with no resize of the window at all (a window manager answers
    // resize requests late, so an intermediate size could stick).
    void KeepOuterSizeOnFrameChange(bool keep) { keepOuterSize_ = keep; }
    QMargins FrameMargins() const { return frameMargins_; }

    // Shows the window modally and returns its modal result once it closes;
    // closing it any other way (Escape, the frame) gives mrCancel.
    int ShowModal();
    bool IsShowingModal() const { return modalLoop_ != nullptr; }
    void SetModalResult(int result);
    int GetModalResult() const { return modalResult_; }

    // Seen before the focused control gets it: return true to consume the key.
    void SetKeyPreview(bool on) { keyPreview_ = on; }

    // A control that wears a skin template of its own ("Label", "VScrollBar").
    struct SkinnedPart {
        QPointer<QWidget> control;
        QString templateName;
    };
    // The skin template the window wears ("EditTaskForm"...) and its controls
    // that wear one of their own; the skin applies them whenever the window shows.
    void SetSkinTemplate(const QString& windowTemplate, QVector<SkinnedPart> parts = {}) {
        skinTemplate_ = windowTemplate;
        skinnedParts_ = std::move(parts);
    }
    const QString& SkinTemplate() const { return skinTemplate_; }
    const QVector<SkinnedPart>& SkinnedParts() const { return skinnedParts_; }

Q_SIGNALS:
    void ClientResized();
    // Raised as the window is about to be shown, before FormShow.
    void Showing();
    void Activated();

protected:
    virtual void FormShow() {}
    virtual void FormActivate() {}
    virtual bool FormCloseQuery() { return true; }
    // A modal showing ends with `modalResult`; the window is still on screen.
    virtual void FormClose(int /*modalResult*/) {}
    virtual bool FormKeyDown(QKeyEvent*) { return false; }
    virtual bool FormKeyUp(QKeyEvent*) { return false; }
    virtual bool FormKeyPress(QKeyEvent*) { return false; }
    // For a FormKeyDown that only confirms and cancels: Enter (either key) closes
    // with OK, Escape with Cancel; true when the key was one of them.
    bool CloseOnEnterOrEscape(const QKeyEvent* event);

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeClient();
    bool ownsWidget(QObject* object) const;

    QWidget* client_ = nullptr;
    QMargins frameMargins_;
    bool keepOuterSize_ = false;
    QEventLoop* modalLoop_ = nullptr;
    int modalResult_ = mrNone;
    bool keyPreview_ = false;
    bool filterInstalled_ = false;
    QString skinTemplate_;
    QVector<SkinnedPart> skinnedParts_;
};

// A window made the first time something needs it: start-up makes only the
// main window. What the program wires to the window (signals, sources, the skin)
// is given to WhenMade and runs as the window is made, or at once if it exists.
template <class W> class OnDemand {
public:
    using Maker = std::function<W*()>;
    OnDemand() = default;
    explicit OnDemand(Maker make) : make_(std::move(make)) {}
    // A window that exists already (tests, and windows that are never deferred).
    explicit OnDemand(W* window) : window_(window), made_(true) {}
    OnDemand(const OnDemand&) = delete;
    OnDemand& operator=(const OnDemand&) = delete;

    void SetMaker(Maker make) { make_ = std::move(make); }
    // The window, made now if it was not yet (nullptr without a maker).
    W* operator()() {
        if (!made_ && make_) {
            made_ = true; // once: a window that was destroyed is not made again
            window_ = make_();
            for (const auto& wire : whenMade_)
                wire(window_);
        }
        return window_;
    }
    // The window if it was made; nothing is made for a question that a window
    // nobody opened answers anyway (is it visible, refresh its list).
    W* IfMade() const { return window_; }
    void WhenMade(std::function<void(W*)> wire) {
        whenMade_.push_back(std::move(wire));
        if (window_)
            whenMade_.back()(window_);
    }

private:
    Maker make_;
    QPointer<W> window_;
    bool made_ = false;
    std::vector<std::function<void(W*)>> whenMade_;
};

} // namespace quill
