// iCalendar import: each tests/data/ics/<case>.ics (as other programs write them) beside
// <case>.expected, the summary and one line per written file; input that is no iCalendar;
// rules without end; a large file.
#include "IcsImport.h"
#include "Common.h"
#include "DataAccess.h"
#include "TestFiles.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kData = QStringLiteral(NORVANE_ICS_DATA);
const QDate kToday(2026, 3, 1);

// Every appointment file below folder: directory, date, times, colour, reminder, range, text.
QString describe(const QString& folder)
{
    ProfileCache profiles(RealFileAccess::instance());
    DataAccess store(profiles, StoreSource::fixed(folder));
    QStringList lines;
    QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const TerminPtr a = store.LoadAppointment(path, QDate());
        QString line = QDir(folder).relativeFilePath(QFileInfo(path).path()) + ' ' +
                       a->datum().toString(Qt::ISODate) + ' ' + FormatTime(a->StartTime(), "24h") +
                       '-' + FormatTime(a->EndTime(), "24h") + " c" +
                       QString::number(a->ColorCode());
        if (a->IsReminder())
            line += " remind " + QString::number(a->RemindMinutes());
        if (a->IsRecurring())
            line += ' ' + a->RecurringStartDate().toString(Qt::ISODate) + ".." +
                    a->RecurringEndDate().toString(Qt::ISODate);
        lines << line + " \"" + QString(a->Text()).replace("\r\n", "\\n") + '"';
    }
    lines.sort();
    return lines.join('\n');
}

struct Imported {
    IcsImportResult result;
    QString folder; // describe() of the folder afterwards
};

IcsImportOptions testOptions()
{
    IcsImportOptions options;
    options.today = kToday;
    options.producer = "tester";
    options.random = [next = quint32(0)]() mutable { return ++next; };
    return options;
}

Imported import(const QByteArray& ics, const IcsImportProgress& progress = {},
                IcsImportOptions options = testOptions())
{
    QTemporaryDir folder;
    ProfileCache profiles(RealFileAccess::instance());
    DataAccess store(profiles, StoreSource::fixed(folder.path()));
    Imported run{ImportIcs(ics, store, folder.path(), 5, progress, options), {}};
    run.folder = describe(folder.path());
    return run;
}

TEST(IcsImportTest, GoldenCases)
{
    const QStringList cases = QDir(kData).entryList({"*.ics"}, QDir::Files, QDir::Name);
    ASSERT_GE(cases.size(), 4);
    for (const QString& name : cases) {
        SCOPED_TRACE(name.toStdString());
        const Imported run = import(TestFiles::readBytes(kData + '/' + name));
        const QString actual = IcsImportSummary(run.result) + "\n\n" + run.folder + '\n';
        const QString expectedPath = kData + '/' + QFileInfo(name).completeBaseName() + ".expected";
        // NORVANE_UPDATE_GOLDEN=1 writes what the import does now, to be read before committing.
        if (qEnvironmentVariableIsSet("NORVANE_UPDATE_GOLDEN"))
            TestFiles::writeBytes(expectedPath, actual.toUtf8());
        EXPECT_EQ(actual.toStdString(), TestFiles::readBytes(expectedPath).toStdString());
    }
}

TEST(IcsImportTest, InputThatIsNoCalendarWritesNothing)
{
    const struct {
        QByteArray bytes;
        QString error;
    } rows[] = {
        {"", "The file is empty."},
        {"\xEF\xBB\xBF \r\n\t", "The file is empty."},
        {"Subject: minutes\r\n\r\nBEGIN:VCALENDAR\r\n", "The file is not an iCalendar file."},
        {"BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nEND:VCARD\r\n",
         "The file is not an iCalendar file."},
        {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "The file is not an iCalendar file."},
        {"<html><body>BEGIN:VCALENDAR</body></html>", "The file is not an iCalendar file."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes.toStdString());
        const Imported run = import(row.bytes);
        EXPECT_FALSE(run.result.ok);
        EXPECT_EQ(run.result.error, row.error);
        EXPECT_EQ(IcsImportSummary(run.result), row.error);
        EXPECT_EQ(run.folder, "");
        EXPECT_FALSE(CheckIcs(row.bytes).ok);
    }
    // A BOM and blank lines before it are no reason to refuse a calendar.
    const IcsCheck check = CheckIcs("\xEF\xBB\xBF\r\nbegin:vcalendar\r\nBEGIN:VEVENT\r\n"
                                    "DTSTART:20260301T100000\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    EXPECT_TRUE(check.ok) << check.error.toStdString();
    EXPECT_EQ(check.events, 1);
}

// Rules without end run to two years after today; each occurrence a one-time appointment.
TEST(IcsImportTest, OpenRulesExpandToTwoYearsAfterToday)
{
    const struct {
        const char* rule;
        int count;
        const char* last;
    } rows[] = {
        {"FREQ=WEEKLY;BYDAY=TU,TH", 209, "2028-02-29"},
        {"FREQ=MONTHLY;INTERVAL=3", 8, "2027-12-03"},
        {"FREQ=YEARLY;BYMONTH=3,9", 4, "2027-09-03"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rule);
        const Imported run = import(QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Yoga\r\n"
                                               "DTSTART:20260303T190000\r\nRRULE:") +
                                    row.rule + "\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
        EXPECT_EQ(run.result.expanded, 1);
        EXPECT_EQ(run.result.expandedInto, row.count);
        const QStringList lines = run.folder.split('\n');
        EXPECT_EQ(lines.size(), row.count);
        EXPECT_TRUE(std::all_of(lines.begin(), lines.end(), [](const QString& line) {
            return line.endsWith(" 19:00-19:00 c5 \"Yoga\"");
        })) << run.folder.toStdString();
        QStringList dates;
        for (const QString& line : lines)
            dates << line.section(' ', 1, 1);
        EXPECT_EQ(*std::max_element(dates.begin(), dates.end()), row.last);
    }
}

TEST(IcsImportTest, ThousandsOfEventsWithProgress)
{
    constexpr int kEvents = 3000;
    QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    for (int i = 0; i < kEvents; ++i) {
        const QDate day = QDate(2026, 1, 1).addDays(i % 365);
        ics += "BEGIN:VEVENT\r\nUID:" + QByteArray::number(i) + "\r\nSUMMARY:Event " +
               QByteArray::number(i) + "\r\nDTSTART:" + day.toString("yyyyMMdd").toLatin1() +
               "T080000Z\r\nDTEND:" + day.toString("yyyyMMdd").toLatin1() +
               "T090000Z\r\nEND:VEVENT\r\n";
    }
    ics += "END:VCALENDAR\r\n";
    int calls = 0;
    int last = 0;
    const Imported run = import(ics, [&](int done, int total) {
        ++calls;
        last = done;
        EXPECT_EQ(total, kEvents);
    });
    EXPECT_EQ(run.result.imported, kEvents);
    EXPECT_EQ(run.result.failed, 0);
    EXPECT_EQ(calls, kEvents);
    EXPECT_EQ(last, kEvents);
    EXPECT_EQ(run.folder.count('\n') + 1, kEvents);
}

} // namespace
