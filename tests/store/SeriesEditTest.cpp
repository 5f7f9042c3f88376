// One occurrence, the rest or all of a series, as the files land in the folder: what a copy
// that reads only days and ranges shows afterwards, which files there are, and what a crash
// half-way or another user's change leaves.
#include "OlderCopy.h"
#include "TestFiles.h"
#include "store/FolderClaim.h"
#include "store/Recurrence.h"
#include "store/SeriesFiling.h"

#include <QDirIterator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

namespace {

using Scope = SeriesEdit::Scope;

// Weekly on Mondays, 4 January to 1 February 2027: five meetings at 10:00.
const QDate kFirst(2027, 1, 4);
const QDate kLast(2027, 2, 1);
const QDate k11(2027, 1, 11);
const QDate k18(2027, 1, 18);
const QByteArray kSeries = "[AppointmentSettings]\r\nDateYear=2027\r\nDateMonth=1\r\nDateDay=4\r\n"
                           "StartTimeHour=10\r\nStartTimeMinute=0\r\nEndTimeHour=11\r\n"
                           "EndTimeMinute=0\r\nText=Meeting\r\nProducer=ann\r\nIsReminder=1\r\n"
                           "RemindTime=15\r\nRemindEmail=1\r\nOwnKey=kept\r\n"
                           "RecurringFromYear=2027\r\nRecurringFromMonth=1\r\n"
                           "RecurringFromDay=4\r\nRecurringUntilYear=2027\r\n"
                           "RecurringUntilMonth=2\r\nRecurringUntilDay=1\r\n";

// Move: to the Tuesday after, at 11:00.
enum class Edit { Delete, Text, Move };

class SeriesEditTest : public ::testing::Test {
protected:
    SeriesEditTest() { TestFiles::writeSettled(folder + "recurring/wd2/1.nv3", kSeries); }

    // The folder as the series alone leaves it.
    void startAgain()
    {
        QDir(folder).removeRecursively();
        TestFiles::writeSettled(folder + "recurring/wd2/1.nv3", kSeries);
        store.clearCaches();
    }

    // The part that shows on day, as the window has it.
    ClassTermin partOn(const QDate& day)
    {
        for (const TerminPtr& a : store.GetAppointmentsOfDay(day)) {
            if (a->IsRecurring())
                return *a;
        }
        ADD_FAILURE() << "no part on " << day.toString().toStdString();
        return {};
    }
    QList<ClassTermin> exceptions()
    {
        QList<ClassTermin> found;
        for (QDate d = kFirst; d <= kLast.addDays(7); d = d.addDays(1)) {
            for (const TerminPtr& a : store.GetAppointmentsOfDay(d)) {
                if (!a->IsRecurring())
                    found.append(*a);
            }
        }
        return found;
    }

    SeriesFiling::Outcome change(const QDate& on, Scope scope, Edit edit)
    {
        const ClassTermin part = partOn(on);
        std::optional<ClassTermin> changed;
        if (edit != Edit::Delete) {
            ClassTermin c = SeriesEdit::recordFor(part, on, scope);
            if (edit == Edit::Text)
                c.setText("Review");
            if (edit == Edit::Move) {
                c.setDatum(c.datum().addDays(1));
                c.setRecurringStartDate(c.RecurringStartDate().addDays(1));
                c.setRecurringEndDate(c.RecurringEndDate().addDays(1));
                c.setStartTime(TimeOfDay::fromHourMinute(11, 0));
                c.setEndTime(TimeOfDay::fromHourMinute(12, 0));
            }
            changed = c;
        }
        return series.apply({part, on, scope, changed, exceptions()});
    }

    // What any copy shows from January to February: the day of each appointment, "@hour"
    // when it does not start at 10, "=text" when it is no "Meeting".
    QString shown()
    {
        DataAccess reader(profiles, StoreSource::fixed(folder));
        QStringList days;
        for (QDate d = kFirst.addDays(-3); d <= kLast.addDays(10); d = d.addDays(1)) {
            for (const TerminPtr& a : reader.GetAppointmentsOfDay(d)) {
                QString text = d.toString("dd");
                if (a->StartTime().hour() != 10)
                    text += QString("@%1").arg(a->StartTime().hour());
                if (a->Text() != "Meeting")
                    text += "=" + a->Text();
                days << text;
            }
        }
        return days.join(' ');
    }
    // The appointment files by directory: "recurring/wd2:2 y2027/m1/d18:1".
    QString files() const
    {
        std::map<QString, int> count;
        QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            ++count[QDir(folder).relativeFilePath(QFileInfo(it.next()).path())];
        QStringList out;
        for (const auto& [dir, n] : count)
            out << QString("%1:%2").arg(dir).arg(n);
        return out.join(' ');
    }

    // Lines of the files that name a key without a value: a key is written with one or not
    // at all.
    QString keysWithoutValue() const
    {
        QStringList found;
        QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            for (const QByteArray& line : TestFiles::readBytes(it.next()).split('\n')) {
                if (line.trimmed().endsWith('='))
                    found << QString::fromUtf8(line.trimmed());
            }
        }
        return found.join(' ');
    }

    // The days from..to on which an older copy, reading only the original keys and directories,
    // shows other texts than this program: as "date: theirs | ours".
    std::string olderCopyDiffers(const QDate& from, const QDate& to)
    {
        const QMap<QDate, QStringList> theirs = OlderCopy::shown(folder, from, to);
        DataAccess reader(profiles, StoreSource::fixed(folder));
        QStringList differing;
        for (QDate d = from; d <= to; d = d.addDays(1)) {
            QStringList ours;
            for (const TerminPtr& a : reader.GetAppointmentsOfDay(d))
                ours << a->Text();
            ours.sort();
            if (ours != theirs.value(d))
                differing << d.toString(Qt::ISODate) + ": " + theirs.value(d).join(',') + " | " +
                                 ours.join(',');
        }
        for (const QString& stray : theirs.value(QDate()))
            differing << stray;
        return differing.join('\n').toStdString();
    }

    QTemporaryDir data;
    QString folder = data.path() + '/';
    ProfileCache profiles{ThreadFileAccess()};
    DataAccess store{profiles, StoreSource::fixed(folder)};
    AppointmentFiling filing{store};
    int ids = 0;
    SeriesFiling series{store, filing,
                        [this](const ClassTermin&) { return QString("series-%1").arg(++ids); }};
};

TEST_F(SeriesEditTest, EachChangeOfOneOccurrenceTheRestOrAllShowsAsAsked)
{
    const struct {
        const char* what;
        QDate on;
        Scope scope;
        Edit edit;
        const char* shown;
        const char* files;
    } cases[] = {
        // clang-format off
        {"skip one", k18, Scope::This, Edit::Delete, "04 11 25 01", "recurring/wd2:2"},
        {"skip the first", kFirst, Scope::This, Edit::Delete, "11 18 25 01", "recurring/wd2:1"},
        {"skip the last", kLast, Scope::This, Edit::Delete, "04 11 18 25", "recurring/wd2:1"},
        {"change one", k18, Scope::This, Edit::Text, "04 11 18=Review 25 01",
         "recurring/wd2:2 y2027/m1/d18:1"},
        {"move one", k18, Scope::This, Edit::Move, "04 11 19@11 25 01",
         "recurring/wd2:2 y2027/m1/d19:1"},
        {"change the rest", k18, Scope::Following, Edit::Text,
         "04 11 18=Review 25=Review 01=Review", "recurring/wd2:2"},
        {"the rest from the first is all", kFirst, Scope::Following, Edit::Text,
         "04=Review 11=Review 18=Review 25=Review 01=Review", "recurring/wd2:1"},
        {"move the rest", k18, Scope::Following, Edit::Move, "04 11 19@11 26@11 02@11",
         "recurring/wd2:1 recurring/wd3:1"},
        {"delete the rest", k18, Scope::Following, Edit::Delete, "04 11", "recurring/wd2:1"},
        {"change all", k18, Scope::All, Edit::Text,
         "04=Review 11=Review 18=Review 25=Review 01=Review", "recurring/wd2:1"},
        {"delete all", k18, Scope::All, Edit::Delete, "", ""},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startAgain();
        EXPECT_TRUE(change(c.on, c.scope, c.edit).ok());
        EXPECT_EQ(shown(), c.shown);
        EXPECT_EQ(files(), c.files);
        EXPECT_EQ(keysWithoutValue().toStdString(), "");
        EXPECT_EQ(olderCopyDiffers(kFirst.addDays(-7), kLast.addDays(14)), "");
    }
}

TEST_F(SeriesEditTest, AllAndTheRestFindAChangedOccurrenceHoweverFarItLies)
{
    const struct {
        const char* what;
        QDate on;
        Scope scope;
        Edit edit;
        const char* files;
        const char* farText; // of the far one, where it is then
    } cases[] = {
        // clang-format off
        {"delete all", kFirst, Scope::All, Edit::Delete, "", ""},
        {"change all", kFirst, Scope::All, Edit::Text, "recurring/wd2:2 y2031/m5/d6:1", "Review"},
        {"move all a day", kFirst, Scope::All, Edit::Move, "recurring/wd3:2 y2031/m5/d7:1",
         "Meeting"},
        {"delete the rest", k11, Scope::Following, Edit::Delete, "recurring/wd2:1", ""},
        {"change the rest", k11, Scope::Following, Edit::Text, "recurring/wd2:3 y2031/m5/d6:1",
         "Review"},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        startAgain();
        // 18 January moved to a Tuesday four years on: past the series' end, past three
        // years and past the days the window holds (those exceptions() looks at).
        const ClassTermin part = partOn(k18);
        ClassTermin far = SeriesEdit::recordFor(part, k18, Scope::This);
        far.setDatum({2031, 5, 6});
        ASSERT_TRUE(series.apply({part, k18, Scope::This, far, {}}).ok());
        ASSERT_EQ(files(), "recurring/wd2:2 y2031/m5/d6:1");

        EXPECT_TRUE(change(c.on, c.scope, c.edit).ok());
        EXPECT_EQ(files(), c.files);
        QStringList farTexts;
        DataAccess reader(profiles, StoreSource::fixed(folder));
        for (QDate d(2031, 5, 5); d <= QDate(2031, 5, 8); d = d.addDays(1)) {
            for (const TerminPtr& a : reader.GetAppointmentsOfDay(d))
                farTexts << a->Text();
        }
        EXPECT_EQ(farTexts.join(' '), c.farText);
        EXPECT_EQ(keysWithoutValue().toStdString(), "");
        EXPECT_EQ(olderCopyDiffers(kFirst.addDays(-7), {2031, 5, 10}), "");
    }
}

TEST_F(SeriesEditTest, ASeriesOfThreePartsAndAnExceptionChangesAndGoesAsOne)
{
    ASSERT_TRUE(change(k11, Scope::This, Edit::Delete).ok());
    ASSERT_TRUE(change({2027, 1, 25}, Scope::This, Edit::Text).ok());
    EXPECT_EQ(shown(), "04 18 25=Review 01");
    EXPECT_EQ(files(), "recurring/wd2:3 y2027/m1/d25:1");

    // Every part carries the series' id, the folder-only fields and the other copy's key.
    QDirIterator it(folder, {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QByteArray bytes = TestFiles::readBytes(path);
        EXPECT_TRUE(bytes.contains("SeriesId=series-1\r\n")) << path.toStdString();
        EXPECT_TRUE(bytes.contains("RemindEmail=1\r\n")) << path.toStdString();
        EXPECT_TRUE(bytes.contains("OwnKey=kept\r\n")) << path.toStdString();
    }

    // A change of all takes the new time everywhere, but the exception keeps its own text.
    ClassTermin part = partOn(kFirst);
    ClassTermin changed = part;
    changed.Recurring_code = "wd";
    changed.setText("Planning");
    changed.setStartTime(TimeOfDay::fromHourMinute(9, 0));
    ASSERT_TRUE(series.apply({part, kFirst, Scope::All, changed, exceptions()}).ok());
    EXPECT_EQ(shown(), "04@9=Planning 18@9=Planning 25@9=Review 01@9=Planning");
    EXPECT_EQ(files(), "recurring/wd2:3 y2027/m1/d25:1");

    ASSERT_TRUE(change(kLast, Scope::All, Edit::Delete).ok());
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(files(), "");
}

TEST_F(SeriesEditTest, AnotherUsersChangeToThePartIsToldAndNothingIsWritten)
{
    const ClassTermin part = partOn(kFirst);
    QByteArray theirs = kSeries;
    theirs.replace("Producer=ann", "Producer=bert");
    TestFiles::writeBytes(folder + "recurring/wd2/1.nv3", theirs);
    TestFiles::setModified(folder + "recurring/wd2/1.nv3", QDateTime::currentDateTime());
    const SeriesFiling::Outcome outcome = series.apply({part, k18, Scope::This, std::nullopt, {}});
    EXPECT_EQ(outcome.conflict.kind, DataAccess::FileChange::Kind::Changed);
    EXPECT_EQ(outcome.conflict.producer, "bert");
    EXPECT_EQ(outcome.conflictPath, part.filename());
    EXPECT_TRUE(outcome.written.isEmpty());
    EXPECT_EQ(TestFiles::readBytes(part.filename()), theirs);
}

TEST_F(SeriesEditTest, ASeriesAnotherCopyIsChangingIsRefusedUnlessItsClaimIsLongDead)
{
    const ClassTermin part = partOn(kFirst);
    const QString claim = FolderClaim::seriesPath(folder, SeriesEdit::seriesIdFor(part));
    const struct {
        int age; // of the other copy's claim, in seconds
        bool saved;
    } cases[] = {{5, false}, {int(FolderClaim::kStaleAfter.count()) + 5, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.age);
        ASSERT_TRUE(TestFiles::writeBytes(claim, "elsewhere 1234\n"));
        TestFiles::setModified(claim, QDateTime::currentDateTime().addSecs(-c.age));
        const auto outcome = series.apply({part, k18, Scope::This, std::nullopt, {}});
        EXPECT_EQ(outcome.ok(), c.saved);
        EXPECT_EQ(shown(), c.saved ? "04 11 25 01" : "04 11 18 25 01");
        // Ours goes when the change is done; theirs stays theirs.
        EXPECT_EQ(QFileInfo::exists(claim), !c.saved);
    }
}

// A share that takes only so many writes: what a crash between two writes leaves.
class WritesUntil : public ForwardingFileAccess {
public:
    explicit WritesUntil(int allowed)
        : ForwardingFileAccess(ThreadFileAccess())
        , m_allowed(allowed)
    {
    }
    WriteOutcome writeFile(const QString& path, const QByteArray& content, const QString& root,
                           Replace replace) override
    {
        if (m_allowed-- <= 0)
            return WriteOutcome::failed(WriteOutcome::Cause::System, path, "gone");
        return m_inner.writeFile(path, content, root, replace);
    }

private:
    int m_allowed;
};

TEST_F(SeriesEditTest, AWriteThatFailsHalfWayLeavesAGapNeverADuplicate)
{
    for (int allowed = 0; allowed <= 3; ++allowed) {
        SCOPED_TRACE(allowed);
        startAgain();
        WritesUntil share(allowed);
        ProfileCache sharedProfiles(share);
        DataAccess sharedStore(sharedProfiles, StoreSource::fixed(folder));
        AppointmentFiling sharedFiling(sharedStore);
        SeriesFiling sharedSeries(sharedStore, sharedFiling);
        const ClassTermin part =
            *sharedStore.LoadAppointment(folder + "recurring/wd2/1.nv3", kFirst);
        ClassTermin moved = part;
        moved.setIsRecurring(false);
        moved.setDatum({2027, 1, 19});
        const auto outcome = sharedSeries.apply({part, k18, Scope::This, moved, {}});
        EXPECT_EQ(outcome.ok(), allowed >= 3);
        const char* expected[] = {"04 11 18 25 01", "04 11", "04 11 25 01", "04 11 19 25 01"};
        EXPECT_EQ(shown(), expected[allowed]);
    }
}

} // namespace
