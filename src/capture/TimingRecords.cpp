#include "capture/TimingRecords.h"

#include "capture/RecordedVtiTimes.h"
#include "common/AtomicFile.h"
#include "filter/VtiTimingRecord.h"
#include "messages/UserMessageLog.h"
#include "recording/RecordingLog.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString Unfinished(const QString& aviPath)
{
    return QStringLiteral("NOTE: the timing record of %1 was not made before the program ended; "
                          "vela-video --read-times %1 makes it\r\n")
        .arg(aviPath);
}

} // namespace

QString TimingRecordFileName(const QString& aviPath)
{
    return RecordingBaseName(aviPath) + QStringLiteral(".vti.csv");
}

bool MakesTimingRecord(VideoSubtype source)
{
    return source == VideoSubtype::YUY2 || source == VideoSubtype::UYVY;
}

TimingRecordOutcome WriteTimingRecord(const QString& aviPath, const CharacterSetList& sets,
                                      const std::atomic<bool>* cancel)
{
    TimingRecordOutcome outcome;
    const QString noRecord = QStringLiteral("ERROR -- No timing record made: ");
    RecordedVtiTimesRequest request;
    request.packed422Only = true;
    request.cancel = cancel;
    RecordedVtiTimes times = ReadRecordedVtiTimes(aviPath, sets, request);
    if (!times.error.isEmpty()) {
        outcome.message = noRecord + times.error + QStringLiteral("\r\n");
        return outcome;
    }
    if (times.frames.empty()) {
        outcome.message = noRecord + QStringLiteral("%1 holds no frame\r\n").arg(aviPath);
        return outcome;
    }
    const TimingRecord record = MakeTimingRecord(std::move(times.frames), times.framePeriod);
    const QString csv = TimingRecordFileName(aviPath);
    std::string error;
    if (!WriteFileAtomically(QFile::encodeName(csv).toStdString(), TimingRecordCsv(record), &error)) {
        outcome.message = noRecord + QStringLiteral("%1 cannot be written (%2)\r\n").arg(csv, QString::fromStdString(error));
        return outcome;
    }
    outcome.written = true;
    outcome.message = QString::fromStdString(TimingRecordSummary(record, QFileInfo(csv).fileName().toStdString()));
    return outcome;
}

TimingRecordWriter::TimingRecordWriter(const CharacterSetList& sets, UserMessageLog& log)
    : m_sets(sets)
    , m_log(log)
    , m_thread([this] { Work(); })
{
}

TimingRecordWriter::~TimingRecordWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_cancel = true;
        for (const QString& path : m_queue)
            m_log.Append(Unfinished(path), true);
        m_queue.clear();
    }
    m_changed.notify_all();
    m_thread.join();
}

void TimingRecordWriter::Request(const QString& aviPath)
{
    {
        const std::lock_guard lock(m_mutex);
        m_queue.append(aviPath);
    }
    m_changed.notify_all();
}

void TimingRecordWriter::Work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_stopping || !m_queue.isEmpty(); });
        if (m_stopping)
            return;
        const QString path = m_queue.takeFirst();
        lock.unlock();
        const TimingRecordOutcome outcome = WriteTimingRecord(path, m_sets, &m_cancel);
        m_log.Append(m_cancel ? Unfinished(path) : outcome.message, true);
        lock.lock();
    }
}
