#include "views/GridAccessible.h"

#include "calendar/Names.h"
#include "store/PeopleText.h"
#include "store/Recurrence.h"
#include "store/TimeRangeText.h"

#include <QCoreApplication>
#include <QStringList>

namespace GridAccessible {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("GridAccessible", text);
}

QStringList lines(const ClassTermin& appointment)
{
    QString text = appointment.Text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList all = text.split(u'\n');
    for (QString& line : all)
        line = line.trimmed();
    all.removeAll(QString());
    return all;
}

QString repeats(const ClassTermin& appointment)
{
    switch (Recurrence::ofPath(appointment.filename())) {
    case Recurrence::Kind::Daily:
        return tr("repeats daily");
    case Recurrence::Kind::Weekly:
        return tr("repeats weekly");
    case Recurrence::Kind::Monthly:
        return tr("repeats monthly");
    case Recurrence::Kind::Yearly:
        return tr("repeats yearly");
    case Recurrence::Kind::None:
        break;
    }
    return appointment.repeats() ? tr("repeats") : QString();
}

} // namespace

QString appointmentName(const ClassTermin& appointment, const Texts& texts)
{
    const QString times = TimeRangeWithZone(appointment, texts.timeFormat, texts.langCode);
    const QStringList text = lines(appointment);
    return text.isEmpty() ? times : times + QStringLiteral(", ") + text.first();
}

QString appointmentDescription(const ClassTermin& appointment, const Texts& texts)
{
    QStringList parts = lines(appointment);
    if (!parts.isEmpty())
        parts.removeFirst();
    if (!appointment.Producer().isEmpty())
        parts.append(tr("owner %1").arg(appointment.Producer()));
    if (!appointment.ForUsers().isEmpty())
        parts.append(tr("for %1").arg(appointment.ForUsers().join(QStringLiteral(", "))));
    if (appointment.IsPrivate())
        parts.append(tr("private"));
    if (!appointment.Rooms().isEmpty())
        parts.append(tr("rooms %1").arg(appointment.Rooms().join(QStringLiteral(", "))));
    if (!appointment.Location().isEmpty())
        parts.append(tr("at %1").arg(appointment.Location()));
    for (const QString& people :
         {PeopleText::organizerText(appointment.Organizer(), texts.langCode),
          PeopleText::attendeesText(appointment.Attendees(), texts.langCode)})
        if (!people.isEmpty())
            parts.append(people);
    if (!appointment.Categories().isEmpty())
        parts.append(tr("categories %1").arg(appointment.Categories().join(QStringLiteral(", "))));
    if (appointment.IsReminder())
        parts.append(tr("with reminder"));
    if (const QString repeating = repeats(appointment); !repeating.isEmpty())
        parts.append(repeating);
    if (const auto folder = FolderMarks::of(texts.folders, appointment.filename()))
        parts.append(tr("calendar %1").arg(folder->name));
    return parts.join(QStringLiteral("; "));
}

AccessibleItem describe(const QList<Column>& columns, const Texts& texts, const Focus& focus)
{
    AccessibleItem grid;
    grid.role = QAccessible::Pane;
    grid.name = tr("Appointments");
    for (int c = 0; c < columns.size(); ++c) {
        const Column& column = columns[c];
        AccessibleItem day;
        day.role = QAccessible::List;
        day.name = LongDate(column.day, texts.langCode);
        day.rect = column.rect;
        int shown = 0;
        for (int a = 0; a < column.appointments.size(); ++a) {
            const Shown& entry = column.appointments[a];
            if (!entry.appointment || entry.rect.isEmpty())
                continue;
            const bool focused = focus.column == c && focus.appointment == a;
            AccessibleItem item = AccessibleItem::choice(QAccessible::ListItem,
                                                         appointmentName(*entry.appointment, texts),
                                                         entry.rect, focused, focused);
            item.description = appointmentDescription(*entry.appointment, texts);
            day.children.append(item);
            ++shown;
        }
        QStringList about;
        if (column.today)
            about.append(tr("today"));
        about.append(shown == 1 ? tr("1 appointment") : tr("%1 appointments").arg(shown));
        day.description = about.join(QStringLiteral(", "));
        if (focus.column == c && focus.appointment < 0) {
            // A free step: where Ctrl+N or Enter makes a new appointment.
            AccessibleItem step;
            step.role = QAccessible::ListItem;
            step.name = focus.step;
            step.description = tr("free");
            step.rect = focus.stepRect;
            step.state.focusable = true;
            step.state.focused = true;
            day.children.append(step);
        }
        grid.children.append(day);
    }
    return grid;
}

} // namespace GridAccessible
