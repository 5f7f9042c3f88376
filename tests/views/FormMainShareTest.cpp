// The main window and its share: the week view with hidden weekdays, appointments moved and
// resized with the mouse, and a share that stops answering: the window keeps working, says so,
// refuses to change what it cannot write, and catches up when the share is back.
#include "FormMainFixture.h"
#include "StalledShare.h"

#include "index/AppointmentIndex.h"
#include "settings/Language.h"
#include "store/DataAccess.h"
#include "ui/PictureBox.h"
#include "views/Calendar.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QScopeGuard>
#include <QToolTip>

namespace {

class FormMainDragTest : public FormMainTest {
protected:
    QWidget* grid() { return child<QWidget>("pic_view"); }
};

TEST_F(FormMainDragTest, AWeekFromAHiddenSundaySelectsAShownDayForNewAppointmentsDayAndPrint)
{
    settings.setFirstWeekday(1);
    now = QDateTime(QDate(2003, 7, 13), QTime(6, 20)); // a hidden Sunday, before the grid
    ClassTermin proposed;
    editing.setEditor(FakeEditor::pressingOk([&](ClassTermin& a) { proposed = a; }));
    click("label_week");
    QTest::keyClick(&window(), Qt::Key_N, Qt::ControlModifier);
    settle();
    const QDate monday(2003, 7, 14);
    EXPECT_EQ(proposed.datum(), monday) << "the first day shown";
    EXPECT_EQ(proposed.StartTime(), TimeOfDay::fromHourMinute(8, 0)) << "the grid's first hour";
    EXPECT_EQ(proposed.EndTime(), TimeOfDay::fromHourMinute(9, 0));
    EXPECT_EQ(appointmentLabels().size(), 1) << "the saved appointment shows";
    // The calendar marks the week's shown days; the print window and D go to a shown day.
    const Calendar& calendar = window().calendar1();
    EXPECT_TRUE(calendar.IsCellSelected(Calendar::kWeekColumn, 2));
    EXPECT_FALSE(calendar.IsCellSelected(0, 2)) << "Sunday";
    EXPECT_TRUE(calendar.IsCellSelected(1, 2)) << "Monday";
    trigger("mnu_file_print");
    EXPECT_EQ(printed, std::make_pair(monday, ViewMode::Week));
    EXPECT_FALSE(heartbeat()->isActive()) << "off while the print window is open";
    printDone();
    EXPECT_TRUE(heartbeat()->isActive());
    key(Qt::Key_D);
    EXPECT_EQ(view().DayColumn(1)->datum(), monday);
    key(Qt::Key_W);
    settings.setShowWeek(2, false); // as the settings window leaves them
    window().SetLanguageTexts();
    EXPECT_EQ(window().calendar1().SelectedDate(), monday.addDays(1)) << "Monday went";
}

TEST_F(FormMainDragTest, ADraggedLabelMovesOrResizesItsFileUnderItsNameAndEscapeLeavesIt)
{
    heartbeat()->stop();
    const struct {
        const char* what;
        bool series; // weekly on Wednesdays, else once on Wednesday 9 July
        bool edge;   // pressed on the lower edge, else on the body
        int column;  // where the pointer goes, Monday = 1
        int steps;   // grid steps down
        bool escape;
        const char* directory;   // where the file lies then
        int start, end;          // minutes
        const char* tip;         // while dragging
        bool otherSaves = false; // another user saves it during the drag
    } drags[] = {
        {"to Thursday, an hour later", false, false, 4, 2, false, "y2003/m7/d10", 600, 660,
         "Thursday, 2003-07-10  10:00 - 11:00"},
        {"its end an hour later", false, true, 3, 2, false, "y2003/m7/d9", 540, 660,
         "Wednesday, 2003-07-09  09:00 - 11:00"},
        {"Escape", false, false, 5, 3, true, "y2003/m7/d9", 540, 600, "10:30 - 11:30"},
        {"the series to Fridays", true, false, 5, 0, false, "recurring/wd6", 540, 600,
         "On release you choose which occurrences change."},
        {"saved by bert meanwhile", false, false, 4, 2, false, "y2003/m7/d9", 840, 900,
         "10:00 - 11:00", true},
    };
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.what);
        QString path = data.filePath("recurring/wd4/7.nv3");
        if (drag.series)
            TestFiles::writeSettled(path, "[AppointmentSettings]\r\nStartTimeHour=9\r\n"
                                          "StartTimeMinute=0\r\nEndTimeHour=10\r\n"
                                          "EndTimeMinute=0\r\nText=Weekly\r\n");
        else
            path = put(kNow.date(), 9, 10, "Once");
        click("label_week");
        ASSERT_EQ(appointmentLabels().size(), 1);
        QLabel* label = appointmentLabels().first();
        const QRect before = label->geometry();
        const QPoint pressed = drag.edge ? QPoint(before.width() / 2, before.height() - 2)
                                         : before.center() - before.topLeft();
        const ClassDay* column = view().DayColumn(drag.column);
        const QPoint to(PictureBox::toPixels(int(column->StartX() + column->EndX()) / 2),
                        label->mapTo(grid(), pressed).y() +
                            drag.steps * PictureBox::toPixels(int(column->SlotHeight())));
        QTest::mousePress(label, Qt::LeftButton, {}, pressed);
        QTest::mouseMove(label, label->mapFrom(grid(), to));
        EXPECT_TRUE(QToolTip::text().contains(drag.tip)) << QToolTip::text().toStdString();
        if (drag.escape) {
            QTest::keyClick(&window(), Qt::Key_Escape);
            EXPECT_EQ(label->geometry(), before);
        }
        if (drag.otherSaves)
            TestFiles::writeBytes(path, "[AppointmentSettings]\r\nStartTimeHour=14\r\n"
                                        "StartTimeMinute=0\r\nEndTimeHour=15\r\n"
                                        "EndTimeMinute=0\r\nProducer=bert\r\n");
        messages.clear();
        QTest::mouseRelease(label, Qt::LeftButton, {}, label->mapFrom(grid(), to));
        settle();
        if (drag.series) {
            EXPECT_EQ(answerSeries("button_series_all"),
                      "\"Weekly\" repeats. Move only the appointment on Wednesday, 2003-07-09, "
                      "this and all following ones, or all appointments of the series?");
        }
        EXPECT_EQ(messages.value(0).contains("not moved: bert changed it"), drag.otherSaves);
        const QString filed = data.filePath(drag.directory) + '/' + QFileInfo(path).fileName();
        EXPECT_EQ(QFileInfo::exists(path), filed == path) << "the old file goes";
        ProfileCache fresh(ThreadFileAccess()); // as another copy of the program reads it
        const TerminPtr appointment =
            DataAccess(fresh, settings).LoadAppointment(filed, kNow.date());
        ASSERT_NE(appointment, nullptr);
        EXPECT_EQ(appointment->StartTime().minutes(), drag.start);
        EXPECT_EQ(appointment->EndTime().minutes(), drag.end);
        EXPECT_EQ(appointmentLabels().size(), 1) << "shown where it went";
        ASSERT_TRUE(QFile::remove(filed));
    }
}

// A double click on an occurrence asks which occurrences the edit is for: Escape changes
// nothing, "only this" edits that day alone, "all" the series and not the exception's own text.
TEST_F(FormMainDragTest, AnOccurrenceIsEditedAloneOrWithItsSeries)
{
    heartbeat()->stop();
    TestFiles::writeSettled(data.filePath("recurring/wd4/7.nv3"),
                            "[AppointmentSettings]\r\nStartTimeHour=9\r\nEndTimeHour=10\r\n"
                            "Text=Weekly\r\nRecurringFromYear=2003\r\nRecurringFromMonth=7\r\n"
                            "RecurringFromDay=2\r\nRecurringUntilYear=2003\r\n"
                            "RecurringUntilMonth=7\r\nRecurringUntilDay=23\r\n");
    loadView();
    QString edited;
    QString failure;
    editing.setEditor(FakeEditor::pressingOk(
        [&](ClassTermin& a) {
            edited =
                a.IsRecurring() ? "series" : "occurrence on " + a.datum().toString(Qt::ISODate);
            a.setText(a.IsRecurring() ? "Planning" : "Moved");
        },
        [&](const WriteOutcome& outcome) { failure = outcome.path + ": " + outcome.error; }));
    const auto doubleClick = [&] {
        QTest::mouseDClick(appointmentLabels().first(), Qt::LeftButton);
        settle();
    };
    doubleClick();
    QTest::keyClick(seriesQuestion(), Qt::Key_Escape);
    settle();
    EXPECT_TRUE(edited.isEmpty()) << "Escape opens no editor";

    doubleClick();
    answerSeries("button_series_this");
    EXPECT_EQ(edited, "occurrence on 2003-07-09");
    EXPECT_EQ(labelTexts(), QStringList{"[!] Moved"});
    const auto files = [&](const char* dir) {
        return QDir(data.filePath(dir)).entryList({"*.nv3"}).size();
    };
    EXPECT_EQ(files("recurring/wd4"), 2) << "before and after the day";
    EXPECT_EQ(files("y2003/m7/d9"), 1);

    for (int day = 0; day < 7; ++day)
        key(Qt::Key_Right); // to the 16th
    ASSERT_EQ(appointmentLabels().size(), 1);
    doubleClick();
    answerSeries("button_series_all");
    EXPECT_EQ(edited, "series");
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    EXPECT_EQ(labelTexts(), QStringList{"[!] [>>] Planning"});
    for (const QString& name : QDir(data.filePath("recurring/wd4")).entryList({"*.nv3"}))
        EXPECT_TRUE(TestFiles::readBytes(data.filePath("recurring/wd4/" + name))
                        .contains("Text=Planning\r\n"));
    for (int day = 0; day < 7; ++day)
        key(Qt::Key_Left);
    EXPECT_EQ(labelTexts(), QStringList{"[!] Moved"}) << "the exception keeps its own text";
}

TEST_F(FormMainDragTest, TwelveHourLabelsReadTheHourThenTheDayHalfUnderItDownToTheLastLine)
{
    settings.setTimeFormat("12h");
    loadView();
    const QImage seen = grid()->grab().toImage();
    const int row = PictureBox::toPixels(view().RowHeight());
    // Where the last line's label starts: the labels stand as far above their lines as the
    // first one.
    const ViewGeometry::TimeGrid time = view().timeGrid();
    const int last =
        PictureBox::toPixels(int(ViewGeometry::YOfTime(time, view().ShownHours().second))) -
        PictureBox::toPixels(int(time.firstLineY));
    const int digitsEnd = last + QFontMetrics(child<PictureBox>("pic_view")->drawFont()).ascent();
    // Ink in the hour column, left of where the minutes stand, between two heights.
    const auto inHourColumn = [&](int top, int bottom) {
        for (int y = std::max(0, top); y < std::min(bottom, seen.height()); ++y)
            for (int x = 0; x < 14; ++x)
                if (qGray(seen.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    EXPECT_TRUE(inHourColumn(row / 2, row)) << "am under 08:";
    EXPECT_FALSE(inHourColumn(row, 2 * row)) << "the line of 08:30 shows 30 alone";
    EXPECT_FALSE(inHourColumn(last - row + 1, last)) << "the line of 05:30 shows 30 alone";
    EXPECT_TRUE(inHourColumn(digitsEnd + 1, seen.height())) << "pm under the last 06:";
}

class FormMainStallTest : public FormMainTest {
protected:
    explicit FormMainStallTest(bool indexed = false)
        : FormMainTest(true, indexed)
    {
        window();
    }
    ~FormMainStallTest() override
    {
        stalled.resume();
        m_window.reset();
        service.shutDown();
    }

    QString source() { return text("label_datasource").section('\n', 0, 0); }
    bool staleLineShown()
    {
        const QLabel* line = child<QLabel>("label_stale");
        return line->isVisibleTo(&window()) && !line->text().isEmpty();
    }
};

TEST_F(FormMainStallTest, TheWindowWorksOnSaysSoRefusesChangesAndCatchesUp)
{
    const struct {
        const char *lang, *notAnswering, *source;
    } languages[] = {{"en", " (not answering)", "Datasource: "},
                     {"de", " (antwortet nicht)", "Datenquelle: "}};
    const auto english = qScopeGuard([] { Language::apply("en"); });
    put(kNow.date(), 9, 10, "Standup");
    for (const auto& language : languages) {
        SCOPED_TRACE(language.lang);
        settings.setLangCode(language.lang);
        Language::apply(language.lang);
        window().SetLanguageTexts();
        loadView();
        ASSERT_EQ(labelTexts(), QStringList{"Standup"});
        messages.clear();

        stalled.stall();
        window().LoadView(); // the heartbeat's look at the folder
        ASSERT_TRUE(QTest::qWaitFor([&] { return !service.answering(); }, 5000));
        EXPECT_EQ(source(), language.source + data.path().section('/', -1) + language.notAnswering);
        EXPECT_TRUE(staleLineShown());
        EXPECT_EQ(labelTexts(), QStringList{"Standup"}) << "the last known appointments stay";

        // Stepping on works: the view moves at once, whatever the share does.
        QTest::keyClick(&window(), Qt::Key_Right);
        EXPECT_EQ(view().DayColumn(1)->datum(), kNow.date().addDays(1));
        QTest::keyClick(&window(), Qt::Key_Left);
        EXPECT_EQ(labelTexts(), QStringList{"Standup"});

        // Changes are refused with a plain word, nothing is lost silently.
        child<QAction>("mnu_appointment_new")->trigger();
        QTest::mouseClick(appointmentLabels().value(0), Qt::RightButton);
        child<QMenu>("mnu_popup_termin")->hide();
        child<QAction>("mnu_popup_termin_del_yes")->trigger();
        ASSERT_EQ(messages.size(), 2);
        EXPECT_TRUE(messages[0].contains(data.path())) << messages[0].toStdString();
        EXPECT_EQ(stalled.callsFromOwner(), 0) << "the window's thread never touched the share";

        const QString meanwhile = put(kNow.date(), 14, 15, "Written meanwhile");
        stalled.resume();
        ASSERT_TRUE(QTest::qWaitFor([&] { return service.answering(); }, 5000));
        settle();
        EXPECT_EQ(source(), language.source + data.path().section('/', -1));
        EXPECT_FALSE(staleLineShown());
        EXPECT_EQ(labelTexts(), (QStringList{"Standup", "Written meanwhile"}));
        QFile::remove(meanwhile);
    }
}

// A file that cannot be read whole is neither shown with defaults nor passed over in silence.
TEST_F(FormMainStallTest, AFileThatCannotBeReadWholeIsNamedInsteadOfShown)
{
    put(kNow.date(), 9, 10, "Standup");
    const QString huge = put(kNow.date(), 11, 12, "Too long");
    TestFiles::writeBytes(huge, TestFiles::readBytes(huge) + "Text=" +
                                    QByteArray(ProfileCache::kMaxFileBytes, 'x') + "\r\n");
    window().LoadView(true);
    settle();
    EXPECT_EQ(labelTexts(), QStringList{"Standup"});
    ASSERT_TRUE(staleLineShown());
    EXPECT_EQ(text("label_stale"), "A file in the data folder cannot be read and is not shown: " +
                                       huge + " (File too large)");
}

class FormMainWarmStartTest : public FormMainStallTest {
protected:
    FormMainWarmStartTest()
        : FormMainStallTest(true)
    {
    }
};

// A folder chosen shows last session's week from the local index while its share does not
// answer yet, says it is being checked, and opens an appointment only once the share told it.
TEST_F(FormMainWarmStartTest, LastSessionsWeekShowsAtOnceIsCheckedAndOpensOnlyOnceRead)
{
    const QString path = put(kNow.date(), 9, 10, "Standup", other.path());
    {
        AppointmentIndex index(indexCache.path()); // as a finished crawl left it
        ASSERT_TRUE(index.open(other.path()));
        ClassTermin record;
        record.setFilename(path);
        record.setDatum(kNow.date());
        record.setStartTime(TimeOfDay::fromHourMinute(9, 0));
        record.setEndTime(TimeOfDay::fromHourMinute(10, 0));
        record.setText("Standup");
        index.put(path, FileMeta(), record);
        index.setComplete(true);
    }
    int edited = 0;
    editing.setEditor(FakeEditor::pressingOk([&](ClassTermin&) { ++edited; }));
    stalled.stall();
    child<QMenu>("mnu_datafolder")->actions().value(1)->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return labelTexts() == QStringList{"Standup"}; }, 5000));
    EXPECT_TRUE(source().endsWith(" (checking)")) << source().toStdString();
    QTest::mouseDClick(appointmentLabels().value(0), Qt::LeftButton);
    EXPECT_EQ(edited, 0) << "the index keeps what the view draws, not the whole file";

    stalled.resume();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !source().contains("(checking)"); }, 10000));
    settle();
    QTest::mouseDClick(appointmentLabels().value(0), Qt::LeftButton);
    settle();
    EXPECT_EQ(edited, 1);
}

} // namespace
