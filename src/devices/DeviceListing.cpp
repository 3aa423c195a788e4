#include "devices/DeviceListing.h"

#include "devices/FormatRules.h"
#include "options/OptionsFile.h"

QString DeviceListingText(const DeviceTable& table)
{
    if (table.count <= 0)
        return QStringLiteral("No video capture device found.\n");
    QString out;
    for (int i = 0; i < table.count; ++i) {
        const CaptureDevice& d = table.devices[static_cast<std::size_t>(i)];
        out += QStringLiteral("%1\n  driver: %2%3\n  formats:\n")
                   .arg(d.name, d.driver.isEmpty() ? QStringLiteral("(not named)") : d.driver,
                        IsKnownDevice(d.name, d.driver) ? QStringLiteral(" (known device)") : QString());
        for (int f = 0; f < d.formats.size(); ++f) {
            const MediaFormat& m = d.formats[f];
            out += QStringLiteral("    %1 %2 %3 %4\n")
                       .arg(m.name, -9)
                       .arg(SubtypeName(&d, f), -5)
                       .arg(FrameRateText(m) + QStringLiteral(" fps"), -9)
                       .arg(FpsStandardWord(m.standard));
        }
        out += QStringLiteral("  codecs:\n");
        for (const QString& codec : d.codecNames)
            out += QStringLiteral("    %1\n").arg(codec);
        if (i + 1 < table.count)
            out += u'\n';
    }
    return out;
}
