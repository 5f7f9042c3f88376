// The edits of the main window without a window: a fake answers the questions, the store
// service files into a data folder of the test's own, the heartbeat is a plain timer.
#include "views/EditCoordinator.h"
#include "FormMainFixture.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace {

// Three holders (a window, an edit, a drag) let go in every order: the heartbeat beats again
// only after the last, and one that was off before stays off.
TEST(HeartbeatPauseTest, OverlappingHoldersResumeOnlyAtTheEndInEveryOrder)
{
    for (const bool wasOn : {true, false}) {
        std::array<int, 3> order{0, 1, 2};
        do {
            QTimer timer;
            if (wasOn)
                timer.start(1000);
            HeartbeatPause pause(&timer);
            std::array<HeartbeatPause::Holder, 3> held{pause.hold(), pause.hold(), pause.hold()};
            QList<bool> beating;
            for (int which : order) {
                held[size_t(which)].release();
                held[size_t(which)].release(); // twice changes nothing
                beating << timer.isActive();
            }
            EXPECT_EQ(beating, (QList<bool>{false, false, wasOn})) << order[0] << order[1];
            EXPECT_EQ(pause.holders(), 0);
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

class FakeQuestions : public EditQuestions {
public:
    void askSeriesScope(const ClassTermin&, const QDate&, SeriesAct act,
                        std::function<void(std::optional<SeriesEdit::Scope>)> answer) override
    {
        asked << int(act);
        answer(scope);
    }
    void askUndoConflict(const StoreService::UndoOutcome&,
                         std::function<void(UndoAnswer)> answer) override
    {
        asked << -1;
        answer(UndoAnswer::Cancel);
    }
    void showFailure(const QString& message) override { failures << message; }
    void showChange(bool putBack) override { changes << putBack; }
    void undoStateChanged() override {}

    std::optional<SeriesEdit::Scope> scope = SeriesEdit::Scope::This;
    QList<int> asked; // the series acts asked about, -1 for an undo conflict
    QStringList failures;
    QList<bool> changes;
};

class EditCoordinatorTest : public FormMainTest {
protected:
    // What the service knows of day once read, the first appointment.
    ClassTermin first(const QDate& day)
    {
        StoreService::Request request;
        request.viewDays = {day};
        service.show(request);
        settle();
        const std::optional<QList<TerminPtr>> known = service.knownDay(day);
        return known && !known->isEmpty() ? *known->first() : ClassTermin();
    }
    QStringList filesUnder(const QString& directory)
    {
        return QDir(data.filePath(directory)).entryList({"*.nv3"});
    }

    QTimer timer; // the heartbeat
    HeartbeatPause heartbeat{&timer};
    FakeQuestions questions;
    FolderStores stores{service};
    EditCoordinator edits{stores, editing, heartbeat, questions};
};

TEST_F(EditCoordinatorTest, CreateChangeMoveOnlyThisOccurrenceAndUndoEachAsOneStep)
{
    service.setFolder(settings.GetDataFolder(), settings.MonthInterval());
    timer.start(1000);
    const QDate wed = kNow.date(), thu = wed.addDays(1); // Wednesday, Thursday
    TestFiles::writeSettled(data.filePath("recurring/wd4/7.nv3"),
                            "[AppointmentSettings]\r\nStartTimeHour=9\r\nStartTimeMinute=0\r\n"
                            "EndTimeHour=10\r\nEndTimeMinute=0\r\nText=Weekly\r\n");
    // The editor names a new appointment "Created" and changes it to "Changed".
    editing.setEditor(FakeEditor::pressingOk(
        [&](ClassTermin& a) { a.setText(a.Text().isEmpty() ? "Created" : "Changed"); }));
    const auto hour = [](int h) { return TimeOfDay::fromHourMinute(h, 0); };
    ClassTermin created;
    created.setDatum(thu);
    created.setStartTime(hour(14));
    created.setEndTime(hour(15));
    using Act = EditQuestions::SeriesAct;
    const auto move = [&] { edits.move({first(wed), wed, thu, hour(11), hour(12)}); };
    const struct {
        const char* what;
        std::function<void()> act;
        QList<int> asked;
        int files;        // in Thursday's directory then
        const char* undo; // the step offered to undo then
    } rows[] = {
        {"create", [&] { edits.create(created); }, {}, 1, "Undo creation of 'Created'"},
        {"change", [&] { edits.change(first(thu), thu); }, {}, 1, "Undo change of 'Changed'"},
        {"move only this one", move, {int(Act::Move)}, 2, "Undo change of the series 'Weekly'"},
        {"undo hands the move back", [&] { edits.undo(false); }, {}, 1, "Undo change of 'Changed'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        questions.asked.clear();
        row.act();
        settle();
        EXPECT_EQ(questions.asked, row.asked);
        EXPECT_EQ(filesUnder("y2003/m7/d10").size(), row.files);
        const UndoStep* step = service.history().nextUndo();
        ASSERT_NE(step, nullptr);
        EXPECT_EQ(step->act == UndoStep::Act::New ? "Undo creation of '" + step->title + "'"
                  : step->act == UndoStep::Act::Series
                      ? "Undo change of the series '" + step->title + "'"
                      : "Undo change of '" + step->title + "'",
                  row.undo);
        EXPECT_EQ(questions.failures, QStringList());
        EXPECT_EQ(questions.changes.value(questions.changes.size() - 1, true), false);
        EXPECT_TRUE(timer.isActive() && heartbeat.holders() == 0) << "beats again once done";
    }
    EXPECT_TRUE(filesUnder("recurring/wd4").contains("7.nv3")) << "the series stays";
}

TEST_F(EditCoordinatorTest, ADayOfASpanMovesAndGoesWithAllItsDaysAndUndoesAsOneStep)
{
    service.setFolder(settings.GetDataFolder(), settings.MonthInterval());
    const QDate wed = kNow.date();
    for (int n = 0; n < 3; ++n) // Wednesday 14:00 to Friday 11:00
        TestFiles::writeSettled(
            data.filePath(QString("y2003/m7/d%1/1.nv3").arg(9 + n)),
            QString("[AppointmentSettings]\r\nStartTimeHour=%1\r\nStartTimeMinute=0\r\n"
                    "EndTimeHour=%2\r\nEndTimeMinute=0\r\nText=Trip (day %3 of 3)\r\n"
                    "SpanId=trip\r\nSpanFrom=2003-07-09\r\nSpanUntil=2003-07-11\r\n")
                .arg(n == 0 ? 14 : 0)
                .arg(n == 2 ? 11 : 24)
                .arg(n + 1)
                .toUtf8());
    const auto filesOnDays = [&] { // Wednesday to Sunday
        QString counts;
        for (int day = 9; day <= 13; ++day)
            counts += QString::number(filesUnder(QString("y2003/m7/d%1").arg(day)).size());
        return counts;
    };
    const auto dropThursdayOnSaturday = [&] {
        const ClassTermin thu = first(wed.addDays(1));
        edits.move({thu, wed.addDays(1), wed.addDays(3), thu.StartTime(), thu.EndTime()});
    };
    const struct {
        const char* what;
        std::function<void()> act;
        const char* filesOnDays;
        int undoSteps;
    } rows[] = {
        {"Thursday dropped on Saturday", dropThursdayOnSaturday, "00111", 1},
        {"one undo puts back every day", [&] { edits.undo(false); }, "11100", 0},
        {"Friday deleted", [&] { edits.remove(first(wed.addDays(2)), wed.addDays(2), true); },
         "00000", 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        row.act();
        settle();
        EXPECT_EQ(filesOnDays(), row.filesOnDays);
        EXPECT_EQ(service.history().undoCount(), row.undoSteps);
        const UndoStep* step = service.history().nextUndo();
        EXPECT_EQ(step ? step->title : "Trip", "Trip") << "named after the span";
    }
    EXPECT_EQ(questions.asked, QList<int>()) << "a span is never asked about";
    EXPECT_EQ(questions.failures, QStringList());
}

} // namespace
