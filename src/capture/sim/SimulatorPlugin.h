#pragma once

#include <gst/gst.h>

// Registers every element of our plugin. The in-process static plugin and the plugin
// file both call it, so an element added here is found by both.
gboolean VelaPluginInit(GstPlugin* plugin);

inline constexpr const char* kVelaPluginName = "vela";
inline constexpr const char* kVelaPluginDescription = "VELA Video elements";
inline constexpr const char* kVelaPluginLicense = "unknown";
inline constexpr const char* kVelaPackage = "VELA Video";
inline constexpr const char* kVelaOrigin = "VELA Video";
