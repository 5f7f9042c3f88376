#include "service/FolderWatch.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>

FolderWatch::FolderWatch(QObject* parent)
    : QObject(parent)
    , m_watcher(new QFileSystemWatcher(this))
    , m_quiet(this) // a child, so it moves to another thread with the watch
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kQuietMilliseconds);
    connect(&m_quiet, &QTimer::timeout, this, &FolderWatch::changed);
    // Each event restarts the wait: a burst ends in one signal.
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
        // In a directory standing in for a missing one, that one may have come: look again at
        // the next watch().
        if (!m_watchedAsThemselves.contains(path) || !m_watcher->directories().contains(path))
            m_stale = true; // (a directory that went is no longer watched)
        m_quiet.start();
    });
}

QStringList FolderWatch::pathsToWatch(const QString& root, const QStringList& directories,
                                      const std::function<bool(const QString&)>& exists)
{
    const QString top = QDir::cleanPath(root);
    QStringList paths;
    QSet<QString> seen;
    const auto add = [&](const QString& path) {
        if (!seen.contains(path) && paths.size() < kMaxWatched) {
            seen.insert(path);
            paths << path;
        }
    };
    if (exists(top))
        add(top);
    for (const QString& directory : directories) {
        QString path = QDir::cleanPath(directory);
        // Up to the nearest directory that is there, never above the data folder.
        while (path.startsWith(top + QLatin1Char('/')) && !exists(path))
            path = QFileInfo(path).path();
        if (path.startsWith(top + QLatin1Char('/')))
            add(path);
    }
    return paths;
}

void FolderWatch::watch(const QString& root, const QStringList& directories)
{
    // Asking a slow share whether ~200 directories exist at every rebuild would cost more than
    // the watch saves: only when the view moved or something changed.
    if (!m_stale && root == m_root && directories == m_directories)
        return;
    m_stale = false;
    m_root = root;
    m_directories = directories;
    const QStringList wanted = pathsToWatch(
        root, directories, [](const QString& path) { return QFileInfo(path).isDir(); });
    m_watchedAsThemselves.clear();
    for (const QString& directory : directories)
        if (wanted.contains(QDir::cleanPath(directory)))
            m_watchedAsThemselves.insert(QDir::cleanPath(directory));
    const QStringList current = m_watcher->directories();
    QStringList gone;
    for (const QString& path : current)
        if (!wanted.contains(path))
            gone << path;
    if (!gone.isEmpty())
        m_watcher->removePaths(gone);
    QStringList added;
    for (const QString& path : wanted)
        if (!current.contains(path))
            added << path;
    if (!added.isEmpty())
        m_watcher->addPaths(added); // one that vanished meanwhile is simply not watched
}

QStringList FolderWatch::watched() const
{
    return m_watcher->directories();
}
