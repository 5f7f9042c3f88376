#include "offline/FolderPlan.h"

#include "exchange/OccurrenceSeries.h"
#include "store/Recurrence.h"

#include <QSet>

#include <algorithm>

namespace FolderPlan {

namespace {

using OfflineRecord::Entry;

enum class State { Absent, Same, Changed };

// A side's file against what the record knew of it on that side.
State stateOf(const Entry* known, qint64 knownModified, const Seen* now)
{
    if (!now)
        return State::Absent;
    if (!known)
        return State::Changed;
    if (now->modified == knownModified && now->size == known->size)
        return State::Same;
    return now->hash && *now->hash == known->hash ? State::Same : State::Changed;
}

// Whether both sides hold the same bytes, as far as the listings tell.
bool sameBytes(const Seen& a, const Seen& b, const Entry* known)
{
    const auto hashOf = [known](const Seen& s) {
        return s.hash ? s.hash : known ? std::optional(known->hash) : std::nullopt;
    };
    const auto ha = hashOf(a);
    return ha && ha == hashOf(b) && a.size == b.size;
}

// Whether the record must learn a side's time: touched, not changed.
bool touched(const Entry& known, const Seen& copy, const Seen& share)
{
    return copy.modified != known.copyModified || share.modified != known.shareModified;
}

} // namespace

bool isCarried(const QString& relative)
{
    return Recurrence::isAppointmentPath(relative) || OccurrenceSeries::isRulePath(relative);
}

bool Window::contains(const QString& relative) const
{
    if (Recurrence::inTree(relative))
        return true;
    const QDate day = Recurrence::dayOf(relative);
    return day.isValid() && day >= from && day <= to;
}

Plan plan(const QHash<QString, Entry>& record, const Listing& copy, const Listing& share,
          const Window& window)
{
    QSet<QString> paths;
    for (auto it = record.cbegin(); it != record.cend(); ++it)
        paths.insert(it.key());
    for (auto it = copy.cbegin(); it != copy.cend(); ++it)
        paths.insert(it.key());
    for (auto it = share.cbegin(); it != share.cend(); ++it)
        paths.insert(it.key());
    QStringList sorted(paths.cbegin(), paths.cend());
    std::sort(sorted.begin(), sorted.end());

    Plan result;
    result.copy.of = int(copy.size());
    for (auto it = share.cbegin(); it != share.cend(); ++it)
        result.share.of += window.contains(it.key()) ? 1 : 0;
    const auto add = [&result](Kind kind, const QString& path) {
        result.actions.append({kind, path});
        if (kind == Kind::DeleteOnShare)
            ++result.share.count;
        else if (kind == Kind::DeleteOnCopy)
            ++result.copy.count;
    };
    for (const QString& path : sorted) {
        const Entry* known = record.contains(path) ? &*record.constFind(path) : nullptr;
        const Seen* c = copy.contains(path) ? &*copy.constFind(path) : nullptr;
        const Seen* s = share.contains(path) ? &*share.constFind(path) : nullptr;
        const State cs = stateOf(known, known ? known->copyModified : 0, c);
        const State ss = stateOf(known, known ? known->shareModified : 0, s);
        if (!window.contains(path) && cs != State::Changed) {
            // Out of the window and not changed here: the copy lets it go, the share keeps it.
            if (c || known)
                add(c ? Kind::Evict : Kind::Forget, path);
            continue;
        }
        if (c && s && (cs == State::Changed || ss == State::Changed)) {
            if (sameBytes(*c, *s, known))
                add(Kind::RecordOnly, path);
            else if (cs == State::Changed && ss == State::Changed)
                add(Kind::Conflict, path);
            else
                add(cs == State::Changed ? Kind::ToShare : Kind::ToCopy, path);
            continue;
        }
        if (c && s) { // both as the record knew them
            if (touched(*known, *c, *s))
                add(Kind::RecordOnly, path);
            continue;
        }
        if (!c && !s) {
            add(Kind::Forget, path);
            continue;
        }
        // On one side only. A change beats a deletion, so no edit is lost.
        if (c)
            add(cs == State::Same && known ? Kind::DeleteOnCopy : Kind::ToShare, path);
        else
            add(ss == State::Same && known ? Kind::DeleteOnShare : Kind::ToCopy, path);
    }
    return result;
}

} // namespace FolderPlan
