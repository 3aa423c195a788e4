#include "messages/SaveUserMessages.h"

#include "common/AtomicFile.h"
#include "common/Latin1Text.h"
#include "messages/UserMessageLog.h"
#include "recording/RecordingFileNames.h"

bool SaveUserMessages(bool clear)
{
    const QString name = MakeMessageLogFileName();
    if (name.isEmpty())
        return false;

    UserMessageLog& log = UserMessageLog::Instance();
    // A character above 255 is written as '?' and the rest of the log is kept.
    const std::string bytes = EncodeLatin1(NormaliseCrLf(log.Text().toStdU16String()));

    QString why;
    if (!WriteFileAtomically(name, QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), &why)) {
        AppendUserMessage(QStringLiteral("ERROR -- User messages could not be saved in log file \"%1\": %2\r\n")
                              .arg(name, why),
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
    AppendUserMessage(confirmation, true);
    return true;
}
