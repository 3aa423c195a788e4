#include "capture/sim/SimulatorPlugin.h"

#include "capture/sim/SimulatorSource.h"
#include "filter/gst/VelaTransformFilter.h"

gboolean VelaPluginInit(GstPlugin* plugin)
{
    // One line per element.
    return gst_element_register(plugin, kSimulatorElementName, GST_RANK_NONE, VelaVtiSimGetType())
        && gst_element_register(plugin, kTransformElementName, GST_RANK_NONE, VelaTransformFilterGetType());
}
