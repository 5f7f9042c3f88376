#include "service/MissingDirectories.h"

QString MissingDirectories::parentOf(const QString& dir)
{
    const qsizetype end = dir.endsWith(u'/') ? dir.size() - 1 : dir.size();
    if (end <= 0)
        return {};
    const qsizetype slash = dir.lastIndexOf(u'/', end - 1);
    return slash < 0 ? QString() : dir.left(slash + 1);
}

void MissingDirectories::useFolder(const QString& top)
{
    m_top = top;
    m_known.clear();
    newLook();
}

void MissingDirectories::newLook()
{
    m_timesNow.clear();
    m_holdsNow.clear();
}

MissingDirectories::State MissingDirectories::stateNow(const QString& parent) const
{
    if (m_holdsNow.contains(parent))
        return m_known.value(parent).exists ? State::Listed : State::Missing;
    const auto time = m_timesNow.constFind(parent);
    if (time != m_timesNow.cend() && !*time)
        return State::Missing; // asked in this look: gone, and its children with it
    // A parent that is itself the child of a listed one (recurring/m6/ of recurring/) is there
    // only where that listing names it.
    const QString above = parentOf(parent);
    if (m_known.contains(above)) {
        const State aboveNow = stateNow(above);
        if (aboveNow == State::Missing ||
            (aboveNow == State::Listed && !m_known.value(above).children.contains(parent)))
            return State::Missing;
    }
    return State::Unknown;
}

MissingDirectories::Plan MissingDirectories::plan(const QStringList& dirs) const
{
    Plan plan;
    const auto wanted = [](QStringList& list, const QString& dir) {
        if (!list.contains(dir))
            list << dir;
    };
    for (const QString& dir : dirs) {
        const QString parent = parentOf(dir);
        if (parent.size() <= m_top.size() || !parent.startsWith(m_top)) {
            plan.ask << dir; // the top's own children are asked as they are
            continue;
        }
        switch (stateNow(parent)) {
        case State::Listed:
            (m_known.value(parent).children.contains(dir) ? plan.ask : plan.missing) << dir;
            continue;
        case State::Missing:
            plan.missing << dir;
            continue;
        case State::Unknown:
            break;
        }
        // A listed parent's child waits for that parent's listing to tell whether it is there.
        QString asked = parent;
        if (const QString above = parentOf(parent);
            m_known.contains(above) && stateNow(above) == State::Unknown)
            asked = above;
        // A parent looked at before is asked its time, and its listing holds while that is
        // unchanged; one never looked at, or changed since, is listed with its time.
        if (m_known.contains(asked) && !m_timesNow.contains(asked))
            wanted(plan.times, asked);
        else
            wanted(plan.listings, asked);
    }
    return plan;
}

void MissingDirectories::parentListed(const QString& parent,
                                      const std::optional<DirectoryListing>& listing)
{
    Known known;
    known.exists = listing.has_value();
    if (listing)
        for (const QString& name : listing->directories)
            known.children.insert(parent + name + u'/');
    if (listing)
        known.vouch = listing->time;
    m_known.insert(parent, known);
    m_holdsNow.insert(parent);
}

void MissingDirectories::parentTime(const QString& parent, const std::optional<FileMeta>& time)
{
    m_timesNow.insert(parent, time);
    const auto known = m_known.constFind(parent);
    if (time && known != m_known.cend() && known->exists && known->vouch == time)
        m_holdsNow.insert(parent);
}
