#include "support/fake_tray_icon.h"

namespace quill {

FakeTrayIcon::FakeTrayIcon(bool available, QObject* parent)
    : TrayIcon(NoSystemIcon{}, parent), available_(available) {}

void FakeTrayIcon::SetIcon(const QIcon& icon) {
    ++setIconCount;
    TrayIcon::SetIcon(icon);
}

void FakeTrayIcon::SetToolTip(const QString& tip) {
    TrayIcon::SetToolTip(tip);
}

void FakeTrayIcon::Add() {
    ++addCount;
    added_ = true;
}

void FakeTrayIcon::Remove() {
    ++removeCount;
    added_ = false;
}

} // namespace quill
