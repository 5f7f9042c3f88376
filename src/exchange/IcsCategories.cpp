#include "exchange/IcsCategories.h"

#include "store/AppointmentFile.h"

namespace Ics {

QStringList categoriesOf(icalcomponent* event)
{
    // libical hands each name over as a property of its own and an escaped comma as a comma.
    // A name keeps none: libical writes it unescaped, and other readers split at it anyway.
    QStringList values;
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_CATEGORIES_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_CATEGORIES_PROPERTY)) {
        if (const char* value = icalproperty_get_categories(p))
            values << QString::fromUtf8(value).split(u',');
    }
    return AppointmentFile::roomsOf(values.join(u';'));
}

void addCategories(icalcomponent* event, const QStringList& names)
{
    for (const QString& name : names)
        icalcomponent_add_property(event, icalproperty_new_categories(name.toUtf8().constData()));
}

} // namespace Ics
