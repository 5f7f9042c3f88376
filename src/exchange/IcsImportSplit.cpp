#include "IcsImportSupport.h"

#include <algorithm>
#include <cstring>

namespace Ics {

namespace {

// One physical line: its bytes up to the line feed, and where the next one starts.
struct Line {
    QByteArrayView text; // without CR LF, cut at a NUL as libical sees it
    qsizetype next = 0;
};

Line lineAt(const QByteArray& bytes, qsizetype at)
{
    const char* begin = bytes.constData() + at;
    const qsizetype left = bytes.size() - at;
    const void* feed = std::memchr(begin, '\n', size_t(left));
    const qsizetype length = feed ? static_cast<const char*>(feed) - begin : left;
    QByteArrayView text(begin, length);
    if (const qsizetype nul = text.indexOf('\0'); nul >= 0)
        text = text.first(nul);
    while (text.endsWith('\r'))
        text.chop(1);
    return {text, at + length + (feed ? 1 : 0)};
}

// The component name of a BEGIN: or END: line, upper case; empty for any other line.
QByteArray componentOf(QByteArrayView line, QByteArrayView keyword)
{
    if (line.size() <= keyword.size() ||
        qstrnicmp(line.data(), keyword.data(), size_t(keyword.size())) != 0)
        return {};
    return line.sliced(keyword.size()).toByteArray().toUpper();
}

// The value of a property line: what follows the first colon outside a quoted parameter.
QByteArrayView valueOf(QByteArrayView line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return line.sliced(i + 1);
    }
    return {};
}

// The name of a property line, upper case: up to its first semicolon or colon.
QByteArray propertyName(QByteArrayView line)
{
    qsizetype end = 0;
    while (end < line.size() && line[end] != ';' && line[end] != ':')
        ++end;
    return line.first(end).toByteArray().toUpper();
}

struct LineSource {
    const char* next;
    const char* end;
};

// Hands libical the span line by line, NUL bytes and all.
char* nextLine(char* out, size_t size, void* data)
{
    auto* source = static_cast<LineSource*>(data);
    if (source->next >= source->end || size < 2)
        return nullptr;
    size_t n = 0;
    while (source->next + n < source->end && n + 1 < size) {
        if (source->next[n++] == '\n')
            break;
    }
    std::memcpy(out, source->next, n);
    out[n] = '\0';
    source->next += n;
    return out;
}

// How many changes of offset libical works out for an observance up to 2300, at most; -1 for
// a rule of another shape than zones use (yearly, one month, one weekday), which libical might
// expand without end.
qint64 changesOf(icalcomponent* observance)
{
    constexpr int kLastYear = 2300;
    const auto count = []<size_t N>(const short(&values)[N]) {
        size_t n = 0;
        while (n < N && values[n] != ICAL_RECURRENCE_ARRAY_MAX)
            ++n;
        return int(n);
    };
    qint64 changes = qint64(propertiesOf(observance, ICAL_RDATE_PROPERTY).size());
    const icaltimetype start = icalcomponent_get_dtstart(observance);
    const int from = icaltime_is_null_time(start) ? 0 : start.year;
    for (icalproperty* p : propertiesOf(observance, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype r = icalproperty_get_rrule(p);
        if (r.freq != ICAL_YEARLY_RECURRENCE || r.interval > 1 || count(r.by_second) ||
            count(r.by_minute) || count(r.by_hour) || count(r.by_year_day) || count(r.by_week_no) ||
            count(r.by_set_pos) || count(r.by_month) > 1 || count(r.by_day) > 1)
            return -1;
        const int to =
            icaltime_is_null_time(r.until) ? kLastYear : std::min(r.until.year, kLastYear);
        const int weekday = count(r.by_day);
        const bool ordinal = weekday && icalrecurrencetype_day_position(r.by_day[0]) != 0;
        const qint64 perYear = weekday ? (count(r.by_month_day) || ordinal ? 1 : 5)
                                       : std::max(1, count(r.by_month_day));
        qint64 rule = qint64(std::max(0, to - from + 1)) * perYear;
        if (r.count > 0)
            rule = std::min<qint64>(rule, r.count);
        changes += rule;
    }
    return changes;
}

// The changes libical would work out for the zone; -1 when it might not end.
qint64 changesOfZone(icalcomponent* zone)
{
    qint64 changes = 0;
    for (icalcomponent* c = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind != ICAL_XSTANDARD_COMPONENT && kind != ICAL_XDAYLIGHT_COMPONENT)
            continue;
        const qint64 observance = changesOf(c);
        if (observance < 0)
            return -1;
        changes += observance;
    }
    return changes;
}

} // namespace

Split split(const QByteArray& bytes)
{
    Split found;
    qsizetype begin = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (begin < bytes.size() && QChar::isSpace(uchar(bytes[begin])))
        ++begin;
    if (begin >= bytes.size()) {
        found.error = IcsImport::tr("The file is empty.");
        return found;
    }
    if (bytes.mid(begin, 15).toUpper() != "BEGIN:VCALENDAR") {
        found.error = IcsImport::tr("The file is not an iCalendar file.");
        return found;
    }
    // As libical nests them: an END closes the innermost open component whatever it names.
    struct Open {
        QByteArray name;
        qsizetype begin;
    };
    std::vector<Open> open;
    auto close = [&](qsizetype end) {
        const Open component = open.back();
        open.pop_back();
        if (open.size() != 1 || open.front().name != "VCALENDAR")
            return;
        const Span span{component.begin, end};
        if (component.name == "VEVENT")
            found.events.push_back({span, int(found.calendars.size()) - 1});
        else if (component.name == "VTIMEZONE")
            found.calendars.back().push_back(span);
    };
    for (qsizetype at = begin; at < bytes.size();) {
        const Line line = lineAt(bytes, at);
        if (const QByteArray name = componentOf(line.text, "BEGIN:"); !name.isEmpty()) {
            if (open.empty() && name == "VCALENDAR")
                found.calendars.emplace_back();
            open.push_back({name, at});
        } else if (!componentOf(line.text, "END:").isEmpty() && !open.empty()) {
            close(line.next);
        }
        at = line.next;
    }
    // A file cut short still holds the events before the cut, and the one it cuts.
    while (!open.empty())
        close(bytes.size());
    if (found.calendars.empty())
        found.error = IcsImport::tr("The file cannot be read as an iCalendar file.");
    return found;
}

ComponentPtr parseSpan(const QByteArray& bytes, const Span& span)
{
    LineSource source{bytes.constData() + span.begin, bytes.constData() + span.end};
    icalparser* parser = icalparser_new();
    icalparser_set_gen_data(parser, &source);
    ComponentPtr root(icalparser_parse(parser, nextLine));
    // A component cut short: the parser keeps what it hands out here and frees it itself.
    if (!root) {
        if (icalcomponent* partial = icalparser_clean(parser))
            root.reset(icalcomponent_new_clone(partial));
    }
    icalparser_free(parser);
    return root;
}

ComponentPtr zonesOf(const QByteArray& bytes, const std::vector<Span>& zones, qint64& changes)
{
    ComponentPtr calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    for (const Span& span : zones) {
        ComponentPtr zone = parseSpan(bytes, span);
        if (!zone || icalcomponent_isa(zone.get()) != ICAL_VTIMEZONE_COMPONENT)
            continue;
        const qint64 needs = changesOfZone(zone.get());
        if (needs < 0 || needs > changes)
            continue;
        changes -= needs;
        icalcomponent_add_component(calendar.get(), zone.release());
    }
    return calendar;
}

EventKey keyOf(const QByteArray& bytes, const Span& span)
{
    EventKey key;
    int depth = 0;
    bool inUid = false;
    for (qsizetype at = span.begin; at < span.end;) {
        const Line line = lineAt(bytes, at);
        at = line.next;
        const QByteArrayView text = line.text;
        if (!text.isEmpty() && (text[0] == ' ' || text[0] == '\t')) {
            if (inUid) // a folded line goes on
                key.uid += text.sliced(1);
            continue;
        }
        inUid = false;
        if (!componentOf(text, "BEGIN:").isEmpty()) {
            ++depth;
        } else if (!componentOf(text, "END:").isEmpty()) {
            --depth;
        } else if (depth == 1) {
            const QByteArray name = propertyName(text);
            if (name == "UID") {
                key.uid = valueOf(text).toByteArray();
                inUid = true;
            } else if (name == "RECURRENCE-ID") {
                key.changed = true;
            }
        }
    }
    return key;
}

} // namespace Ics
