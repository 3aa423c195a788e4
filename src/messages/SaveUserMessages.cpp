#include "messages/SaveUserMessages.h"

#include "common/AtomicFile.h"
#include "common/Clock.h"
#include "common/Latin1Text.h"
#include "messages/UserMessageLog.h"
#include "options/AppOptions.h"
#include "recording/RecordingFileNames.h"

#include <QFile>

bool SaveUserMessages(const AppOptions& options, UserMessageLog& log, const Clock& clock, bool clear)
{
    const QString name = MakeMessageLogFileName(options, log, clock);
    if (name.isEmpty())
        return false;

    // A character above 255 is written as '?' and the rest of the log is kept.
    const std::string bytes = EncodeLatin1(NormaliseCrLf(log.Text().toStdU16String()));

    std::string why;
    if (!WriteFileAtomically(QFile::encodeName(name).toStdString(), bytes, &why)) {
        log.Append(QStringLiteral("ERROR -- User messages could not be saved in log file \"%1\": %2\r\n")
                       .arg(name, QString::fromStdString(why)),
                   true);
        return false;
    }

    QString confirmation = QStringLiteral("User messages saved in log file \"") + name + QLatin1Char('"');
    if (clear) {
        log.Clear();
        confirmation += QStringLiteral(" and all messages cleared\r\n");
    } else {
        confirmation += QStringLiteral("\r\n");
    }
    log.Append(confirmation, true);
    return true;
}
