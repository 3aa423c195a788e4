#include "options/OptionsFile.h"

#include "options/AppOptions.h"

bool LoadOptionsFile()
{
    return false; // no reader yet: the built-in defaults stand
}

void CheckLoadedOptions()
{
    AppOptions& o = Options();
    o.DefaultRecordingDuration = DefaultDurationValue();
    o.HasDefaultDevice = !o.DefaultDevice.isEmpty();
}
