#include "service/StoreService.h"

QStringList StoreService::knownCategories() const
{
    QStringList names;
    for (const QList<TerminPtr>& day : m_days)
        for (const TerminPtr& appointment : day)
            for (const QString& name : appointment->Categories())
                if (!names.contains(name, Qt::CaseInsensitive))
                    names.append(name);
    names.sort(Qt::CaseInsensitive);
    return names;
}
