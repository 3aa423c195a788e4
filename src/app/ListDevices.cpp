#include "app/ListDevices.h"

#include "capture/CaptureBackEnd.h"
#include "capture/CodecEnumeration.h"
#include "capture/DeviceEnumeration.h"
#include "common/Clock.h"
#include "devices/DeviceListing.h"
#include "messages/UserMessageLog.h"

#include <cstdio>

Status ListDevices(const CommandLine& commandLine)
{
    const SystemClock clock;
    UserMessageLog log(clock); // its entries are echoed on standard error
    DeviceTable table;
    PrepareCaptureBackEnd(commandLine.simulatedCamera, commandLine.simulator);
    const Status found = EnumerateCaptureDevices(table, log, commandLine.simulatedCamera);
    if (Failed(found))
        return found;
    if (table.count > 0)
        static_cast<void>(EnumerateCodecs(table, log));
    const QByteArray text = DeviceListingText(table).toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return std::fflush(stdout) == 0 ? Status::Ok : Status::Failed;
}
