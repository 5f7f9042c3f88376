// The export, import and subscription windows: the days offered, the file dialog, the colour, what
// they tell, in both languages, what they tell the folder's jobs, and a share that stops answering
// meanwhile.
#include "StalledShare.h"
#include "TestFiles.h"
#include "exchange/form_export_ics.h"
#include "exchange/form_import_ics.h"
#include "exchange/form_subscribe.h"
#include "service/FolderJobs.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"
#include "sync/SubscriptionScheduler.h"
#include "ui/ApiColorPicker.h"
#include "ui/ApiOpenSave.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include <gtest/gtest.h>

#include <atomic>

namespace {

template <typename T> T& child(QWidget& w, const char* name)
{
    return *w.findChild<T*>(QLatin1String(name));
}

class FormIcsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Language::apply("en"); // as the program does: "1 appointment", not "1 appointments"
        settings.setActiveFolder(data.path());
        settings.setFirstWeekday(2);
        settings.setColorText(4, "Team");
        hooks.message = [this](QWidget*, const QString&, const QString& text) { told << text; };
        hooks.error = [this](QWidget*, const QString&, const QString& text) { told << text; };
        QObject::connect(&jobs, &FolderJobs::written,
                         [this](const QStringList& paths) { written << paths; });
        ASSERT_TRUE(
            TestFiles::writeBytes(data.filePath("y2026/m3/d10/1.nv3"),
                                  "[AppointmentSettings]\r\nDateYear=2026\r\nDateMonth=3\r\n"
                                  "DateDay=10\r\nStartTimeHour=9\r\nStartTimeMinute=0\r\n"
                                  "EndTimeHour=10\r\nEndTimeMinute=0\r\nText=Dentist\r\n"));
    }
    void TearDown() override
    {
        setFileDialogAnswer({});
        Language::apply("en");
    }

    QTemporaryDir data;
    QTemporaryDir files;
    QTemporaryDir program;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    DataAccess store{profiles, settings};
    StalledShare share; // in front of the windows' jobs; it answers until told to stall
    FolderJobs jobs{StalledFileAccess::maker(share)};
    IcsWindowHooks hooks;
    QStringList told;
    QList<QStringList> written; // what the windows told the jobs
};

// The file is written on a share that stops answering meanwhile: the window stays alive.
TEST_F(FormIcsTest, ExportOffersTheShownMonthOrWeekAndWritesTheChosenFile)
{
    form_export_ics w(settings, jobs, QDate(2026, 3, 11), hooks);
    EXPECT_EQ(w.fromDate(), QDate(2026, 3, 1));
    EXPECT_EQ(w.toDate(), QDate(2026, 3, 31));
    child<QPushButton>(w, "command_week").click();
    EXPECT_EQ(w.fromDate(), QDate(2026, 3, 9));
    EXPECT_EQ(w.toDate(), QDate(2026, 3, 15));

    int asked = 0;
    const QString target = files.filePath("week");
    setFileDialogAnswer([&](QFileDialog& dialog) {
        ++asked;
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        dialog.selectFile(target);
        return int(QDialog::Accepted);
    });
    child<QLineEdit>(w, "date_von").setText("2026-03-20");
    child<QPushButton>(w, "command_ok").click();
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(told, QStringList{"The first day lies after the last day."});

    child<QPushButton>(w, "command_week").click();
    share.stall();
    child<QPushButton>(w, "command_ok").click();
    ASSERT_TRUE(eventually([&] { return share.held() == 1; }));
    EXPECT_TRUE(timersRun());
    EXPECT_TRUE(w.isExporting());
    EXPECT_FALSE(child<QPushButton>(w, "command_ok").isEnabled());
    EXPECT_EQ(told.size(), 1);
    share.resume();
    ASSERT_TRUE(eventually([&] { return !w.isExporting(); }));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(told.value(1), "1 appointment exported.");
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_TRUE(TestFiles::readBytes(target + ".ics").contains("\r\nSUMMARY:Dentist\r\n"));
    EXPECT_EQ(share.overdue(), 0);
    EXPECT_EQ(share.callsFromOwner(), 0);
}

TEST_F(FormIcsTest, ExportDatesAreTypedInTheSettingsFormatOrPickedFromACalendar)
{
    const struct {
        const char *format, *typed;
        QDate date; // invalid: refused
        const char* shown;
    } cases[] = {
        {"mm/dd/yyyy", "01/31/2027", {2027, 1, 31}, "01/31/2027"},
        {"mm/dd/yyyy", "1/31/27", {2027, 1, 31}, "01/31/2027"},
        {"tt.mm.jjjj", "31.1.2027", {2027, 1, 31}, "31.01.2027"},
        {"yyyy-mm-dd", "2027-01-31", {2027, 1, 31}, "2027-01-31"},
        {"mm/dd/yyyy", "31/01/2027", {}, "31/01/2027"},
        {"mm/dd/yyyy", "January", {}, "January"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        settings.setDateFormat(c.format);
        told.clear();
        form_export_ics w(settings, jobs, QDate(2026, 12, 9), hooks);
        w.show();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        auto& from = child<QLineEdit>(w, "date_von");
        from.setFocus();
        from.selectAll();
        QTest::keyClicks(&from, c.typed);
        QTest::keyClick(&from, Qt::Key_Tab);
        EXPECT_EQ(w.fromDate(), c.date);
        EXPECT_EQ(from.text(), c.shown);
        if (!c.date.isValid()) {
            w.command_ok_Click();
            EXPECT_EQ(told, QStringList{QString("Please type the dates as %1.").arg(c.format)});
        }
    }
    settings.setDateFormat("mm/dd/yyyy");
    form_export_ics w(settings, jobs, QDate(2026, 12, 9), hooks);
    child<QToolButton>(w, "date_bis_calendar").click();
    auto* calendar = w.findChild<QCalendarWidget*>("calendar");
    ASSERT_NE(calendar, nullptr);
    EXPECT_TRUE(calendar->isVisible());
    EXPECT_EQ(calendar->selectedDate(), QDate(2026, 12, 31));
    EXPECT_EQ(calendar->firstDayOfWeek(), Qt::Monday);
    emit calendar->clicked(QDate(2027, 1, 15));
    EXPECT_EQ(w.toDate(), QDate(2027, 1, 15));
    EXPECT_EQ(child<QLineEdit>(w, "date_bis").text(), "01/15/2027");
}

TEST_F(FormIcsTest, ImportInTheChosenColourThenTheSummary)
{
    const QString ics = files.filePath("team.ics");
    ASSERT_TRUE(TestFiles::writeBytes(
        ics, "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Review\r\nDTSTART:20260312T140000\r\n"
             "DTEND:20260312T150000\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nSUMMARY:Lost\r\n"
             "END:VEVENT\r\nEND:VCALENDAR\r\n"));
    Language::apply("de");
    form_import_ics w(settings, jobs, ics, hooks);
    ASSERT_TRUE(eventually([&] { return !w.isReading(); }));
    ASSERT_TRUE(w.isReadable());
    EXPECT_EQ(w.windowTitle(), "iCalendar importieren");
    EXPECT_TRUE(
        child<QLabel>(w, "label_datei").text().startsWith("team.ics enthält 2 Ereignisse."));
    auto& colors = child<QComboBox>(w, "combo_color");
    EXPECT_EQ(colors.itemText(3), "04    Team");
    EXPECT_EQ(colors.itemIcon(3).pixmap(16).toImage().pixelColor(8, 8),
              ColorOfRgbValue(settings.Color(4)))
        << "its swatch";
    colors.setCurrentIndex(3);
    child<QPushButton>(w, "command_ok").click();
    ASSERT_TRUE(eventually([&] { return !w.isImporting(); }));
    EXPECT_EQ(told, QStringList{QString::fromUtf8(
                        "Importiert: 1 Ereignis, davon 0 wiederkehrend\n"
                        "Aufgelöst: 0 Ereignisse in 0 Einzeltermine\n"
                        "Übersprungen: 1 Ereignis\n  \"Lost\": kein Beginn\n"
                        "Datei > Letzten Import zurücknehmen nimmt ihn zurück.")});
    const QList<TerminPtr> day = store.GetAppointmentsOfDay(QDate(2026, 3, 12));
    ASSERT_EQ(day.size(), 1);
    EXPECT_EQ(day[0]->ColorCode(), 4);
    EXPECT_EQ(day[0]->Text(), "Review");
    EXPECT_EQ(written, QList<QStringList>{{}}) << "every known day is read again";
}

TEST_F(FormIcsTest, AFileThatIsNoCalendarIsRefusedBeforeAnythingIsAsked)
{
    const QString notes = files.filePath("notes.ics");
    ASSERT_TRUE(TestFiles::writeBytes(notes, "Shopping list\r\n"));
    int done = 0;
    const auto ended = [&done] { ++done; };
    for (const QString& chosen : {notes, files.filePath("missing.ics"), QString()}) {
        setFileDialogAnswer([&](QFileDialog& dialog) {
            dialog.selectFile(chosen);
            return int(chosen.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
        });
        ImportIcsWindow(nullptr, settings, jobs, ended, hooks);
    }
    ASSERT_TRUE(eventually([&] { return done == 3; })); // read, told, and the window gone
    ASSERT_EQ(told.size(), 2);
    EXPECT_EQ(told[0], notes + " cannot be imported.\r\nThe file is not an iCalendar file.");
    EXPECT_TRUE(told[1].startsWith(files.filePath("missing.ics") + " cannot be imported.\r\n"));
    EXPECT_EQ(store.GetAppointmentsOfDay(QDate(2026, 3, 10)).size(), 1);
}

TEST_F(FormIcsTest, CancelStopsTheImportAfterTheAppointmentBeingSaved)
{
    QByteArray calendar = "BEGIN:VCALENDAR\r\n";
    for (const char* day : {"20260401", "20260402", "20260403"})
        calendar += QByteArray("BEGIN:VEVENT\r\nSUMMARY:Talk\r\nDTSTART:") + day +
                    "T100000\r\nEND:VEVENT\r\n";
    calendar += "END:VCALENDAR\r\n";
    const QString ics = files.filePath("talks.ics");
    ASSERT_TRUE(TestFiles::writeBytes(ics, calendar));

    share.stall();
    form_import_ics w(settings, jobs, ics, hooks);
    ASSERT_TRUE(eventually([&] { return share.held() == 1; })); // reading the file
    EXPECT_TRUE(timersRun());
    share.resume();
    ASSERT_TRUE(eventually([&] { return !w.isReading(); }));
    ASSERT_TRUE(w.isReadable());

    share.stallAtWrite(1);
    child<QPushButton>(w, "command_ok").click();
    ASSERT_TRUE(eventually([&] { return share.held() == 1; })); // saving the first one
    EXPECT_TRUE(timersRun());
    child<QPushButton>(w, "command_cancel").click();
    EXPECT_TRUE(w.isImporting());
    EXPECT_TRUE(told.isEmpty());
    share.resume();
    ASSERT_TRUE(eventually([&] { return !w.isImporting(); }));

    int saved = 0;
    for (QDirIterator it(data.filePath("y2026/m4"), {"*.nv3"}, QDir::Files,
                         QDirIterator::Subdirectories);
         it.hasNext(); it.next())
        ++saved;
    EXPECT_EQ(saved, 1);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("Cancelled: 1 of 3 appointments saved.\nImported: 1 event"))
        << told[0].toStdString();
    EXPECT_FALSE(told[0].contains("Not saved")) << told[0].toStdString();
    EXPECT_EQ(share.callsFromOwner(), 0);
}

// More appointments than the window writes at once are asked for before any is written; an
// import agreed to is taken back by File > Undo last import, which leaves other appointments,
// tells the jobs which files it removed, and waits for its answers by callback, not in a loop.
TEST_F(FormIcsTest, ALargeImportIsAskedForAndCanBeTakenBack)
{
    const QString ics = files.filePath("shifts.ics");
    ASSERT_TRUE(TestFiles::writeBytes(
        ics, "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Shift\r\nDTSTART:20260401T080000\r\n"
             "RRULE:FREQ=DAILY;COUNT=3;BYHOUR=8\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"));
    QStringList asked;
    bool agree = false;
    hooks.question = [&](QWidget*, const QString&, const QString& text,
                         std::function<void(bool)> answer) {
        asked << text;
        answer(agree);
    };
    auto shifts = [this] {
        store.clearCaches();
        int n = 0;
        for (int day = 1; day <= 3; ++day)
            n += int(store.GetAppointmentsOfDay(QDate(2026, 4, day)).size());
        return n;
    };
    for (bool yes : {false, true}) {
        agree = yes;
        form_import_ics w(settings, jobs, ics, hooks);
        w.setLargeImport(2);
        ASSERT_TRUE(eventually([&] { return !w.isReading(); }));
        child<QPushButton>(w, "command_ok").click();
        ASSERT_TRUE(eventually([&] { return !w.isImporting(); }));
        EXPECT_EQ(shifts(), yes ? 3 : 0);
    }
    EXPECT_EQ(asked, QStringList(2, "shifts.ics makes 3 appointments, more than 2 at once. "
                                    "Import them all?"));
    ASSERT_EQ(told.size(), 2);
    EXPECT_EQ(told[0], "Nothing was imported.");
    EXPECT_TRUE(told[1].endsWith("\nFile > Undo last import takes it back."))
        << told[1].toStdString();

    written.clear();
    share.stall();
    QWidget parent;
    int done = 0;
    const auto ended = [&done] { ++done; };
    UndoLastImportWindow(&parent, settings, jobs, ended, hooks);
    ASSERT_TRUE(eventually([&] { return share.held() == 1; })); // looking for the record
    auto* progress = parent.findChild<QProgressDialog*>("progress_undo_import");
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(done, 0);
    share.resume();
    ASSERT_TRUE(eventually([&] { return done == 1; }));
    ASSERT_EQ(asked.size(), 3);
    EXPECT_TRUE(asked[2].startsWith("Take back the import of " + ics + " on "));
    EXPECT_TRUE(asked[2].endsWith("The 3 appointments it created are removed, unless changed "
                                  "since."));
    ASSERT_EQ(told.size(), 3);
    EXPECT_TRUE(told[2].endsWith("taken back: 3 appointments removed")) << told[2].toStdString();
    EXPECT_EQ(shifts(), 0);
    EXPECT_EQ(store.GetAppointmentsOfDay(QDate(2026, 3, 10)).size(), 1);
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written[0].size(), 3);
    EXPECT_TRUE(written[0].value(0).startsWith(data.path() + "/y2026/m4/d1/"));

    UndoLastImportWindow(nullptr, settings, jobs, ended, hooks);
    ASSERT_TRUE(eventually([&] { return done == 2; }));
    EXPECT_TRUE(
        told.value(3).startsWith("There is no import of yours to take back in " + data.path()));
}

// Working out the events runs on the window's thread of its own: the progress window and its
// Cancel are there from the start, and a cancel meanwhile writes nothing.
TEST_F(FormIcsTest, TheProgressWindowAndItsCancelAreThereWhileTheEventsAreWorkedOut)
{
    const QString ics = files.filePath("talks.ics");
    ASSERT_TRUE(TestFiles::writeBytes(
        ics, "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:Talk\r\nDTSTART:20260401T100000\r\n"
             "END:VEVENT\r\nBEGIN:VEVENT\r\nSUMMARY:Talk\r\nDTSTART:20260402T100000\r\n"
             "END:VEVENT\r\nEND:VCALENDAR\r\n"));
    Language::apply("de");
    form_import_ics w(settings, jobs, ics, hooks);
    ASSERT_TRUE(eventually([&] { return !w.isReading(); }));
    std::atomic<int> planned{0};
    std::atomic<bool> release{false};
    const auto releaseAtEnd = qScopeGuard([&] { release = true; });
    w.setPlanningHook([&] {
        ++planned;
        while (!release)
            QThread::msleep(1);
    });
    child<QPushButton>(w, "command_ok").click();
    ASSERT_TRUE(eventually([&] { return planned == 1; }));
    EXPECT_TRUE(timersRun());
    auto* progress = w.findChild<QProgressDialog*>("progress_import");
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->labelText(), "Ereignisse werden gelesen ...");
    auto* cancel = progress->findChild<QPushButton*>();
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    release = true;
    ASSERT_TRUE(eventually([&] { return !w.isImporting(); }));
    EXPECT_EQ(planned, 1);
    EXPECT_EQ(told, QStringList{"Abgebrochen, bevor etwas gespeichert wurde."});
    EXPECT_TRUE(store.GetAppointmentsOfDay(QDate(2026, 4, 1)).isEmpty());
}

// The subscription window tells why before anything is asked, and what the feed answered while
// it stays open; nothing lands in the folder.
TEST(FormSubscribeTest, ItTellsWhyAndStaysOpenUntilTheFeedIsIn)
{
    QTemporaryDir data;
    SubscriptionScheduler scheduler([&] { return SubscriptionScheduler::Target{data.path(), {}}; });
    form_subscribe w(scheduler);
    w.show();
    auto& status = child<QLabel>(w, "label_feed_status");
    const auto subscribe = [&](const QString& url, const QString& name) {
        child<QLineEdit>(w, "text_feed_url").setText(url);
        child<QLineEdit>(w, "text_feed_name").setText(name);
        status.clear();
        QTest::keyClick(&w, Qt::Key_Return);
    };
    subscribe("ftp://example.org/x.ics", "Holidays");
    EXPECT_TRUE(status.text().contains("no http, https or webcal")) << qPrintable(status.text());
    subscribe("webcal://example.org/x.ics", "!!!");
    EXPECT_TRUE(status.text().contains("name with letters or digits")) << qPrintable(status.text());
    // Nothing listens on port 1: the answer comes from the refreshes' thread.
    subscribe("http://127.0.0.1:1/x.ics", "Holidays");
    EXPECT_TRUE(QTest::qWaitFor([&] { return status.text().contains("127.0.0.1:1"); }, 20000))
        << qPrintable(status.text());
    EXPECT_TRUE(w.isVisible());
    EXPECT_NE(w.result(), QDialog::Accepted);
    EXPECT_TRUE(QDir(data.path()).isEmpty()) << "a feed that could not be had leaves nothing";
}

} // namespace
