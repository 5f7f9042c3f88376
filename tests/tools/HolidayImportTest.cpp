// Holiday lists: which lines are entries, and what an import leaves in the data folder.
#include "TestFiles.h"
#include "store/DataAccess.h"
#include "tools/HolidayFile.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// "section: name=date; ..." for every section, in the file's order, then the repeated names;
// or why the bytes were refused.
QString described(const QByteArray& bytes)
{
    HolidayFile::Problem problem;
    const std::optional<HolidayFile> file = HolidayFile::fromBytes(bytes, &problem);
    if (!file)
        return QString("refused at %1: %2").arg(problem.line).arg(problem.reason);
    QStringList sections;
    for (const QString& section : file->sections()) {
        QStringList entries;
        for (const HolidayFile::Entry& entry : file->entries(section))
            entries << entry.name + '=' + entry.date.toString(Qt::ISODate);
        sections << section + ": " + entries.join("; ");
    }
    QString text = sections.join(" | ");
    if (!file->repeated().isEmpty())
        text += " (repeated: " + file->repeated().join(", ") + ')';
    return text;
}

TEST(HolidayFileTest, EntriesOfEachSection)
{
    const struct {
        const char* what;
        QByteArray bytes;
        QString expected;
    } rows[] = {
        {"two sections",
         "[Germany 2004]\r\nNew Year, 2004/01/01\r\nGood Friday, 2004/04/09\r\n"
         "[Austria 2004]\r\nNational Day, 2004/10/26\r\n",
         "Germany 2004: New Year=2004-01-01; Good Friday=2004-04-09 | "
         "Austria 2004: National Day=2004-10-26"},
        {"repeated header: its entries join the first, and it is named",
         "[A]\r\nX, 2004/01/01\r\n[B]\r\n[A]\r\nY, 2004/02/02\r\n[B]\r\n",
         "A: X=2004-01-01; Y=2004-02-02 | B:  (repeated: A, B)"},
        {"a [ inside a name is no header",
         "[A]\r\nTag der [Einheit], 2026/12/04\r\n[Einheit] 2026\r\nY, 2026/12/05\r\n",
         "A: Tag der [Einheit]=2026-12-04; Y=2026-12-05"},
        {"header between blanks, entries before any header skipped",
         "Early, 2004/01/01\r\n \t[A [x]]  \r\nX, 2004/01/01\r\n", "A [x]: X=2004-01-01"},
        {"other lines skipped",
         "; list\r\n[A]\r\nTrailing, 2004/01/01 \r\nShort month, 2004/1/01\r\n\r\n"
         "No name, , 2004/01/01x\r\n, 2004/01/02\r\nKept, 2004/03/03\r\n",
         "A: Kept=2004-03-03"},
        {"no final line break", "[A]\r\nX, 2004/01/01\r\nLast, 2004/12/31",
         "A: X=2004-01-01; Last=2004-12-31"},
        {"LF and CR line ends", "[A]\nX, 2004/01/01\rY, 2004/01/02\n[B]\rZ, 2004/01/03\n",
         "A: X=2004-01-01; Y=2004-01-02 | B: Z=2004-01-03"},
        {"day past the month's end", "[A]\r\nLeap, 2003/02/29\r\n", "A: Leap=2003-03-01"},
        {"name ends at the first comma", "[A]\r\nSts. Peter, Paul, 2004/06/29\r\n",
         "A: Sts. Peter=2004-06-29"},
        {"UTF-8 names", "[\xc3\x96sterreich]\r\nMari\xc3\xa4 Empf\xc3\xa4ngnis, 2004/12/08\r\n",
         QString::fromUtf8("Österreich: Mariä Empfängnis=2004-12-08")},
        {"Windows-1252 names", "[\xd6sterreich]\r\nMari\xe4 Empf\xe4ngnis, 2004/12/08\r\n",
         QString::fromUtf8("Österreich: Mariä Empfängnis=2004-12-08")},
        {"a tab is text", "[A]\r\nX\tY, 2004/01/01\r\n", "A: X\tY=2004-01-01"},
        {"NUL byte", QByteArray("[A]\r\nX") + '\0' + "Y, 2004/01/01\r\n",
         "refused at 2: not a text file: line 2 holds the control character U+0000"},
        {"escape code after CR-only lines", "[A]\r\r\x1b[31m\r\n",
         "refused at 3: not a text file: line 3 holds the control character U+001B"},
        {"byte Windows-1252 leaves unassigned", "[\xd6]\n\x81\n",
         "refused at 2: not a text file: line 2 holds the control character U+0081"},
        {"C1 control in UTF-8", "[\xc3\x96]\n\xc2\x85\n",
         "refused at 2: not a text file: line 2 holds the control character U+0085"},
        {"DEL", QByteArray::fromHex("7f454c460201"),
         "refused at 1: not a text file: line 1 holds the control character U+007F"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(described(row.bytes), row.expected);
    }
}

class HolidayImportTest : public ::testing::Test {
protected:
    QStringList filesIn(const QString& dir) const
    {
        QStringList names;
        QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            names << QDir(dir).relativeFilePath(it.next());
        names.sort();
        return names;
    }

    QTemporaryDir data;
    CountingFileAccess files{ThreadFileAccess()};
    ProfileCache profiles{files};
    const HolidayFile list = *HolidayFile::fromBytes(
        "[Germany 2004]\r\nNew Year, 2004/01/01\r\nUnity Day, 2004/10/03\r\n"
        "[Extra]\r\nFirst Day, 2004/01/01\r\n[Far]\r\nBefore, 1899/12/31\r\n"
        "First, 1900/01/01\r\nLast, 2200/12/31\r\nAfter, 2200/12/32\r\nYear 0, 0000/01/01\r\n");
};

// Every entry of the chosen sections counts, saved or not; days no view shows are skipped.
TEST_F(HolidayImportTest, OneFilePerDayTheLaterEntryWinsAndEveryEntryCounts)
{
    const struct {
        QStringList sections;
        int count, failed, outOfRange;
        QString left;               // the files in the data folder afterwards
        const char* gone = nullptr; // imported into this missing folder instead
    } rows[] = {
        {{"Far"}, 2, 0, 3, "y1900/m1/d1/holiday.nv3 y2200/m12/d31/holiday.nv3"},
        // Tests run as root: a file where the year directory belongs stops every write.
        {{"Germany 2004"}, 2, 2, 0, "y2004"},
        {{"Germany 2004", "Extra"}, 3, 3, 0, "", "gone"}, // asked once, not once per entry
        {{"Germany 2004", "Extra"}, 3, 0, 0, "y2004/m1/d1/holiday.nv3 y2004/m10/d3/holiday.nv3"},
    };
    QList<int> progress;
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        ASSERT_TRUE(QDir(data.path()).removeRecursively() && QDir().mkpath(data.path()));
        if (row.failed && !row.gone) {
            ASSERT_TRUE(TestFiles::writeBytes(data.filePath("y2004"), "in the way"));
        }
        const QString folder = row.gone ? data.filePath(row.gone) : data.path();
        DataAccess store(profiles, StoreSource::fixed(folder));
        progress.clear();
        files.resetCounts();
        const HolidayImportResult result =
            ImportHolidays(list, row.sections, 6, store, folder,
                           [&](int done, int total) { progress << done * 10 + total; });
        EXPECT_EQ((QList<int>{result.count, result.failed, result.outOfRange}),
                  (QList<int>{row.count, row.failed, row.outOfRange}));
        EXPECT_EQ(filesIn(data.path()).join(' '), row.left);
        EXPECT_EQ(result.firstFailure.path.isEmpty(), row.failed == 0);
        if (row.gone) {
            EXPECT_EQ(result.firstFailure.cause, WriteOutcome::Cause::FolderUnreachable);
            EXPECT_EQ(files.counts().total(), 2)
                << "the first entry's file looked up, its write refused";
            EXPECT_FALSE(QFileInfo::exists(folder));
        }
    }
    EXPECT_EQ(progress, (QList<int>{13, 23, 33}));
    EXPECT_EQ(TestFiles::readBytes(data.filePath("y2004/m1/d1/holiday.nv3")),
              "[AppointmentSettings]\r\nDateYear=2004\r\nDateMonth=1\r\nDateDay=1\r\n"
              "StartTimeHour=0\r\nStartTimeMinute=0\r\nEndTimeHour=24\r\nEndTimeMinute=0\r\n"
              "Color=6\r\nText=First Day\r\nProducer=Import\r\nIsReminder=0\r\nRemindTime=0\r\n"
              "RemindMe=1\r\nRemindEmail=0\r\nRecurring=0\r\nRecurringFromYear=1899\r\n"
              "RecurringFromMonth=12\r\nRecurringFromDay=30\r\nRecurringUntilYear=1899\r\n"
              "RecurringUntilMonth=12\r\nRecurringUntilDay=30\r\n");
}

} // namespace
