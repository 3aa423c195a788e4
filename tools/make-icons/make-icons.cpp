// make-icons: draws the icons of resources/VelaVideoIcons/ with QPainter and
// writes them as .ico files; given a second folder, also writes the logo as the
// PNG sizes of a desktop icon theme (SIZExSIZE/apps/vela-video.png) there.
// Usage: make-icons OUTPUT_DIR [HICOLOR_DIR]
//
// Every icon is pure vector drawing, so the files can be regenerated at will
// and nothing third-party ends up in the tree.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <numbers>
#include <vector>

namespace {

// Each drawer paints in a 64x64 logical box; the painter is scaled to the
// actual pixel size so one drawing serves every size.
using Drawer = std::function<void(QPainter &, int px)>;

QImage render(int px, const Drawer &draw)
{
    QImage img(px, px, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(px / 64.0, px / 64.0);
    draw(p, px);
    p.end();
    return img.convertToFormat(QImage::Format_ARGB32);
}

// A five-pointed star (the classic "twinkle" shape reads better than a dot).
QPainterPath starPath(QPointF c, double outer, double inner)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double r = (i % 2) ? inner : outer;
        const QPointF pt(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        i ? path.lineTo(pt) : path.moveTo(pt);
    }
    path.closeSubpath();
    return path;
}

// The logo: a night-sky disc with a bright star being covered by a dark body
// (an occultation).  The large form sits in a video frame with a time-stamp
// strip; below 24 px only the disc, star and body remain so it stays legible.
void drawLogo(QPainter &p, int px)
{
    const bool small = px < 24;
    if (!small) {
        // Video frame: a dark screen with a light bezel.
        p.setPen(QPen(QColor(200, 210, 225), 2.5));
        p.setBrush(QColor(20, 24, 36));
        p.drawRoundedRect(QRectF(3, 7, 58, 50), 6, 6);
        // Time-stamp strip along the bottom edge, as burnt into the video.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(240, 240, 240));
        for (int i = 0; i < 5; ++i)
            p.drawRect(QRectF(14 + i * 7.5, 49.5, 5, 3.5));
    }
    const QPointF c(32, small ? 32 : 28);
    const double r = small ? 31 : 19;
    QRadialGradient sky(c - QPointF(r / 3, r / 3), r * 1.4);
    sky.setColorAt(0, QColor(40, 80, 170));
    sky.setColorAt(1, QColor(8, 18, 60));
    p.setPen(small ? Qt::NoPen : QPen(QColor(90, 130, 210), 1.2));
    p.setBrush(sky);
    p.drawEllipse(c, r, r);

    // The star, with a soft glow, left of centre.
    const QPointF s = c + QPointF(-r * 0.22, -r * 0.05);
    QRadialGradient glow(s, r * 0.55);
    glow.setColorAt(0, QColor(255, 250, 200, 220));
    glow.setColorAt(1, QColor(255, 250, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(s, r * 0.55, r * 0.55);
    p.setBrush(QColor(255, 245, 170));
    p.drawPath(starPath(s, r * 0.42, r * 0.17));

    // The occulting body, clipped to the sky disc, already over part of the star.
    QPainterPath disc;
    disc.addEllipse(c, r, r);
    p.save();
    p.setClipPath(disc);
    const QPointF b = c + QPointF(r * 0.34, r * 0.12);
    QRadialGradient body(b - QPointF(r * 0.15, r * 0.15), r * 0.5);
    body.setColorAt(0, QColor(70, 62, 58));
    body.setColorAt(1, QColor(22, 20, 20));
    p.setBrush(body);
    p.setPen(QPen(QColor(140, 130, 120), small ? 2.5 : 1.0));
    p.drawEllipse(b, r * 0.45, r * 0.45);
    p.restore();

    if (!small) {
        // Two faint background stars to say "sky".
        p.setBrush(QColor(220, 230, 255));
        p.drawEllipse(c + QPointF(-r * 0.55, -r * 0.55), 1.3, 1.3);
        p.drawEllipse(c + QPointF(r * 0.35, -r * 0.65), 1.0, 1.0);
    }
}

// A manila folder: back panel with a tab, front panel slightly lower.
void drawFolder(QPainter &p, int)
{
    QPainterPath back;
    back.moveTo(4, 14);
    back.lineTo(4, 9);
    back.quadTo(4, 7, 6, 7);
    back.lineTo(22, 7);
    back.lineTo(27, 12);
    back.lineTo(58, 12);
    back.quadTo(60, 12, 60, 14);
    back.lineTo(60, 54);
    back.lineTo(4, 54);
    back.closeSubpath();
    p.setPen(QPen(QColor(150, 100, 20), 2));
    p.setBrush(QColor(222, 165, 50));
    p.drawPath(back);

    QLinearGradient front(0, 20, 0, 56);
    front.setColorAt(0, QColor(255, 220, 120));
    front.setColorAt(1, QColor(240, 180, 60));
    p.setBrush(front);
    p.drawRoundedRect(QRectF(4, 20, 56, 36), 2.5, 2.5);
}

// The folder with a red "clear" cross in the lower-right corner.
void drawFolderClear(QPainter &p, int px)
{
    drawFolder(p, px);
    const QPointF c(46, 44);
    p.setPen(QPen(Qt::white, 2.5));
    p.setBrush(QColor(205, 35, 35));
    p.drawEllipse(c, 15, 15);
    // Cross arms are thick so the mark survives at 32 px.
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-6.5, -6.5), c + QPointF(6.5, 6.5));
    p.drawLine(c + QPointF(-6.5, 6.5), c + QPointF(6.5, -6.5));
}

// Start recording: a red "record" dot on a light disc.
void drawStart(QPainter &p, int)
{
    QLinearGradient light(0, 2, 0, 62);
    light.setColorAt(0, QColor(250, 250, 252));
    light.setColorAt(1, QColor(205, 210, 218));
    p.setPen(QPen(QColor(140, 145, 155), 1.5));
    p.setBrush(light);
    p.drawEllipse(QPointF(32, 32), 30, 30);

    QRadialGradient red(QPointF(27, 26), 22);
    red.setColorAt(0, QColor(255, 110, 100));
    red.setColorAt(1, QColor(190, 15, 15));
    p.setPen(QPen(QColor(130, 10, 10), 1.5));
    p.setBrush(red);
    p.drawEllipse(QPointF(32, 32), 17, 17);
}

// Stop recording: a dark filled square.
void drawStop(QPainter &p, int)
{
    QLinearGradient dark(0, 10, 0, 54);
    dark.setColorAt(0, QColor(80, 84, 92));
    dark.setColorAt(1, QColor(25, 27, 32));
    p.setPen(QPen(QColor(10, 10, 12), 1.5));
    p.setBrush(dark);
    p.drawRoundedRect(QRectF(10, 10, 44, 44), 4, 4);
}

// Qt's "ico" writer stores one image per file.  To get a multi-size icon, each
// size is written by QImageWriter separately and the single-entry files are
// then merged: same header, entries concatenated, data offsets recomputed.
QByteArray mergeIcos(const std::vector<QByteArray> &singles)
{
    const int n = int(singles.size());
    QByteArray head(6 + 16 * n, '\0'), data;
    qToLittleEndian<quint16>(1, head.data() + 2); // type 1 = icon
    qToLittleEndian<quint16>(quint16(n), head.data() + 4);
    for (int i = 0; i < n; ++i) {
        const QByteArray &s = singles[size_t(i)];
        const quint32 len = qFromLittleEndian<quint32>(s.constData() + 6 + 8);
        const quint32 off = qFromLittleEndian<quint32>(s.constData() + 6 + 12);
        char *entry = head.data() + 6 + 16 * i;
        std::memcpy(entry, s.constData() + 6, 16);
        qToLittleEndian<quint32>(quint32(head.size() + data.size()), entry + 12);
        QByteArray dib = s.mid(off, len);
        // Qt leaves the row padding of the 1-bit AND mask uninitialised; zero
        // it so the same drawing always gives the same bytes.
        const int w = quint8(s[6]) ? quint8(s[6]) : 256, h = quint8(s[7]) ? quint8(s[7]) : 256;
        const int used = (w + 7) / 8, stride = (w + 31) / 32 * 4;
        const int mask = 40 + w * h * 4; // header + 32-bit pixels
        if (qFromLittleEndian<quint16>(dib.constData() + 14) == 32 && mask + stride * h <= dib.size())
            for (int y = 0; y < h; ++y)
                std::memset(dib.data() + mask + y * stride + used, 0, size_t(stride - used));
        data += dib;
    }
    return head + data;
}

bool writeIcon(const QString &path, const std::vector<int> &sizes, const Drawer &draw)
{
    std::vector<QByteArray> singles;
    for (int px : sizes) {
        QBuffer buf;
        buf.open(QIODevice::WriteOnly);
        QImageWriter writer(&buf, "ico");
        if (!writer.write(render(px, draw))) {
            std::fprintf(stderr, "make-icons: %s (%dpx): %s\n", qPrintable(path), px,
                         qPrintable(writer.errorString()));
            return false;
        }
        singles.push_back(buf.data());
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(mergeIcos(singles)) < 0) {
        std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The desktop menus and software centres look the program up by name in the
// hicolor theme, which holds plain PNGs, one folder per size.
bool writeThemeIcons(const QDir &theme, const Drawer &draw)
{
    for (int px : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1x%1/apps").arg(px);
        const QString path = theme.filePath(dir + QStringLiteral("/vela-video.png"));
        if (!theme.mkpath(dir) || !render(px, draw).save(path, "PNG")) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // No QGuiApplication: QImage, QPainter and the image-format plugins work
    // without one, so the tool runs on a build machine with no display.
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: make-icons OUTPUT_DIR [HICOLOR_DIR]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "make-icons: cannot create %s\n", argv[1]);
        return 1;
    }
    bool ok = true;
    ok &= writeIcon(out.filePath("VELA_logo_large.ico"), {32, 48, 256}, drawLogo);
    ok &= writeIcon(out.filePath("VELA_logo_small.ico"), {16}, drawLogo);
    ok &= writeIcon(out.filePath("folder32x.ico"), {32}, drawFolder);
    ok &= writeIcon(out.filePath("folderClear32x.ico"), {32}, drawFolderClear);
    ok &= writeIcon(out.filePath("start64x.ico"), {64}, drawStart);
    ok &= writeIcon(out.filePath("stop64x.ico"), {64}, drawStop);
    if (argc == 3)
        ok &= writeThemeIcons(QDir(QString::fromLocal8Bit(argv[2])), drawLogo);
    return ok ? 0 : 1;
}
