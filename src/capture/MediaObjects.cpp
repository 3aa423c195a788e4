#include "capture/MediaObjects.h"

bool EnsureMediaFramework()
{
    if (gst_is_initialized())
        return true;
    GError* error = nullptr;
    const bool ok = gst_init_check(nullptr, nullptr, &error);
    g_clear_error(&error);
    return ok;
}

CapsHandle AdoptCaps(GstCaps* caps)
{
    return CapsHandle(caps, [](GstCaps* c) {
        if (c)
            gst_caps_unref(c);
    });
}

DeviceHandle AdoptDevice(GstDevice* device)
{
    return DeviceHandle(device, [](GstDevice* d) {
        if (d)
            gst_object_unref(d);
    });
}

FactoryHandle AdoptFactory(GstElementFactory* factory)
{
    return FactoryHandle(factory, [](GstElementFactory* f) {
        if (f)
            gst_object_unref(f);
    });
}
