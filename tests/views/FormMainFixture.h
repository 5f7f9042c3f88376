// The main window as a user meets it, built on a data folder of its own: the fixture shared
// by the window's tests.
#pragma once

#include "FakeEditor.h"
#include "ShownLabels.h"
#include "StalledShare.h"
#include "TestFiles.h"
#include "edit/AppointmentEditing.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "service/SettingsJobs.h"
#include "service/StoreService.h"
#include "settings/Settings.h"
#include "views/ClassDay.h"
#include "views/DayWeekView.h"
#include "views/form_main.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {

// Wednesday 9 July 2003, 10:20.
const QDateTime kNow(QDate(2003, 7, 9), QTime(10, 20));
// A folder name that a widget could take for markup, an access key or a title mark.
const QString kFolderHtml = QStringLiteral("<b>R&D [*] <i>team"); // no '/' in a folder name

class FormMainTest : public ::testing::Test {
protected:
    // Stalling: the service reads through a share the test can stall, and no watch brings news.
    // Indexed: the service keeps a local index of the folder, for the search.
    explicit FormMainTest(bool stalling = false, bool indexed = false)
        : m_stalling(stalling)
        , m_indexed(indexed)
    {
        QDir().mkpath(data.path());
        TestFiles::writeBytes(program.filePath("Settings.ini"),
                              "[DataFolders]\r\nFolderCount=2\r\nFolder1=" + data.path().toUtf8() +
                                  "\r\nFolder2=" + other.path().toUtf8() + "\r\n");
        TestFiles::writeBytes(
            program.filePath("Norvane4.ini"),
            "[International]\r\nLangCode=en\r\nFirstWeekday=2\r\nTimeFormat=24h\r\n"
            "[Application]\r\nFirstStart=0\r\n");
        settings.LoadActiveFolder();
        settings.LoadSettings();
    }

    form_main& window()
    {
        if (!m_window) {
            form_main::Hooks hooks;
            hooks.message = [this](QWidget*, const QString&, const QString& text) {
                messages << text;
            };
            hooks.showPrint = [this](QWidget*, const QDate& date, ViewMode view,
                                     form_main::Hooks::Done done) {
                printed = {date, view};
                printDone = std::move(done);
            };
            hooks.importIcs = [this](QWidget*, std::function<void()> done) {
                importDone = std::move(done);
            };
            hooks.showSettings = [this](QWidget*, form_main::Hooks::Done done) {
                settingsDone = std::move(done);
            };
            hooks.checkReminders = [this] {
                ++reminderChecks;
                heartbeatOnDuringCheck = heartbeat()->isActive();
            };
            m_window = std::make_unique<form_main>(settings, settingsJobs, service, editing, hooks);
            m_window->setClock([this] { return now; });
            m_window->resize(1000, 700);
            m_window->Form_Load();
            settle();
        }
        return *m_window;
    }

    // Until the store service and the settings' thread have answered everything asked of
    // them, and the window followed.
    void settle()
    {
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return service.idle() && settingsJobs.pending() == 0; }, 10000));
    }
    void loadView()
    {
        window().LoadView();
        settle();
    }
    StoreService::Options serviceOptions()
    {
        StoreService::Options options;
        options.files = [this] { return files.makeCounted(); };
        options.clock = [] { return kNow; };
        if (m_indexed)
            options.indexDirectory = indexCache.path();
        if (m_stalling) {
            options.files = StalledFileAccess::maker(stalled);
            options.notAnsweringAfterMs = 100;
            options.watchFolders = false;
        }
        return options;
    }

    template <typename T> T* child(const char* name)
    {
        T* found = window().findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* label) { return child<QLabel>(label)->text(); }
    QTimer* heartbeat() { return child<QTimer>("Global_timer"); }
    const DayWeekView& view() { return window().view(); }

    // An appointment file as another copy of the program writes it.
    QString put(const QDate& d, int start, int end, const char* text, QString folder = {})
    {
        static int number = 100;
        const QString path = (folder.isEmpty() ? data.path() : folder) +
                             d.toString("/'y'yyyy/'m'M/'d'd/") + QString::number(++number) + ".nv3";
        TestFiles::writeSettled(
            path,
            QString::asprintf("[AppointmentSettings]\r\nDateYear=%d\r\nDateMonth=%d\r\n"
                              "DateDay=%d\r\nStartTimeHour=%d\r\nStartTimeMinute=0\r\n"
                              "EndTimeHour=%d\r\nEndTimeMinute=0\r\nText=%s\r\nIsReminder=0\r\n",
                              d.year(), d.month(), d.day(), start, end, text)
                .toUtf8());
        return path;
    }

    // The appointment labels shown in the grid.
    QList<QLabel*> appointmentLabels() { return ShownLabels::of(window()); }
    QStringList labelTexts() { return ShownLabels::textsOf(window()); }

    void key(Qt::Key k)
    {
        QTest::keyClick(&window(), k);
        settle();
    }
    void click(const char* name)
    {
        QTest::mouseClick(child<QWidget>(name), Qt::LeftButton);
        settle();
    }
    void trigger(const char* action)
    {
        child<QAction>(action)->trigger();
        settle();
    }
    // The open question which occurrences of a series an act is for; one answered may wait for
    // its deletion still.
    QMessageBox* seriesQuestion()
    {
        for (QMessageBox* box : window().findChildren<QMessageBox*>("message_series_scope")) {
            if (box->isVisible())
                return box;
        }
        ADD_FAILURE() << "no question open";
        return nullptr;
    }
    // Answers the question which occurrences of a series an act is for, by the button's name
    // ("button_series_this", "_following", "_all"); returns the question's text.
    QString answerSeries(const char* button)
    {
        QMessageBox* question = seriesQuestion();
        if (!question)
            return {};
        const QString text = question->text();
        question->findChild<QAbstractButton*>(button)->click();
        settle();
        return text;
    }
    void ticks(int n)
    {
        for (int tick = 0; tick < n; ++tick) {
            window().Global_timer_Timer();
            settle();
        }
    }

    QTemporaryDir program;
    QTemporaryDir parent;
    QDir data{parent.filePath(kFolderHtml)};
    QTemporaryDir other;
    // What the store service's thread asks of the share, counted.
    CountingFileAccess files{ThreadFileAccess()};
    StalledShare stalled;
    bool m_stalling;
    bool m_indexed;
    QTemporaryDir indexCache;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    StoreService service{serviceOptions()};
    SettingsJobs settingsJobs{service.jobs()};
    AppointmentEditing editing{service};
    QDateTime now = kNow;
    int reminderChecks = 0;
    bool heartbeatOnDuringCheck = true;
    std::function<void()> importDone; // of the import window open
    QStringList messages;
    std::pair<QDate, ViewMode> printed;  // the date and view the print window was opened on
    form_main::Hooks::Done printDone;    // closes it
    form_main::Hooks::Done settingsDone; // closes the settings window
    std::unique_ptr<form_main> m_window;
};

} // namespace
