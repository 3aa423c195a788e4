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

// Device property names of the settings.
constexpr char kOffsetProperty[] = "vela.offset";
constexpr char kDriftProperty[] = "vela.drift";
constexpr char kUnplugFileProperty[] = "vela.unplug-file";

constexpr char kSettingsKey[] = "vela-simulator-settings";

GstElement* CreateElement(GstDevice* device, const gchar* name)
{
    // Named after the device, so what it reports reads as a camera's report does.
    GstElement* element = gst_element_factory_make(kSimulatorElementName, name ? name : kSimulatorDeviceName);
    GstStructure* properties = gst_device_get_properties(device);
    if (element && properties) {
        gint64 offset = 0;
        double drift = 0.0;
        gst_structure_get_int64(properties, kOffsetProperty, &offset);
        gst_structure_get_double(properties, kDriftProperty, &drift);
        const gchar* unplugFile = gst_structure_get_string(properties, kUnplugFileProperty);
        g_object_set(element, "offset", offset, "drift", drift, "unplug-file", unplugFile, nullptr);
    }
    if (properties)
        gst_structure_free(properties);
    return element;
}

GList* Probe(GstDeviceProvider* provider)
{
    SimulatorSettings settings;
    if (GstDeviceProviderFactory* factory = gst_device_provider_get_factory(provider)) {
        GST_OBJECT_LOCK(factory);
        if (const auto* kept = static_cast<const SimulatorSettings*>(g_object_get_data(G_OBJECT(factory), kSettingsKey)))
            settings = *kept;
        GST_OBJECT_UNLOCK(factory);
    }
    GstCaps* caps = SimulatorCaps();
    GstStructure* properties = gst_structure_new(
        "properties", "device.api", G_TYPE_STRING, "simulator", kOffsetProperty, G_TYPE_INT64,
        static_cast<gint64>(settings.offsetMilliseconds), kDriftProperty, G_TYPE_DOUBLE,
        settings.driftMillisecondsPerMinute, nullptr);
    if (!settings.unplugFile.empty())
        gst_structure_set(properties, kUnplugFileProperty, G_TYPE_STRING, settings.unplugFile.c_str(), nullptr);
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

void KeepSimulatorDeviceSettings(GstDeviceProviderFactory* factory, const SimulatorSettings& settings)
{
    GST_OBJECT_LOCK(factory);
    g_object_set_data_full(G_OBJECT(factory), kSettingsKey, new SimulatorSettings(settings),
                           [](gpointer kept) { delete static_cast<SimulatorSettings*>(kept); });
    GST_OBJECT_UNLOCK(factory);
}

GType VelaVtiSimDeviceProviderGetType()
{
    return vela_vti_sim_device_provider_get_type();
}
