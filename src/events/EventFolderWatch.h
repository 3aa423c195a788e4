#pragma once

#include <QFileSystemWatcher>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <chrono>
#include <functional>

// Watches the Events folder while the program runs, so that an Event file copied in
// (from a laptop, by a synchroniser), edited or deleted is scheduled without a restart.
// The file system's notices make it quick; a look once a second catches what they miss
// (a folder made later, a file system that sends none). A file counts as complete once
// two looks kSettleTime apart find the folder unchanged, so a copy in progress is not
// read half written.
class EventFolderWatch final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kSettleTime{500};
    static constexpr std::chrono::milliseconds kLookPeriod{1000};

    // changed: the folder differs from what the schedule last read and has settled;
    // arrived names the Event files that are new or changed since then.
    EventFolderWatch(QString folder, std::function<void(const QStringList& arrived)> changed,
                     QObject* parent = nullptr);

    // The folder as a rebuild of the schedule reads it now; a change is what differs from
    // this. Files the program writes itself are read by the rebuild that follows, so they
    // cause no second one.
    void TakeBaseline();

private:
    Q_DISABLE_COPY_MOVE(EventFolderWatch)
    struct Stamp {
        qint64 size = -1;
        qint64 modifiedMs = -1;
        bool operator==(const Stamp&) const = default;
    };
    using Listing = QMap<QString, Stamp>;

    Listing Look();
    void Check();
    void Settled();

    QString m_folder;
    std::function<void(const QStringList&)> m_changed;
    QFileSystemWatcher m_watcher;
    QTimer m_look;
    QTimer m_settle;
    Listing m_baseline;
    Listing m_candidate;
};
