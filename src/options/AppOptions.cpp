#include "options/AppOptions.h"

CalendarTime DefaultDurationValue(int hours, int minutes, int seconds)
{
    return CalendarTime{1943, 5, 1, 3, static_cast<std::uint16_t>(hours), static_cast<std::uint16_t>(minutes),
                        static_cast<std::uint16_t>(seconds), 0};
}

void SetOptionDefaults(AppOptions& o)
{
    AppOptions defaults;
    defaults.DeviceCodecPairs = std::move(o.DeviceCodecPairs);
    defaults.DeviceFormatPairs = std::move(o.DeviceFormatPairs);
    o = std::move(defaults);
}
