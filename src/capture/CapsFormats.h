#pragma once

#include "devices/DeviceTable.h"

#include <QList>
#include <QString>

typedef struct _GstCaps GstCaps;

// The accepted formats that a device's caps offer, in caps order: YUY2, UYVY, BGR (RGB24)
// and JPEG in system memory, whole frames only; every other type is skipped. Lists of
// sizes and rates become one fixed format each; a size range stands for the analog sizes
// inside it and a rate range for 30000/1001 and 25. Formats without a frame rate are
// dropped, and so is a second format of the same size, subtype and whole frames per
// second. Each format keeps its fixed caps.
QList<MediaFormat> FormatsFromCaps(const GstCaps* caps);
// The same from caps in their serialised text form; empty when the text does not parse.
QList<MediaFormat> FormatsFromCapsText(const QString& capsText);
// The serialised text of caps, for messages and checks; empty for none.
QString CapsText(const CapsHandle& caps);
