#include "exchange/IcsImportSupport.h"
#include "store/AppointmentFile.h"
#include "store/SpanDays.h"

namespace Ics {

void linkSpan(std::vector<Planned>::iterator first, std::vector<Planned>::iterator last,
              const QString& uid)
{
    if (last - first < 2)
        return;
    const QDate from = first->appointment.datum();
    const QDate until = (last - 1)->appointment.datum();
    if (from.daysTo(until) >= AppointmentFile::kMaxSpanDays)
        return; // longer than any span a file keeps: days of their own, as before
    const QString id = SpanDays::idFor(uid);
    for (auto day = first; day != last; ++day)
        day->appointment.setSpan(id, from, until);
}

} // namespace Ics
