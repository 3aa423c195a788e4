#pragma once

#include <QStringList>

struct AppOptions;
class UserMessageLog;

// A recording that was never closed (the program killed, a power cut, batteries dead
// in the cold) has its frames on disk but no header frame count, no index and no log.
// At start-up each such file in the video folder is rebuilt into a complete AVI beside
// it, without re-encoding: "NAME.avi" gives "NAME_recovered.avi" and its log
// "NAME_recovered.log". The original is never changed. A recording counts as
// interrupted when it has no log of its own and its header or index is incomplete;
// one whose recovered file exists is done, so each is rebuilt once.
//
// Every recovery and every file that cannot be recovered is told in User Messages;
// nothing here stops the program from starting. Returns the recovered files.
QStringList RecoverInterruptedRecordings(const AppOptions& options, UserMessageLog& log);
