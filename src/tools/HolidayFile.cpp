#include "HolidayFile.h"

#include "ClassTermin.h"
#include "DataAccess.h"
#include "ProfileCodec.h"
#include "Settings.h"

#include <QRegularExpression>

namespace {

const QString kProducer = QStringLiteral("Import");
const QString kFileName = QStringLiteral("holiday.nv3");

// A name of at least one character, ", ", and a date of exactly 4, 2 and 2 digits: nothing
// else on the line, not even a trailing blank.
const QRegularExpression& entryPattern()
{
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(
        QStringLiteral("(.+), ([0-9]{4})/([0-9]{2})/([0-9]{2})")));
    return pattern;
}

} // namespace

std::optional<HolidayFile> HolidayFile::read(FileAccess& files, const QString& path, QString* error)
{
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    // One byte more than allowed tells a file that is too large from one that just fits.
    const ReadOutcome outcome = files.read(path, kMaxBytes + 1, QString());
    switch (outcome.status) {
    case ReadOutcome::Read:
        break;
    case ReadOutcome::NotRegular:
        return fail(QStringLiteral("not a regular file"));
    case ReadOutcome::Missing:
    case ReadOutcome::Failed:
        return fail(outcome.error.isEmpty() ? QStringLiteral("cannot be read") : outcome.error);
    }
    if (outcome.bytes.size() > kMaxBytes)
        return fail(QStringLiteral("larger than %1 MiB").arg(kMaxBytes / (1024 * 1024)));
    return fromBytes(outcome.bytes);
}

HolidayFile HolidayFile::fromBytes(const QByteArray& bytes)
{
    return fromText(ProfileCodec::decode(bytes));
}

HolidayFile HolidayFile::fromText(const QString& text)
{
    HolidayFile file;
    file.m_text = text;
    // A header is a "[" and the next "]", wherever they stand; its section runs to the next "[".
    qsizetype from = 0;
    for (;;) {
        const qsizetype open = text.indexOf(QLatin1Char('['), from);
        if (open < 0)
            break;
        const qsizetype close = text.indexOf(QLatin1Char(']'), open + 1);
        if (close < 0)
            break;
        Section section;
        section.name = text.mid(open + 1, close - open - 1);
        section.bodyStart = close + 1;
        section.bodyEnd = text.indexOf(QLatin1Char('['), section.bodyStart);
        if (section.bodyEnd < 0)
            section.bodyEnd = text.size();
        file.m_sections.append(section);
        from = close + 1;
    }
    return file;
}

QStringList HolidayFile::sections() const
{
    QStringList names;
    for (const Section& section : m_sections) {
        if (!names.contains(section.name))
            names.append(section.name);
    }
    return names;
}

bool HolidayFile::hasSection(const QString& name) const
{
    return find(name) != nullptr;
}

const HolidayFile::Section* HolidayFile::find(const QString& name) const
{
    for (const Section& section : m_sections) {
        if (section.name == name)
            return &section;
    }
    return nullptr;
}

QList<HolidayFile::Entry> HolidayFile::entries(const QString& name) const
{
    QList<Entry> found;
    const Section* section = find(name);
    if (!section)
        return found;
    // Lists edited on Linux end their lines in LF alone, and the last line may lack one.
    QString body = m_text.mid(section->bodyStart, section->bodyEnd - section->bodyStart);
    body.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    for (const QString& line : body.split(u'\n')) {
        const QRegularExpressionMatch match = entryPattern().match(line);
        if (!match.hasMatch())
            continue;
        found.append({line.left(line.indexOf(QLatin1String(", "))),
                      DateSerial(match.captured(2).toInt(), match.captured(3).toInt(),
                                 match.captured(4).toInt())});
    }
    return found;
}

HolidayImportResult ImportHolidays(const HolidayFile& file, const QStringList& sections,
                                   int colorCode, DataAccess& store, const QString& dataFolder,
                                   const HolidayImportProgress& progress)
{
    QList<HolidayFile::Entry> entries;
    for (const QString& section : sections)
        entries.append(file.entries(section));

    HolidayImportResult result;
    result.count = int(entries.size());
    const QString folder = WithTrailingSeparator(dataFolder);
    bool reachable = true;
    int done = 0;
    for (const HolidayFile::Entry& entry : entries) {
        WriteOutcome outcome;
        if (reachable) {
            ClassTermin a;
            a.setDatum(entry.date);
            a.setText(entry.name);
            a.setColorCode(qint16(colorCode));
            a.setStartTime(TimeOfDay::fromHourMinute(8, 0));
            a.setEndTime(TimeOfDay::fromHourMinute(12, 0));
            a.setIsRecurring(false);
            a.setIsReminder(false);
            a.setProducer(kProducer);
            a.setFilename(DataAccess::DayDirectory(folder, entry.date) + kFileName);
            outcome = store.SaveAppointment(a);
            // An unmounted share answers every further try the same way, only slower.
            reachable = outcome.cause != WriteOutcome::Cause::FolderUnreachable || outcome.ok;
        }
        if (!outcome.ok) {
            if (result.failed++ == 0)
                result.firstFailure = outcome;
        }
        if (progress)
            progress(++done, result.count);
    }
    return result;
}
