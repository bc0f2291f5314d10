#include "skin_art.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>

namespace quill::art {
namespace {

using Drawing = std::function<void(QPainter&)>;

// Paints one picture at 1x and 2x in logical coordinates.
bool Save(const QString& dir, const QString& name, int w, int h, const Drawing& draw) {
    bool ok = true;
    for (int scale : {1, 2}) {
        QImage image(w * scale, h * scale, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(scale, scale);
            draw(p);
        }
        const QString file = QDir(dir).filePath(
            name + (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png")));
        ok = image.save(file, "PNG") && ok;
    }
    return ok;
}

QPen Stroke(const QColor& c, qreal width) {
    QPen pen(c, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// A window frame: 1 px border, title bar with a line under it, client colour,
// and for dialogs a bottom strip with a line over it.
Drawing Frame(const Theme& t, int w, int h, int title, int strip) {
    return [=](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillRect(0, 0, w, h, t.client);
        p.fillRect(0, 0, w, title, t.titleBar);
        p.fillRect(0, title, w, 1, t.titleLine);
        if (strip > 0) {
            p.fillRect(0, h - strip, w, strip, t.strip);
            p.fillRect(0, h - strip, w, 1, t.titleLine);
        }
        p.setPen(t.frameBorder);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(0, 0, w - 1, h - 1));
    };
}

// A rounded button face; `border` may be transparent.
Drawing Face(const QColor& fill, const QColor& border, bool shadow) {
    return [=](QPainter& p) {
        const QRectF r(0.5, 0.5, 23, 23);
        if (shadow) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0, 0, 0, 22));
            p.drawRoundedRect(r.translated(0, 1), 6, 6);
        }
        p.setPen(border.alpha() ? QPen(border, 1) : QPen(Qt::NoPen));
        p.setBrush(fill);
        p.drawRoundedRect(r, 6, 6);
    };
}

bool ButtonSet(const QString& dir, const QString& name, const QColor fills[4],
               const QColor borders[4], bool shadow) {
    static const char* const kSuffix[4] = {"", "_hover", "_pressed", "_disabled"};
    bool ok = true;
    for (int i = 0; i < 4; ++i)
        ok = Save(dir, name + QString::fromLatin1(kSuffix[i]), 24, 24,
                  Face(fills[i], borders[i], shadow && i != 2 && i != 3)) &&
             ok;
    return ok;
}

Drawing Plus(const QColor& c) {
    return [=](QPainter& p) {
        p.setPen(Stroke(c, 1.8));
        p.drawLine(QPointF(8, 3), QPointF(8, 13));
        p.drawLine(QPointF(3, 8), QPointF(13, 8));
    };
}

Drawing Trash(const QColor& c) {
    return [=](QPainter& p) {
        p.setPen(Stroke(c, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(2.5, 4.5), QPointF(13.5, 4.5));
        p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 2.5));
        p.drawLine(QPointF(6.5, 2.5), QPointF(9.5, 2.5));
        p.drawLine(QPointF(9.5, 2.5), QPointF(9.5, 4.5));
        QPainterPath body;
        body.moveTo(4, 4.5);
        body.lineTo(4.8, 13);
        body.quadTo(4.9, 14, 5.9, 14);
        body.lineTo(10.1, 14);
        body.quadTo(11.1, 14, 11.2, 13);
        body.lineTo(12, 4.5);
        p.drawPath(body);
        p.drawLine(QPointF(6.8, 7), QPointF(7, 11.5));
        p.drawLine(QPointF(9.2, 7), QPointF(9, 11.5));
    };
}

Drawing Gear(const QColor& c) {
    return [=](QPainter& p) {
        const QPointF centre(8, 8);
        QPainterPath gear;
        gear.setFillRule(Qt::OddEvenFill);
        // Eight teeth on a ring, with a hole in the middle.
        const int teeth = 8;
        for (int i = 0; i < teeth * 2; ++i) {
            const double a0 = (i - 0.5) * M_PI / teeth;
            const double a1 = (i + 0.5) * M_PI / teeth;
            const double r = (i % 2 == 0) ? 7.2 : 5.4;
            const QPointF p0 = centre + QPointF(std::cos(a0) * r, std::sin(a0) * r);
            const QPointF p1 = centre + QPointF(std::cos(a1) * r, std::sin(a1) * r);
            if (i == 0)
                gear.moveTo(p0);
            else
                gear.lineTo(p0);
            gear.lineTo(p1);
        }
        gear.closeSubpath();
        gear.addEllipse(centre, 2.4, 2.4);
        p.setPen(Stroke(c, 0.8));
        p.setBrush(c);
        p.drawPath(gear);
    };
}

Drawing Printer(const QColor& c) {
    return [=](QPainter& p) {
        p.setPen(Stroke(c, 1.4));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(4.7, 1.7, 6.6, 3.6));
        p.drawRoundedRect(QRectF(1.7, 5.3, 12.6, 6.4), 1.6, 1.6);
        p.setBrush(c);
        p.drawRect(QRectF(4.7, 9.7, 6.6, 4.6));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(11.8, 7.6), 0.8, 0.8);
    };
}

Drawing Pencil(const QColor& c) {
    return [=](QPainter& p) {
        p.setPen(Stroke(c, 1.4));
        p.setBrush(Qt::NoBrush);
        QPainterPath body;
        body.moveTo(10.5, 2.5);
        body.lineTo(13.5, 5.5);
        body.lineTo(5.5, 13.5);
        body.lineTo(2.2, 13.8);
        body.lineTo(2.5, 10.5);
        body.closeSubpath();
        p.drawPath(body);
        p.drawLine(QPointF(8.8, 4.2), QPointF(11.8, 7.2));
    };
}

Drawing Minimize(const QColor& c) {
    return [=](QPainter& p) {
        p.setPen(Stroke(c, 1.5));
        p.drawLine(QPointF(3.5, 8.5), QPointF(12.5, 8.5));
    };
}

void Tick(QPainter& p, const QColor& c, const QRectF& box, qreal width) {
    p.setPen(Stroke(c, width));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(box.left() + box.width() * 0.22, box.top() + box.height() * 0.52);
    tick.lineTo(box.left() + box.width() * 0.43, box.top() + box.height() * 0.72);
    tick.lineTo(box.left() + box.width() * 0.78, box.top() + box.height() * 0.30);
    p.drawPath(tick);
}

Drawing TitleIcon(const Theme& t) {
    return [=](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(t.accent);
        p.drawRoundedRect(QRectF(1, 1, 14, 14), 4, 4);
        Tick(p, t.onAccent, QRectF(1, 1, 14, 14), 1.8);
    };
}

Drawing ListCheck(const Theme& t, bool done) {
    return [=](QPainter& p) {
        const QRectF box(3.5, 1.5, 11, 11);
        if (done) {
            p.setPen(Qt::NoPen);
            p.setBrush(t.checkDone);
            p.drawRoundedRect(box.adjusted(-0.5, -0.5, 0.5, 0.5), 3, 3);
            Tick(p, t.onAccent, box, 1.7);
        } else {
            p.setPen(QPen(t.checkBox, 1.2));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(box, 3, 3);
        }
    };
}

Drawing Arrow(const QColor& c, bool up) {
    return [=](QPainter& p) {
        p.save();
        if (!up) {
            p.translate(7, 7);
            p.rotate(180);
            p.translate(-7, -7);
        }
        p.setPen(Stroke(c, 1.8));
        p.drawLine(QPointF(7, 11.5), QPointF(7, 2.8));
        p.drawLine(QPointF(3.3, 6.5), QPointF(7, 2.8));
        p.drawLine(QPointF(10.7, 6.5), QPointF(7, 2.8));
        p.restore();
    };
}

Drawing Bell(const QColor& c) {
    return [=](QPainter& p) {
        QPainterPath bell;
        bell.moveTo(7, 1.8);
        bell.cubicTo(4.4, 1.8, 3.4, 3.9, 3.4, 6.2);
        bell.lineTo(3.4, 8.6);
        bell.lineTo(2, 10.4);
        bell.lineTo(12, 10.4);
        bell.lineTo(10.6, 8.6);
        bell.lineTo(10.6, 6.2);
        bell.cubicTo(10.6, 3.9, 9.6, 1.8, 7, 1.8);
        bell.closeSubpath();
        p.setPen(Stroke(c.darker(115), 0.8));
        p.setBrush(c);
        p.drawPath(bell);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(7, 11.6), 1.6, 1.6);
    };
}

Drawing Mark(const QColor& c) {
    return [=](QPainter& p) {
        p.setPen(QPen(c.darker(125), 1));
        p.setBrush(c);
        p.drawEllipse(QPointF(7, 7), 4.6, 4.6);
        // A soft highlight makes the dot read as a tag, not a hole.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 70));
        p.drawEllipse(QPointF(5.8, 5.6), 1.7, 1.5);
    };
}

Drawing SmallTick(const QColor& c) {
    return [=](QPainter& p) { Tick(p, c, QRectF(0, 0, 11, 11), 1.6); };
}

Drawing Chevron(const QColor& c) {
    return [=](QPainter& p) {
        p.setPen(Stroke(c, 1.4));
        p.drawLine(QPointF(1.2, 2.8), QPointF(4, 5.6));
        p.drawLine(QPointF(4, 5.6), QPointF(6.8, 2.8));
    };
}

} // namespace

Theme LightTheme() {
    Theme t;
    t.name = QStringLiteral("Default");
    t.frameBorder = QColor("#C3C9D1");
    t.titleBar = QColor("#FFFFFF");
    t.titleLine = QColor("#E4E7EC");
    t.client = QColor("#F5F7FA");
    t.strip = QColor("#EEF1F5");
    t.accent = QColor("#2F6FEB");
    t.accentHover = QColor("#4A83F0");
    t.accentPressed = QColor("#2159C7");
    t.accentDisabled = QColor("#A9C3F5");
    t.onAccent = QColor("#FFFFFF");
    t.surface = QColor("#FFFFFF");
    t.surfaceHover = QColor("#F2F4F7");
    t.surfacePressed = QColor("#E3E7ED");
    t.line = QColor("#C9CFD8");
    t.icon = QColor("#4A5261");
    t.ghostHover = QColor(30, 40, 60, 22);
    t.ghostPressed = QColor(30, 40, 60, 44);
    t.checkBox = QColor("#9AA3B2");
    t.checkDone = QColor("#30A46C");
    t.high = QColor("#E5484D");
    t.low = QColor("#3E8EDE");
    t.bell = QColor("#F5A524");
    // Neighbours differ clearly in hue: the first three are the default
    // categories' marks and must tell apart at a glance.
    const char* marks[10] = {"#E5484D", "#3E63DD", "#30A46C", "#F76B15", "#8E4EC6",
                             "#12A594", "#F5B400", "#D6409F", "#3E9BF0", "#8B8D98"};
    for (int i = 0; i < 10; ++i)
        t.marks[i] = QColor(marks[i]);
    return t;
}

Theme DarkTheme() {
    Theme t = LightTheme();
    t.name = QStringLiteral("Dark");
    t.frameBorder = QColor("#0B0D10");
    t.titleBar = QColor("#16191E");
    t.titleLine = QColor("#2A2F37");
    t.client = QColor("#1F2329");
    t.strip = QColor("#191C21");
    t.accent = QColor("#1FB39A");
    t.accentHover = QColor("#32C4AB");
    t.accentPressed = QColor("#17917D");
    t.accentDisabled = QColor("#2C5A53");
    t.onAccent = QColor("#0E1A18");
    t.surface = QColor("#2A2F37");
    t.surfaceHover = QColor("#333944");
    t.surfacePressed = QColor("#3D4450");
    t.line = QColor("#3B424D");
    t.icon = QColor("#C5CCD6");
    t.ghostHover = QColor(255, 255, 255, 22);
    t.ghostPressed = QColor(255, 255, 255, 40);
    t.checkBox = QColor("#6B7482");
    t.checkDone = QColor("#1FB39A");
    t.high = QColor("#FF6B6B");
    t.low = QColor("#5AA9FF");
    t.bell = QColor("#FFC24B");
    const char* marks[10] = {"#FF6B6B", "#7A8CFF", "#4CD38A", "#FF9548", "#B77CFF",
                             "#2ED3C0", "#FFD23F", "#FF6FC0", "#5AB8FF", "#A3A7B3"};
    for (int i = 0; i < 10; ++i)
        t.marks[i] = QColor(marks[i]);
    return t;
}

bool PaintSkinPictures(const Theme& t, const QString& dir) {
    bool ok = true;
    ok = Save(dir, QStringLiteral("frame_main"), 40, 80, Frame(t, 40, 80, 36, 0)) && ok;
    ok = Save(dir, QStringLiteral("frame_dialog"), 40, 120, Frame(t, 40, 120, 36, 52)) && ok;
    ok = Save(dir, QStringLiteral("title_icon"), 16, 16, TitleIcon(t)) && ok;

    const QColor none(0, 0, 0, 0);
    const QColor primary[4] = {t.accent, t.accentHover, t.accentPressed, t.accentDisabled};
    const QColor noBorders[4] = {none, none, none, none};
    ok = ButtonSet(dir, QStringLiteral("btn_primary"), primary, noBorders, true) && ok;
    QColor faded = t.line;
    faded.setAlpha(110);
    const QColor secondary[4] = {t.surface, t.surfaceHover, t.surfacePressed, t.surface};
    const QColor lines[4] = {t.line, t.line, t.line, faded};
    ok = ButtonSet(dir, QStringLiteral("btn_secondary"), secondary, lines, true) && ok;
    const QColor ghost[4] = {none, t.ghostHover, t.ghostPressed, none};
    ok = ButtonSet(dir, QStringLiteral("btn_ghost"), ghost, noBorders, false) && ok;

    ok = Save(dir, QStringLiteral("icon_add"), 16, 16, Plus(t.icon)) && ok;
    ok = Save(dir, QStringLiteral("icon_add_accent"), 16, 16, Plus(t.onAccent)) && ok;
    ok = Save(dir, QStringLiteral("icon_remove"), 16, 16, Trash(t.icon)) && ok;
    ok = Save(dir, QStringLiteral("icon_settings"), 16, 16, Gear(t.icon)) && ok;
    ok = Save(dir, QStringLiteral("icon_print"), 16, 16, Printer(t.icon)) && ok;
    ok = Save(dir, QStringLiteral("icon_edit"), 16, 16, Pencil(t.icon)) && ok;
    ok = Save(dir, QStringLiteral("icon_minimize"), 16, 16, Minimize(t.icon)) && ok;

    ok = Save(dir, QStringLiteral("ctl_check"), 11, 11, SmallTick(t.onAccent)) && ok;
    ok = Save(dir, QStringLiteral("ctl_arrow"), 8, 8, Chevron(t.icon)) && ok;

    ok = Save(dir, QStringLiteral("check_done"), 18, 14, ListCheck(t, true)) && ok;
    ok = Save(dir, QStringLiteral("check_open"), 18, 14, ListCheck(t, false)) && ok;
    ok = Save(dir, QStringLiteral("priority_high"), 14, 14, Arrow(t.high, true)) && ok;
    ok = Save(dir, QStringLiteral("priority_low"), 14, 14, Arrow(t.low, false)) && ok;
    ok = Save(dir, QStringLiteral("reminder"), 14, 14, Bell(t.bell)) && ok;
    for (int i = 0; i < 10; ++i)
        ok = Save(dir, QStringLiteral("mark%1").arg(i), 14, 14, Mark(t.marks[i])) && ok;
    return ok;
}

} // namespace quill::art
