#include "store/RoomBooking.h"

#include "calendar/Formats.h"
#include "store/Recurrence.h"
#include "store/SeriesEdit.h"

#include <QCoreApplication>

namespace RoomBooking {

bool overlaps(const ClassTermin& a, const ClassTermin& b)
{
    if (a.isAllDay() || b.isAllDay())
        return true;
    return a.StartTime() < b.EndTime() && b.StartTime() < a.EndTime();
}

QStringList sharedRooms(const ClassTermin& mine, const ClassTermin& other)
{
    QStringList shared;
    for (const QString& room : mine.Rooms()) {
        if (other.Rooms().contains(room, Qt::CaseInsensitive))
            shared.append(room);
    }
    return shared;
}

std::optional<Clash> clashOn(const ClassTermin& mine, const QList<TerminPtr>& others,
                             const QStringList& ownFiles)
{
    for (const TerminPtr& other : others) {
        if (ownFiles.contains(other->filename()) || !overlaps(mine, *other))
            continue;
        if (const QStringList shared = sharedRooms(mine, *other); !shared.isEmpty())
            return Clash{shared.first(), other};
    }
    return std::nullopt;
}

QList<QDate> daysToCheck(const ClassTermin& mine, const QDate& today)
{
    if (mine.Rooms().isEmpty())
        return {};
    if (!mine.IsRecurring())
        return {mine.datum()};
    // A rule file: its occurrences are files of their own, each checked as it is written.
    if (Recurrence::ofPath(mine.filename()) == Recurrence::Kind::None)
        return {};
    QList<QDate> days;
    const QDate until = std::min(mine.RecurringEndDate(), today.addYears(kSeriesYearsChecked));
    for (QDate day = std::max(mine.RecurringStartDate(), today); day <= until;
         day = day.addDays(1)) {
        if (SeriesEdit::occursOn(mine, day))
            days.append(day);
    }
    return days;
}

QString bookedText(const Clash& clash, const QString& ownerName)
{
    const ClassTermin& holder = *clash.holder;
    const QString times =
        holder.isAllDay() ? QCoreApplication::translate("RoomBooking", "all day")
                          : FormatTime(holder.StartTime(), QStringLiteral("24h")) + QChar(0x2013) +
                                FormatTime(holder.EndTime(), QStringLiteral("24h"));
    return QCoreApplication::translate("RoomBooking", "%1 is booked by %2, %3")
        .arg(clash.room, ownerName, times);
}

QString beingBookedText(const QString& room)
{
    return QCoreApplication::translate(
               "RoomBooking", "%1 is being booked by another copy just now. Please try again.")
        .arg(room);
}

} // namespace RoomBooking
