#pragma once

#include <QString>

class UserMessageLog;

enum class MessageSeverity : int { Fatal = 0, Error = 1, Warning = 2, Note = 3 };

struct NumberedMessage {
    const char* text; // ASCII
    MessageSeverity severity;
};

inline constexpr int kAppMessageCount = 17;   // codes 1..17
inline constexpr int kGraphMessageCount = 40; // indexes 1..40, codes 1001..1040

// The tables are constant data; these return nullptr outside their ranges.
const NumberedMessage* AppMessage(int number);
const NumberedMessage* GraphMessage(int index);

// Severity word, text, severity suffix, code and CR LF. Any severity other than
// Fatal, Error or Warning composes as a note.
QString ComposeNumberedMessage(const QString& text, int code, int severity);

// Fatal: a message box captioned "VELA Video App" (through the log's fatal handler).
// Error and Warning: a stamped User Messages entry. Note: nothing.
void ReportAppMessage(UserMessageLog& log, int number);
void ReportGraphMessage(UserMessageLog& log, int index);
