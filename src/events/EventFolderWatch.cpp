#include "events/EventFolderWatch.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

EventFolderWatch::EventFolderWatch(QString folder, std::function<void(const QStringList&)> changed, QObject* parent)
    : QObject(parent)
    , m_folder(std::move(folder))
    , m_changed(std::move(changed))
{
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &EventFolderWatch::Check);
    connect(&m_look, &QTimer::timeout, this, &EventFolderWatch::Check);
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleTime);
    connect(&m_settle, &QTimer::timeout, this, &EventFolderWatch::Settled);
    m_look.start(kLookPeriod);
    TakeBaseline();
}

void EventFolderWatch::TakeBaseline()
{
    m_baseline = Look();
    m_settle.stop();
}

EventFolderWatch::Listing EventFolderWatch::Look()
{
    // A folder made, or made again, while the program runs is watched from then on.
    if (m_watcher.directories().isEmpty() && QFileInfo(m_folder).isDir())
        m_watcher.addPath(m_folder);
    Listing listing;
    const QFileInfoList files = QDir(m_folder).entryInfoList({QStringLiteral("*.ief")}, QDir::Files, QDir::Unsorted);
    for (const QFileInfo& f : files)
        listing.insert(f.fileName(), {f.size(), f.lastModified().toMSecsSinceEpoch()});
    return listing;
}

void EventFolderWatch::Check()
{
    if (m_settle.isActive())
        return; // the look at its end sees this change too
    const Listing now = Look();
    if (now == m_baseline)
        return;
    m_candidate = now;
    m_settle.start();
}

void EventFolderWatch::Settled()
{
    const Listing now = Look();
    if (now == m_baseline)
        return;
    if (now != m_candidate) { // still being written
        m_candidate = now;
        m_settle.start();
        return;
    }
    QStringList arrived;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (m_baseline.value(it.key()) != it.value())
            arrived.append(it.key());
    // No baseline here: a rebuild that has to wait for a recording's end leaves the
    // difference in place, and the next look says so again.
    m_changed(arrived);
}
