#include "store/AppointmentFile.h"

#include "store/RuleSeries.h"

#include <QRegularExpression>

#include <algorithm>

namespace AppointmentFile {

namespace {

// One file in memory in place of the disk: what a save writes, and a read of it.
class FileInMemory final : public FileAccess {
public:
    std::optional<DirectoryListing> listDirectory(const QString&, const QString&, const QString&,
                                                  DirectoryTime) override
    {
        return std::nullopt;
    }
    bool isListableDir(const QString&) override { return false; }
    std::optional<FileMeta> metadata(const QString&) override
    {
        if (!bytes)
            return std::nullopt;
        return FileMeta{QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC), bytes->size()};
    }
    std::optional<FileMeta> directoryMetadata(const QString&) override { return std::nullopt; }
    bool exists(const QString&) override { return bytes.has_value(); }
    ReadOutcome read(const QString& path, qint64, const QString&) override
    {
        ReadOutcome outcome;
        if (const std::optional<FileMeta> meta = metadata(path)) {
            outcome.status = ReadOutcome::Read;
            outcome.bytes = *bytes;
            outcome.meta = *meta;
        }
        return outcome;
    }
    WriteOutcome writeFile(const QString&, const QByteArray& content, const QString&,
                           Replace) override
    {
        bytes = content;
        return WriteOutcome::done();
    }
    bool remove(const QString&, const QString&) override { return false; }
    bool createExclusively(const QString&, const QByteArray&, const QString&) override
    {
        return false;
    }
    bool makePath(const QString&) override { return false; }

    std::optional<QByteArray> bytes;
};

// The record saved as a new file into memory.
void save(FileInMemory& memory, ClassTermin a, const QString& root)
{
    ProfileCache cache(memory);
    IniFile ini(cache, a.filename(), root);
    write(ini, a);
    static_cast<void>(ini.commit()); // into memory: it cannot fail
}

const QDate kMinimumDate{1900, 1, 1};

// A 16-bit field takes the default for a number that does not fit.
qint16 readShort(const IniFile& ini, const QString& key, qint16 defaultValue)
{
    const qint32 n = ini.ReadIniLong(kSection, key, defaultValue);
    return n < -32768 || n > 32767 ? defaultValue : qint16(n);
}

QDate dateOr(const QDate& date, const QDate& fallback)
{
    return date < kMinimumDate ? fallback : date;
}

// As many days as a series could sensibly have changed; a longer list is cut there.
constexpr qsizetype kMaxSeriesDays = 4096;

QList<QDate> seriesDays(const QString& text)
{
    QList<QDate> days;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QDate day = QDate::fromString(word, Qt::ISODate);
        if (day.isValid() && days.size() < kMaxSeriesDays)
            days.append(day);
    }
    return days;
}

QString seriesDaysText(const QList<QDate>& days)
{
    QStringList words;
    for (const QDate& day : days)
        words.append(day.toString(Qt::ISODate));
    return words.join(QLatin1Char(' '));
}

} // namespace

namespace {

bool hasControl(const QString& word)
{
    return std::any_of(word.begin(), word.end(), [](QChar c) {
        return c.category() == QChar::Other_Control || c.category() == QChar::Other_Format;
    });
}

QString propertyLine(const QString& text)
{
    return text.size() > kMaxPropertyLine || hasControl(text) ? QString() : text;
}

QStringList attendeesOf(const IniFile& ini)
{
    const qint32 count = ini.ReadIniLong(kSection, kAttendeeCount, 0);
    QStringList lines;
    for (qint32 n = 1; n <= count && n <= kMaxAttendees; ++n) {
        const QString line =
            propertyLine(ini.ReadIniString(kSection, kAttendee + QString::number(n)));
        if (!line.isEmpty())
            lines.append(line);
    }
    return lines;
}

void writeAttendees(IniFile& ini, const QStringList& lines)
{
    const qint32 before =
        std::clamp<qint32>(ini.ReadIniLong(kSection, kAttendeeCount, 0), 0, qint32(kMaxAttendees));
    for (qint32 n = qint32(lines.size()) + 1; n <= before; ++n)
        ini.DeleteIniKey(kSection, kAttendee + QString::number(n));
    if (lines.isEmpty()) {
        ini.DeleteIniKey(kSection, kAttendeeCount);
        return;
    }
    ini.WriteIniLong(kSection, kAttendeeCount, qint32(lines.size()));
    for (qsizetype n = 0; n < lines.size(); ++n)
        ini.WriteIniString(kSection, kAttendee + QString::number(n + 1), lines[n]);
}

// A key written when the value is not empty, removed when it is.
void writeOrDelete(IniFile& ini, const QString& key, const QString& value)
{
    if (value.isEmpty())
        ini.DeleteIniKey(kSection, key);
    else
        ini.WriteIniString(kSection, key, value);
}

QDateTime zoneClock(const QString& text)
{
    QDateTime clock = QDateTime::fromString(text, Qt::ISODate);
    if (!clock.isValid())
        return {};
    clock.setTimeSpec(Qt::UTC); // a naked wall clock, whatever the text said
    return clock;
}

QString zoneClockText(const QDateTime& clock)
{
    return clock.isValid() ? clock.toString(QStringLiteral("yyyy-MM-ddTHH:mm")) : QString();
}

void readZone(const IniFile& ini, ClassTermin& a)
{
    const QString zone = ini.ReadIniString(kSection, kTimeZone).trimmed();
    const QDateTime start = zoneClock(ini.ReadIniString(kSection, kZoneStart));
    const QDateTime end = zoneClock(ini.ReadIniString(kSection, kZoneEnd));
    // Without both clocks the zone tells nothing the team's times do not.
    if (!zone.isEmpty() && zone.size() <= 64 && !hasControl(zone) && start.isValid() &&
        end.isValid() && start <= end)
        a.setOwnZone(zone, start, end);
}

void readSpan(const IniFile& ini, ClassTermin& a)
{
    const QString id = ini.ReadIniString(kSection, kSpanId).trimmed();
    const QDate from = QDate::fromString(ini.ReadIniString(kSection, kSpanFrom), Qt::ISODate);
    const QDate until = QDate::fromString(ini.ReadIniString(kSection, kSpanUntil), Qt::ISODate);
    // A span that does not hold its own day, or runs longer than any kept, is a day of its own.
    if (!id.isEmpty() && id.size() <= 128 && !hasControl(id) && from.isValid() && until.isValid() &&
        from <= a.datum() && a.datum() <= until && from < until &&
        from.daysTo(until) < kMaxSpanDays)
        a.setSpan(id, from, until);
}

} // namespace

QString propertyLineOf(const QString& line)
{
    return propertyLine(line);
}

QStringList roomsOf(const QString& text)
{
    constexpr qsizetype kMaxRoomLength = 100;
    QStringList rooms;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString room = part.simplified();
        if (!room.isEmpty() && !hasControl(room) && room.size() <= kMaxRoomLength &&
            !rooms.contains(room, Qt::CaseInsensitive) && rooms.size() < kMaxRooms)
            rooms.append(room);
    }
    return rooms;
}

QString locationOf(const QString& text, bool* cut)
{
    // Lines given (an address) are kept as parts of the one line.
    static const QRegularExpression lineBreaks(QStringLiteral("\\s*[\\r\\n]+\\s*"));
    QString line = text.trimmed().replace(lineBreaks, QStringLiteral(", "));
    line.removeIf([](QChar c) { return c.category() == QChar::Other_Format; });
    for (QChar& c : line)
        if (c.category() == QChar::Other_Control)
            c = u' '; // a tab between two words
    line = line.simplified();
    if (cut)
        *cut = line.size() > kMaxLocation;
    return line.left(kMaxLocation).trimmed();
}

TextAndLocation textAndLocation(const QString& fileText)
{
    const qsizetype lineStart = fileText.lastIndexOf(u'\n') + 1;
    if (lineStart == 0)
        return {fileText, {}};
    const QString last = fileText.mid(lineStart);
    // "Ort: " too, as the export has always read a location line.
    for (const QString& word : {kLocationWord, QStringLiteral("Ort: ")}) {
        const QString place = locationOf(last.mid(word.size()));
        if (last.startsWith(word) && !place.isEmpty()) {
            qsizetype textEnd = lineStart - 1;
            if (textEnd > 0 && fileText[textEnd - 1] == u'\r')
                --textEnd;
            return {fileText.left(textEnd), place};
        }
    }
    return {fileText, {}};
}

QString fileText(const TextAndLocation& record)
{
    const QString place = locationOf(record.location);
    if (place.isEmpty())
        return record.text;
    return record.text + QLatin1String("\r\n") + kLocationWord + place;
}

QStringList loginsOf(const QString& text)
{
    // A login is a short word without blanks or control characters; anything else is no login
    // and is left out.
    constexpr qsizetype kMaxLoginLength = 256;
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    QStringList logins;
    for (const QString& login : text.split(separators, Qt::SkipEmptyParts)) {
        if (!hasControl(login) && login.size() <= kMaxLoginLength && !logins.contains(login) &&
            logins.size() < kMaxLogins)
            logins.append(login);
    }
    return logins;
}

std::optional<RepeatRule> readRule(const IniFile& ini)
{
    const QString text = ini.ReadIniString(kSection, kRepeatRule);
    if (text.isEmpty())
        return std::nullopt;
    const QDate start = QDate::fromString(ini.ReadIniString(kSection, kRepeatStart), Qt::ISODate);
    std::optional<RepeatRule> rule = RepeatRule::fromRRule(text, start);
    if (rule && !rule->isValid())
        rule.reset();
    return rule;
}

RecurringRange readRecurringRange(const IniFile& ini)
{
    auto date = [&](const QString& prefix, int year, int month, int day) {
        return DateSerial(ini.ReadIniLong(kSection, prefix + QLatin1String("Year"), year),
                          ini.ReadIniLong(kSection, prefix + QLatin1String("Month"), month),
                          ini.ReadIniLong(kSection, prefix + QLatin1String("Day"), day));
    };
    return {date(QStringLiteral("RecurringFrom"), 1990, 1, 1),
            date(QStringLiteral("RecurringUntil"), 2020, 12, 31)};
}

TerminPtr read(const IniFile& ini, const QDate& fallbackDate, const QDateTime& fileDate,
               const QTime& now)
{
    const QString& s = kSection;
    auto a = std::make_shared<ClassTermin>();
    a->setColorCode(readShort(ini, QStringLiteral("Color"), 1));
    a->setDatum(dateOr(ini.ReadIniDate(s, QStringLiteral("Date")), fallbackDate));
    a->setEmailEnable(ini.ReadIniBool(s, QStringLiteral("RemindEmail"), false));
    a->setEndTime(ini.ReadIniTime(s, QStringLiteral("EndTime"), now));
    a->setStartTime(ini.ReadIniTime(s, QStringLiteral("StartTime"), now));
    a->setFileDate(fileDate);
    a->setIsRecurring(ini.ReadIniBool(s, QStringLiteral("Recurring"), false));
    a->setFilename(ini.path()); // a file in the recurring tree is recurring whatever its key says
    a->setIsReminder(ini.ReadIniBool(s, QStringLiteral("IsReminder"), true));
    a->setProducer(ini.ReadIniString(s, QStringLiteral("Producer")));
    a->setForUsers(loginsOf(ini.ReadIniString(s, kFor)));
    a->setIsPrivate(ini.ReadIniBool(s, kPrivate, false));
    a->setRooms(roomsOf(ini.ReadIniString(s, kRooms)));
    // The range the day view shows, so an edit keeps what was shown.
    const RecurringRange range = readRecurringRange(ini);
    a->setRecurringEndDate(range.until);
    a->setRecurringStartDate(range.from);
    // Stored inverted: "RemindMe" 1 means the owner only.
    a->setReminderAll(!ini.ReadIniBool(s, QStringLiteral("RemindMe"), false));
    a->setRemindMinutes(readShort(ini, QStringLiteral("RemindTime"), 5));
    if (a->RemindMinutes() == 0)
        a->setIsReminder(false);
    if (!a->IsReminder())
        a->setRemindMinutes(0);
    const TextAndLocation text = textAndLocation(ini.ReadIniString(s, QStringLiteral("Text")));
    a->setText(text.text);
    a->setLocation(text.location);
    a->setCategories(roomsOf(ini.ReadIniString(s, kCategories)));
    a->setOrganizer(propertyLine(ini.ReadIniString(s, kOrganizer)));
    a->setAttendees(attendeesOf(ini));
    readZone(ini, *a);
    readSpan(ini, *a);
    a->setUid(ini.ReadIniString(s, QStringLiteral("UID")));
    a->setSubscriptionId(ini.ReadIniString(s, kSubscription).trimmed());
    a->setSeriesId(ini.ReadIniString(s, QStringLiteral("SeriesId")));
    a->setSeriesDays(seriesDays(ini.ReadIniString(s, kSeriesDays)));
    a->setRule(readRule(ini));
    a->setSkippedDays(seriesDays(ini.ReadIniString(s, kRepeatSkipped)));
    a->setWrittenUntil(QDate::fromString(ini.ReadIniString(s, kRepeatWritten), Qt::ISODate));
    return a;
}

void write(IniFile& ini, ClassTermin& a)
{
    if (!a.IsReminder())
        a.setRemindMinutes(0);
    const QString& s = kSection;
    ini.WriteIniDate(s, QStringLiteral("Date"), a.datum());
    ini.WriteIniTime(s, QStringLiteral("StartTime"), a.StartTime());
    ini.WriteIniTime(s, QStringLiteral("EndTime"), a.EndTime());
    ini.WriteIniLong(s, QStringLiteral("Color"), a.ColorCode());
    ini.WriteIniString(s, QStringLiteral("Text"), fileText({a.Text(), a.Location()}));
    ini.WriteIniString(s, QStringLiteral("Producer"), a.Producer());
    // The record says whom it is for: a list emptied in the editor leaves the file.
    if (a.ForUsers().isEmpty())
        ini.DeleteIniKey(s, kFor);
    else
        ini.WriteIniString(s, kFor, a.ForUsers().join(QLatin1Char(',')));
    if (a.IsPrivate())
        ini.WriteIniBool(s, kPrivate, true);
    else
        ini.DeleteIniKey(s, kPrivate);
    if (a.Rooms().isEmpty())
        ini.DeleteIniKey(s, kRooms);
    else
        ini.WriteIniString(s, kRooms, a.Rooms().join(QStringLiteral("; ")));
    if (const QString place = locationOf(a.Location()); place.isEmpty())
        ini.DeleteIniKey(s, kLocation);
    else
        ini.WriteIniString(s, kLocation, place);
    writeOrDelete(ini, kCategories, a.Categories().join(QStringLiteral("; ")));
    writeOrDelete(ini, kOrganizer, a.Organizer());
    writeAttendees(ini, a.Attendees());
    writeOrDelete(ini, kTimeZone, a.TimeZoneId());
    writeOrDelete(ini, kZoneStart, a.hasOwnZone() ? zoneClockText(a.ZoneStart()) : QString());
    writeOrDelete(ini, kZoneEnd, a.hasOwnZone() ? zoneClockText(a.ZoneEnd()) : QString());
    writeOrDelete(ini, kSpanId, a.SpanId());
    writeOrDelete(ini, kSpanFrom, a.isSpanDay() ? a.SpanFrom().toString(Qt::ISODate) : QString());
    writeOrDelete(ini, kSpanUntil, a.isSpanDay() ? a.SpanUntil().toString(Qt::ISODate) : QString());
    ini.WriteIniBool(s, QStringLiteral("IsReminder"), a.IsReminder());
    ini.WriteIniLong(s, QStringLiteral("RemindTime"), a.RemindMinutes());
    ini.WriteIniBool(s, QStringLiteral("RemindMe"), !a.ReminderAll());
    ini.WriteIniBool(s, QStringLiteral("RemindEmail"), a.EmailEnable());
    ini.WriteIniBool(s, QStringLiteral("Recurring"), a.IsRecurring());
    ini.WriteIniDate(s, QStringLiteral("RecurringFrom"), a.RecurringStartDate());
    ini.WriteIniDate(s, QStringLiteral("RecurringUntil"), a.RecurringEndDate());
    // Only imported appointments carry one; a file's own key stays when the record has none.
    if (!a.Uid().isEmpty())
        ini.WriteIniString(s, QStringLiteral("UID"), a.Uid());
    writeOrDelete(ini, kSubscription, a.SubscriptionId());
    // Written once a series is split; other copies keep the key as they keep any other.
    if (!a.SeriesId().isEmpty())
        ini.WriteIniString(s, QStringLiteral("SeriesId"), a.SeriesId());
    // Kept like the UID when the record has none: a writer that knows nothing of the series'
    // days (the sync, an import) must not lose them.
    if (!a.SeriesDays().isEmpty())
        ini.WriteIniString(s, kSeriesDays, seriesDaysText(a.SeriesDays()));
    // Kept like the UID: a writer that knows only the original keys leaves the rule as it was.
    if (const std::optional<RepeatRule> rule = RuleSeries::ruleAsFiled(a)) {
        ini.WriteIniString(s, kRepeatRule, rule->rrule());
        ini.WriteIniString(s, kRepeatStart, rule->start.toString(Qt::ISODate));
    }
    if (!a.SkippedDays().isEmpty())
        ini.WriteIniString(s, kRepeatSkipped, seriesDaysText(a.SkippedDays()));
    if (a.WrittenUntil().isValid())
        ini.WriteIniString(s, kRepeatWritten, a.WrittenUntil().toString(Qt::ISODate));
}

QByteArray bytesOf(const ClassTermin& record, const QString& root)
{
    FileInMemory memory;
    save(memory, record, root);
    return memory.bytes.value_or(QByteArray());
}

TerminPtr asFiled(const ClassTermin& record, const QString& root)
{
    FileInMemory memory;
    save(memory, record, root);
    ProfileCache cache(memory);
    const IniFile ini(cache, record.filename(), root);
    return read(ini, record.datum(), memory.metadata(record.filename())->modified, QTime(0, 0));
}

} // namespace AppointmentFile
