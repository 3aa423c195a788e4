#pragma once

#include "devices/DeviceTable.h"

#include <QString>

// The devices of the table as `vela-video --list-devices` prints them, for users choosing
// a format and for bug reports: each device with its driver, every format (name, subtype,
// frame rate, standard) and its codecs.
QString DeviceListingText(const DeviceTable& table);
