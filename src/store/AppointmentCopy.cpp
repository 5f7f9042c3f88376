#include "store/AppointmentCopy.h"

#include "store/SpanDays.h"

#include <algorithm>

namespace AppointmentCopy {

ClassTermin of(const ClassTermin& source, const QDate& day, const QString& owner)
{
    ClassTermin copy = source;
    copy.setFilename(QString());
    copy.setFileDate(QDateTime());
    copy.setIsRecurring(false);
    copy.Recurring_code.clear();
    copy.setSeriesId(QString());
    copy.setSeriesDays({});
    copy.setRule(std::nullopt); // a copy of an occurrence is one appointment of its own
    copy.setSkippedDays({});
    copy.setWrittenUntil({});
    copy.setUid(QString());
    copy.setSubscriptionId(QString()); // a copy is the user's own to change
    // The copier's own appointment, no meeting of the event's organizer.
    copy.setOrganizer(QString());
    copy.setAttendees({});
    // A copy of a day of a span of days is that day alone, under the span's title.
    if (copy.isSpanDay())
        copy.setText(SpanDays::unmarkedText(copy.Text()));
    copy.setSpan({}, {}, {});
    // Another user's private appointment copies as the "Busy" it shows, the copier's own.
    if (copy.isMasked()) {
        copy.setMasked(false);
        copy.setIsPrivate(false);
    }
    copy.setProducer(owner);
    copy.setDatum(day);
    return copy;
}

ClassTermin placed(ClassTermin copy, const QDate& day, std::optional<TimeOfDay> start)
{
    copy.setDatum(day);
    if (!start)
        return copy;
    const int length = std::max(0, copy.EndTime().minutes() - copy.StartTime().minutes());
    const int end = std::min(start->minutes() + length, TimeOfDay::kEndOfDay);
    copy.setStartTime(*start);
    copy.setEndTime(TimeOfDay::fromMinutes(end));
    return copy;
}

} // namespace AppointmentCopy
