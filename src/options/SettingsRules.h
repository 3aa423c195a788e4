#pragma once

#include "common/CalendarTime.h"

#include <QString>
#include <cstdint>

struct AppOptions;
struct DeviceTable;
class UserMessageLog;

// The rules the settings dialogs apply to what the user enters, kept apart from the
// widgets so that every dialog and test reaches the same code.

inline constexpr std::uint32_t kMaxAllocationGB = 20;
inline constexpr int kAllocationDigits = 2;

// The example names shown under the prefix edits.
QString VideoFileNameExample(const QString& prefix);
QString LogFileNameExample(const QString& prefix);

// A picked folder as the options store it: with a trailing "/". Empty when the path is
// empty or, with its "/", longer than a folder option holds (that is reported in User
// Messages), so the caller keeps the folder it had.
QString FolderOptionText(const QString& pickedPath, UserMessageLog& log);

// The DefaultDuration text of a duration: "hh:mm:ss".
QString DurationOptionText(const CalendarTime& duration);

enum class AllocationKind { Manual, Event };

// A GB edit's text after a change: cut to its first two characters; a value above 20
// becomes "20" with the two lines logged.
QString CheckedAllocationText(const QString& text, AllocationKind kind, UserMessageLog& log);
// The value of a GB edit's text (at most two digits are read); 0 when it holds none.
std::uint32_t AllocationValue(const QString& text);

// OK in the Event Pending Options dialog: ShowEventTimeAsUtc := showUtc; with
// storeAsDefault, EventPendingDisplay follows the choice. Returns 1 when the stored
// default changed (the options must be saved), 2 when the choice differs from the one
// in force at opening (applied for this run only), else 3.
int ApplyEventPendingChoice(AppOptions& options, bool showUtc, bool storeAsDefault, bool utcAtOpening);

// "Make default" in the Device and Format dialog: the device's format pair names its
// selected format, the first when none is selected. A device without formats has
// nothing to name. Each device keeps one pair: a stored one is replaced.
void StoreDeviceFormatPair(AppOptions& options, DeviceTable& devices, int deviceIndex);
// "Pair with camera" in the Codec Selector: the device's codec pair names the codec.
void StoreDeviceCodecPair(AppOptions& options, const DeviceTable& devices, int deviceIndex, const QString& codec);
