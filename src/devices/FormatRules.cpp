#include "devices/FormatRules.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

// Frame intervals count 100 ns units.
constexpr std::int64_t kUnitsPerSecond = 10'000'000;

const MediaFormat* FormatAt(const CaptureDevice* d, int formatIndex)
{
    const int i = formatIndex < 0 ? 0 : formatIndex;
    return d && i < d->formats.size() ? &d->formats[i] : nullptr;
}

bool SizeAllowed(const MediaFormat& f, FpsStandard standard, bool knownDevice)
{
    if (f.width == 640 && f.height == 480)
        return true;
    if (!knownDevice)
        return false;
    return (f.width == 720 && f.height == 480 && standard == FpsStandard::NTSC) ||
           (f.width == 720 && f.height == 576 && standard == FpsStandard::PAL);
}

} // namespace

std::int64_t AvgTimePerFrameOf(std::int32_t numerator, std::int32_t denominator)
{
    if (numerator <= 0 || denominator < 0)
        return 0;
    return kUnitsPerSecond * denominator / numerator;
}

std::uint32_t FramesPerSecondOf(std::int64_t avgTimePerFrame)
{
    if (avgTimePerFrame <= 0)
        return 0;
    std::int64_t fps = kUnitsPerSecond / avgTimePerFrame;
    if (kUnitsPerSecond % avgTimePerFrame > avgTimePerFrame / 2)
        ++fps;
    return static_cast<std::uint32_t>(fps);
}

FpsStandard FpsStandardOfRate(std::uint32_t framesPerSecond)
{
    if (framesPerSecond == 30)
        return FpsStandard::NTSC;
    if (framesPerSecond == 25)
        return FpsStandard::PAL;
    return FpsStandard::OTHER;
}

MediaFormat MakeMediaFormat(VideoSubtype subtype, std::int32_t width, std::int32_t height,
                            std::int64_t avgTimePerFrame)
{
    MediaFormat f;
    f.name = QStringLiteral("%1x%2").arg(width).arg(height);
    f.width = width;
    f.height = height;
    f.avgTimePerFrame = avgTimePerFrame;
    f.framesPerSecond = FramesPerSecondOf(avgTimePerFrame);
    f.standard = FpsStandardOfRate(f.framesPerSecond);
    f.subtype = subtype;
    return f;
}

QString SubtypeName(const CaptureDevice* device, int formatIndex)
{
    const MediaFormat* f = FormatAt(device, formatIndex);
    switch (f ? f->subtype : VideoSubtype::OTHER) {
    case VideoSubtype::MJPG: return QStringLiteral("MJPG");
    case VideoSubtype::RGB24: return QStringLiteral("RGB24");
    case VideoSubtype::UYVY: return QStringLiteral("UYVY");
    case VideoSubtype::YUY2: return QStringLiteral("YUY2");
    case VideoSubtype::ARGB32: return QStringLiteral("ARGB32");
    default: return QStringLiteral(" ");
    }
}

FpsStandard FormatStandardOf(const CaptureDevice* device, int formatIndex)
{
    const MediaFormat* f = FormatAt(device, formatIndex);
    return f ? f->standard : FpsStandard::NTSC;
}

bool IsKnownDevice(const QString& name, const QString& driver)
{
    // The V4L2 drivers of analog composite grabbers and capture cards: their devices are
    // named after the card ("EM2860/SAA711X Reference Design", "stk1160"), not the product.
    static const QStringList analogDrivers = {
        QStringLiteral("em28xx"),  QStringLiteral("stk1160"), QStringLiteral("usbtv"),  QStringLiteral("cx231xx"),
        QStringLiteral("saa7134"), QStringLiteral("bttv"),    QStringLiteral("cx23885"), QStringLiteral("cx8800"),
        QStringLiteral("cx18"),    QStringLiteral("ivtv"),    QStringLiteral("tw68"),   QStringLiteral("tw686x"),
        QStringLiteral("au0828"),  QStringLiteral("tm6000"),  QStringLiteral("smi2021"), QLatin1String(kSimulatorDriver)};
    return name.startsWith(QStringLiteral("USB 28")) || name == QStringLiteral("DFG/USB2pro") ||
           analogDrivers.contains(driver);
}

QString CheckMarkLabel(bool storedDefault, const QString& name)
{
    return QString(storedDefault ? QChar(0x2713) : QChar(u' ')) + u' ' + name;
}

FormatList ListFormatsForStandard(const CaptureDevice* d, FpsStandard standard, bool restricted)
{
    FormatList list;
    if (!d)
        return list;
    const bool known = IsKnownDevice(d->name, d->driver);
    const int selected = d->selectedFormatIndex < 0 ? 0 : d->selectedFormatIndex;
    // A device that starts without a stored format starts with its first one.
    const int startDefault = d->defaultFormatIndex < 0 ? 0 : d->defaultFormatIndex;
    QList<int> listed;
    for (int i = 0; i < d->formats.size(); ++i) {
        const MediaFormat& f = d->formats[i];
        if (f.standard != standard || (restricted && i != selected && !SizeAllowed(f, standard, known)))
            continue;
        if (i == selected)
            list.selectPosition = static_cast<int>(listed.size());
        listed.append(i);
    }
    for (const int i : listed) {
        const MediaFormat& f = d->formats[i];
        const bool sizeShared = std::count_if(listed.begin(), listed.end(),
                                              [&](int j) { return d->formats[j].name == f.name; }) > 1;
        const QString text = sizeShared ? QStringLiteral("%1 %2 %3 fps").arg(f.name, SubtypeName(d, i), FrameRateText(f))
                                         : f.name;
        list.entries.append({i, CheckMarkLabel(i == startDefault, text)});
    }
    return list;
}

QString FrameRateText(const MediaFormat& f)
{
    if (f.avgTimePerFrame <= 0)
        return QStringLiteral("0");
    return QString::number(static_cast<double>(kUnitsPerSecond) / static_cast<double>(f.avgTimePerFrame), 'f', 2)
        .remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}
