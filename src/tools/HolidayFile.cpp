#include "tools/HolidayFile.h"

#include "profile/FileAccess.h"
#include "profile/ProfileCodec.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"

#include <algorithm>

namespace {

const QString kProducer = QStringLiteral("Import");
const QString kFileName = QStringLiteral("holiday.nv3");

bool isDigits(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// A name of at least one character, ", ", and a date of exactly 4, 2 and 2 digits: nothing
// else on the line, not even a trailing blank. The name ends at the first ", ".
std::optional<HolidayFile::Entry> entryOf(QStringView line)
{
    constexpr qsizetype kDate = 10; // YYYY/MM/DD
    constexpr qsizetype kTail = 2 + kDate;
    if (line.size() <= kTail || line.sliced(line.size() - kTail, 2) != u", ")
        return std::nullopt;
    const QStringView date = line.last(kDate);
    if (date[4] != u'/' || date[7] != u'/' || !isDigits(date.first(4)) ||
        !isDigits(date.sliced(5, 2)) || !isDigits(date.sliced(8, 2)))
        return std::nullopt;
    return HolidayFile::Entry{
        line.first(line.indexOf(u", ")).toString(),
        DateSerial(date.first(4).toInt(), date.sliced(5, 2).toInt(), date.sliced(8, 2).toInt())};
}

// The name of a header line: its first non-blank character is "[", its last "]". A "[" inside
// an entry's name leaves that line an entry.
std::optional<QStringView> headerName(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.size() < 2 || trimmed.front() != u'[' || trimmed.back() != u']')
        return std::nullopt;
    return trimmed.sliced(1, trimmed.size() - 2);
}

bool isControl(char16_t c)
{
    return (c < 0x20 && c != u'\t' && c != u'\r' && c != u'\n') || (c >= 0x7F && c <= 0x9F);
}

// Where text holds a control character other than tab, CR and LF, as a binary file does; the
// bytes Windows-1252 leaves unassigned decode to such a character as well.
std::optional<HolidayFile::Problem> controlCharacterIn(QStringView text)
{
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'\n' || (c == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            ++line;
        else if (isControl(c))
            return HolidayFile::Problem{
                true, line,
                QStringLiteral("not a text file: line %1 holds the control character U+%2")
                    .arg(line)
                    .arg(QString::number(c, 16).toUpper().rightJustified(4, u'0'))};
    }
    return std::nullopt;
}

} // namespace

std::optional<HolidayFile> HolidayFile::read(FileAccess& files, const QString& path,
                                             Problem* problem)
{
    QString error;
    const std::optional<QByteArray> bytes = ReadWholeFile(files, path, kMaxBytes, &error);
    if (!bytes) {
        if (problem)
            *problem = Problem{false, 0, error};
        return std::nullopt;
    }
    return fromBytes(*bytes, problem);
}

std::optional<HolidayFile> HolidayFile::fromBytes(const QByteArray& bytes, Problem* problem)
{
    const QString text = ProfileCodec::decode(bytes);
    if (const std::optional<Problem> control = controlCharacterIn(text)) {
        if (problem)
            *problem = *control;
        return std::nullopt;
    }
    return parse(text);
}

HolidayFile HolidayFile::parse(QStringView text)
{
    HolidayFile file;
    QList<bool> repeats;
    qsizetype current = -1; // the section being read; lines before the first header are skipped
    // Lists edited on Linux end their lines in LF alone, and the last line may lack one.
    for (qsizetype from = 0; from <= text.size();) {
        qsizetype end = from;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        const QStringView line = text.sliced(from, end - from);
        const bool crlf = end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n';
        from = end + (crlf ? 2 : 1);

        if (const std::optional<QStringView> name = headerName(line)) {
            const QString key = name->toString();
            qsizetype& known = file.m_index[key]; // one lookup: 0 for a name not seen before
            if (known > 0) {
                current = known - 1;
                repeats[current] = true;
            } else {
                current = file.m_names.size();
                known = current + 1;
                file.m_names.append(key);
                file.m_entries.append(QList<Entry>());
                repeats.append(false);
            }
        } else if (current >= 0) {
            if (std::optional<Entry> entry = entryOf(line))
                file.m_entries[current].append(std::move(*entry));
        }
    }
    for (qsizetype i = 0; i < repeats.size(); ++i) {
        if (repeats[i])
            file.m_repeated.append(file.m_names[i]);
    }
    return file;
}

QList<HolidayFile::Entry> HolidayFile::entries(const QString& section) const
{
    const auto found = m_index.constFind(section);
    return found == m_index.cend() ? QList<Entry>() : m_entries[found.value() - 1];
}

HolidayImportResult ImportHolidays(const HolidayFile& file, const QStringList& sections,
                                   int colorCode, DataAccess& store, const QString& dataFolder,
                                   const HolidayImportProgress& progress)
{
    HolidayImportResult result;
    QList<HolidayFile::Entry> entries;
    for (const QString& section : sections) {
        for (const HolidayFile::Entry& entry : file.entries(section)) {
            // A year beyond these is stored where no view shows it.
            if (entry.date < HolidayFile::kFirstDay || entry.date > HolidayFile::kLastDay)
                ++result.outOfRange;
            else
                entries.append(entry);
        }
    }
    result.count = int(entries.size());
    const QString folder = WithTrailingSeparator(dataFolder);
    bool reachable = true;
    int done = 0;
    for (const HolidayFile::Entry& entry : entries) {
        WriteOutcome outcome;
        const QString path = DataAccess::DayDirectory(folder, entry.date) + kFileName;
        if (reachable) {
            ClassTermin a;
            a.setDatum(entry.date);
            a.setText(entry.name);
            a.setColorCode(qint16(colorCode));
            // The whole day, as every copy reads it: drawn in the all-day strip.
            a.setStartTime(TimeOfDay::fromMinutes(0));
            a.setEndTime(TimeOfDay::fromMinutes(TimeOfDay::kEndOfDay));
            a.setIsRecurring(false);
            a.setIsReminder(false);
            a.setProducer(kProducer);
            a.setFilename(path);
            outcome = store.SaveAppointment(a);
            // An unmounted share answers every further try the same way, only slower.
            reachable = outcome.cause != WriteOutcome::Cause::FolderUnreachable || outcome.ok;
        }
        if (outcome.ok)
            result.written << path;
        else if (result.failed++ == 0)
            result.firstFailure = outcome;
        if (progress)
            progress(++done, result.count);
    }
    return result;
}
