#include "skin_manifest.h"

#include "skin_limits.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>

namespace quill {

QStringList RequiredWindowTemplates() {
    return {QStringLiteral("MainForm"),       QStringLiteral("EditTaskForm"),
            QStringLiteral("OptionsForm"),    QStringLiteral("PrintForm"),
            QStringLiteral("ReminderForm"),   QStringLiteral("CategoriesForm"),
            QStringLiteral("AddCategoryForm")};
}

QStringList OptionalWindowTemplates() {
    return {QStringLiteral("AboutForm")};
}

namespace {

// Reads typed fields out of JSON objects; the first problem is kept, with the
// path of the field, and every later read becomes a no-op.
class FieldReader {
public:
    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }

    void Fail(const QString& path, const QString& what) {
        if (ok())
            error_ = QStringLiteral("%1: %2").arg(path, what);
    }

    QJsonValue Get(const QJsonObject& o, const QString& path, const QString& key, bool required) {
        if (!ok())
            return {};
        QJsonValue v = o.value(key);
        if (v.isUndefined() && required)
            Fail(Join(path, key), QStringLiteral("missing"));
        return v;
    }

    QString String(const QJsonObject& o, const QString& path, const QString& key, bool required,
                   const QString& fallback = {}) {
        const QJsonValue v = Get(o, path, key, required);
        if (v.isUndefined() || !ok())
            return fallback;
        if (!v.isString()) {
            Fail(Join(path, key), QStringLiteral("must be a text"));
            return fallback;
        }
        return v.toString();
    }

    int Int(const QJsonObject& o, const QString& path, const QString& key, bool required,
            int fallback = 0, int min = 0, int max = skin_limits::kMaxGeometry) {
        const QJsonValue v = Get(o, path, key, required);
        if (v.isUndefined() || !ok())
            return fallback;
        const double d = v.toDouble(-1e300);
        if (!v.isDouble() || d != static_cast<double>(static_cast<long long>(d)) || d < min ||
            d > max) {
            Fail(Join(path, key),
                 QStringLiteral("must be a whole number from %1 to %2").arg(min).arg(max));
            return fallback;
        }
        return static_cast<int>(d);
    }

    bool Bool(const QJsonObject& o, const QString& path, const QString& key, bool fallback) {
        const QJsonValue v = Get(o, path, key, false);
        if (v.isUndefined() || !ok())
            return fallback;
        if (!v.isBool()) {
            Fail(Join(path, key), QStringLiteral("must be true or false"));
            return fallback;
        }
        return v.toBool();
    }

    // "#RRGGBB" or "#AARRGGBB".
    QColor Color(const QJsonObject& o, const QString& path, const QString& key, bool required,
                 const QColor& fallback = {}) {
        const QString text = String(o, path, key, required);
        if (!ok() || text.isEmpty())
            return fallback;
        // Checked by hand: a regular expression here would load and compile the
        // pattern engine on every start.
        const bool hex = std::all_of(text.begin() + 1, text.end(), [](QChar c) {
            return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        });
        if (!text.startsWith(u'#') || (text.size() != 7 && text.size() != 9) || !hex) {
            Fail(Join(path, key), QStringLiteral("must be a colour \"#RRGGBB\" or \"#AARRGGBB\""));
            return fallback;
        }
        return QColor(text);
    }

    QJsonObject Object(const QJsonObject& o, const QString& path, const QString& key,
                       bool required) {
        const QJsonValue v = Get(o, path, key, required);
        if (v.isUndefined() || !ok())
            return {};
        if (!v.isObject()) {
            Fail(Join(path, key), QStringLiteral("must be an object"));
            return {};
        }
        return v.toObject();
    }

    QJsonArray Array(const QJsonObject& o, const QString& path, const QString& key, bool required) {
        const QJsonValue v = Get(o, path, key, required);
        if (v.isUndefined() || !ok())
            return {};
        if (!v.isArray()) {
            Fail(Join(path, key), QStringLiteral("must be a list"));
            return {};
        }
        return v.toArray();
    }

    // [left, top, right, bottom]
    QMargins Margins(const QJsonObject& o, const QString& path, const QString& key, bool required) {
        const QJsonValue v = Get(o, path, key, required);
        if (v.isUndefined() || !ok())
            return {};
        const QJsonArray a = v.toArray();
        bool good = v.isArray() && a.size() == 4;
        int n[4] = {0, 0, 0, 0};
        for (int i = 0; good && i < 4; ++i) {
            const double d = a.at(i).toDouble(-1);
            good = a.at(i).isDouble() && d >= 0 && d <= skin_limits::kMaxGeometry &&
                   d == static_cast<double>(static_cast<int>(d));
            n[i] = good ? static_cast<int>(d) : 0;
        }
        if (!good) {
            Fail(Join(path, key),
                 QStringLiteral("must be four whole numbers [left, top, right, bottom]"));
            return {};
        }
        return QMargins(n[0], n[1], n[2], n[3]);
    }

    static QString Join(const QString& path, const QString& key) {
        return path.isEmpty() ? key : path + u'.' + key;
    }

private:
    QString error_;
};

SkinFontSetting ReadFont(FieldReader& r, const QJsonObject& o, const QString& path) {
    SkinFontSetting f;
    f.family = r.String(o, path, QStringLiteral("font"), false);
    f.pointSize = r.Int(o, path, QStringLiteral("fontSize"), false, 0, 0, 72);
    f.bold = r.Bool(o, path, QStringLiteral("bold"), false);
    return f;
}

void ReadImages(FieldReader& r, const QJsonObject& root, SkinManifest& out) {
    const QJsonArray images = r.Array(root, {}, QStringLiteral("images"), true);
    if (images.size() > skin_limits::kMaxImages)
        r.Fail(QStringLiteral("images"),
               QStringLiteral("more than %1 images").arg(skin_limits::kMaxImages));
    for (int i = 0; r.ok() && i < images.size(); ++i) {
        const QString path = QStringLiteral("images[%1]").arg(i);
        if (!images.at(i).isObject()) {
            r.Fail(path, QStringLiteral("must be an object"));
            break;
        }
        const QJsonObject o = images.at(i).toObject();
        SkinImageEntry e;
        e.name = r.String(o, path, QStringLiteral("name"), true);
        e.file = r.String(o, path, QStringLiteral("file"), true);
        e.file2x = r.String(o, path, QStringLiteral("file2x"), false);
        if (r.ok() && e.name.isEmpty())
            r.Fail(path + QStringLiteral(".name"), QStringLiteral("must not be empty"));
        out.images.push_back(e);
    }
}

void ReadControls(FieldReader& r, const QJsonObject& root, SkinControlsLook& c) {
    const QString p = QStringLiteral("controls");
    const QJsonObject o = r.Object(root, {}, p, true);
    c.window = r.Color(o, p, QStringLiteral("window"), true);
    c.text = r.Color(o, p, QStringLiteral("text"), true);
    c.base = r.Color(o, p, QStringLiteral("base"), true);
    c.alternateBase = r.Color(o, p, QStringLiteral("alternateBase"), false, c.base);
    c.border = r.Color(o, p, QStringLiteral("border"), true);
    c.focusBorder = r.Color(o, p, QStringLiteral("focusBorder"), false, c.border);
    c.button = r.Color(o, p, QStringLiteral("button"), true);
    c.buttonText = r.Color(o, p, QStringLiteral("buttonText"), false, c.text);
    c.highlight = r.Color(o, p, QStringLiteral("highlight"), true);
    c.highlightText = r.Color(o, p, QStringLiteral("highlightText"), true);
    c.disabledText = r.Color(o, p, QStringLiteral("disabledText"), false, c.border);
    c.placeholder = r.Color(o, p, QStringLiteral("placeholder"), false, c.disabledText);
    c.radius = r.Int(o, p, QStringLiteral("radius"), false, 3, 0, 32);
    c.checkImage = r.String(o, p, QStringLiteral("checkImage"), false);
    c.arrowImage = r.String(o, p, QStringLiteral("arrowImage"), false);
    c.font = ReadFont(r, o, p);
}

void ReadButtonStyles(FieldReader& r, const QJsonObject& root, SkinManifest& out) {
    const QJsonObject styles = r.Object(root, {}, QStringLiteral("buttonStyles"), true);
    static const char* const kStates[4] = {"normal", "hover", "pressed", "disabled"};
    for (auto it = styles.begin(); r.ok() && it != styles.end(); ++it) {
        const QString p = QStringLiteral("buttonStyles.") + it.key();
        if (!it.value().isObject()) {
            r.Fail(p, QStringLiteral("must be an object"));
            break;
        }
        const QJsonObject o = it.value().toObject();
        SkinButtonStyle s;
        const QJsonObject text = r.Object(o, p, QStringLiteral("textColor"), true);
        for (int i = 0; i < 4; ++i) {
            const QString state = QString::fromLatin1(kStates[i]);
            s.images[i] = r.String(o, p, state, i == kButtonNormal, s.images[kButtonNormal]);
            s.textColors[i] = r.Color(text, p + QStringLiteral(".textColor"), state,
                                      i == kButtonNormal, s.textColors[kButtonNormal]);
        }
        s.slice = r.Margins(o, p, QStringLiteral("slice"), true);
        s.focusColor = r.Color(o, p, QStringLiteral("focusColor"), false, s.textColors[0]);
        s.font = ReadFont(r, o, p);
        out.buttonStyles.insert(it.key(), s);
    }
}

SkinButtonLayout ReadButton(FieldReader& r, const QJsonObject& o, const QString& p) {
    SkinButtonLayout b;
    b.name = r.String(o, p, QStringLiteral("name"), true);
    b.style = r.String(o, p, QStringLiteral("style"), true);
    b.text = r.String(o, p, QStringLiteral("text"), false);
    b.accessibleName = r.String(o, p, QStringLiteral("accessibleName"), false, b.text);
    b.icon = r.String(o, p, QStringLiteral("icon"), false);
    const bool hasLeft = o.contains(QStringLiteral("left"));
    const bool hasRight = o.contains(QStringLiteral("right"));
    const bool hasTop = o.contains(QStringLiteral("top"));
    const bool hasBottom = o.contains(QStringLiteral("bottom"));
    if (r.ok() && hasLeft == hasRight)
        r.Fail(p, QStringLiteral("needs exactly one of \"left\" and \"right\""));
    if (r.ok() && hasTop == hasBottom)
        r.Fail(p, QStringLiteral("needs exactly one of \"top\" and \"bottom\""));
    b.fromRight = hasRight;
    b.fromBottom = hasBottom;
    b.x = r.Int(o, p, hasRight ? QStringLiteral("right") : QStringLiteral("left"), true);
    b.y = r.Int(o, p, hasBottom ? QStringLiteral("bottom") : QStringLiteral("top"), true);
    b.width = r.Int(o, p, QStringLiteral("width"), true, 0, 1);
    b.height = r.Int(o, p, QStringLiteral("height"), true, 0, 1);
    if (r.ok() && b.name.isEmpty())
        r.Fail(p + QStringLiteral(".name"), QStringLiteral("must not be empty"));
    if (r.ok() && b.accessibleName.isEmpty())
        r.Fail(p, QStringLiteral("needs \"text\" or \"accessibleName\""));
    return b;
}

Qt::Alignment ReadAlign(FieldReader& r, const QJsonObject& o, const QString& p) {
    const QString a = r.String(o, p, QStringLiteral("align"), false, QStringLiteral("left"));
    if (a == QLatin1String("left"))
        return Qt::AlignLeft | Qt::AlignVCenter;
    if (a == QLatin1String("center"))
        return Qt::AlignHCenter | Qt::AlignVCenter;
    if (a == QLatin1String("right"))
        return Qt::AlignRight | Qt::AlignVCenter;
    r.Fail(p + QStringLiteral(".align"),
           QStringLiteral("must be \"left\", \"center\" or \"right\""));
    return Qt::AlignLeft;
}

SkinWindowTemplate ReadWindow(FieldReader& r, const QJsonObject& o, const QString& name,
                              const QString& p) {
    SkinWindowTemplate t;
    t.name = name;
    t.frame = r.String(o, p, QStringLiteral("frame"), true);
    t.frameSlice = r.Margins(o, p, QStringLiteral("frameSlice"), true);
    t.margins = r.Margins(o, p, QStringLiteral("margins"), true);
    t.resizable = r.Bool(o, p, QStringLiteral("resizable"), false);
    t.minWidth = r.Int(o, p, QStringLiteral("minWidth"), false);
    t.minHeight = r.Int(o, p, QStringLiteral("minHeight"), false);

    const QString tp = p + QStringLiteral(".title");
    const QJsonObject title = r.Object(o, p, QStringLiteral("title"), true);
    t.title.left = r.Int(title, tp, QStringLiteral("left"), true);
    t.title.right = r.Int(title, tp, QStringLiteral("right"), true);
    t.title.top = r.Int(title, tp, QStringLiteral("top"), false);
    t.title.height = r.Int(title, tp, QStringLiteral("height"), true);
    t.title.align = ReadAlign(r, title, tp);
    t.title.color = r.Color(title, tp, QStringLiteral("color"), true);
    t.title.font = ReadFont(r, title, tp);
    t.title.icon = r.String(title, tp, QStringLiteral("icon"), false);
    t.title.caption = r.String(title, tp, QStringLiteral("caption"), false);

    const QJsonArray buttons = r.Array(o, p, QStringLiteral("buttons"), true);
    if (buttons.size() > skin_limits::kMaxButtonsPerTemplate)
        r.Fail(p + QStringLiteral(".buttons"),
               QStringLiteral("more than %1 buttons").arg(skin_limits::kMaxButtonsPerTemplate));
    QSet<QString> seen;
    for (int i = 0; r.ok() && i < buttons.size(); ++i) {
        const QString bp = p + QStringLiteral(".buttons[%1]").arg(i);
        if (!buttons.at(i).isObject()) {
            r.Fail(bp, QStringLiteral("must be an object"));
            break;
        }
        SkinButtonLayout b = ReadButton(r, buttons.at(i).toObject(), bp);
        if (r.ok() && seen.contains(b.name))
            r.Fail(bp, QStringLiteral("a second button named \"%1\"").arg(b.name));
        seen.insert(b.name);
        t.buttons.push_back(b);
    }
    return t;
}

void ReadTemplates(FieldReader& r, const QJsonObject& root, SkinManifest& out) {
    const QJsonObject templates = r.Object(root, {}, QStringLiteral("templates"), true);
    for (const QString& name : RequiredWindowTemplates()) {
        const QString p = QStringLiteral("templates.") + name;
        const QJsonObject o = r.Object(templates, QStringLiteral("templates"), name, true);
        if (!r.ok())
            return;
        out.windows.insert(name, ReadWindow(r, o, name, p));
    }
    for (const QString& name : OptionalWindowTemplates()) {
        if (!templates.contains(name))
            continue;
        const QString p = QStringLiteral("templates.") + name;
        const QJsonObject o = r.Object(templates, QStringLiteral("templates"), name, true);
        if (!r.ok())
            return;
        out.windows.insert(name, ReadWindow(r, o, name, p));
    }
    const QString sp = QStringLiteral("templates.VScrollBar");
    const QJsonObject sb =
        r.Object(templates, QStringLiteral("templates"), ScrollBarTemplateName(), true);
    out.scrollBar.track = r.Color(sb, sp, QStringLiteral("track"), true);
    out.scrollBar.thumb = r.Color(sb, sp, QStringLiteral("thumb"), true);
    out.scrollBar.thumbHover =
        r.Color(sb, sp, QStringLiteral("thumbHover"), false, out.scrollBar.thumb);
    out.scrollBar.thumbPressed =
        r.Color(sb, sp, QStringLiteral("thumbPressed"), false, out.scrollBar.thumbHover);
    out.scrollBar.radius = r.Int(sb, sp, QStringLiteral("radius"), false, 0, 0, 16);
    out.scrollBar.padding = r.Int(sb, sp, QStringLiteral("padding"), false, 0, 0, 16);
    out.scrollBar.minThumb = r.Int(sb, sp, QStringLiteral("minThumb"), false, 20, 4, 200);

    const QString lp = QStringLiteral("templates.Label");
    const QJsonObject label =
        r.Object(templates, QStringLiteral("templates"), LabelTemplateName(), true);
    out.label.color = r.Color(label, lp, QStringLiteral("color"), true);
    out.label.font = ReadFont(r, label, lp);
}

// Every image and style a template names must exist.
void CheckReferences(FieldReader& r, const SkinManifest& m) {
    QSet<QString> images;
    for (const auto& e : m.images)
        images.insert(e.name);
    auto needImage = [&](const QString& name, const QString& where) {
        if (r.ok() && !name.isEmpty() && !images.contains(name))
            r.Fail(where,
                   QStringLiteral("names the image \"%1\", which \"images\" lacks").arg(name));
    };
    needImage(m.controls.checkImage, QStringLiteral("controls.checkImage"));
    needImage(m.controls.arrowImage, QStringLiteral("controls.arrowImage"));
    for (auto it = m.buttonStyles.begin(); it != m.buttonStyles.end(); ++it) {
        for (const QString& img : it->images)
            needImage(img, QStringLiteral("buttonStyles.") + it.key());
    }
    for (const auto& t : m.windows) {
        const QString p = QStringLiteral("templates.") + t.name;
        needImage(t.frame, p + QStringLiteral(".frame"));
        needImage(t.title.icon, p + QStringLiteral(".title.icon"));
        for (const auto& b : t.buttons) {
            needImage(b.icon, p + QStringLiteral(".buttons ") + b.name);
            if (r.ok() && !m.buttonStyles.contains(b.style))
                r.Fail(p + QStringLiteral(".buttons ") + b.name,
                       QStringLiteral("uses the style \"%1\", which \"buttonStyles\" lacks")
                           .arg(b.style));
        }
    }
}

} // namespace

bool ParseSkinManifest(const QByteArray& json, SkinManifest& out, QString* error) {
    out = SkinManifest();
    if (json.size() > skin_limits::kMaxManifestBytes) {
        if (error)
            *error = QStringLiteral("the manifest is larger than 1 MB");
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        if (error)
            *error = doc.isNull() ? QStringLiteral("the manifest is not JSON (%1 at byte %2)")
                                        .arg(parseError.errorString())
                                        .arg(parseError.offset)
                                  : QStringLiteral("the manifest is not a JSON object");
        return false;
    }
    const QJsonObject root = doc.object();
    FieldReader r;
    if (r.String(root, {}, QStringLiteral("format"), true) != QLatin1String("quillnote-skin"))
        r.Fail(QStringLiteral("format"), QStringLiteral("must be \"quillnote-skin\""));
    const int version = r.Int(root, {}, QStringLiteral("version"), true, 0, 1, 1000);
    if (r.ok() && version > kSkinFormatVersion)
        r.Fail(QStringLiteral("version"), QStringLiteral("%1 is newer than this program reads (%2)")
                                              .arg(version)
                                              .arg(kSkinFormatVersion));
    out.name = r.String(root, {}, QStringLiteral("name"), true);
    out.author = r.String(root, {}, QStringLiteral("author"), false);
    out.description = r.String(root, {}, QStringLiteral("description"), true);
    const QColor wc = r.Color(root, {}, QStringLiteral("windowColor"), true);
    out.windowColor = static_cast<uint32_t>(wc.red()) | (static_cast<uint32_t>(wc.green()) << 8) |
                      (static_cast<uint32_t>(wc.blue()) << 16);
    ReadImages(r, root, out);
    ReadControls(r, root, out.controls);
    ReadButtonStyles(r, root, out);
    ReadTemplates(r, root, out);
    CheckReferences(r, out);
    if (!r.ok()) {
        if (error)
            *error = QStringLiteral("the manifest is wrong at %1").arg(r.error());
        out = SkinManifest();
        return false;
    }
    return true;
}

bool SetsFont(const SkinFontSetting& setting) {
    return !setting.family.isEmpty() || setting.pointSize > 0 || setting.bold;
}

QFont SkinFont(const SkinFontSetting& setting, QFont base) {
    if (!setting.family.isEmpty())
        base.setFamily(setting.family);
    if (setting.pointSize > 0)
        base.setPointSize(setting.pointSize);
    base.setBold(setting.bold);
    return base;
}

} // namespace quill
