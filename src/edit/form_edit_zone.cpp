// The appointment editor's zone: the team's time, or a zone of its own (a flight at 09:00 New
// York) whose wall clock the date and time fields then show; it is filed as the team's times
// plus the zone's.
#include "edit/form_edit.h"
#include "edit/form_edit_layout.h"

#include "calendar/ZoneTimes.h"
#include "settings/Settings.h"
#include "store/ZoneCorrection.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QTimeZone>

#include <algorithm>

using namespace FormEditLayout;

namespace {

QDateTime wallClock(const QDate& date, TimeOfDay time)
{
    return QDateTime(date, QTime(0, 0), Qt::UTC).addSecs(qint64(time.minutes()) * 60);
}

// A wall clock as a time of day, up to 24:00 of the next midnight.
TimeOfDay timeOf(const QDateTime& wall, const QDate& day)
{
    const int minutes =
        int(day.daysTo(wall.date())) * 24 * 60 + wall.time().hour() * 60 + wall.time().minute();
    return TimeOfDay::fromMinutes(std::min(minutes, int(TimeOfDay::kEndOfDay)));
}

} // namespace

void form_edit::createZoneRow(QWidget* page)
{
    label_header_zone = new QLabel(page);
    label_header_zone->setObjectName(QStringLiteral("label_header_zone"));
    label_header_zone->setGeometry(Layout::kZoneCaption);
    label_header_zone->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    combo_zone = new QComboBox(page);
    combo_zone->setObjectName(QStringLiteral("combo_zone"));
    combo_zone->setGeometry(Layout::kZone);
    combo_zone->addItem(QString()); // the team's time, named in the language's texts
    for (const QByteArray& id : QTimeZone::availableTimeZoneIds())
        combo_zone->addItem(QString::fromUtf8(id), QString::fromUtf8(id));
    label_header_zone->setBuddy(combo_zone);
    connect(combo_zone, &QComboBox::currentIndexChanged, this, [this] { zoneChosen(); });
}

void form_edit::setZoneTexts()
{
    label_header_zone->setText(tr("Zone:"));
    combo_zone->setItemText(0, tr("Team's time"));
    combo_zone->setAccessibleName(tr("Time zone of the date and times"));
}

QString form_edit::chosenZone() const
{
    return combo_zone->currentData().toString();
}

void form_edit::showZone(const ClassTermin& r)
{
    const QString team = m_settings.CalendarZone();
    const bool own = ZoneCorrection::zoneClocksHold(r, team);
    const QSignalBlocker quiet(combo_zone);
    const int index = own ? combo_zone->findData(r.TimeZoneId()) : -1;
    combo_zone->setCurrentIndex(std::max(0, index));
    m_shownZone = chosenZone();
    if (m_shownZone.isEmpty())
        return;
    showDate(text_am, r.ZoneStart().date());
    showTime(text_zeit_von, timeOf(r.ZoneStart(), r.ZoneStart().date()));
    showTime(text_zeit_bis, timeOf(r.ZoneEnd(), r.ZoneStart().date()));
}

std::optional<ZoneTimes::WallSpan> form_edit::fieldsAsTeamTimes(const QString& zone) const
{
    const QDate day = text_am->value();
    const ZoneTimes::WallSpan shown{wallClock(day, text_zeit_von->value()),
                                    wallClock(day, text_zeit_bis->value())};
    if (zone.isEmpty())
        return shown;
    return ZoneTimes::teamSpan(zone, shown, m_settings.CalendarZone());
}

void form_edit::zoneChosen()
{
    // The same moment in the zone chosen: the fields follow it.
    const std::optional<ZoneTimes::WallSpan> team = fieldsAsTeamTimes(m_shownZone);
    m_shownZone = chosenZone();
    if (!team)
        return;
    const std::optional<ZoneTimes::WallSpan> shown =
        m_shownZone.isEmpty() ? team
                              : ZoneTimes::zoneSpan(m_shownZone, *team, m_settings.CalendarZone());
    if (!shown)
        return;
    const QDate day = shown->start.date();
    showDate(text_am, day);
    showTime(text_zeit_von, timeOf(shown->start, day));
    showTime(text_zeit_bis, timeOf(shown->end, day));
}

void form_edit::copyZoneIntoRecord(ClassTermin& r) const
{
    const QString zone = r.IsRecurring() ? QString() : chosenZone();
    const std::optional<ZoneTimes::WallSpan> team = fieldsAsTeamTimes(zone);
    if (zone.isEmpty() || !team) {
        r.setOwnZone({}, {}, {});
        return;
    }
    // Filed on the team's day it starts; one crossing the team's midnight ends there.
    const ZoneTimes::Day day = ZoneTimes::daysOf(*team).value(0);
    r.setDatum(day.date);
    r.setStartTime(TimeOfDay::fromMinutes(day.startMinute));
    r.setEndTime(TimeOfDay::fromMinutes(day.endMinute));
    const QDate shown = text_am->value();
    r.setOwnZone(zone, wallClock(shown, text_zeit_von->value()),
                 wallClock(shown, text_zeit_bis->value()));
}
