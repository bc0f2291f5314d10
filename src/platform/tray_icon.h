#pragma once
// The notification-area icon. A left click reports LeftButtonDown, a right click
// RightButtonDown with the pointer position (where the caller pops its menu).
//
// Where the desktop has no tray (IsAvailable() false), nothing the icon offers can
// be reached: a caller that would hide its main window must minimise it instead.

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>

class QSystemTrayIcon;

namespace quill {

class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    virtual void SetIcon(const QIcon& icon);
    virtual void SetToolTip(const QString& tip);
    // Shows the icon in the tray (once a tray exists, the icon appears by itself).
    virtual void Add();
    virtual void Remove();
    virtual bool IsAdded() const { return added_; }
    // A tray exists on this desktop right now.
    virtual bool IsAvailable() const;

    QIcon Icon() const { return icon_; }
    QString ToolTip() const { return tip_; }

Q_SIGNALS:
    void LeftButtonDown();
    void RightButtonDown(QPoint globalPos);

protected:
    // For test doubles (tests/support/fake_tray_icon.h): no system tray icon is created.
    struct NoSystemIcon {};
    TrayIcon(NoSystemIcon, QObject* parent);

private:
    void CreateSystemIcon();

    bool system_ = false; // a real icon (not a test double), made on the first Add()
    QSystemTrayIcon* sys_ = nullptr;
    QIcon icon_;
    QString tip_;
    bool added_ = false;
};

// The program's two tray pictures (16 x 16 and 32 x 32 in one icon each):
// a green diamond outline, and the blink phase with a white clock face on it.
QIcon NormalTrayIcon();
QIcon BlinkTrayIcon();

} // namespace quill
