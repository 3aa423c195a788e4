#include "recording/RecordingLog.h"

#include "common/AtomicFile.h"
#include "common/Latin1Text.h"
#include "common/ProcessDirectory.h"
#include "messages/UserMessageLog.h"

#include <QFile>

namespace {

void ReportNotWritten(UserMessageLog& log, const QString& logName, const QString& why, const QString& text)
{
    log.Append(QStringLiteral("\r\nERROR -- the recording log \"%1\" was not written: %2.  It reads:\r\n%3")
                   .arg(logName, why, text),
               true);
}

} // namespace

QString RecordingLogFileName(const QString& recordingFileName)
{
    // Only a dot of the file's own name counts, never one in a folder name.
    const qsizetype dot = recordingFileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0 || dot < recordingFileName.lastIndexOf(QLatin1Char('/')))
        return {};
    return recordingFileName.left(dot) + QStringLiteral(".log");
}

QString RecordingBaseName(const QString& recordingFileName)
{
    const qsizetype dot = recordingFileName.lastIndexOf(QLatin1Char('.'));
    return dot > recordingFileName.lastIndexOf(QLatin1Char('/')) ? recordingFileName.left(dot) : recordingFileName;
}

QString RecordingLogText(const QString& recordingFileName, const QString& startLine, const QString& stopLine,
                         bool defaultFolder, std::int64_t recordedFrames, std::int64_t droppedFrames)
{
    QString text = startLine + QStringLiteral("\r\n") + stopLine + QStringLiteral("\r\nVideo file:  ");
    if (defaultFolder)
        text += QString::fromStdString(GetProcessDirectory());
    text += recordingFileName;
    text += QStringLiteral("\r\nNumber of recorded frames:  %1").arg(recordedFrames);
    text += QStringLiteral("\r\nNumber of dropped frames:  %1\r\n").arg(droppedFrames);
    return text;
}

bool WriteRecordingLog(UserMessageLog& log, const QString& recordingFileName, const QString& startLine,
                       const QString& stopLine, bool defaultFolder, std::int64_t recordedFrames, std::int64_t droppedFrames)
{
    const QString logName = RecordingLogFileName(recordingFileName);
    if (logName.isEmpty())
        return false;
    const QString text =
        RecordingLogText(recordingFileName, startLine, stopLine, defaultFolder, recordedFrames, droppedFrames);
    const QString tooLong = QStringLiteral("its %1 is longer than %2 characters");
    if (logName.size() > kMaxRecordingLogLength) {
        ReportNotWritten(log, logName, tooLong.arg(QStringLiteral("name")).arg(kMaxRecordingLogLength), text);
        return false;
    }
    if (text.size() > kMaxRecordingLogLength) {
        ReportNotWritten(log, logName, tooLong.arg(QStringLiteral("text")).arg(kMaxRecordingLogLength), text);
        return false;
    }

    // The name goes to the file system as it is: Linux file names are not 8-bit text.
    bool substituted = false;
    const std::string bytes = EncodeLatin1(text.toStdU16String(), &substituted);
    if (substituted)
        log.Append(QStringLiteral("\r\n\r\nNOTE -- wide character buffer has unexpected bad character.\r\n"), true);

    std::string why;
    if (!WriteFileAtomically(QFile::encodeName(logName).toStdString(), bytes, &why)) {
        ReportNotWritten(log, logName, QString::fromStdString(why), text);
        return false;
    }
    return true;
}
