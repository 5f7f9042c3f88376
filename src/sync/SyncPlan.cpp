#include "sync/SyncPlan.h"

#include <QSet>

#include <algorithm>

namespace SyncPlan {

namespace {

using SyncRecord::File;
using SyncRecord::Item;

enum class Side { Unchanged, Changed, Deleted, Absent };

// An href without an ETag was sent without an answer: there, it is compared; not there, it is
// sent again to the same href.
bool pending(const Item& item)
{
    return !item.href.isEmpty() && item.etag.isEmpty();
}

Side serverSide(const Item& item, const Server& server)
{
    if (item.href.isEmpty())
        return Side::Absent;
    const auto now = server.constFind(item.href);
    if (now == server.cend())
        return pending(item) ? Side::Absent : Side::Deleted;
    return *now == item.etag && !item.etag.isEmpty() ? Side::Unchanged : Side::Changed;
}

QString fileName(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// One pass over the record, then the events new on the server, then the files new here.
class Planner {
public:
    Planner(const QList<Item>& items, const Local& local, const Server& server,
            const QHash<QString, Fetched>& fetched, Options options)
        : m_items(items)
        , m_local(local)
        , m_server(server)
        , m_fetched(fetched)
        , m_options(options)
    {
    }

    Plan run()
    {
        QList<Side> sides;
        QList<QString> paths;
        for (const Item& item : m_items)
            m_uids.insert(item.uid);
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            QString path;
            sides << localSide(i, &path);
            paths << path;
        }
        claimSeriesFiles(sides, paths);
        for (auto it = m_local.cbegin(); it != m_local.cend(); ++it)
            if (!m_claimed.contains(it.key()))
                m_new << it.key();
        std::sort(m_new.begin(), m_new.end());
        findMoves(sides, paths);
        findResent();
        m_plan.here.of = int(std::count_if(m_items.cbegin(), m_items.cend(),
                                           [](const Item& item) { return !item.files.isEmpty(); }));
        m_plan.there.of = int(m_server.size());
        for (qsizetype i = 0; i < m_items.size(); ++i)
            decide(i, sides[i], paths[i]);
        if (m_options.restore)
            restore();
        serverNew();
        localNew();
        return std::move(m_plan);
    }

private:
    // Whether the item's files are unchanged, changed or all gone; the files it keeps go to
    // the plan, a changed file of a mirror becomes an appointment of its own.
    Side localSide(qsizetype i, QString* path)
    {
        const Item& item = m_items[i];
        QList<File> kept;
        bool anyChanged = false;
        for (const File& f : item.files) {
            const auto now = m_local.constFind(f.path);
            if (now == m_local.cend())
                continue;
            m_claimed.insert(f.path);
            if (changed(f, *now)) {
                anyChanged = true;
                if (item.mirror) {
                    m_detached << f.path;
                    continue;
                }
            }
            // Touched, not changed, takes its new time; a changed file keeps what the record
            // knew until it is sent.
            kept << (anyChanged && !item.mirror
                         ? f
                         : File{f.path, now->modified, now->size, now->hash.value_or(f.hash)});
        }
        m_plan.files.insert(i, kept);
        *path = item.files.isEmpty() ? QString() : item.files.first().path;
        // Of a series' files, one gone changes the event.
        if (!item.mirror)
            return kept.isEmpty()                                  ? Side::Deleted
                   : anyChanged || kept.size() < item.files.size() ? Side::Changed
                                                                   : Side::Unchanged;
        return kept.isEmpty() && !item.files.isEmpty() && !anyChanged ? Side::Deleted
                                                                      : Side::Unchanged;
    }

    // A new file of a series that an item holds (a split made it) changes that event.
    void claimSeriesFiles(QList<Side>& sides, QList<QString>& paths)
    {
        QHash<QString, qsizetype> itemOfSeries;
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            if (m_items[i].mirror)
                continue;
            QString series = m_items[i].series;
            for (const File& f : m_plan.files.value(i)) {
                if (series.isEmpty())
                    series = m_local.value(f.path).series; // split here since
            }
            if (!series.isEmpty())
                itemOfSeries.insert(series, i);
        }
        if (itemOfSeries.isEmpty())
            return;
        QStringList unclaimed;
        for (auto it = m_local.cbegin(); it != m_local.cend(); ++it) {
            if (!m_claimed.contains(it.key()) && itemOfSeries.contains(it->series))
                unclaimed << it.key();
        }
        std::sort(unclaimed.begin(), unclaimed.end());
        for (const QString& path : std::as_const(unclaimed)) {
            const qsizetype i = itemOfSeries.value(m_local.value(path).series);
            m_claimed.insert(path);
            m_plan.files[i].append(File{path, 0, 0, {}});
            sides[i] = Side::Changed;
            if (paths[i].isEmpty() || !m_local.contains(paths[i]))
                paths[i] = path;
        }
    }

    // A single item whose file is gone may have moved: the same file name or UID elsewhere.
    void findMoves(QList<Side>& sides, QList<QString>& paths)
    {
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            if (m_items[i].mirror || sides[i] != Side::Deleted)
                continue;
            const QString name = fileName(paths[i]);
            for (qsizetype n = 0; n < m_new.size(); ++n) {
                if (fileName(m_new[n]) == name || m_local.value(m_new[n]).uid == m_items[i].uid) {
                    sides[i] = Side::Changed;
                    paths[i] = m_new.takeAt(n);
                    m_plan.files[i] = {File{paths[i], 0, 0, {}}};
                    break;
                }
            }
        }
    }

    // An item gone there may have been sent anew to an href of its own by a sync that stopped
    // before noting it: an event new there with the item's UID is that one, not another.
    void findResent()
    {
        QHash<QString, QString> newByUid;
        QSet<QString> known;
        for (const Item& item : m_items)
            known.insert(item.href);
        for (auto it = m_fetched.cbegin(); it != m_fetched.cend(); ++it)
            if (!known.contains(it.key()) && m_server.contains(it.key()) && !it->uid.isEmpty())
                newByUid.insert(it->uid, it.key());
        for (qsizetype i = 0; i < m_items.size(); ++i) {
            const Side s = serverSide(m_items[i], m_server);
            const auto resent = newByUid.constFind(m_items[i].uid);
            if ((s == Side::Deleted || s == Side::Absent) && resent != newByUid.cend()) {
                m_resent.insert(i, *resent);
                newByUid.erase(resent);
            }
        }
    }
    // The item as this plan sees it: an href it was sent to anew, without an answer.
    Item seen(qsizetype i) const
    {
        Item item = m_items[i];
        if (const auto resent = m_resent.constFind(i); resent != m_resent.cend()) {
            item.href = *resent;
            item.etag.clear();
        }
        return item;
    }

    void add(Kind kind, qsizetype item, const QString& path, const QString& href = {})
    {
        m_plan.actions.append({kind, item, path, href, {}});
    }

    void decide(qsizetype i, Side l, const QString& path)
    {
        const Item item = seen(i);
        const Side s = serverSide(item, m_server);
        const bool have = m_fetched.contains(item.href);
        if (l == Side::Deleted && (s == Side::Deleted || s == Side::Absent)) {
            add(Kind::Forget, i, {});
        } else if (s == Side::Absent || (l == Side::Changed && s == Side::Deleted)) {
            add(Kind::UploadNew, i, path); // a change wins over a deletion there
        } else if (l == Side::Changed && s == Side::Unchanged) {
            add(Kind::UploadChange, i, path, item.href);
        } else if (s == Side::Changed) {
            if (have)
                add(l == Side::Changed || (pending(item) && l == Side::Unchanged)
                        ? Kind::ConflictCopy
                        : Kind::DownloadChange,
                    i, path, item.href); // a change wins over a deletion here
        } else if (l == Side::Deleted && s == Side::Unchanged) {
            add(Kind::DeleteThere, i, {}, item.href);
            ++m_plan.there.count;
        } else if (l == Side::Unchanged && s == Side::Deleted) {
            add(Kind::DeleteHere, i, {});
            if (!item.files.isEmpty())
                ++m_plan.here.count;
        } else if (m_plan.files.value(i) != item.files) {
            add(Kind::RecordOnly, i, {});
        }
    }

    // The deletions of a side with too many become the way back: what went on one side comes
    // again from the other. A mirror's files go back as appointments of their own, since the
    // folder cannot hold its event exactly.
    void restore()
    {
        const bool here = m_plan.here.tooMany();
        const bool there = m_plan.there.tooMany();
        QList<Action> actions;
        for (const Action& a : std::as_const(m_plan.actions)) {
            const QList<File> files = m_plan.files.value(a.item);
            if (a.kind == Kind::DeleteThere && there) {
                if (!m_fetched.contains(a.href)) {
                    m_plan.fetch << a.href;
                    continue;
                }
                // Its entry of the record goes, so the event comes as new from the server.
                actions.append({Kind::Forget, a.item, {}, {}, {}});
                actions.append({Kind::DownloadNew, -1, {}, a.href, {}});
            } else if (a.kind == Kind::DeleteHere && here && !files.isEmpty()) {
                if (!m_items[a.item].mirror) {
                    actions.append({Kind::UploadNew, a.item, files.first().path, {}, {}});
                    continue;
                }
                actions.append({Kind::Forget, a.item, {}, {}, {}});
                for (const File& f : files)
                    actions.append({Kind::UploadNew, -1, f.path, {}, {}});
            } else {
                actions.append(a);
            }
        }
        m_plan.actions = actions;
    }

    // Events new on the server; a new file of the folder with the same UID is what a sync
    // stopped half-way left of it.
    void serverNew()
    {
        QStringList known = m_resent.values();
        for (const Item& item : m_items)
            known << item.href;
        const QSet<QString> knownSet(known.cbegin(), known.cend());
        QStringList hrefs;
        for (auto it = m_server.cbegin(); it != m_server.cend(); ++it)
            if (!knownSet.contains(it.key()) && m_fetched.contains(it.key()))
                hrefs << it.key();
        std::sort(hrefs.begin(), hrefs.end());
        for (const QString& href : hrefs) {
            const Fetched& in = m_fetched[href];
            QList<qsizetype> pairs;
            for (qsizetype n = 0; n < m_new.size(); ++n) {
                const LocalFile& f = m_local[m_new[n]];
                if (!in.uid.isEmpty() && f.uid == in.uid && f.sendable)
                    pairs << n;
            }
            m_uids.insert(in.uid);
            if (in.exact && pairs.size() == 1) {
                add(Kind::ConflictCopy, -1, m_new.takeAt(pairs.first()), href);
                continue;
            }
            if (!in.exact) {
                // What an earlier download of the event left: its files come again.
                for (auto n = pairs.rbegin(); n != pairs.rend(); ++n)
                    add(Kind::DeleteHere, -1, m_new.takeAt(*n));
            }
            add(Kind::DownloadNew, -1, {}, href);
        }
    }

    // New files, each an event; the new files of one series one event together.
    void localNew()
    {
        QStringList files = m_detached + m_new;
        const QSet<QString> detached(m_detached.cbegin(), m_detached.cend());
        QHash<QString, qsizetype> actionOfSeries;
        for (const QString& path : files) {
            const QString& series = m_local[path].series;
            if (!detached.contains(path) && !series.isEmpty()) {
                if (const auto first = actionOfSeries.constFind(series);
                    first != actionOfSeries.cend()) {
                    m_plan.actions[*first].with << path;
                    continue;
                }
                actionOfSeries.insert(series, m_plan.actions.size());
            }
            QString uid = m_local[path].uid;
            if (detached.contains(path) || uid.isEmpty() || m_uids.contains(uid))
                uid.clear();
            else
                m_uids.insert(uid);
            m_plan.actions.append({Kind::UploadNew, -1, path, {}, uid});
        }
    }

    const QList<Item>& m_items;
    const Local& m_local;
    const Server& m_server;
    const QHash<QString, Fetched>& m_fetched;
    const Options m_options;
    QSet<QString> m_claimed;
    QStringList m_new;      // files no item claims, by path
    QStringList m_detached; // changed files of mirrors
    QSet<QString> m_uids;
    QHash<qsizetype, QString> m_resent; // item -> the href it was sent to anew
    Plan m_plan;
};

} // namespace

bool changed(const SyncRecord::File& recorded, const LocalFile& now)
{
    if (now.hash)
        return *now.hash != recorded.hash;
    return now.modified != recorded.modified || now.size != recorded.size;
}

QStringList toFetch(const QList<SyncRecord::Item>& items, const Server& server)
{
    QSet<QString> known;
    QStringList wanted;
    for (const Item& item : items) {
        known.insert(item.href);
        if (serverSide(item, server) == Side::Changed)
            wanted << item.href;
    }
    for (auto it = server.cbegin(); it != server.cend(); ++it)
        if (!known.contains(it.key()))
            wanted << it.key();
    return wanted;
}

Plan plan(const QList<SyncRecord::Item>& items, const Local& local, const Server& server,
          const QHash<QString, Fetched>& fetched, Options options)
{
    return Planner(items, local, server, fetched, options).run();
}

QList<Action> downOnly(Plan& plan)
{
    QList<Action> left;
    const auto sends = [](const Action& a) {
        return a.kind == Kind::UploadNew || a.kind == Kind::UploadChange ||
               a.kind == Kind::DeleteThere;
    };
    for (const Action& a : std::as_const(plan.actions))
        if (sends(a))
            left << a;
    plan.actions.removeIf(sends);
    plan.there.count = 0;
    return left;
}

} // namespace SyncPlan
