#include "recording/RecordingFileNames.h"

#include "common/Clock.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/AppState.h"

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
CalendarTime NameTime()
{
    CalendarTime utc = AppClock().UtcNow();
    utc.milliseconds = 0;
    return utc;
}

QString MakeName(const NameKind& kind, const QString& directory, const QString& prefix)
{
    QString name;
    if (directory.isEmpty()) {
        const QString folder = QString::fromLatin1(kind.defaultFolder);
        if (!QFileInfo::exists(folder) && !QDir::current().mkdir(folder)) {
            AppendUserMessage(QString::fromLatin1(kind.folderMessage), true);
            return {};
        }
        name = folder + QLatin1Char('/');
    } else {
        name = directory;
    }
    name += prefix;
    const CalendarTime t = NameTime();
    name += QString::asprintf("%2.2hu_%2.2hu_%4.4hu_%2.2hu_%2.2hu_%2.2hu", t.month, t.day, t.year, t.hour, t.minute,
                              t.second);
    name += QString::fromLatin1(kind.extension);
    if (name.size() > kMaxFileNameLength) {
        AppendUserMessage(QStringLiteral("\r\nERROR -- file name is longer than %1 characters and was not used: \"%2\"\r\n")
                              .arg(kMaxFileNameLength)
                              .arg(name),
                          true);
        return {};
    }
    return name;
}

} // namespace

QString MakeRecordingFileName()
{
    const AppOptions& o = Options();
    return MakeName(kRecording, o.VideoDirectory, o.VideoNamePrefix);
}

QString MakeMessageLogFileName()
{
    const AppOptions& o = Options();
    return MakeName(kMessageLog, o.LogfileDirectory, o.LogfileNamePrefix);
}
