#pragma once

struct AppOptions;
class Clock;
class UserMessageLog;

// Saves the whole User Messages text into a new dated file under LogFiles (or the log
// folder option), as ISO 8859-1 with CR LF line ends; with clear set, empties the view
// after a successful save. Returns false, with a message naming the file and the
// reason, when nothing was saved; the view is then left as it was.
bool SaveUserMessages(const AppOptions& options, UserMessageLog& log, const Clock& clock, bool clear);
