// The first show of a folder drawn from the local index while the share is read.
#include "service/StoreService.h"
#include "threads/WorkerThread.h"

#include <algorithm>

WorkerThread& StoreService::searches()
{
    // A thread of its own with a connection of its own: a request stuck on the share holds
    // the worker, never the index.
    if (!m_searches) {
        m_searches = std::make_unique<WorkerThread>(QStringLiteral("Norvane search"));
        m_warmFound =
            m_searches->inbox<WarmFound>([this](const WarmFound& found) { takeWarmStart(found); });
    }
    return *m_searches;
}

void StoreService::warmStart(const QList<QDate>& days)
{
    if (m_options.indexDirectory.isEmpty() || days.isEmpty())
        return;
    searches().post([directory = m_options.indexDirectory, folder = m_folder, days,
                     generation = m_state.generation, inbox = m_warmFound] {
        QHash<QDate, QList<TerminPtr>> found;
        for (const QDate& day : days) {
            const AppointmentIndex::Answer answer =
                AppointmentIndex::lookUp(directory, folder, {}, day, day);
            // Without an index that once knew the whole folder, an empty day says nothing:
            // the share's answer is awaited.
            if (!answer.usable || !answer.completedAt.isValid())
                return;
            QList<TerminPtr>& records = found[day];
            for (const AppointmentIndex::Hit& hit : answer.found.hits)
                records << std::make_shared<const ClassTermin>(hit.record());
        }
        inbox.send({generation, std::move(found)});
    });
}

void StoreService::takeWarmStart(const WarmFound& found)
{
    if (!m_state.current(found.generation))
        return;
    const QHash<QDate, QList<TerminPtr>>& days = found.days;
    bool shown = false;
    for (auto day = days.cbegin(); day != days.cend(); ++day) {
        if (m_days.contains(day.key()))
            continue; // the share answered first
        m_days.insert(day.key(), day.value());
        m_provisionalDays.insert(day.key());
        shown = true;
    }
    if (!shown)
        return;
    emit daysChanged();
    emit checkingChanged();
}

bool StoreService::provisional(const QString& path) const
{
    if (path.isEmpty())
        return false;
    return std::any_of(m_provisionalDays.cbegin(), m_provisionalDays.cend(), [&](const QDate& day) {
        const QList<TerminPtr> records = m_days.value(day);
        return std::any_of(records.cbegin(), records.cend(),
                           [&](const TerminPtr& record) { return record->filename() == path; });
    });
}
