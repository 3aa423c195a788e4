#pragma once

#include "filter/AnalysisMessages.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <functional>
#include <mutex>

class Clock;

// The User Messages log. Entries may be appended from any thread: the caller composes
// its entry, queues it under a short lock and returns; the UI thread moves queued
// entries into the text in the order they were queued, so entries never interleave and
// no caller ever waits for the UI thread. Every entry is also echoed, line by line, to
// standard error (standard output for a program without windows).
//
// The text keeps paragraphs separated by '\n'; saving writes them as CR LF. The frame
// analysis reports into it (AnalysisMessages) from the streaming thread.
class UserMessageLog final : public QObject, public AnalysisMessages {
    Q_OBJECT
public:
    // Time stamps read the clock, which must outlive the log.
    explicit UserMessageLog(const Clock& clock);
    ~UserMessageLog() override;

    // One entry: "\r\n", the UTC time line "HH:mm:ss (UTC)\r\n" when timeStamp is set,
    // then the text as it stands. Any thread.
    void Append(const QString& text, bool timeStamp);
    void Report(std::string_view text, bool timeStamp) override; // ISO 8859-1 text, any thread

    // A fatal line: on standard error, then to the handler (the program's message box).
    void ShowFatal(const QString& line);
    void SetFatalHandler(std::function<void(const QString&)> handler);

    // UI thread only.
    QString Text();
    void Clear();
    void Drain();

    void SetEchoToStderr(bool on) { SetEchoStream(on ? stderr : nullptr); }
    void SetEchoStream(std::FILE* stream); // nullptr: no echo

signals:
    void EntriesAppended(const QString& paragraphs); // '\n'-separated, to add at the end
    void Cleared();

protected:
    bool event(QEvent* e) override;

private:
    Q_DISABLE_COPY_MOVE(UserMessageLog)

    const Clock& m_clock;
    std::mutex m_mutex;
    std::function<void(const QString&)> m_fatalHandler;
    QStringList m_pending;
    bool m_wakePosted = false;
    std::FILE* m_echo = stderr;
    QString m_text;
};

// Converts "\r\n", lone "\r" and lone "\n" to one '\n' each.
QString ToParagraphs(const QString& text);
