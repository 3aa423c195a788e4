#include "capture/DeviceEnumeration.h"

#include "capture/CapsFormats.h"
#include "capture/MediaObjects.h"
#include "devices/DeviceTable.h"
#include "devices/FormatRules.h"

#include <QStringList>

#include <vector>

namespace {

constexpr char kVideoSourceClass[] = "Video/Source";

struct DeviceProviderList {
    std::vector<GstDeviceProvider*> providers;
    ~DeviceProviderList()
    {
        for (GstDeviceProvider* p : providers)
            gst_object_unref(p);
    }
};

// The monitor's providers in its order, with the simulator moved to the end (or left out
// when not asked for) and providers that another one hides dropped, so that one camera is
// not listed twice.
void CollectProviders(GstDeviceMonitor* monitor, bool simulatedCamera, DeviceProviderList& out)
{
    gchar** names = gst_device_monitor_get_providers(monitor);
    if (!names)
        return;
    QStringList ordered;
    bool simulatorSeen = false;
    for (gchar** n = names; *n; ++n) {
        if (g_strcmp0(*n, kSimulatorProviderName) == 0)
            simulatorSeen = true;
        else
            ordered.append(QString::fromUtf8(*n));
    }
    g_strfreev(names);
    if (simulatedCamera && simulatorSeen)
        ordered.append(QString::fromLatin1(kSimulatorProviderName));

    QStringList hidden;
    std::vector<GstDeviceProvider*> found;
    for (const QString& name : ordered) {
        GstDeviceProvider* p = gst_device_provider_factory_get_by_name(name.toUtf8().constData());
        if (!p)
            continue;
        gchar** hides = gst_device_provider_get_hidden_providers(p);
        for (gchar** h = hides; h && *h; ++h)
            hidden.append(QString::fromUtf8(*h));
        g_strfreev(hides);
        found.push_back(p);
    }
    for (GstDeviceProvider* p : found) {
        GstDeviceProviderFactory* f = gst_device_provider_get_factory(p);
        if (f && hidden.contains(QString::fromUtf8(GST_OBJECT_NAME(f))))
            gst_object_unref(p);
        else
            out.providers.push_back(p);
    }
}

// The capture driver a device's properties name: V4L2's own provider and PipeWire's
// spell it differently; the simulator's provider reports itself.
QString DriverOf(GstDevice* device)
{
    GstStructure* properties = gst_device_get_properties(device);
    if (!properties)
        return {};
    QString driver;
    for (const char* key : {"v4l2.device.driver", "api.v4l2.cap.driver"})
        if (const gchar* value = gst_structure_get_string(properties, key); value && driver.isEmpty())
            driver = QString::fromUtf8(value);
    if (driver.isEmpty() && g_strcmp0(gst_structure_get_string(properties, "device.api"), kSimulatorDriver) == 0)
        driver = QLatin1String(kSimulatorDriver);
    gst_structure_free(properties);
    return driver;
}

// The table step for one device: the free slot takes its name and source, its formats
// are read (from the given caps, else from the device), and it counts only with formats.
// Status::Partial when the table was full.
Status OfferDevice(DeviceTable& table, UserMessageLog& log, const QString& name, const QString& driver,
                   DeviceHandle device, const GstCaps* caps)
{
    CaptureDevice* slot = FreeDeviceSlot(table, log);
    if (!slot)
        return Status::Partial;
    slot->name = name.left(kDeviceNameCapacity - 1);
    slot->driver = driver;
    slot->sourceDevice = std::move(device);
    if (caps) {
        slot->formats = FormatsFromCaps(caps);
    } else if (const Status s = EnumerateDeviceFormats(table, table.count); Failed(s)) {
        *slot = CaptureDevice{};
        return s;
    }
    CommitDeviceSlot(table);
    return Status::Ok;
}

} // namespace

Status EnumerateDeviceFormats(DeviceTable& table, int deviceIndex)
{
    if (deviceIndex < 0 || deviceIndex >= kMaxDevices)
        return Status::Unexpected;
    CaptureDevice& device = table.devices[static_cast<std::size_t>(deviceIndex)];
    if (!device.sourceDevice)
        return Status::NullPointer;
    CapsPtr caps(gst_device_get_caps(device.sourceDevice.get()));
    device.formats = FormatsFromCaps(caps.get());
    return Status::Ok;
}

Status ListCaptureDevice(DeviceTable& table, UserMessageLog& log, const QString& name, const QString& capsText,
                         const QString& driver)
{
    if (!EnsureMediaFramework())
        return Status::Failed;
    CapsPtr caps(gst_caps_from_string(capsText.toUtf8().constData()));
    if (!caps)
        caps.reset(gst_caps_new_empty());
    return OfferDevice(table, log, name, driver, nullptr, caps.get());
}

Status EnumerateCaptureDevices(DeviceTable& table, UserMessageLog& log, bool simulatedCamera)
{
    if (!EnsureMediaFramework())
        return Status::Failed;
    std::unique_ptr<GstDeviceMonitor, ObjectUnref> monitor(gst_device_monitor_new());
    if (!monitor)
        return Status::OutOfMemory;
    gst_device_monitor_add_filter(monitor.get(), kVideoSourceClass, nullptr);

    DeviceProviderList providers;
    CollectProviders(monitor.get(), simulatedCamera, providers);

    bool anyDevice = false;
    Status status = Status::Ok; // Status::Partial from a device: the table is full
    for (GstDeviceProvider* provider : providers.providers) {
        GList* devices = gst_device_provider_get_devices(provider);
        for (GList* item = devices; item && status == Status::Ok; item = item->next) {
            GstDevice* device = GST_DEVICE(item->data);
            if (!gst_device_has_classes(device, kVideoSourceClass))
                continue;
            anyDevice = true;
            gchar* displayName = gst_device_get_display_name(device);
            const QString name = QString::fromUtf8(displayName);
            g_free(displayName);
            status = OfferDevice(table, log, name, DriverOf(device), AdoptDevice(GST_DEVICE(gst_object_ref(device))),
                                 nullptr);
        }
        g_list_free_full(devices, gst_object_unref);
        if (status != Status::Ok)
            break;
    }
    if (Failed(status))
        return status;
    return anyDevice ? Status::Ok : Status::Partial;
}
