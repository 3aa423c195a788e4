#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <mutex>

// The User Messages log. Entries may be appended from any thread: the caller composes
// its entry, queues it under a short lock and returns; the UI thread moves queued
// entries into the text in the order they were queued, so entries never interleave and
// no caller ever waits for the UI thread. Every entry is also echoed to standard error.
//
// The text keeps paragraphs separated by '\n'; saving writes them as CR LF.
class UserMessageLog final : public QObject {
    Q_OBJECT
public:
    static UserMessageLog& Instance();

    void Append(const QString& text, bool timeStamp); // any thread

    // UI thread only.
    QString Text();
    void Clear();
    void Drain();

    void SetEchoToStderr(bool on);

signals:
    void EntriesAppended(const QString& paragraphs); // '\n'-separated, to add at the end
    void Cleared();

protected:
    bool event(QEvent* e) override;

private:
    UserMessageLog();
    Q_DISABLE_COPY_MOVE(UserMessageLog)

    std::mutex m_mutex;
    QStringList m_pending;
    bool m_wakePosted = false;
    bool m_echo = true;
    QString m_text;
};

// Appends one entry: "\r\n", the UTC time line "HH:mm:ss (UTC)\r\n" when timeStamp is
// set, then the text as it stands. Callable from any thread.
void AppendUserMessage(const QString& text, bool timeStamp);

// Shows a fatal line where no log may exist yet. The program installs a message box;
// until then (and in tests) the line goes to standard error.
void ShowFatalMessage(const QString& line);
void SetFatalMessageHandler(std::function<void(const QString&)> handler);

// Converts "\r\n", lone "\r" and lone "\n" to one '\n' each.
QString ToParagraphs(const QString& text);
