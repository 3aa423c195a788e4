// Any bytes as VELA_options.xml: reading, the start-up check against attached devices and
// the save that a removed pair triggers must neither crash nor read out of bounds.
#include "FuzzSupport.h"
#include "devices/DeviceTable.h"
#include "messages/UserMessageLog.h"
#include "options/OptionsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    EnterScratchProcessDirectory();
    UserMessageLog::Instance().SetEchoToStderr(false);
    WriteInput(kOptionsFileName, data, size);

    Devices() = DeviceTable{};
    DeviceTable& t = Devices();
    t.count = 1;
    t.devices[0].name = QStringLiteral("Cam");
    t.devices[0].codecNames = {QStringLiteral("NONE")};
    t.devices[0].formats = {{QStringLiteral("720x480"), 720, 480, 30, 333667, FpsStandard::NTSC, VideoSubtype::YUY2}};

    Options() = AppOptions{};
    SetOptionDefaults(Options());
    if (LoadOptionsFile(Options())) {
        CheckLoadedOptions(Options(), Devices(), UserMessageLog::Instance());
        SaveOptionsFile(Options());
        LoadOptionsFile(Options()); // what was written reads back
    }
    UserMessageLog::Instance().Clear();
    return 0;
}
