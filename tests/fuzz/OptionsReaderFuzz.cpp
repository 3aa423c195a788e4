// Any bytes as VELA_options.xml: reading, the start-up check against attached devices and
// the save that a removed pair triggers must neither crash nor read out of bounds.
#include "FuzzSupport.h"
#include "devices/DeviceTable.h"
#include "options/OptionsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    UserMessageLog& log = EnterScratchProcessDirectory().log;
    WriteInput(kOptionsFileName, data, size);
    DeviceTable t;
    t.count = 1;
    t.devices[0].name = QStringLiteral("Cam");
    t.devices[0].codecNames = {QStringLiteral("NONE")};
    t.devices[0].formats = {{QStringLiteral("720x480"), 720, 480, 30, 333667, FpsStandard::NTSC, VideoSubtype::YUY2}};
    AppOptions options;
    SetOptionDefaults(options);
    if (LoadOptionsFile(options)) {
        CheckLoadedOptions(options, t, log);
        SaveOptionsFile(options);
        LoadOptionsFile(options); // what was written reads back
    }
    return 0;
}
