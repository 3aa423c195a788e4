#include "capture/sim/SimulatorDeviceProvider.h"

#include "capture/sim/GTypeDefine.h"
#include "capture/sim/SimulatorFormats.h"
#include "capture/sim/SimulatorSource.h"

struct VelaVtiSimDevice {
    GstDevice parent;
};
struct VelaVtiSimDeviceClass {
    GstDeviceClass parent;
};
VELA_DEFINE_TYPE(VelaVtiSimDevice, vela_vti_sim_device, GST_TYPE_DEVICE)

struct VelaVtiSimDeviceProvider {
    GstDeviceProvider parent;
};
struct VelaVtiSimDeviceProviderClass {
    GstDeviceProviderClass parent;
};
VELA_DEFINE_TYPE(VelaVtiSimDeviceProvider, vela_vti_sim_device_provider, GST_TYPE_DEVICE_PROVIDER)

namespace {

GstElement* CreateElement(GstDevice*, const gchar* name)
{
    return gst_element_factory_make(kSimulatorElementName, name);
}

GList* Probe(GstDeviceProvider*)
{
    GstCaps* caps = SimulatorCaps();
    GstStructure* properties = gst_structure_new("properties", "device.api", G_TYPE_STRING, "simulator", nullptr);
    gpointer device = g_object_new(vela_vti_sim_device_get_type(), "display-name", kSimulatorDeviceName,
                                   "device-class", "Video/Source", "caps", caps, "properties", properties, nullptr);
    gst_caps_unref(caps);
    gst_structure_free(properties);
    return g_list_append(nullptr, device);
}

} // namespace

static void vela_vti_sim_device_class_init(VelaVtiSimDeviceClass* klass)
{
    GST_DEVICE_CLASS(klass)->create_element = CreateElement;
}

static void vela_vti_sim_device_init(VelaVtiSimDevice*) {}

static void vela_vti_sim_device_provider_class_init(VelaVtiSimDeviceProviderClass* klass)
{
    GstDeviceProviderClass* providerClass = GST_DEVICE_PROVIDER_CLASS(klass);
    providerClass->probe = Probe;
    // The monitor's "Video/Source" filter matches on these classes.
    gst_device_provider_class_set_static_metadata(providerClass, "VTI Simulator Device Provider", "Source/Video",
                                                  "Lists the simulated camera", "VELA Video");
}

static void vela_vti_sim_device_provider_init(VelaVtiSimDeviceProvider*) {}

GType VelaVtiSimDeviceProviderGetType()
{
    return vela_vti_sim_device_provider_get_type();
}
