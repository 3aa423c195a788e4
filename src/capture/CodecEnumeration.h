#pragma once

#include "common/Status.h"
#include "devices/DeviceTable.h"

class UserMessageLog;

// Fills the codec lists of every device in the table: "NONE" first, then each video
// encoder that takes the device's output and feeds the AVI multiplexer directly, tried
// in a scratch pipeline that never runs. When it stops early, every device still
// without a list gets "NONE" alone; the messages are the only report.
Status EnumerateCodecs(DeviceTable& table, UserMessageLog& log);

// Gives every device the catalogue "NONE" alone, without trying any encoder: for tools
// that only ever record the camera's own video.
void OfferOnlyNone(DeviceTable& table);
