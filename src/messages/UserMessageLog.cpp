#include "messages/UserMessageLog.h"

#include "common/Clock.h"

#include <QCoreApplication>
#include <QEvent>
#include <cstdio>

namespace {

QString TimeStampLine(const CalendarTime& t)
{
    return QStringLiteral("%1:%2:%3 (UTC)\r\n")
        .arg(t.hour, 2, 10, QLatin1Char('0'))
        .arg(t.minute, 2, 10, QLatin1Char('0'))
        .arg(t.second, 2, 10, QLatin1Char('0'));
}

void Echo(const QString& entry, std::FILE* stream)
{
    QByteArray out;
    const QStringList lines = ToParagraphs(entry).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.isEmpty())
            continue;
        out += line.toUtf8();
        out += '\n';
    }
    if (!out.isEmpty()) {
        std::fwrite(out.constData(), 1, static_cast<std::size_t>(out.size()), stream);
        std::fflush(stream);
    }
}

} // namespace

QString ToParagraphs(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
            out += QLatin1Char('\n');
        } else {
            out += c;
        }
    }
    return out;
}

UserMessageLog::UserMessageLog(const Clock& clock)
    : m_clock(clock)
{
    if (QCoreApplication* app = QCoreApplication::instance())
        moveToThread(app->thread());
}

void UserMessageLog::Append(const QString& text, bool timeStamp)
{
    QString head = QStringLiteral("\r\n");
    if (timeStamp)
        head += TimeStampLine(m_clock.UtcNow());

    const QString entry = head + text;
    std::lock_guard lock(m_mutex);
    m_pending.append(entry);
    if (m_echo)
        Echo(entry, m_echo);
    if (!m_wakePosted) {
        if (QCoreApplication::instance()) {
            m_wakePosted = true;
            QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        }
    }
}

UserMessageLog::~UserMessageLog() = default;

void UserMessageLog::Report(std::string_view text, bool timeStamp)
{
    Append(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())), timeStamp);
}

void UserMessageLog::Drain()
{
    QStringList taken;
    {
        std::lock_guard lock(m_mutex);
        taken.swap(m_pending);
        m_wakePosted = false;
    }
    if (taken.isEmpty())
        return;
    const QString paragraphs = ToParagraphs(taken.join(QString()));
    m_text += paragraphs;
    emit EntriesAppended(paragraphs);
}

QString UserMessageLog::Text()
{
    Drain();
    return m_text;
}

void UserMessageLog::Clear()
{
    Drain();
    m_text.clear();
    emit Cleared();
}

void UserMessageLog::SetEchoStream(std::FILE* stream)
{
    std::lock_guard lock(m_mutex);
    m_echo = stream;
}

bool UserMessageLog::event(QEvent* e)
{
    if (e->type() == QEvent::User) {
        Drain();
        return true;
    }
    return QObject::event(e);
}

void UserMessageLog::ShowFatal(const QString& line)
{
    std::function<void(const QString&)> handler;
    {
        std::lock_guard lock(m_mutex);
        handler = m_fatalHandler;
    }
    const QByteArray utf8 = ToParagraphs(line).toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stderr);
    std::fflush(stderr);
    if (handler)
        handler(line);
}

void UserMessageLog::SetFatalHandler(std::function<void(const QString&)> handler)
{
    std::lock_guard lock(m_mutex);
    m_fatalHandler = std::move(handler);
}
