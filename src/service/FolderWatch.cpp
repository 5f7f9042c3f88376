#include "service/FolderWatch.h"

#include "threads/Threads.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <vector>

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

namespace {

// Whether each path is a directory, asked of the share many at once: it answers them side by
// side, where one after another would cost a round trip each. Where several paths share a
// parent, one listing of the parent answers for them all: a share looks at the names of one
// directory one after another, and most of those asked for (recurring/wd3, ...) are missing.
QList<bool> areDirectories(const QStringList& paths)
{
    constexpr int kWidth = 16;
    QHash<QString, QStringList> byParent;
    for (const QString& path : paths)
        byParent[QFileInfo(path).path()] << path;
    const QList<QStringList> groups = byParent.values();
    std::vector<QStringList> there(groups.size()); // of each group, the paths that are there
    std::atomic<qsizetype> next = 0;
    const auto ask = [&] {
        for (qsizetype i = next++; i < groups.size(); i = next++) {
            const QStringList& group = groups[i];
            if (group.size() == 1) {
                if (QFileInfo(group.first()).isDir())
                    there[i] << group.first();
                continue;
            }
            const QDir parent(QFileInfo(group.first()).path());
            const QStringList names =
                parent.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
            for (const QString& path : group)
                if (names.contains(QFileInfo(path).fileName()))
                    there[i] << path;
        }
    };
    Threads::sideBySide(int(std::min<qsizetype>(kWidth, groups.size())), ask);
    QSet<QString> found;
    for (const QStringList& group : there)
        for (const QString& path : group)
            found.insert(path);
    QList<bool> answers;
    for (const QString& path : paths)
        answers << found.contains(path);
    return answers;
}

} // namespace

QHash<QString, bool> FolderWatch::directoriesThere(const QString& root,
                                                   const QStringList& directories,
                                                   const QSet<QString>& there)
{
    // The directories themselves, then for those missing their parents, and so on up to the
    // data folder: what pathsToWatch asks, a level at a time.
    const QString top = QDir::cleanPath(root);
    QHash<QString, bool> known;
    for (const QString& path : there)
        known.insert(path, true);
    QStringList level{top};
    for (const QString& directory : directories)
        level << QDir::cleanPath(directory);
    while (!level.isEmpty()) {
        level.removeDuplicates();
        level.removeIf([&](const QString& path) { return known.contains(path); });
        const QList<bool> answers = areDirectories(level);
        QStringList parents;
        for (qsizetype i = 0; i < level.size(); ++i) {
            known.insert(level[i], answers[i]);
            // A parent is the data folder at the highest, which is known after the first.
            if (!answers[i] && level[i].startsWith(top + QLatin1Char('/')))
                parents << QFileInfo(level[i]).path();
        }
        level = parents;
    }
    return known;
}

void FolderWatch::watch(const QString& root, const QStringList& directories)
{
    // Asking a slow share whether ~200 directories exist at every rebuild would cost more than
    // the watch saves: only when the view moved or something changed.
    if (!m_stale && root == m_root && directories == m_directories)
        return;
    // A directory watched as itself is there still, or its going was told and made it stale.
    QSet<QString> there;
    if (!m_stale && root == m_root)
        there = m_watchedAsThemselves;
    m_stale = false;
    m_root = root;
    m_directories = directories;
    const QHash<QString, bool> known = directoriesThere(root, directories, there);
    const QStringList wanted = pathsToWatch(root, directories, [&known](const QString& path) {
        const auto found = known.constFind(path);
        return found != known.cend() ? *found : QFileInfo(path).isDir();
    });
    m_watchedAsThemselves.clear();
    QSet<QString> missing;
    bool appeared = false;
    for (const QString& directory : directories) {
        const QString path = QDir::cleanPath(directory);
        if (!wanted.contains(path)) {
            missing.insert(path);
            continue;
        }
        m_watchedAsThemselves.insert(path);
        // Made since it was last asked for: what landed in it before it was watched may
        // have come after the view read it.
        appeared = appeared || m_missing.contains(path);
    }
    m_missing = missing;
    if (appeared)
        m_quiet.start();
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
