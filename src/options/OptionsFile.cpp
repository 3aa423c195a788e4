#include "options/OptionsFile.h"

#include "common/AtomicFile.h"
#include "common/ProcessDirectory.h"
#include "devices/DeviceTable.h"
#include "messages/MessageTables.h"
#include "messages/UserMessageLog.h"
#include "options/XmlDocumentText.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

constexpr const char* kOptionsComment = "VELA Video Application Version 1.1";

QString OptionsPath()
{
    return QString::fromStdString(GetProcessDirectory()) + QLatin1String(kOptionsFileName);
}

// A hand-edited value longer than its field is cut at the field's capacity.
QString Cut(const QString& value, int capacity)
{
    return value.size() < capacity ? value : value.left(capacity - 1);
}

QByteArray Bytes(const QString& value)
{
    return value.toUtf8();
}

// Fills as many of the fields as the text holds, in order; the others keep their values.
template <std::size_t N>
void ParsePosition(const QString& value, std::int32_t* (&fields)[N])
{
    long v[4] = {};
    const QByteArray b = Bytes(value);
    const int n = N == 4 ? std::sscanf(b.constData(), "%ld, %ld, %ld, %ld", &v[0], &v[1], &v[2], &v[3])
                         : std::sscanf(b.constData(), "%ld, %ld", &v[0], &v[1]);
    for (int i = 0; i < n && i < static_cast<int>(N); ++i)
        *fields[i] = static_cast<std::int32_t>(v[i]);
}

void ParsePosition4(const QString& value, WindowPosition4& p)
{
    std::int32_t* fields[4] = {&p.left, &p.top, &p.width, &p.height};
    ParsePosition(value, fields);
}

void ParsePosition2(const QString& value, WindowPosition2& p)
{
    std::int32_t* fields[2] = {&p.left, &p.top};
    ParsePosition(value, fields);
}

void ParseUnsigned(const QString& value, std::uint32_t& field)
{
    unsigned v = 0;
    if (std::sscanf(Bytes(value).constData(), "%u", &v) == 1)
        field = v;
}

QString Bool(bool b)
{
    return b ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString Position4(const WindowPosition4& p)
{
    return QStringLiteral("%1, %2, %3, %4").arg(p.left).arg(p.top).arg(p.width).arg(p.height);
}

QString Position2(const WindowPosition2& p)
{
    return QStringLiteral("%1, %2").arg(p.left).arg(p.top);
}

XmlElementLine Value(const char* name, const QString& value)
{
    return XmlElementLine{QString::fromLatin1(name), {{QStringLiteral("Value"), value}}};
}

const CaptureDevice* Device(const DeviceTable& t, int index)
{
    return index >= 0 && index < t.count ? &t.devices[static_cast<std::size_t>(index)] : nullptr;
}

} // namespace

QString FpsStandardWord(FpsStandard fps)
{
    switch (fps) {
    case FpsStandard::NTSC: return QStringLiteral("NTSC");
    case FpsStandard::PAL: return QStringLiteral("PAL");
    default: return QStringLiteral("OTHER");
    }
}

QString VideoSubtypeWord(VideoSubtype subtype)
{
    switch (subtype) {
    case VideoSubtype::MJPG: return QStringLiteral("MJPG");
    case VideoSubtype::RGB24: return QStringLiteral("RGB24");
    case VideoSubtype::UYVY: return QStringLiteral("UYVY");
    case VideoSubtype::YUY2: return QStringLiteral("YUY2");
    case VideoSubtype::ARGB32: return QStringLiteral("ARGB32");
    default: return QStringLiteral("OTHER");
    }
}

QString VideoRendererWord(VideoRenderer renderer)
{
    switch (renderer) {
    case VideoRenderer::XVideoOverlay: return QStringLiteral("VMR9");
    case VideoRenderer::XOverlay: return QStringLiteral("VMR7");
    default: return QStringLiteral("EVR");
    }
}

FpsStandard FpsStandardFromWord(const QString& word)
{
    if (word == QLatin1String("NTSC"))
        return FpsStandard::NTSC;
    if (word == QLatin1String("PAL"))
        return FpsStandard::PAL;
    return FpsStandard::OTHER;
}

VideoSubtype VideoSubtypeFromWord(const QString& word)
{
    for (VideoSubtype s : {VideoSubtype::MJPG, VideoSubtype::RGB24, VideoSubtype::UYVY, VideoSubtype::YUY2,
                           VideoSubtype::ARGB32})
        if (word == VideoSubtypeWord(s))
            return s;
    return VideoSubtype::OTHER;
}

void ApplyOptionValue(AppOptions& o, const QString& key, const QString& value)
{
    const QByteArray k = key.toLatin1();
    if (k == "VideoNamePrefix")
        o.VideoNamePrefix = Cut(value, kPrefixCapacity);
    else if (k == "VideoDirectory")
        o.VideoDirectory = Cut(value, kFolderCapacity);
    else if (k == "LogfileNamePrefix")
        o.LogfileNamePrefix = Cut(value, kPrefixCapacity);
    else if (k == "LogfileDirectory")
        o.LogfileDirectory = Cut(value, kFolderCapacity);
    else if (k == "DefaultDevice")
        o.DefaultDevice = Cut(value, kDeviceNameCapacity);
    else if (k == "DefaultDuration")
        o.DefaultDuration = Cut(value, kShortTextCapacity);
    else if (k == "EventPendingDisplay")
        o.EventPendingDisplay = Cut(value, kShortTextCapacity);
    else if (k == "PixelSaturationValue") {
        int v = 0;
        if (std::sscanf(Bytes(value).constData(), "%d", &v) == 1)
            o.PixelSaturationValue = v;
    } else if (k == "MainWindowPosition")
        ParsePosition4(value, o.MainWindowPosition);
    else if (k == "MessageWindowPosition")
        ParsePosition4(value, o.MessageWindowPosition);
    else if (k == "ControlsWindowPosition")
        ParsePosition2(value, o.ControlsWindowPosition);
    else if (k == "DialogWindowPosition")
        ParsePosition2(value, o.DialogWindowPosition);
    else if (k == "CountdownWindowPosition")
        ParsePosition2(value, o.CountdownWindowPosition);
    else if (k == "BrightnessContrastWindowPosition")
        ParsePosition2(value, o.BrightnessContrastWindowPosition);
    else if (k == "DisplayOffWhileRecording")
        o.DisplayOffWhileRecording = value == QLatin1String("TRUE");
    else if (k == "FilePreAllocation")
        o.FilePreAllocation = value == QLatin1String("TRUE");
    else if (k == "UseDefaultDeviceSettings")
        o.UseDefaultDeviceSettings = value == QLatin1String("TRUE");
    else if (k == "ManualAllocationGB")
        ParseUnsigned(value, o.ManualAllocationGB);
    else if (k == "EventAllocationGB")
        ParseUnsigned(value, o.EventAllocationGB);
    else if (k == "DefaultRenderer")
        o.DefaultRenderer = value == QLatin1String("VMR9") ? VideoRenderer::XVideoOverlay
            : value == QLatin1String("VMR7")               ? VideoRenderer::XOverlay
                                                           : VideoRenderer::Window;
}

bool LoadOptionsFile(AppOptions& o, UserMessageLog* log)
{
    const QString path = OptionsPath();
    QString why;
    const auto children = ReadFlatDocument(path, &why);
    if (!children) {
        // No file is the first start, and needs no word.
        if (log && QFileInfo::exists(path))
            log->Append(QStringLiteral("\r\nWARNING: %1 was not read: %2.  The built-in default settings are in use.  "
                                       "The file is left as it is until a setting is saved; it is then kept as "
                                       "%1%3.\r\n")
                            .arg(QLatin1String(kOptionsFileName), why, QLatin1String(kUnreadableOptionsSuffix)),
                        true);
        return false;
    }
    for (const XmlChild& c : *children) {
        const QStringList& a = c.attributeValues;
        if (a.size() == 1) {
            ApplyOptionValue(o, c.name, a[0]);
        } else if (a.size() >= 2 && c.name == QLatin1String("DeviceCodecPair")) {
            o.DeviceCodecPairs.append({Cut(a[0], kDeviceNameCapacity), Cut(a[1], kCodecNameCapacity)});
        } else if (a.size() >= 4 && c.name == QLatin1String("DeviceFormatPair")) {
            o.DeviceFormatPairs.append({Cut(a[0], kDeviceNameCapacity), Cut(a[1], kSizeTextCapacity),
                                        FpsStandardFromWord(a[2]), VideoSubtypeFromWord(a[3])});
        }
    }
    return true;
}

void CheckLoadedOptions(AppOptions& o, DeviceTable& devices, UserMessageLog& log)
{
    o.DefaultRecordingDuration = DefaultDurationValue();
    o.HasDefaultDevice = !o.DefaultDevice.isEmpty();

    if (!o.DefaultDuration.isEmpty()) {
        // Fields missing from a hand-edited text keep 0 h 10 min 0 s.
        unsigned long hms[3] = {0, 10, 0};
        std::sscanf(Bytes(o.DefaultDuration).constData(), "%2lu:%2lu:%2lu", &hms[0], &hms[1], &hms[2]);
        o.DefaultRecordingDuration = DefaultDurationValue(static_cast<int>(hms[0]), static_cast<int>(hms[1]),
                                                          static_cast<int>(hms[2]));
    } else {
        o.DefaultDuration = QStringLiteral("00:10:00");
    }

    if (!o.EventPendingDisplay.isEmpty())
        o.ShowEventTimeAsUtc = o.EventPendingDisplay == QLatin1String("UTC");

    bool removed = false;
    for (qsizetype i = 0; i < o.DeviceCodecPairs.size();) {
        const DeviceCodecPair& pair = o.DeviceCodecPairs[i];
        const int device = FindDeviceIndex(devices, pair.device);
        if (device < 0) {
            ++i;
            continue;
        }
        const int codec = FindCodecIndex(devices, device, pair.codec);
        if (codec >= 0) {
            devices.devices[static_cast<std::size_t>(device)].chosenCodecIndex = codec;
            ++i;
            continue;
        }
        log.Append(QStringLiteral("NOTE: the camera codec pair \"") + pair.device + QStringLiteral(" | ") + pair.codec
                       + QStringLiteral("\" because the codec is not installed\r\n"),
                   true);
        o.DeviceCodecPairs.removeAt(i);
        removed = true;
    }

    for (const DeviceFormatPair& pair : o.DeviceFormatPairs) {
        const int device = FindDeviceIndex(devices, pair.device);
        if (device < 0)
            continue;
        const int format = FindFormatIndex(devices, device, pair.size, pair.fps, pair.subtype);
        if (format >= 0) {
            CaptureDevice& d = devices.devices[static_cast<std::size_t>(device)];
            d.defaultFormatIndex = format;
            d.selectedFormatIndex = format;
        } else {
            log.Append(QStringLiteral("Media format \"") + pair.size
                           + QStringLiteral("\" is not available for video camera \"") + pair.device
                           + QStringLiteral("\"\r\n"),
                       true);
        }
    }

    if (removed)
        SaveOptionsAndReport(o, log);
}

QString OptionsDocumentText(const AppOptions& o)
{
    QList<XmlElementLine> e;
    e << Value("VideoNamePrefix", o.VideoNamePrefix) << Value("VideoDirectory", o.VideoDirectory)
      << Value("LogfileNamePrefix", o.LogfileNamePrefix) << Value("LogfileDirectory", o.LogfileDirectory)
      << Value("DefaultDuration", o.DefaultDuration) << Value("EventPendingDisplay", o.EventPendingDisplay)
      << Value("PixelSaturationValue", QString::number(o.PixelSaturationValue))
      << Value("MainWindowPosition", Position4(o.MainWindowPosition))
      << Value("MessageWindowPosition", Position4(o.MessageWindowPosition))
      << Value("ControlsWindowPosition", Position2(o.ControlsWindowPosition))
      << Value("DialogWindowPosition", Position2(o.DialogWindowPosition))
      << Value("CountdownWindowPosition", Position2(o.CountdownWindowPosition))
      << Value("BrightnessContrastWindowPosition", Position2(o.BrightnessContrastWindowPosition))
      << Value("DefaultDevice", o.DefaultDevice)
      << Value("DisplayOffWhileRecording", Bool(o.DisplayOffWhileRecording))
      << Value("FilePreAllocation", Bool(o.FilePreAllocation))
      << Value("EventAllocationGB", QString::number(o.EventAllocationGB))
      << Value("ManualAllocationGB", QString::number(o.ManualAllocationGB))
      << Value("DefaultRenderer", VideoRendererWord(o.DefaultRenderer))
      << Value("UseDefaultDeviceSettings", Bool(o.UseDefaultDeviceSettings));
    for (const DeviceCodecPair& p : o.DeviceCodecPairs)
        e << XmlElementLine{QStringLiteral("DeviceCodecPair"),
                            {{QStringLiteral("Device"), p.device}, {QStringLiteral("Codec"), p.codec}}};
    for (const DeviceFormatPair& p : o.DeviceFormatPairs)
        e << XmlElementLine{QStringLiteral("DeviceFormatPair"),
                            {{QStringLiteral("Device"), p.device},
                             {QStringLiteral("Size"), p.size},
                             {QStringLiteral("FPS"), FpsStandardWord(p.fps)},
                             {QStringLiteral("SubType"), VideoSubtypeWord(p.subtype)}}};
    return SerialiseFlatDocument(QLatin1String(kOptionsComment), e);
}

bool SaveOptionsFile(const AppOptions& options, QString* error)
{
    const QString path = OptionsPath();
    if (QFileInfo::exists(path) && !ReadFlatDocument(path)) {
        QFile old(path);
        std::string why = "cannot be opened";
        const bool kept = old.open(QIODevice::ReadOnly)
            && WriteFileAtomically((path + QLatin1String(kUnreadableOptionsSuffix)).toStdString(),
                                   old.readAll().toStdString(), &why);
        if (!kept) {
            if (error)
                *error = QStringLiteral("the unreadable file could not be kept as %1%2: %3")
                             .arg(QLatin1String(kOptionsFileName), QLatin1String(kUnreadableOptionsSuffix),
                                  QString::fromStdString(why));
            return false;
        }
    }
    return WriteXmlDocumentText(OptionsDocumentText(options), path, error);
}

void SaveOptionsAndReport(AppOptions& o, UserMessageLog& log)
{
    const std::int32_t inEffect = o.PixelSaturationValue;
    o.PixelSaturationValue = o.SaturationDefault;
    QString why;
    if (!SaveOptionsFile(o, &why)) {
        ReportAppMessage(log, 17);
        // The numbered text names no cause; say what the system said.
        log.Append(QStringLiteral("NOTE -- \"%1\": %2\r\n").arg(OptionsPath(), why), false);
    }
    o.PixelSaturationValue = inEffect;
}

int FindDeviceIndex(const DeviceTable& t, const QString& deviceName)
{
    for (int i = 0; i < t.count; ++i)
        if (t.devices[static_cast<std::size_t>(i)].name == deviceName)
            return i;
    return -1;
}

int FindCodecIndex(const DeviceTable& devices, int deviceIndex, const QString& codecName)
{
    const CaptureDevice* d = Device(devices, deviceIndex);
    return d ? static_cast<int>(d->codecNames.indexOf(codecName)) : -1;
}

int FindFormatIndex(const DeviceTable& devices, int deviceIndex, const QString& sizeText, FpsStandard fps,
                    VideoSubtype subtype)
{
    const CaptureDevice* d = Device(devices, deviceIndex);
    if (!d)
        return -1;
    for (qsizetype i = 0; i < d->formats.size(); ++i) {
        const MediaFormat& f = d->formats[i];
        if (f.name == sizeText && f.standard == fps && f.subtype == subtype)
            return static_cast<int>(i);
    }
    return -1;
}

namespace {
template <typename Pair>
Pair* FirstPairOf(const DeviceTable& devices, int deviceIndex, QList<Pair>& pairs)
{
    const CaptureDevice* d = Device(devices, deviceIndex);
    if (!d)
        return nullptr;
    for (Pair& p : pairs)
        if (p.device == d->name)
            return &p;
    return nullptr;
}
} // namespace

DeviceCodecPair* FindDeviceCodecPair(AppOptions& options, const DeviceTable& devices, int deviceIndex)
{
    return FirstPairOf(devices, deviceIndex, options.DeviceCodecPairs);
}

DeviceFormatPair* FindDeviceFormatPair(AppOptions& options, const DeviceTable& devices, int deviceIndex)
{
    return FirstPairOf(devices, deviceIndex, options.DeviceFormatPairs);
}
