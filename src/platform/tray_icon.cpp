#include "platform/tray_icon.h"

#include "platform/resources.h"

#include <QCursor>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace quill {

namespace {

QIcon IconFromResources(const QString& stem) {
    InitPlatformResources();
    // Read as PNG only: QIcon::addFile, and a reader that may guess the format, ask
    // every image plugin about the file first, loading each plugin library.
    QIcon icon;
    for (int side : {16, 32}) {
        QImageReader reader(QStringLiteral(":/icons/%1-%2.png").arg(stem).arg(side), "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

QIcon NormalTrayIcon() {
    return IconFromResources(QStringLiteral("tray-normal"));
}
QIcon BlinkTrayIcon() {
    return IconFromResources(QStringLiteral("tray-blink"));
}

TrayIcon::TrayIcon(QObject* parent) : QObject(parent), system_(true) {}

// The system icon is made when it first goes to the tray: making it asks the
// session bus whether a StatusNotifier host exists (starting dbus-launch where
// there is no bus), which cost the start-up several milliseconds before the
// window was painted.
void TrayIcon::CreateSystemIcon() {
    if (sys_ || !system_)
        return;
    sys_ = new QSystemTrayIcon(this);
    sys_->setIcon(icon_);
    sys_->setToolTip(tip_);
    connect(sys_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                // A press of the left button; the second press of a double click
                // arrives as DoubleClick and, like any other button, is not reported.
                case QSystemTrayIcon::Trigger:
                    Q_EMIT LeftButtonDown();
                    break;
                case QSystemTrayIcon::Context:
                    Q_EMIT RightButtonDown(QCursor::pos());
                    break;
                default:
                    break;
                }
            });
}

TrayIcon::TrayIcon(NoSystemIcon, QObject* parent) : QObject(parent) {}

TrayIcon::~TrayIcon() = default;

void TrayIcon::SetIcon(const QIcon& icon) {
    icon_ = icon;
    if (sys_)
        sys_->setIcon(icon);
}

void TrayIcon::SetToolTip(const QString& tip) {
    tip_ = tip;
    if (sys_)
        sys_->setToolTip(tip);
}

void TrayIcon::Add() {
    added_ = true;
    CreateSystemIcon();
    if (sys_)
        sys_->show();
}

void TrayIcon::Remove() {
    added_ = false;
    if (sys_)
        sys_->hide();
}

bool TrayIcon::IsAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace quill
