#include "sync/SyncMapping.h"

#include "exchange/IcsExport.h"
#include "exchange/IcsImport.h"
#include "store/Common.h"
#include "store/DataAccess.h"
#include "store/Recurrence.h"
#include "store/RuleSeries.h"

#include <libical/ical.h>

#include <QDir>
#include <QDirIterator>
#include <QTimeZone>

#include <algorithm>
#include <array>
#include <memory>

namespace SyncMapping {

namespace {

// The default colours of the settings by their nearest CSS name.
constexpr std::array<const char*, 15> kColorNames = {
    "",           "lightyellow",  "mistyrose",  "lightcyan", "lightsteelblue",
    "palegreen",  "whitesmoke",   "white",      "khaki",     "lightcoral",
    "aquamarine", "lightskyblue", "lightgreen", "lightgray", "white"};

const char* const kColorProperty = "X-NORVANE-COLOR";
const char* const kOwnerProperty = "X-NORVANE-OWNER";

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using ComponentPtr = std::unique_ptr<icalcomponent, ComponentFree>;

void addX(icalcomponent* event, const char* name, const QString& value)
{
    icalproperty* p = icalproperty_new_x(value.toUtf8().constData());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(event, p);
}

QString xValue(icalcomponent* event, const char* name)
{
    for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(event, ICAL_X_PROPERTY)) {
        if (qstrcmp(icalproperty_get_x_name(p), name) == 0)
            return QString::fromUtf8(icalproperty_get_x(p));
    }
    return {};
}

icalcomponent* firstEvent(icalcomponent* calendar)
{
    if (icalcomponent_isa(calendar) == ICAL_VEVENT_COMPONENT)
        return calendar;
    return icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
}

int colorOf(icalcomponent* event)
{
    const int own = xValue(event, kColorProperty).toInt();
    if (own >= 1 && own < int(kColorNames.size()))
        return own;
    if (icalproperty* p = icalcomponent_get_first_property(event, ICAL_COLOR_PROPERTY)) {
        const QByteArray name = QByteArray(icalproperty_get_color(p)).toLower();
        for (size_t i = 1; i < kColorNames.size(); ++i)
            if (name == kColorNames[i])
                return int(i);
    }
    return 1;
}

} // namespace

QDate dayShown(const ClassTermin& a, const QString& folder)
{
    const Recurrence::Kind kind = Recurrence::ofPath(a.filename());
    if (kind == Recurrence::Kind::None) {
        const QDate day = DataAccess::DayOfOneTimeFile(a.filename());
        return day.isValid() ? day : a.datum();
    }
    const QString dir = DirectoryOfPath(a.filename());
    const QDate from = std::max(a.RecurringStartDate(), QDate(1900, 1, 1));
    for (QDate d = from; d <= from.addDays(366); d = d.addDays(1))
        if (Recurrence::directory(folder, kind, d) == dir)
            return d;
    return from;
}

namespace {

// The colour and the owner on each VEVENT of the calendar.
QByteArray withOwnProperties(const QByteArray& ics, const ClassTermin& a)
{
    ComponentPtr calendar(icalparser_parse_string(ics.constData()));
    if (!calendar)
        return ics;
    for (icalcomponent* event = firstEvent(calendar.get()); event;
         event = icalcomponent_get_next_component(calendar.get(), ICAL_VEVENT_COMPONENT)) {
        addX(event, kColorProperty, QString::number(a.ColorCode()));
        if (a.ColorCode() < int(kColorNames.size()))
            icalcomponent_add_property(event, icalproperty_new_color(kColorNames[a.ColorCode()]));
        if (!a.Producer().isEmpty())
            addX(event, kOwnerProperty, a.Producer());
    }
    char* text = icalcomponent_as_ical_string_r(calendar.get());
    const QByteArray bytes(text);
    icalmemory_free_buffer(text);
    return bytes;
}

// The SpanId of the appointments when they are all the days of the one event imported.
QString spanOf(const QList<ClassTermin>& appointments, const IcsImportResult& result)
{
    QList<TerminPtr> days;
    for (const ClassTermin& a : appointments)
        days.append(std::make_shared<const ClassTermin>(a));
    return result.events == 1 && result.appointments == int(days.size()) && days.size() > 1 &&
                   oneSpan(days)
               ? days.first()->SpanId()
               : QString();
}

IcsExportOptions exportOptions(const QDateTime& stamp, const QString& timeZoneId)
{
    IcsExportOptions options;
    options.stamp = stamp;
    options.timeZoneId = timeZoneId;
    return options;
}

} // namespace

QByteArray eventOf(const TerminPtr& a, const QString& folder, const QString& uid,
                   const QDateTime& stamp, const QString& timeZoneId)
{
    return withOwnProperties(
        ExportAppointment(a, dayShown(*a, folder), uid, exportOptions(stamp, timeZoneId)), *a);
}

QByteArray seriesEventOf(const QList<TerminPtr>& files, const QString& uid, const QDateTime& stamp,
                         const QString& timeZoneId)
{
    if (files.isEmpty())
        return {};
    return withOwnProperties(ExportSeries(files, uid, exportOptions(stamp, timeZoneId)),
                             *files.first());
}

QByteArray spanEventOf(const QList<TerminPtr>& days, const QString& uid, const QDateTime& stamp,
                       const QString& timeZoneId)
{
    if (days.isEmpty())
        return {};
    return withOwnProperties(ExportSpan(days, uid, exportOptions(stamp, timeZoneId)),
                             *days.first());
}

QString groupOf(const ClassTermin& a)
{
    if (!a.SeriesId().isEmpty() || !a.isSpanDay() || a.IsRecurring())
        return a.SeriesId();
    return QStringLiteral("span:") + a.SpanId();
}

bool oneSpan(const QList<TerminPtr>& files)
{
    return !files.isEmpty() && std::all_of(files.cbegin(), files.cend(), [&files](const auto& a) {
        return a->isSpanDay() && a->SeriesId().isEmpty() && !a->IsRecurring() &&
               a->SpanId() == files.first()->SpanId();
    });
}

Incoming incomingOf(const QByteArray& ics, const QString& folder, const QString& timeZoneId,
                    IcsZoneCache* zones)
{
    Incoming in;
    ComponentPtr calendar(icalparser_parse_string(ics.constData()));
    icalcomponent* event = calendar ? firstEvent(calendar.get()) : nullptr;
    if (!event) {
        in.error = QStringLiteral("no event");
        return in;
    }
    in.uid = QString::fromUtf8(icalcomponent_get_uid(event));
    IcsImportOptions options;
    options.producer = xValue(event, kOwnerProperty);
    options.timeZoneId = timeZoneId;
    options.zones = zones;
    IcsPlan plan = PlanIcs(ics, folder, colorOf(event), options);
    const IcsImportResult& result = plan.result;
    if (!result.ok) {
        in.error = result.error;
        return in;
    }
    in.appointments = std::move(plan.appointments);
    // One file, or the parts of one series, hold the event exactly.
    in.series = in.appointments.value(0).SeriesId();
    const bool oneSeries =
        !in.series.isEmpty() &&
        std::all_of(in.appointments.cbegin(), in.appointments.cend(),
                    [&in](const ClassTermin& a) { return a.SeriesId() == in.series; });
    if (!oneSeries)
        in.series.clear();
    in.span = spanOf(in.appointments, result);
    in.mirror =
        result.expanded > 0 || (result.severalDays > 0 && in.span.isEmpty()) ||
        !result.skipped.isEmpty() ||
        !(oneSeries || !in.span.isEmpty() || (result.appointments == 1 && result.events == 1));
    return in;
}

bool sameEvent(const TerminPtr& a, const QString& folderA, const TerminPtr& b,
               const QString& folderB)
{
    const QString uid = QStringLiteral("same");
    const QDateTime stamp(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    if (a->Producer().isEmpty() != b->Producer().isEmpty()) {
        // An event that names no owner gets the importing user as its owner: a file without
        // one is the same event as what it became on the server.
        ClassTermin withoutA = *a;
        ClassTermin withoutB = *b;
        withoutA.setProducer({});
        withoutB.setProducer({});
        return sameEvent(std::make_shared<ClassTermin>(withoutA), folderA,
                         std::make_shared<ClassTermin>(withoutB), folderB);
    }
    return eventOf(a, folderA, uid, stamp) == eventOf(b, folderB, uid, stamp);
}

bool sameSpan(const QList<TerminPtr>& here, const QList<ClassTermin>& there)
{
    QList<TerminPtr> theirs;
    for (const ClassTermin& a : there)
        theirs.append(std::make_shared<const ClassTermin>(a));
    const QString uid = QStringLiteral("same");
    const QDateTime stamp(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    return spanEventOf(here, uid, stamp) == spanEventOf(theirs, uid, stamp);
}

} // namespace SyncMapping
