#pragma once

// Ownership helpers for media objects, for use inside capture/ only.

#include "devices/DeviceTable.h"

#include <gst/gst.h>

#include <memory>

// Initialises the media framework once; false when it cannot start.
bool EnsureMediaFramework();

// Take over one reference.
CapsHandle AdoptCaps(GstCaps* caps);
DeviceHandle AdoptDevice(GstDevice* device);
FactoryHandle AdoptFactory(GstElementFactory* factory);

struct ObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct CapsUnref {
    void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
};
using ElementPtr = std::unique_ptr<GstElement, ObjectUnref>;
using PadPtr = std::unique_ptr<GstPad, ObjectUnref>;
using CapsPtr = std::unique_ptr<GstCaps, CapsUnref>;
