#include "devices/FormatRules.h"

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

bool IsKnownDevice(const QString& name)
{
    return name.startsWith(QStringLiteral("USB 28")) || name == QStringLiteral("DFG/USB2pro");
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
    const bool known = IsKnownDevice(d->name);
    const int selected = d->selectedFormatIndex < 0 ? 0 : d->selectedFormatIndex;
    for (int i = 0; i < d->formats.size(); ++i) {
        const MediaFormat& f = d->formats[i];
        if (f.standard != standard || (restricted && !SizeAllowed(f, standard, known)))
            continue;
        if (i == selected)
            list.selectPosition = static_cast<int>(list.entries.size());
        list.entries.append({i, CheckMarkLabel(i == d->defaultFormatIndex, f.name)});
    }
    return list;
}
