#pragma once
// A tray icon for tests: records calls instead of touching the desktop;
// `available` says what IsAvailable() answers. Tests emit LeftButtonDown /
// RightButtonDown themselves.

#include "platform/tray_icon.h"

namespace quill {

class FakeTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    explicit FakeTrayIcon(bool available = true, QObject* parent = nullptr);
    void SetIcon(const QIcon& icon) override;
    void SetToolTip(const QString& tip) override;
    void Add() override;
    void Remove() override;
    bool IsAdded() const override { return added_; }
    bool IsAvailable() const override { return available_; }
    void SetAvailable(bool available) { available_ = available; }

    int addCount = 0;
    int removeCount = 0;
    int setIconCount = 0;

private:
    bool available_;
    bool added_ = false;
};

} // namespace quill
