// Draws the two tray icons, each at 16 x 16 and 32 x 32:
//   tray-normal-N.png  a green diamond outline
//   tray-blink-N.png   the same diamond with a white clock face and a dark red rim
//   app/quillnote-N.png  the application icon: the diamond on a light green
//                        face, at the sizes desktops ask for (N = 16 ... 256);
//                        app/quillnote.svg is the same drawing by hand
// Usage: make-tray-icons <output folder>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QtMath>

#include <cstdio>

namespace {

const QColor kGreen(0x2f, 0xa8, 0x4f);
const QColor kDarkGreen(0x17, 0x5e, 0x2a);
const QColor kDarkRed(0x8b, 0x12, 0x12);

QPainterPath Diamond(double size, double inset) {
    const double c = size / 2.0;
    const double r = c - inset;
    QPainterPath path;
    path.moveTo(c, c - r);
    path.lineTo(c + r, c);
    path.lineTo(c, c + r);
    path.lineTo(c - r, c);
    path.closeSubpath();
    return path;
}

void DrawDiamond(QPainter& p, int size) {
    const double s = size / 16.0;
    const QPainterPath path = Diamond(size, 1.4 * s);
    // A dark edge under the green band keeps the outline visible on light and dark
    // panels alike.
    p.setPen(QPen(kDarkGreen, 3.0 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(kGreen, 1.8 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

void DrawClock(QPainter& p, int size) {
    const double s = size / 16.0;
    const QPointF c(size / 2.0, size / 2.0);
    const double r = 4.6 * s;
    p.setPen(QPen(kDarkRed, 1.3 * s));
    p.setBrush(Qt::white);
    p.drawEllipse(c, r, r);
    // Hands at ten past ten, as clocks are drawn.
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1.0 * s, Qt::SolidLine, Qt::RoundCap));
    const auto hand = [&](double degrees, double length) {
        const double a = qDegreesToRadians(degrees - 90.0);
        p.drawLine(c, c + QPointF(std::cos(a) * length, std::sin(a) * length));
    };
    hand(300.0, r * 0.55);
    hand(60.0, r * 0.75);
}

// The application icon: the tray icon's diamond with a light face, so it reads as
// one shape in menus and launchers.
bool WriteAppIcon(const QString& dir, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 16.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe6, 0xf4, 0xea));
    p.drawPath(Diamond(size, 1.4 * s));
    p.setBrush(Qt::NoBrush);
    DrawDiamond(p, size);
    p.end();
    QDir().mkpath(QDir(dir).filePath(QStringLiteral("app")));
    const QString path = QDir(dir).filePath(QStringLiteral("app/quillnote-%1.png").arg(size));
    if (!image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool Write(const QString& dir, const QString& stem, int size, bool clock) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawDiamond(p, size);
    if (clock)
        DrawClock(p, size);
    p.end();
    const QString path = QDir(dir).filePath(QStringLiteral("%1-%2.png").arg(stem).arg(size));
    if (!image.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-tray-icons <output folder>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    for (int size : {16, 32}) {
        ok = Write(dir, QStringLiteral("tray-normal"), size, false) && ok;
        ok = Write(dir, QStringLiteral("tray-blink"), size, true) && ok;
    }
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        ok = WriteAppIcon(dir, size) && ok;
    return ok ? 0 : 1;
}
