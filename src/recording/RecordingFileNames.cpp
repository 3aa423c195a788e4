#include "recording/RecordingFileNames.h"

#include "common/Clock.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct NameKind {
    const char* defaultFolder;
    const char* extension;
    const char* folderMessage;
};

constexpr NameKind kRecording{
    "VideoFiles", ".avi",
    "\r\nUnable to create \"VideoFiles\" directory under the process directory.  Check security settings.\r\n"};
constexpr NameKind kMessageLog{
    "LogFiles", ".log",
    "\r\nUnable to create \"LogFiles\" directory under the process directory.  Check security settings.\r\n"};

// UTC now, milliseconds dropped. (Local time plus a bias read at start-up would be an hour
// off after a daylight-saving change.)
CalendarTime NameTime(const Clock& clock)
{
    CalendarTime utc = clock.UtcNow();
    utc.milliseconds = 0;
    return utc;
}

QString MakeName(const NameKind& kind, const QString& directory, const QString& prefix, UserMessageLog& log,
                 const Clock& clock)
{
    QString name;
    if (directory.isEmpty()) {
        const QString folder = QString::fromLatin1(kind.defaultFolder);
        if (!QFileInfo(folder).isDir() && !QDir::current().mkdir(folder)) { // a plain file there fails too
            log.Append(QString::fromLatin1(kind.folderMessage), true);
            return {};
        }
        name = folder + QLatin1Char('/');
    } else {
        name = directory;
    }
    name += prefix;
    const CalendarTime t = NameTime(clock);
    name += QString::asprintf("%2.2hu_%2.2hu_%4.4hu_%2.2hu_%2.2hu_%2.2hu", t.month, t.day, t.year, t.hour, t.minute,
                              t.second);
    name += QString::fromLatin1(kind.extension);
    if (name.size() > kMaxFileNameLength) {
        log.Append(QStringLiteral("\r\nERROR -- file name is longer than %1 characters and was not used: \"%2\"\r\n")
                              .arg(kMaxFileNameLength)
                              .arg(name),
                          true);
        return {};
    }
    return name;
}

} // namespace

QString MakeRecordingFileName(const AppOptions& options, UserMessageLog& log, const Clock& clock)
{
    return MakeName(kRecording, options.VideoDirectory, options.VideoNamePrefix, log, clock);
}

QString MakeMessageLogFileName(const AppOptions& options, UserMessageLog& log, const Clock& clock)
{
    return MakeName(kMessageLog, options.LogfileDirectory, options.LogfileNamePrefix, log, clock);
}
