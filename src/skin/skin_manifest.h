#pragma once
// The manifest of a skin ("skin.json" in the archive): what each window
// template, button style and control looks like, and which file holds each
// named image. Parsing checks every field; see docs/skin-format.md.

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QMargins>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

namespace quill {

inline constexpr int kSkinFormatVersion = 1;

// The templates every skin provides.
QStringList RequiredWindowTemplates(); // "MainForm", "EditTaskForm", ...
QStringList OptionalWindowTemplates(); // "AboutForm": a skin may leave it out
inline QString ScrollBarTemplateName() {
    return QStringLiteral("VScrollBar");
}
inline QString LabelTemplateName() {
    return QStringLiteral("Label");
}

struct SkinImageEntry {
    QString name;
    QString file;   // picture at 1x
    QString file2x; // picture at 2x, may be empty
};

struct SkinFontSetting {
    QString family;    // empty: keep the widget's own
    int pointSize = 0; // 0: keep the widget's own
    bool bold = false;
};

// Whether `setting` sets anything; a widget whose skin sets nothing keeps its own font.
bool SetsFont(const SkinFontSetting& setting);
// `base` with what `setting` sets: its family when named, its size when above 0, and
// its weight (bold or normal).
QFont SkinFont(const SkinFontSetting& setting, QFont base);

enum SkinButtonState { kButtonNormal = 0, kButtonHover, kButtonPressed, kButtonDisabled };

struct SkinButtonStyle {
    // By SkinButtonState; hover, pressed and disabled fall back to normal.
    std::array<QString, 4> images;
    QMargins slice;                   // fixed borders of the images (1x pixels)
    std::array<QColor, 4> textColors; // by SkinButtonState
    QColor focusColor;
    SkinFontSetting font;
};

// Where a button sits: one of left/right and one of top/bottom, measured from
// that edge of the window.
struct SkinButtonLayout {
    QString name;
    QString style;
    QString text;           // drawn on the button, may be empty
    QString accessibleName; // read by screen readers; defaults to text
    QString icon;           // image name, may be empty
    bool fromRight = false;
    bool fromBottom = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct SkinTitleSpec {
    int left = 0;  // text box: from the window's left edge
    int right = 0; // from the window's right edge
    int top = 0;
    int height = 0; // also the height of the drag area
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    QColor color;
    SkinFontSetting font;
    QString icon;    // image drawn before the text, may be empty
    QString caption; // shown instead of the window's own caption when set
};

struct SkinWindowTemplate {
    QString name;
    QString frame; // image painted over the whole window, 9-sliced
    QMargins frameSlice;
    QMargins margins; // frame around the client area (title bar included)
    SkinTitleSpec title;
    bool resizable = false;
    int minWidth = 0;
    int minHeight = 0;
    QVector<SkinButtonLayout> buttons;
};

struct SkinScrollBarTemplate {
    QColor track;
    QColor thumb, thumbHover, thumbPressed;
    int radius = 0;  // of the thumb's corners
    int padding = 0; // space between the track's sides and the thumb
    int minThumb = 20;
};

struct SkinLabelTemplate {
    QColor color;
    SkinFontSetting font;
};

// The generic look of standard controls (ApplySkin).
struct SkinControlsLook {
    QColor window, text, base, alternateBase, border, focusBorder, button, buttonText, highlight,
        highlightText, disabledText, placeholder;
    int radius = 3;
    QString checkImage; // tick drawn in a checked check box
    QString arrowImage; // arrow of drop-down lists and date pickers
    SkinFontSetting font;
};

struct SkinManifest {
    QString name;
    QString author;
    QString description;      // "key=value;..." text, as the file gives it
    uint32_t windowColor = 0; // TColor: 0xBBGGRR
    QVector<SkinImageEntry> images;
    SkinControlsLook controls;
    QHash<QString, SkinButtonStyle> buttonStyles;
    QHash<QString, SkinWindowTemplate> windows;
    SkinScrollBarTemplate scrollBar;
    SkinLabelTemplate label;
};

// Parses and checks a manifest. False with a reason in `error` when it is not
// JSON, lacks a field, has a field of the wrong kind, or refers to an image or
// button style it does not define.
bool ParseSkinManifest(const QByteArray& json, SkinManifest& out, QString* error);

} // namespace quill
