#pragma once

#include <QString>
#include <cstdint>

class UserMessageLog;

// The log beside a recording: the recording's name with everything from its last "."
// replaced by ".log"; empty when the name has no ".".
QString RecordingLogFileName(const QString& recordingFileName);
// The recording's name without its extension (a dot in a folder name is no extension);
// the whole name when it has none. The files made beside a recording start with it.
QString RecordingBaseName(const QString& recordingFileName);

// The five lines of the log, CR LF after each. startLine and stopLine come without line
// ends. defaultFolder: VideoDirectory was empty when the recording began, so the file
// name is relative to the process directory, which the log spells out.
QString RecordingLogText(const QString& recordingFileName, const QString& startLine, const QString& stopLine,
                         bool defaultFolder, std::int64_t recordedFrames, std::int64_t droppedFrames);

inline constexpr int kMaxRecordingLogLength = 511;

// Writes the log as ISO 8859-1, replacing any older log of that name. A character that
// ISO 8859-1 lacks becomes '?' with a stamped NOTE. A name or text longer than 511
// characters is refused, and so is a log that cannot be written: each with a stamped
// message that carries the log's text, so nothing is lost. False when no log was written.
bool WriteRecordingLog(UserMessageLog& log, const QString& recordingFileName, const QString& startLine,
                       const QString& stopLine, bool defaultFolder, std::int64_t recordedFrames, std::int64_t droppedFrames);
