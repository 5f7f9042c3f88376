#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>

class QFileSystemWatcher;

// Tells the main window soon after another process changed a directory its view and month
// calendars read, so changes on a local folder show within a second. Network shares often
// report nothing: the heartbeat's polling stays. A burst of changes is told once.
class FolderWatch : public QObject {
    Q_OBJECT

public:
    static constexpr int kQuietMilliseconds = 200;
    // More would only cost the system's watch handles; the polling covers the rest.
    static constexpr int kMaxWatched = 2000;

    explicit FolderWatch(QObject* parent = nullptr);

    // Watches exactly these directories, or for one that does not exist yet its nearest
    // existing ancestor inside root (so its creation is noticed), and root itself.
    void watch(const QString& root, const QStringList& directories);
    QStringList watched() const;

    // The paths watch() watches for directories, by exists; for tests and the watch itself.
    static QStringList pathsToWatch(const QString& root, const QStringList& directories,
                                    const std::function<bool(const QString&)>& exists);

signals:
    void changed();

private:
    // Which of the directories, of their parents up to root for those missing, and root
    // itself are there, found out many requests at once; those in there are not asked about.
    static QHash<QString, bool> directoriesThere(const QString& root,
                                                 const QStringList& directories,
                                                 const QSet<QString>& there);

    QFileSystemWatcher* m_watcher;
    QTimer m_quiet;
    QString m_root;
    QStringList m_directories;
    // Directories watched as themselves: a change inside one (a file saved) brings no new
    // directory, so it needs no new look at which directories exist.
    QSet<QString> m_watchedAsThemselves;
    // Directories asked for that were not there at the last look.
    QSet<QString> m_missing;
    bool m_stale = true;
};
