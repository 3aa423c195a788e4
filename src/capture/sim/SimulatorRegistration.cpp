#include "capture/sim/SimulatorRegistration.h"

#include "capture/sim/SimulatorDeviceProvider.h"
#include "capture/sim/SimulatorPlugin.h"

#include <mutex>

void RegisterVelaElements()
{
    static std::once_flag once; // process-wide: GStreamer registers a static plugin once per process
    std::call_once(once, [] {
        gst_plugin_register_static(GST_VERSION_MAJOR, GST_VERSION_MINOR, kVelaPluginName, kVelaPluginDescription,
                                   VelaPluginInit, "1.1", kVelaPluginLicense, "vela-video", kVelaPackage, kVelaOrigin);
    });
}

void RegisterSimulatorCamera(const SimulatorSettings& settings)
{
    RegisterVelaElements();
    static std::once_flag once; // process-wide: GStreamer registers a device provider once per process
    std::call_once(once, [] {
        // Marginal: above rank 0, which a monitor ignores, and below the real cameras.
        gst_device_provider_register(nullptr, kSimulatorProviderName, GST_RANK_MARGINAL,
                                     VelaVtiSimDeviceProviderGetType());
    });
    if (GstDeviceProviderFactory* factory = gst_device_provider_factory_find(kSimulatorProviderName)) {
        KeepSimulatorDeviceSettings(factory, settings);
        gst_object_unref(factory);
    }
}
