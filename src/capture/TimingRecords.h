#pragma once

#include "filter/CharacterSet.h"
#include "options/AppOptions.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class UserMessageLog;

// "NAME.vti.csv" beside "NAME.avi": the recording's name with everything from its last
// "." replaced, as its log's is.
QString TimingRecordFileName(const QString& aviPath);

// Whether recordings from a source of this format get a timing record: the packed 4:2:2
// formats, which the reader reads in place.
bool MakesTimingRecord(VideoSubtype source);

struct TimingRecordOutcome {
    bool written = false;
    QString message; // the summary line, or why no record was made; CR LF at the end
};

// Reads the VTI time of every frame of an uncompressed YUY2 or UYVY recording and
// replaces its timing record with the result, atomically. Stops without a file once
// cancel is set.
TimingRecordOutcome WriteTimingRecord(const QString& aviPath, const CharacterSetList& sets,
                                      const std::atomic<bool>* cancel = nullptr);

// Makes the timing record of each recording handed to it, one after another on a thread
// of its own, so that neither the preview nor the next recording waits; each outcome goes
// to User Messages. Both must outlive the writer.
class TimingRecordWriter {
public:
    TimingRecordWriter(const CharacterSetList& sets, UserMessageLog& log);
    // A record being made is abandoned, and it and the queued ones are named in User
    // Messages with the command that makes them later.
    ~TimingRecordWriter();
    TimingRecordWriter(const TimingRecordWriter&) = delete;
    TimingRecordWriter& operator=(const TimingRecordWriter&) = delete;

    void Request(const QString& aviPath);

private:
    void Work();

    const CharacterSetList& m_sets;
    UserMessageLog& m_log;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    QStringList m_queue;
    bool m_stopping = false;
    std::atomic<bool> m_cancel{false};
    std::thread m_thread; // last: it starts once the rest is ready
};
