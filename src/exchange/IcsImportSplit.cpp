#include "exchange/IcsImportSupport.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <optional>

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

// The component name of a BEGIN: or END: line, upper case; nullopt for any other line. As for
// libical, a line of the keyword alone opens or closes a component too.
std::optional<QByteArray> componentOf(QByteArrayView line, QByteArrayView keyword)
{
    if (line.size() < keyword.size() ||
        qstrnicmp(line.data(), keyword.data(), size_t(keyword.size())) != 0)
        return std::nullopt;
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

// Whether bytes are UTF-8 throughout: no stray continuation byte, no overlong form, no
// surrogate, nothing past U+10FFFF. A character cut off at the very end is a file cut short.
bool isUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const uchar c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int more = 0;
        char32_t code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        for (int k = 1; k <= more; ++k) {
            if (i + k >= n)
                return true;
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        if ((more == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (more == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        i += more + 1;
    }
    return true;
}

QByteArray fromWindows1252(const QByteArray& bytes)
{
    // 0x80 to 0x9F; the five the code page leaves free stand for themselves.
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar c = uchar(bytes[i]);
        text[i] = QChar(c >= 0x80 && c < 0xA0 ? kHigh[c - 0x80] : char16_t(c));
    }
    return text.toUtf8();
}

// Lines ending in CR alone get CR LF: libical reads lines by their line feeds.
QByteArray withLineFeeds(const QByteArray& text)
{
    qsizetype lineFeeds = 0;
    qsizetype loneReturns = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            ++lineFeeds;
        else if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            ++loneReturns;
    }
    if (loneReturns <= lineFeeds)
        return text;
    QByteArray lines;
    lines.reserve(text.size() + loneReturns);
    for (qsizetype i = 0; i < text.size(); ++i) {
        lines += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))
            lines += '\n';
    }
    return lines;
}

// A line with the lines folded into it as one: a program may fold inside a character.
QByteArray unfolded(const QByteArray& line)
{
    QByteArray joined;
    joined.reserve(line.size());
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '\n' && i + 1 < line.size() && (line[i + 1] == ' ' || line[i + 1] == '\t')) {
            if (joined.endsWith('\r'))
                joined.chop(1);
            ++i;
            continue;
        }
        joined += line[i];
    }
    return joined;
}

} // namespace

QByteArray readable(const QByteArray& bytes, QList<int>* windows1252Lines)
{
    const QByteArray lines = withLineFeeds(bytes);
    if (isUtf8(lines))
        return lines;
    // Line by line, each with the lines folded into it: one program's line in another encoding
    // leaves the rest of the file as it is.
    QByteArray text;
    text.reserve(lines.size() + lines.size() / 8);
    int number = 1;
    for (qsizetype at = 0; at < lines.size();) {
        qsizetype end = lineAt(lines, at).next;
        int physical = 1;
        while (end < lines.size() && (lines[end] == ' ' || lines[end] == '\t')) {
            end = lineAt(lines, end).next;
            ++physical;
        }
        const QByteArray line = lines.mid(at, end - at);
        if (isUtf8(physical > 1 ? unfolded(line) : line)) {
            text += line;
        } else {
            text += fromWindows1252(line);
            if (windows1252Lines)
                windows1252Lines->append(number);
        }
        number += physical;
        at = end;
    }
    return text;
}

QStringList namesOf(const QByteArray& bytes, const std::vector<Span>& events)
{
    // Their lines counted in one pass in the order they begin: nested ones end, and come,
    // innermost first.
    std::vector<size_t> byBegin(events.size());
    std::iota(byBegin.begin(), byBegin.end(), size_t(0));
    std::stable_sort(byBegin.begin(), byBegin.end(),
                     [&events](size_t a, size_t b) { return events[a].begin < events[b].begin; });
    std::vector<int> lines(events.size());
    qsizetype counted = 0; // the lines before it are counted
    int line = 1;
    for (const size_t i : byBegin) {
        line += int(QByteArrayView(bytes).sliced(counted, events[i].begin - counted).count('\n'));
        counted = events[i].begin;
        lines[i] = line;
    }
    QStringList names;
    const ComponentPtr blank(icalcomponent_new_vevent());
    for (size_t i = 0; i < events.size(); ++i) {
        const ComponentPtr parsed = parseSpan(bytes, events[i]);
        names << nameOf(parsed ? parsed.get() : blank.get(), 0, lines[i]);
    }
    return names;
}

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
        if (open.size() != 1 || open.front().name != "VCALENDAR") {
            if (component.name == "VEVENT")
                found.strays.push_back({component.begin, end});
            return;
        }
        const Span span{component.begin, end};
        if (component.name == "VEVENT")
            found.events.push_back({span, int(found.calendars.size()) - 1});
        else if (component.name == "VTODO" || component.name == "VJOURNAL")
            found.others.push_back(span);
        else if (component.name == "VTIMEZONE")
            found.calendars.back().push_back(span);
    };
    for (qsizetype at = begin; at < bytes.size();) {
        const Line line = lineAt(bytes, at);
        if (const std::optional<QByteArray> name = componentOf(line.text, "BEGIN:")) {
            if (open.empty() && name == "VCALENDAR")
                found.calendars.emplace_back();
            if (open.size() == size_t(kMaxNesting)) {
                found = {};
                found.error =
                    IcsImport::tr("The file nests components more than %1 deep.").arg(kMaxNesting);
                return found;
            }
            open.push_back({*name, at});
        } else if (componentOf(line.text, "END:") && !open.empty()) {
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
        if (componentOf(text, "BEGIN:")) {
            ++depth;
        } else if (componentOf(text, "END:")) {
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
