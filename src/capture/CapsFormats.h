#pragma once

#include "devices/DeviceTable.h"

#include <QList>
#include <QString>

typedef struct _GstCaps GstCaps;

// The accepted formats that a device's caps offer, in caps order: YUY2, UYVY, BGR (RGB24)
// and JPEG; every other type is skipped. Lists and ranges of sizes and rates become one
// fixed format each (ranges by the common values inside them), and formats without a
// frame rate are dropped. Each format keeps its fixed caps.
QList<MediaFormat> FormatsFromCaps(const GstCaps* caps);
// The same from caps in their serialised text form; empty when the text does not parse.
QList<MediaFormat> FormatsFromCapsText(const QString& capsText);
// The serialised text of caps, for messages and checks; empty for none.
QString CapsText(const CapsHandle& caps);
