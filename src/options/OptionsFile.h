#pragma once

#include "options/AppOptions.h"

#include <QString>

inline constexpr const char* kOptionsFileName = "VELA_options.xml";

// Reads "VELA_options.xml" from the process directory into Options(). True when the
// document was parsed and its root's children listed; bad elements are skipped.
bool LoadOptionsFile();
// Stores one single-attribute element's value; unknown keys are ignored.
void ApplyOptionValue(const QString& key, const QString& value);
// After a successful load: the derived values, then the stored device pairs against the
// attached devices; a pair whose codec is not installed is removed and the file rewritten.
void CheckLoadedOptions();

// Writes the whole of Options() to the file; false (and *error set) when nothing was
// written. The old file stays whole on failure.
bool SaveOptionsFile(QString* error = nullptr);
// The save used by menu commands and dialogs: writes SaturationDefault as the threshold,
// reports message 17 on failure.
void SaveOptionsAndReport();

// The serialised document for the current options (the text WriteXmlDocumentText takes).
QString OptionsDocumentText(const AppOptions& options);

// Lookups against the device table; -1 / nullptr when there is none.
int FindDeviceIndex(const QString& deviceName);
int FindCodecIndex(int deviceIndex, const QString& codecName);
int FindFormatIndex(int deviceIndex, const QString& sizeText, FpsStandard fps, VideoSubtype subtype);
DeviceCodecPair* FindDeviceCodecPair(int deviceIndex);
DeviceFormatPair* FindDeviceFormatPair(int deviceIndex);

// File words of the enumerations.
QString FpsStandardWord(FpsStandard fps);
QString VideoSubtypeWord(VideoSubtype subtype);
QString VideoRendererWord(VideoRenderer renderer);
FpsStandard FpsStandardFromWord(const QString& word);     // anything unknown is OTHER
VideoSubtype VideoSubtypeFromWord(const QString& word);   // anything unknown is OTHER
