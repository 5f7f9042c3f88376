// The main window and its store service on a real slow share that stalls: the window never
// waits for it, says so, catches up, and asks it no more than one pass allows.
#include "SlowShare.h"
#include "FakeEditor.h"
#include "ShareWatchdog.h"
#include "ShownLabels.h"
#include "StalledShare.h"
#include "TestFiles.h"
#include "edit/AppointmentEditing.h"
#include "profile/FileAccess.h"
#include "service/MissingDirectories.h"
#include "service/SettingsJobs.h"
#include "service/StoreService.h"
#include "settings/Settings.h"
#include "store/AppointmentFile.h"
#include "store/Recurrence.h"
#include "views/ClassDay.h"
#include "views/DayWeekView.h"
#include "views/form_main.h"

#include <QAction>
#include <QDirIterator>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

namespace {

// Wednesday 9 July 2003; the week shown is Monday 7 to Friday 11 July.
const QDateTime kNow(QDate(2003, 7, 9), QTime(10, 20));
const QDate kMonday(2003, 7, 7);

// Threads of this process whose name starts so (the system keeps 15 characters of it).
int threadsNamed(const QString& name)
{
    int found = 0;
    QDirIterator tasks("/proc/self/task", QDir::Dirs | QDir::NoDotAndDotDot);
    while (tasks.hasNext())
        found += TestFiles::readBytes(tasks.next() + "/comm").startsWith(name.left(15).toUtf8());
    return found;
}

// One request a line, sorted.
std::string sorted(const QList<SlowShare::Request>& requests)
{
    QStringList lines;
    for (const SlowShare::Request& request : requests)
        lines << request.operation + QLatin1Char(' ') + request.path;
    lines.sort();
    return lines.join(u'\n').toStdString();
}

class SlowShareTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const QString why = SlowShare::unavailable(); !why.isEmpty())
            GTEST_SKIP() << why.toStdString();
        // A share of 1 ms a request (what is asked is the same on any share; a fast one keeps
        // the tests short) as the only data folder; no heartbeat refresh comes by itself.
        share = std::make_unique<SlowShare>(1);
        ASSERT_TRUE(share->error().isEmpty()) << share->error().toStdString();
        TestFiles::writeBytes(
            program.filePath("Settings.ini"),
            "[DataFolders]\r\nFolderCount=1\r\nFolder1=" + share->mountPath().toUtf8() + "\r\n");
        TestFiles::writeBytes(program.filePath("Norvane4.ini"),
                              "[International]\r\nLangCode=en\r\nFirstWeekday=2\r\n"
                              "[Application]\r\nFirstStart=0\r\n[Program]\r\nStartWithWeek=1\r\n"
                              "DayInterval=3600\r\nMonthInterval=3600\r\n");
        settings.LoadActiveFolder();
        settings.LoadSettings();
    }
    // Nothing may stay held when the window, the service and the share go.
    void TearDown() override
    {
        if (share)
            share->resume();
    }

    // The window on the share with the real store service, its week read.
    form_main& window()
    {
        if (!m_window) {
            service = std::make_unique<StoreService>();
            settingsJobs = std::make_unique<SettingsJobs>(service->jobs());
            editing = std::make_unique<AppointmentEditing>(*service);
            form_main::Hooks hooks;
            hooks.message = [this](QWidget*, const QString&, const QString& text) {
                messages << text;
            };
            m_window =
                std::make_unique<form_main>(settings, *settingsJobs, *service, *editing, hooks);
            m_window->setClock([] { return kNow; });
            m_window->resize(1000, 700);
            m_window->Form_Load();
            settle();
        }
        return *m_window;
    }
    // Until everything asked of the share is answered and shown.
    void settle()
    {
        QTimer* refresh = child<QTimer>("timer_refresh_view");
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return service->idle() && !refresh->isActive(); }, 120000));
    }
    // The share stalls while a refresh (as the heartbeat's) is under way, until the window
    // says so.
    void stallARefresh()
    {
        share->stall();
        window().LoadView();
        ASSERT_TRUE(eventually([&] { return !service->answering(); }));
    }

    template <typename T> T* child(const char* name)
    {
        T* found = m_window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QList<QLabel*> appointmentLabels() { return ShownLabels::of(*m_window); }
    QStringList labelTexts() { return ShownLabels::textsOf(*m_window); }
    QDate firstShown() { return window().view().DayColumn(1)->datum(); }

    // The appointment files in the backing folder, with what they hold.
    QStringList filesOnDisk()
    {
        QStringList found;
        QDirIterator files(share->backingPath(), {"*" + AppointmentFile::kExtension}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext())
            found << TestFiles::readBytes(files.next());
        found.sort();
        return found;
    }

    std::unique_ptr<SlowShare> share;
    QTemporaryDir program;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    std::unique_ptr<StoreService> service;
    std::unique_ptr<SettingsJobs> settingsJobs;
    std::unique_ptr<AppointmentEditing> editing;
    QStringList messages;
    std::unique_ptr<form_main> m_window;
};

TEST_F(SlowShareTest, WhileTheShareIsStalledTheWindowStepsRunsItsTimersAndOpensItsMenus)
{
    const QString standup =
        TestFiles::putAppointment(share->backingPath(), kNow.date(), 9, "Standup");
    window();
    ShareWatchdog watchdog(*share, "the window waited for the share");
    stallARefresh();

    // Every step draws at once from what is known and asks the share, which answers nothing.
    QTest::keyClick(&window(), Qt::Key_Right);
    EXPECT_EQ(firstShown(), kMonday.addDays(7));
    QTest::keyClick(&window(), Qt::Key_Left);
    EXPECT_EQ(firstShown(), kMonday);
    EXPECT_EQ(labelTexts(), QStringList{"Standup"}) << "the known week stays";
    EXPECT_TRUE(timersRun()) << "a timer of the window's thread";
    QTest::mouseClick(child<QWidget>("label_jahr"), Qt::LeftButton);
    QMenu* years = child<QMenu>("mnu_popup_datum");
    EXPECT_TRUE(years->isVisible());
    years->hide();
    years->actions()[6]->trigger(); // three years on
    EXPECT_EQ(child<QLabel>("label_jahr")->text().toStdString(), "2006");
    QTest::keyClick(&window(), Qt::Key_T);
    QTest::keyClick(&window(), Qt::Key_W);
    EXPECT_EQ(firstShown(), kMonday);
    // A deletion is refused at once, and says why.
    ASSERT_EQ(appointmentLabels().size(), 1);
    QTest::mouseClick(appointmentLabels().first(), Qt::RightButton);
    child<QMenu>("mnu_popup_termin")->hide();
    child<QAction>("mnu_popup_termin_del_yes")->trigger();
    ASSERT_EQ(messages.size(), 1) << "the deletion went ahead";
    EXPECT_TRUE(messages[0].contains("not answering; nothing was changed"))
        << messages[0].toStdString();
    watchdog.finish();
    share->resume();
    settle();
    EXPECT_TRUE(QFileInfo::exists(standup));
}

TEST_F(SlowShareTest, ASaveIsRefusedWhileTheShareStallsAndOneAlreadySentIsToldOnlyWhenItLanded)
{
    window();
    const QStringList before = filesOnDisk();
    ShareWatchdog watchdog(*share, "the window waited for the share");
    stallARefresh();
    editing->setEditor(FakeEditor::pressingOk(
        [](ClassTermin& a) { a.setText("Refused"); },
        [&](const WriteOutcome& o) { messages << AppointmentEditing::failureMessage(o); }));
    child<QAction>("mnu_appointment_new")->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("is not answering; nothing was written"))
        << messages[0].toStdString();
    share->resume();
    settle();
    EXPECT_EQ(filesOnDisk(), before) << "nothing was written, not even later";
    ASSERT_TRUE(eventually([&] { return service->answering(); }));

    // The share stalls just as the save goes out: it waits, then lands, then tells.
    bool resumed = false;
    QStringList onDiskWhileStalled;
    std::optional<WriteOutcome> outcome;
    bool toldAfterResume = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!resumed && !service->answering()) {
            onDiskWhileStalled = filesOnDisk();
            resumed = true;
            share->resume();
        }
    });
    editing->setEditor([&](std::shared_ptr<EditHandOver> h) {
        h->appointment.setText("On its way");
        share->stall();
        poll.start(10);
        h->filer->file(h->appointment, [&, h](const WriteOutcome& o, const ClassTermin& filed) {
            outcome = o;
            toldAfterResume = resumed;
            h->appointment = filed;
            FakeEditor::finish(*h, o.ok);
        });
    });
    child<QAction>("mnu_appointment_new")->trigger();
    settle();
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->ok) << outcome->error.toStdString();
    EXPECT_TRUE(toldAfterResume) << "success was told before the share answered";
    EXPECT_EQ(onDiskWhileStalled, before);
    EXPECT_EQ(filesOnDisk().size(), before.size() + 1);
    EXPECT_TRUE(filesOnDisk().join("").contains("Text=On its way"));
    EXPECT_EQ(messages.size(), 1) << messages.join('\n').toStdString();
    EXPECT_TRUE(labelTexts().contains("On its way"));
}

TEST_F(SlowShareTest, FileExitDuringAStallEndsAtOnceAndLeavesTheStuckRequestToEndLater)
{
    window();
    ShareWatchdog watchdog(*share, "the exit waited for the share");
    stallARefresh();
    child<QAction>("mnu_file_exit")->trigger();
    EXPECT_FALSE(window().isVisible());
    EXPECT_FALSE(service->shutDown()) << "the stuck request was left";
    watchdog.finish();
    share->resume();
    EXPECT_TRUE(eventually([] {
        return threadsNamed("Norvane store") + threadsNamed("Norvane folder watch") == 0;
    })) << "the threads left on the share end once it answers";
}

TEST_F(SlowShareTest, ARefreshOfAnUnchangedWeekAsksEachDirectoryOnceAndEachFileAtMostOnce)
{
    for (int day = 0; day < 5; day += 2)
        TestFiles::putAppointment(share->backingPath(), kMonday.addDays(day), 10 + day,
                                  "Every other day");
    TestFiles::writeSettled(share->backingPath() + "/recurring/wd4/1.nv3",
                            "[AppointmentSettings]\r\nStartTimeHour=7\r\nEndTimeHour=8\r\n"
                            "Text=Weekly\r\nRecurringUntilYear=2099\r\n");
    window();
    service->watchedForTests(); // the folder watch has asked what it asks
    ASSERT_EQ(labelTexts().size(), 4);

    share->restartLog();
    window().LoadView();
    settle();
    service->watchedForTests();
    const QList<SlowShare::Request> refresh = share->requests();

    // What the pass rule allows, as one file access asks it: whether the folder is there, the
    // times of the directories' parents (whose listings name the directories that are there),
    // each directory that is there listed once, each file in them asked about once.
    share->restartLog();
    const QString folder = WithTrailingSeparator(share->mountPath());
    QStringList directories;
    for (int day = 0; day < 5; ++day)
        for (const QString& directory : Recurrence::directoriesOfDay(folder, kMonday.addDays(day)))
            if (!directories.contains(directory))
                directories << directory;
    RealFileAccess files;
    files.isListableDir(folder);
    QSet<QString> parents;
    for (const QString& directory : directories)
        parents.insert(MissingDirectories::parentOf(directory));
    for (const QString& parent : std::as_const(parents))
        if (!parents.contains(MissingDirectories::parentOf(parent)) ||
            QFileInfo(share->backingPath() + '/' + parent.mid(folder.size())).isDir())
            files.directoryMetadata(parent);
    int listed = 0;
    for (const QString& directory : directories)
        if (const auto listing =
                QFileInfo(share->backingPath() + '/' + directory.mid(folder.size())).isDir()
                    ? files.listFiles(directory, AppointmentFile::kExtension, folder)
                    : std::nullopt)
            for (const QString& name : listing->names) {
                files.metadata(directory + name);
                ++listed;
            }
    EXPECT_EQ(listed, 4);
    EXPECT_EQ(sorted(refresh), sorted(share->requests()))
        << "made by the refresh, then allowed for " << directories.size() << " directories and "
        << listed << " files";
}

} // namespace
