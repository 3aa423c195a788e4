#include "options/SettingsRules.h"

#include "devices/DeviceTable.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "options/OptionsFile.h"

namespace {

const QString kExampleTime = QStringLiteral("mm_dd_yyyy_hh_mm_ss");

QString TwoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

QString VideoFileNameExample(const QString& prefix)
{
    return QStringLiteral("File name:  ") + prefix + kExampleTime + QStringLiteral(".avi");
}

QString LogFileNameExample(const QString& prefix)
{
    return QStringLiteral("File name:  ") + prefix + kExampleTime + QStringLiteral(".log");
}

QString FolderOptionText(const QString& pickedPath, UserMessageLog& log)
{
    if (pickedPath.isEmpty())
        return {};
    QString folder = pickedPath;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    // Cutting a longer path would name another folder; recordings must never go there.
    if (folder.size() > kFolderCapacity - 1) {
        log.Append(QStringLiteral("WARNING: the chosen folder's path is longer than %1 characters; "
                                  "the folder was not changed.\r\n")
                       .arg(kFolderCapacity - 1),
                   true);
        return {};
    }
    return folder;
}

QString DurationOptionText(const CalendarTime& duration)
{
    return TwoDigits(duration.hour) + QLatin1Char(':') + TwoDigits(duration.minute) + QLatin1Char(':')
        + TwoDigits(duration.second);
}

QString CheckedAllocationText(const QString& text, AllocationKind kind, UserMessageLog& log)
{
    const QString cut = text.left(kAllocationDigits);
    if (AllocationValue(cut) <= kMaxAllocationGB)
        return cut;
    const bool manual = kind == AllocationKind::Manual;
    log.Append(manual ? QStringLiteral("Entered manual pre-allocation GB must be less than or equal to 20")
                      : QStringLiteral("Entered Event 10 minute pre-allocation GB must be less than or equal to 20"),
               true);
    log.Append(manual ? QStringLiteral("Manual pre-allocation set to 20 GB.\r\n")
                      : QStringLiteral("Event pre-allocation set to 20 GB.\r\n"),
               false);
    return QString::number(kMaxAllocationGB);
}

std::uint32_t AllocationValue(const QString& text)
{
    std::uint32_t value = 0;
    for (const QChar c : text.left(kAllocationDigits)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = value * 10 + static_cast<std::uint32_t>(c.unicode() - '0');
    }
    return value;
}

int ApplyEventPendingChoice(AppOptions& o, bool showUtc, bool storeAsDefault, bool utcAtOpening)
{
    o.ShowEventTimeAsUtc = showUtc;
    const QString word = showUtc ? QStringLiteral("UTC") : QStringLiteral("COUNTDOWN");
    if (storeAsDefault) {
        // A stored word means UTC exactly when it is "UTC"; any other word means countdown.
        const bool stored = !o.EventPendingDisplay.isEmpty();
        if (!stored || (o.EventPendingDisplay == QLatin1String("UTC")) != showUtc) {
            o.EventPendingDisplay = word;
            return 1;
        }
        return 3;
    }
    return showUtc != utcAtOpening ? 2 : 3;
}

void StoreDeviceFormatPair(AppOptions& o, DeviceTable& devices, int deviceIndex)
{
    CaptureDevice* device = AttachedDevice(devices, deviceIndex);
    if (!device || device->formats.isEmpty())
        return;
    const int index = device->selectedFormatIndex < 0 ? 0 : device->selectedFormatIndex;
    const MediaFormat& format = device->formats[index];
    if (DeviceFormatPair* pair = FindDeviceFormatPair(o, devices, deviceIndex)) {
        pair->size = format.name;
        pair->fps = format.standard;
        pair->subtype = format.subtype;
        device->selectedFormatIndex = index;
    } else {
        o.DeviceFormatPairs.append({device->name, format.name, format.standard, format.subtype});
    }
}

void StoreDeviceCodecPair(AppOptions& o, const DeviceTable& devices, int deviceIndex, const QString& codec)
{
    const CaptureDevice* device = AttachedDevice(devices, deviceIndex);
    if (!device)
        return;
    if (DeviceCodecPair* pair = FindDeviceCodecPair(o, devices, deviceIndex))
        pair->codec = codec;
    else
        o.DeviceCodecPairs.append({device->name, codec});
}
