// Undo and redo as another copy sees them: each step puts the data folder's files back as
// they were, under their own names, and never over another user's newer version unasked.
#include "StalledShare.h"
#include "TestDays.h"
#include "TestFiles.h"
#include "service/StoreService.h"
#include "service/UndoHistory.h"
#include "store/SeriesEdit.h"

#include <QDirIterator>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

const QDate kDay(2024, 3, 4);

class UndoTest : public ::testing::Test {
public:
    UndoTest() { service.setFolder(data.path(), 60); }
    ~UndoTest() override
    {
        share.resume();
        service.shutDown();
    }

    static StoreService::Options options(const StalledShare& share)
    {
        StoreService::Options options;
        options.files = StalledFileAccess::maker(share);
        options.notAnsweringAfterMs = 200;
        options.watchFolders = false;
        return options;
    }
    // Every file of the folder by its path inside it, as a second copy reads it.
    QMap<QString, QByteArray> folder() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(data.path(), {"*.nv3"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files.insert(path.mid(data.path().size()), TestFiles::readBytes(path));
        }
        return files;
    }
    // The appointment of day whose text starts so, as the window would have it.
    ClassTermin loaded(const QDate& day, const QString& text = QStringLiteral("Budget"))
    {
        service.show({.viewDays = {day}, .markDays = {}, .warmDays = {}});
        EXPECT_TRUE(eventually([&] { return service.idle(); }));
        for (const TerminPtr& a : service.knownDay(day).value_or(QList<TerminPtr>()))
            if (a->Text().startsWith(text))
                return *a;
        ADD_FAILURE() << "no " << text.toStdString() << " on " << day.toString().toStdString();
        return ClassTermin();
    }
    // The appointment of the day as the window has it, changed so and filed.
    void edit(const std::function<void(ClassTermin&)>& change)
    {
        ClassTermin a = loaded(kDay);
        change(a);
        file(a);
    }
    void file(ClassTermin a, UndoStep::Act act = UndoStep::Act::Change)
    {
        std::optional<bool> ok;
        service.file(
            a, [&](const WriteOutcome& o, const ClassTermin&) { ok = o.ok; }, act);
        ASSERT_TRUE(eventually([&] { return ok.has_value(); }));
        EXPECT_TRUE(*ok);
    }
    StoreService::UndoOutcome restore(bool redo, bool overwrite = false)
    {
        std::optional<StoreService::UndoOutcome> outcome;
        auto done = [&](const StoreService::UndoOutcome& o) { outcome = o; };
        redo ? service.redo(overwrite, done) : service.undo(overwrite, done);
        EXPECT_TRUE(eventually([&] { return outcome.has_value(); }));
        return outcome.value_or(StoreService::UndoOutcome{});
    }
    static ClassTermin fresh(const QString& text, int hour, bool weekly = false)
    {
        ClassTermin a;
        a.setDatum(kDay);
        a.setStartTime(at(hour));
        a.setEndTime(at(hour + 1));
        a.setText(text);
        a.setProducer(QStringLiteral("alice"));
        if (weekly) {
            a.setIsRecurring(true);
            a.Recurring_code = QStringLiteral("wd");
            a.setRecurringStartDate(kDay);
            a.setRecurringEndDate(kDay.addDays(60));
        }
        return a;
    }

    QTemporaryDir data;
    StalledShare share;
    StoreService service{options(share)};
};

TEST_F(UndoTest, EveryOperationIsUndoneAndRedoneFileByFileUnderItsOwnName)
{
    struct Case {
        const char* name;
        UndoStep::Act act;
        std::function<void(UndoTest&)> change;
        std::function<void(UndoTest&)> prepare = {};
    };
    using Act = UndoStep::Act;
    const Case cases[] = {
        {"create", Act::New, [](UndoTest& t) { t.file(fresh("Budget review", 9)); }},
        {"edit", Act::Change,
         [](UndoTest& t) { t.edit([](ClassTermin& a) { a.setText("Budget review, room 2"); }); }},
        {"move within the day", Act::Move,
         [](UndoTest& t) {
             t.edit([](ClassTermin& a) {
                 a.setStartTime(at(14));
                 a.setEndTime(at(15));
             });
         }},
        {"resize", Act::Resize,
         [](UndoTest& t) { t.edit([](ClassTermin& a) { a.setEndTime(at(16, 30)); }); }},
        {"move to another day (two files)", Act::Move,
         [](UndoTest& t) { t.edit([](ClassTermin& a) { a.setDatum(kDay.addDays(2)); }); }},
        {"paste", Act::Paste, [](UndoTest& t) { t.file(fresh("Pasted", 8), Act::Paste); }},
        {"delete", Act::Delete,
         [](UndoTest& t) {
             const QString path = t.loaded(kDay.addDays(2)).filename();
             std::optional<bool> removed;
             t.service.remove(path, [&](bool r) { removed = r; });
             ASSERT_TRUE(eventually([&] { return removed.has_value(); }));
         }},
        {"one occurrence of a series (one step, several files)", Act::Series,
         [](UndoTest& t) {
             const ClassTermin part = t.loaded(kDay, "Weekly");
             ClassTermin changed =
                 SeriesEdit::recordFor(part, kDay.addDays(7), SeriesEdit::Scope::This);
             changed.setText("Weekly, once later");
             changed.setStartTime(at(12));
             std::optional<bool> ok;
             t.service.changeSeries({part, kDay.addDays(7), SeriesEdit::Scope::This, changed, {}},
                                    [&](const SeriesFiling::Outcome& o) { ok = o.ok(); });
             ASSERT_TRUE(eventually([&] { return ok.has_value(); }));
             EXPECT_TRUE(*ok);
         },
         [](UndoTest& t) { t.file(fresh("Weekly", 11, true)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.prepare)
            c.prepare(*this);
        const QMap<QString, QByteArray> before = folder();
        c.change(*this);
        const QMap<QString, QByteArray> after = folder();
        ASSERT_NE(before, after);
        ASSERT_NE(service.history().nextUndo(), nullptr);
        EXPECT_EQ(service.history().nextUndo()->act, c.act);
        if (c.act == Act::Series) {
            EXPECT_GE(service.history().nextUndo()->files.size(), 2);
        }

        EXPECT_TRUE(restore(false).ok());
        EXPECT_EQ(folder(), before) << "the same files, byte for byte, under their own names";
        EXPECT_TRUE(restore(true).ok());
        EXPECT_EQ(folder(), after);
    }
    EXPECT_EQ(service.history().undoCount(), int(std::size(cases)) + 1)
        << "the series' own file is a step too";
}

TEST_F(UndoTest, AnotherUsersChangeIsAskedAboutAndAStalledOrSwitchedFolderIsRefused)
{
    file(fresh("Budget review", 9));
    ClassTermin a = loaded(kDay);
    a.setText("Mine");
    file(a);
    const QMap<QString, QByteArray> mine = folder();
    // Bob writes his own version over it.
    QByteArray theirs = mine.first();
    theirs.replace("Mine", "Bob's").replace("alice", "bob");
    ASSERT_TRUE(TestFiles::writeSettled(data.path() + mine.firstKey(), theirs));

    StoreService::UndoOutcome outcome = restore(false);
    EXPECT_EQ(outcome.conflict.kind, DataAccess::FileChange::Kind::Changed);
    EXPECT_EQ(outcome.conflict.producer, "bob");
    EXPECT_EQ(folder().first(), theirs) << "nothing written over Bob's version";
    ASSERT_NE(service.history().nextUndo(), nullptr) << "the step stays";

    EXPECT_TRUE(restore(false, true).ok()) << "the user chose their own";
    EXPECT_TRUE(folder().first().contains("Budget review"));

    // Gone meanwhile.
    QFile::remove(data.path() + mine.firstKey());
    EXPECT_EQ(restore(true).conflict.kind, DataAccess::FileChange::Kind::Deleted);
    service.dropRedo();
    EXPECT_EQ(service.history().nextRedo(), nullptr);

    // While the share stalls nothing is tried.
    file(fresh("Second", 12));
    share.stall();
    ClassTermin stuck = fresh("Stuck", 13);
    service.file(stuck, {});
    ASSERT_TRUE(eventually([&] { return !service.answering(); }));
    EXPECT_EQ(restore(false).outcome.cause, WriteOutcome::Cause::NotAnswering);
    share.resume();
    ASSERT_TRUE(eventually([&] { return service.idle() && service.answering(); }));

    QTemporaryDir other;
    service.setFolder(other.path(), 60);
    EXPECT_EQ(service.history().nextUndo(), nullptr) << "the old folder's history is gone";
}

TEST_F(UndoTest, AnUndoThatWouldBookARoomTwiceIsRefused)
{
    ClassTermin talk = fresh("Talk", 10);
    talk.setRooms({"Room 2"});
    file(talk, UndoStep::Act::New);
    ClassTermin moved = loaded(kDay, "Talk");
    moved.setStartTime(at(12));
    moved.setEndTime(at(13));
    file(moved);
    // Bob takes the room at ten meanwhile.
    ASSERT_TRUE(TestFiles::writeSettled(
        data.path() + "/y2024/m3/d4/77.nv3",
        "[AppointmentSettings]\r\nDateYear=2024\r\nDateMonth=3\r\nDateDay=4\r\nStartTimeHour=10"
        "\r\nStartTimeMinute=0\r\nEndTimeHour=11\r\nEndTimeMinute=0\r\nText=Bob's\r\n"
        "Producer=bob\r\nRooms=room 2\r\n"));
    const QMap<QString, QByteArray> before = folder();
    const StoreService::UndoOutcome outcome = restore(false);
    EXPECT_EQ(outcome.outcome.cause, WriteOutcome::Cause::Refused);
    EXPECT_EQ(outcome.outcome.error, "Room 2 is booked by bob, 10:00\u201311:00");
    EXPECT_EQ(folder(), before);
}

TEST(UndoPlanTest, WritesOnlyWhatDiffersAndNeverOverAnUnreadableFile)
{
    using Found = UndoPlan::Found;
    const UndoStep step{
        UndoStep::Act::Move, "X", {{"/f/a", "A1", "A2"}, {"/f/b", std::nullopt, "B"}}};
    const Found a1{Found::State::Present, "A1"};
    const Found a2{Found::State::Present, "A2"};
    const Found b{Found::State::Present, "B"};
    const Found z{Found::State::Present, "Z"};
    const Found missing{};
    const Found unreadable{Found::State::Unreadable, {}};
    const QList<UndoPlan::Action> back{{"/f/a", "A1"}, {"/f/b", std::nullopt}};
    using Kind = DataAccess::FileChange::Kind;
    struct Case {
        const char* name;
        bool undo;
        QHash<QString, Found> now;
        QList<UndoPlan::Action> actions;
        Kind conflict = Kind::None;
        bool overwrite = false;
        QString unreadable = {};
    };
    const Case cases[] = {
        {"undo", true, {{"/f/a", a2}, {"/f/b", b}}, back},
        {"redo", false, {{"/f/a", a1}, {"/f/b", missing}}, {{"/f/a", "A2"}, {"/f/b", "B"}}},
        {"half done already", true, {{"/f/a", a1}, {"/f/b", b}}, {}, Kind::Changed},
        {"changed by another", true, {{"/f/a", z}, {"/f/b", b}}, {}, Kind::Changed},
        {"removed, written over", true, {{"/f/a", missing}, {"/f/b", b}}, back, Kind::None, true},
        {"unreadable", true, {{"/f/a", unreadable}, {"/f/b", b}}, {}, Kind::None, true, "/f/a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const UndoPlan::Plan plan = UndoPlan::plan(step, c.undo, c.now, c.overwrite);
        EXPECT_EQ(plan.actions, c.actions);
        EXPECT_EQ(plan.conflict, c.conflict);
        EXPECT_EQ(plan.unreadable, c.unreadable);
    }
}

TEST(UndoHistoryTest, KeepsTheLastHundredStepsOrTenMegabytesAndANewChangeEndsTheRedo)
{
    UndoHistory history;
    const auto step = [](const char* title, qsizetype bytes) {
        return UndoStep{UndoStep::Act::Delete, title, {{"/f/a", QByteArray(bytes, 'x'), {}}}};
    };
    for (int i = 0; i < 105; ++i)
        history.record(step("small", 10));
    EXPECT_EQ(history.undoCount(), UndoHistory::kMaxSteps);
    history.record(step("large", 6 * 1024 * 1024));
    history.record(step("larger", 6 * 1024 * 1024));
    EXPECT_EQ(history.undoCount(), 1) << "the newest stays, however large";
    ASSERT_TRUE(history.takeUndo());
    history.record(step("small", 10));
    history.undone(*history.takeUndo());
    EXPECT_EQ(history.redoCount(), 1);
    history.record(step("new", 10));
    EXPECT_EQ(history.redoCount(), 0);
}

} // namespace
