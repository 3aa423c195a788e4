#pragma once

#include <QString>

struct AppOptions;
class Clock;
class UserMessageLog;

// Names carry the UTC date and time at which they were made:
// folder + prefix + "MM_DD_YYYY_hh_mm_ss" + extension. An empty directory option means
// the default folder under the process directory, created when missing.
// Both return an empty name, after a stamped message, when the name cannot be made.
QString MakeRecordingFileName(const AppOptions& options, UserMessageLog& log, const Clock& clock);
QString MakeMessageLogFileName(const AppOptions& options, UserMessageLog& log, const Clock& clock);

inline constexpr int kMaxFileNameLength = 511;
