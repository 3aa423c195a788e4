#pragma once

#include "options/AppOptions.h"

#include <QString>

struct DeviceTable;
class UserMessageLog;

inline constexpr const char* kOptionsFileName = "VELA_options.xml";

inline constexpr const char* kUnreadableOptionsSuffix = ".unreadable";

// Reads "VELA_options.xml" from the process directory into the options. True when the
// document was parsed and its root's children listed; bad elements are skipped. A file
// that is there but cannot be read so is named in the log, when one is given, with the
// reason; the defaults stay in use and the file is left as it is.
bool LoadOptionsFile(AppOptions& options, UserMessageLog* log = nullptr);
// Stores one single-attribute element's value; unknown keys are ignored.
void ApplyOptionValue(AppOptions& options, const QString& key, const QString& value);
// After a successful load: the derived values, then the stored device pairs against the
// attached devices; a pair whose codec is not installed is removed and the file rewritten.
void CheckLoadedOptions(AppOptions& options, DeviceTable& devices, UserMessageLog& log);

// Writes the whole of the options to the file; false (and *error set) when nothing was
// written. The old file stays whole on failure. An old file that cannot be read as an
// options file is first kept as "VELA_options.xml.unreadable", so the hand edits in it
// are never lost to a save.
bool SaveOptionsFile(const AppOptions& options, QString* error = nullptr);
// The save used by menu commands and dialogs: writes SaturationDefault as the threshold,
// reports message 17 on failure.
void SaveOptionsAndReport(AppOptions& options, UserMessageLog& log);

// The serialised document for the current options (the text WriteXmlDocumentText takes).
QString OptionsDocumentText(const AppOptions& options);

// Lookups against the device table; -1 / nullptr when there is none.
int FindDeviceIndex(const DeviceTable& devices, const QString& deviceName);
int FindCodecIndex(const DeviceTable& devices, int deviceIndex, const QString& codecName);
int FindFormatIndex(const DeviceTable& devices, int deviceIndex, const QString& sizeText, FpsStandard fps,
                    VideoSubtype subtype);
DeviceCodecPair* FindDeviceCodecPair(AppOptions& options, const DeviceTable& devices, int deviceIndex);
DeviceFormatPair* FindDeviceFormatPair(AppOptions& options, const DeviceTable& devices, int deviceIndex);

// File words of the enumerations.
QString FpsStandardWord(FpsStandard fps);
QString VideoSubtypeWord(VideoSubtype subtype);
QString VideoRendererWord(VideoRenderer renderer);
FpsStandard FpsStandardFromWord(const QString& word);     // anything unknown is OTHER
VideoSubtype VideoSubtypeFromWord(const QString& word);   // anything unknown is OTHER
