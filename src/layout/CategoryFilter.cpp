#include "layout/CategoryFilter.h"

#include <algorithm>

namespace CategoryFilter {

QList<TerminPtr> kept(const QList<TerminPtr>& appointments, const QStringList& categories)
{
    if (categories.isEmpty())
        return appointments;
    QList<TerminPtr> shown;
    for (const TerminPtr& a : appointments) {
        if (std::any_of(categories.begin(), categories.end(), [&](const QString& name) {
                return a->Categories().contains(name, Qt::CaseInsensitive);
            }))
            shown.append(a);
    }
    return shown;
}

} // namespace CategoryFilter
