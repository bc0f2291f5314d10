#include "skin_style.h"

#include <QDir>
#include <QImage>
#include <QTransform>
#include <QWidget>

namespace quill {
namespace {

QString Css(const QColor& c) {
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue())
        .arg(c.alpha());
}

bool WritePicture(const SkinPicture& picture, const QString& dir, const QString& name,
                  const QTransform& transform) {
    const QString base = QDir(dir).filePath(name);
    bool ok = picture.image1x().transformed(transform).save(base + QStringLiteral(".png"), "PNG");
    if (!picture.image2x().isNull())
        ok = picture.image2x().transformed(transform).save(base + QStringLiteral("@2x.png"),
                                                           "PNG") &&
             ok;
    return ok;
}

QString Url(const QString& dir, const QString& name) {
    // Qt picks "name@2x.png" beside it on high-density screens.
    return QStringLiteral("url(\"%1\")").arg(QDir(dir).filePath(name + QStringLiteral(".png")));
}

} // namespace

bool WriteControlPictures(const SkinData& data, const QString& dir) {
    bool ok = true;
    if (const SkinPicture* check = data.Find(data.manifest.controls.checkImage))
        ok = WritePicture(*check, dir, QStringLiteral("check"), {}) && ok;
    if (const SkinPicture* arrow = data.Find(data.manifest.controls.arrowImage)) {
        ok = WritePicture(*arrow, dir, QStringLiteral("arrow"), {}) && ok;
        ok = WritePicture(*arrow, dir, QStringLiteral("arrowup"), QTransform().rotate(180)) && ok;
    }
    return ok;
}

QPalette BuildControlsPalette(const SkinControlsLook& c, const QPalette& base) {
    QPalette p = base;
    p.setColor(QPalette::Window, c.window);
    p.setColor(QPalette::WindowText, c.text);
    p.setColor(QPalette::Base, c.base);
    p.setColor(QPalette::AlternateBase, c.alternateBase);
    p.setColor(QPalette::Text, c.text);
    p.setColor(QPalette::Button, c.button);
    p.setColor(QPalette::ButtonText, c.buttonText);
    p.setColor(QPalette::Highlight, c.highlight);
    p.setColor(QPalette::HighlightedText, c.highlightText);
    p.setColor(QPalette::PlaceholderText, c.placeholder);
    p.setColor(QPalette::ToolTipBase, c.base);
    p.setColor(QPalette::ToolTipText, c.text);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, c.disabledText);
    return p;
}

QString BuildControlsStyleSheet(const SkinData& data, const QString& dir) {
    const SkinControlsLook& c = data.manifest.controls;
    const bool hasCheck = !dir.isEmpty() && data.Find(c.checkImage);
    const bool hasArrow = !dir.isEmpty() && data.Find(c.arrowImage);
    const QString r = QString::number(c.radius);
    QString s;
    // Colours go into the style sheet, not only the palette: under a style sheet
    // Qt gives every widget the application's palette.
    s += QStringLiteral("QWidget { color: %1; selection-background-color: %2;"
                        " selection-color: %3; }\n"
                        "QWidget:disabled { color: %4; }\n")
             .arg(Css(c.text), Css(c.highlight), Css(c.highlightText), Css(c.disabledText));
    s += QStringLiteral(
             "QLineEdit, QPlainTextEdit, QTextEdit, QAbstractSpinBox, QComboBox {"
             " background: %1; color: %2; border: 1px solid %3; border-radius: %4px;"
             " selection-background-color: %5; selection-color: %6; }\n"
             "QLineEdit, QComboBox { padding: 1px 4px; }\n"
             "QAbstractSpinBox { padding: 1px 2px; }\n"
             "QLineEdit:focus, QPlainTextEdit:focus, QTextEdit:focus, QAbstractSpinBox:focus,"
             " QComboBox:focus, QComboBox:on { border-color: %7; }\n"
             "QLineEdit:disabled, QPlainTextEdit:disabled, QAbstractSpinBox:disabled,"
             " QComboBox:disabled { color: %8; }\n")
             .arg(Css(c.base), Css(c.text), Css(c.border), r, Css(c.highlight),
                  Css(c.highlightText), Css(c.focusBorder), Css(c.disabledText));
    s += QStringLiteral(
             "QComboBox::drop-down, QDateTimeEdit::drop-down { subcontrol-origin: padding;"
             " subcontrol-position: center right; width: 16px; border: none; }\n"
             "QAbstractSpinBox::up-button, QAbstractSpinBox::down-button { width: 14px;"
             " border: none; background: transparent; }\n"
             "QComboBox QAbstractItemView { background: %1; color: %2; border: 1px solid %3;"
             " selection-background-color: %4; selection-color: %5; outline: 0; }\n")
             .arg(Css(c.base), Css(c.text), Css(c.border), Css(c.highlight), Css(c.highlightText));
    if (hasArrow) {
        s +=
            QStringLiteral("QComboBox::down-arrow, QDateTimeEdit::down-arrow,"
                           " QAbstractSpinBox::down-arrow { image: %1; width: 8px; height: 8px; }\n"
                           "QAbstractSpinBox::up-arrow { image: %2; width: 8px; height: 8px; }\n"
                           "QComboBox::down-arrow:disabled, QAbstractSpinBox::up-arrow:disabled,"
                           " QAbstractSpinBox::down-arrow:disabled { image: none; }\n")
                .arg(Url(dir, QStringLiteral("arrow")), Url(dir, QStringLiteral("arrowup")));
    }
    s += QStringLiteral("QCheckBox, QRadioButton { spacing: 6px; }\n"
                        "QCheckBox::indicator { width: 13px; height: 13px; border: 1px solid %1;"
                        " border-radius: 3px; background: %2; }\n"
                        "QCheckBox::indicator:hover { border-color: %3; }\n"
                        "QCheckBox::indicator:checked { background: %4; border-color: %4; %5 }\n"
                        "QCheckBox::indicator:disabled { background: %6; border-color: %7; }\n")
             .arg(Css(c.border), Css(c.base), Css(c.focusBorder), Css(c.highlight),
                  hasCheck ? QStringLiteral("image: %1;").arg(Url(dir, QStringLiteral("check")))
                           : QString(),
                  Css(c.window), Css(c.disabledText));
    s += QStringLiteral(
             "QPushButton { background: %1; color: %2; border: 1px solid %3; border-radius: %4px;"
             " padding: 2px 8px; }\n"
             "QPushButton:hover { border-color: %5; }\n"
             "QPushButton:pressed { background: %6; color: %7; border-color: %6; }\n"
             "QPushButton:disabled { color: %8; }\n")
             .arg(Css(c.button), Css(c.buttonText), Css(c.border), r, Css(c.focusBorder),
                  Css(c.highlight), Css(c.highlightText), Css(c.disabledText));
    s += QStringLiteral(
             "QScrollBar:vertical { background: transparent; width: 10px; margin: 0; }\n"
             "QScrollBar:horizontal { background: transparent; height: 10px; margin: 0; }\n"
             "QScrollBar::handle { background: %1; border-radius: 3px; margin: 2px; }\n"
             "QScrollBar::handle:vertical { min-height: 20px; }\n"
             "QScrollBar::handle:horizontal { min-width: 20px; }\n"
             "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; border: none;"
             " background: none; }\n"
             "QScrollBar::add-page, QScrollBar::sub-page { background: none; }\n"
             "QToolTip { background: %2; color: %3; border: 1px solid %1; }\n")
             .arg(Css(c.border), Css(c.base), Css(c.text));
    // Whatever else opens from a skinned window (menus, message boxes, file and
    // calendar pop-ups) gets backgrounds to match the text colour above.
    s += QStringLiteral(
             "QDialog { background: %1; }\n"
             "QAbstractItemView { background: %2; color: %3; alternate-background-color: %4;"
             " selection-background-color: %5; selection-color: %6; }\n"
             "QHeaderView::section { background: %1; color: %3; border: none;"
             " border-bottom: 1px solid %7; padding: 2px 4px; }\n"
             "QCalendarWidget QWidget#qt_calendar_navigationbar { background: %1; }\n"
             "QCalendarWidget QToolButton { color: %3; background: transparent; border: none;"
             " padding: 2px 6px; }\n"
             "QCalendarWidget QToolButton:hover { background: %4; border-radius: %8px; }\n"
             "QMenu { background: %2; color: %3; border: 1px solid %7; padding: 4px 0; }\n"
             "QMenu::item { padding: 4px 24px 4px 26px; background: transparent; }\n"
             "QMenu::item:selected { background: %5; color: %6; }\n"
             "QMenu::item:disabled { color: %9; }\n"
             "QMenu::separator { height: 1px; background: %7; margin: 4px 8px; }\n")
             .arg(Css(c.window), Css(c.base), Css(c.text), Css(c.alternateBase), Css(c.highlight),
                  Css(c.highlightText), Css(c.border), r, Css(c.disabledText));
    if (hasCheck) {
        s += QStringLiteral("QMenu::indicator { width: 13px; height: 13px; left: 7px; }\n"
                            "QMenu::indicator:checked { background: %1; border-radius: 3px;"
                            " image: %2; }\n")
                 .arg(Css(c.highlight), Url(dir, QStringLiteral("check")));
    }
    return s;
}

QString BuildScrollBarStyleSheet(const SkinScrollBarTemplate& b) {
    return QStringLiteral(
               "QScrollBar:vertical { background: %1; border: none; margin: 0; }\n"
               "QScrollBar::handle:vertical { background: %2; border-radius: %3px;"
               " margin: %4px; min-height: %5px; }\n"
               "QScrollBar::handle:vertical:hover { background: %6; }\n"
               "QScrollBar::handle:vertical:pressed { background: %7; }\n"
               "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0;"
               " border: none; background: none; }\n"
               "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; "
               "}\n")
        .arg(Css(b.track), Css(b.thumb), QString::number(b.radius), QString::number(b.padding),
             QString::number(b.minThumb), Css(b.thumbHover), Css(b.thumbPressed));
}

void ApplyLabelTemplate(QWidget* label, const SkinLabelTemplate& t) {
    // The label's own style sheet wins over the window's generic one.
    label->setStyleSheet(QStringLiteral("color: %1;").arg(Css(t.color)));
    if (SetsFont(t.font))
        label->setFont(SkinFont(t.font, label->font()));
    label->update();
}

} // namespace quill
