// The plugin file libgstvela.so, for gst-launch-1.0 and observers' own pipelines
// (through GST_PLUGIN_PATH); the program itself registers the same elements statically.
#include "capture/sim/SimulatorPlugin.h"

#define PACKAGE "vela-video"
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, vela, kVelaPluginDescription, VelaPluginInit, "1.1",
                  kVelaPluginLicense, kVelaPackage, kVelaOrigin)
