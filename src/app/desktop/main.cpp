#include "edit/AppointmentEditing.h"
#include "edit/form_edit.h"
#include "exchange/IcsWindows.h"
#include "exchange/form_subscribe.h"
#include "index/AppointmentIndex.h"
#include "print/form_print.h"
#include "remind/BackgroundReminderCheck.h"
#include "remind/DesktopNotifications.h"
#include "remind/DesktopReminders.h"
#include "remind/MinuteTimer.h"
#include "remind/ReminderMail.h"
#include "service/FolderJobs.h"
#include "service/SettingsJobs.h"
#include "service/StoreService.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "settings_ui/form_lang.h"
#include "settings_ui/form_settings.h"
#include "store/ApiLoginName.h"
#include "sync/SubscriptionScheduler.h"
#include "sync/SyncScheduler.h"
#include "tools/form_import.h"
#include "tools/form_performance.h"
#include "ui/PlainText.h"
#include "ui/TopMost.h"
#include "views/form_info.h"
#include "views/form_main.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QIcon>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Answered before any window exists, so they work without a display.
bool answeredOnTerminal(int argc, char* argv[])
{
    if (argc != 2)
        return false;
    if (qstrcmp(argv[1], "--version") == 0) {
        std::printf("norvane %s\n", qPrintable(form_info::version()));
        return true;
    }
    if (qstrcmp(argv[1], "--help") == 0 || qstrcmp(argv[1], "-h") == 0) {
        std::printf("Usage: norvane [QT-OPTION]...\n"
                    "       norvane --version | --help\n"
                    "The team calendar's window; norvane-cli reads the same data folder "
                    "without it.\n");
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (answeredOnTerminal(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norvane"));
    QApplication::setApplicationVersion(form_info::version());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/norvane.svg")));
    QApplication::setQuitOnLastWindowClosed(false); // the window may live on in the tray

    // This thread's copy holds values only: the files are read and written through
    // settingsJobs, so its profile cache is never asked.
    ProfileCache profiles(ThreadFileAccess());
    Settings settings(profiles, DefaultProgramDirectory());
    // Everything the main window reads and writes in the data folder goes through the store
    // service's own thread. It keeps a local index of the folder for searches that must not
    // wait for the share.
    StoreService::Options serviceOptions;
    serviceOptions.indexDirectory = AppointmentIndex::defaultDirectory();
    serviceOptions.directoryCheckMs = 2000;
    StoreService service(serviceOptions);
    // The windows read and write the settings files through it, never themselves.
    SettingsJobs settingsJobs(service.jobs());

    // Rooms an appointment booked that the team's list lacks: the next settings window, opened
    // from the main window's menu as always, offers them.
    QStringList roomsOffered;
    const auto offerRooms = [&roomsOffered](QWidget* parent, const QStringList& rooms) {
        auto* open =
            parent ? parent->window()->findChild<QAction*>(QStringLiteral("mnu_settings_program"))
                   : nullptr;
        if (!open || !open->isEnabled())
            return;
        roomsOffered = rooms;
        open->trigger();
    };
    AppointmentEditing editing(service, form_edit::editorFor(settings, GetLoginName(), offerRooms));
    // A window of a hook closes itself; done follows.
    const auto opened = [](QDialog* window, std::function<void()> done) {
        window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(window, &QDialog::finished, window, std::move(done));
        window->open();
    };

    form_main::Hooks hooks;
    bool choosingLanguage = false;
    MinuteTimer* reminderTimerOnceChosen = nullptr;
    hooks.showLanguageWindow = [&](QWidget* parent, form_main::Hooks::Done done) {
        choosingLanguage = true;
        opened(new form_lang(settings, settingsJobs, form_info::version(), parent),
               [&, done = std::move(done)] {
                   Language::apply(settings.LangCode());
                   done();
                   choosingLanguage = false;
                   if (reminderTimerOnceChosen)
                       reminderTimerOnceChosen->start();
               });
    };
    hooks.showImport = [&](QWidget* parent, std::function<void()> done) {
        OpenHolidayImport(parent, settings, service.jobs(), std::move(done));
    };
    hooks.importIcs = [&](QWidget* parent, std::function<void()> done) {
        ImportIcsWindow(parent, settings, service.jobs(), std::move(done));
    };
    hooks.undoImport = [&](QWidget* parent, std::function<void()> done) {
        UndoLastImportWindow(parent, settings, service.jobs(), std::move(done));
    };
    hooks.exportIcs = [&](QWidget* parent, const QDate& shown, std::function<void()> done) {
        ExportIcsWindow(parent, settings, service.jobs(), shown, std::move(done));
    };
    const auto pageOf = [](ViewMode view) {
        switch (view) {
        case ViewMode::Week:
            return PrintPage::Week;
        case ViewMode::Month:
            return PrintPage::Month;
        case ViewMode::List:
            return PrintPage::List;
        case ViewMode::Day:
        case ViewMode::People:
            break;
        }
        return PrintPage::Day;
    };
    hooks.showPrint = [&](QWidget* parent, const QDate& date, ViewMode view,
                          form_main::Hooks::Done done) {
        OpenPrintWindow(parent, settings, service.jobs(), date, pageOf(view),
                        form_print::Output::Printer, {}, std::move(done));
    };
    hooks.exportPdf = [&](QWidget* parent, const QDate& date, ViewMode view,
                          form_main::Hooks::Done done) {
        OpenPrintWindow(parent, settings, service.jobs(), date, pageOf(view),
                        form_print::Output::Pdf, {}, std::move(done));
    };

    form_main* shown = nullptr;
    // The sync runs on a thread of its own; the window only starts it and shows its end. It
    // and the subscriptions keep to the folder itself, never the copy worked on offline.
    SyncScheduler sync(
        [&] {
            return SyncScheduler::Target{settings.ChosenDataFolder(), settings.Path(),
                                         settings.programDirectory()};
        },
        runSync, service.jobs().files());
    hooks.syncNow = [&] { sync.syncNow(); };
    SubscriptionScheduler subscriptions(
        [&] {
            return SubscriptionScheduler::Target{settings.ChosenDataFolder(), settings.Path()};
        },
        service.jobs().files());
    // What the refreshes wrote is read again by the store service, and the view follows.
    const auto readAgain = [&](const QList<Subscriptions::RefreshResult>& results) {
        if (std::any_of(results.cbegin(), results.cend(), [](const auto& result) {
                return result.written > 0 || result.removed > 0;
            }))
            service.jobs().wrote({});
    };
    QObject::connect(
        &subscriptions, &SubscriptionScheduler::subscribed,
        [readAgain](const Subscriptions::RefreshResult& result) { readAgain({result}); });
    QObject::connect(&subscriptions, &SubscriptionScheduler::refreshed, readAgain);
    hooks.subscribe = [&](QWidget* parent, form_main::Hooks::Done done) {
        auto* window = new form_subscribe(subscriptions, parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(window, &QDialog::finished, window, [done = std::move(done)] { done(); });
        window->open();
    };
    hooks.syncOnce = [&](form_main::MassDeletionAnswer answer) {
        sync.syncNow(answer == form_main::MassDeletionAnswer::Delete
                         ? SyncScheduler::Guard::Delete
                         : SyncScheduler::Guard::Restore);
    };
    // Before the reminders, which close their notifications as they go.
    const std::unique_ptr<DesktopNotifications> notifications =
        DesktopNotifications::onSessionBus();
    DesktopReminders reminders(
        settings,
        [&](const QString& title, const QString& text) {
            if (shown)
                shown->ShowTrayMessage(title, text);
        },
        notifications.get());
    reminders.setOpen([&](const ClassTermin& appointment, const QDate& day) {
        if (!shown)
            return;
        BringToFront(shown);
        shown->showAppointment(appointment, day);
    });
    BackgroundReminderCheck reminderCheck(settings, reminders, GetLoginName(), {},
                                          service.jobs().files());
    // Not the main window's heartbeat: a reminder is due at its minute, not up to one later.
    MinuteTimer reminderTimer([&] { reminderCheck.check(); });
    hooks.showSettings = [&](QWidget* parent, form_main::Hooks::Done done) {
        form_settings::Hooks windowHooks;
        windowHooks.testFolder = [&](QWidget* owner, const QString& folder, const QString& lang) {
            RunFolderSpeedTest(owner, service.jobs(), folder, lang);
        };
        windowHooks.playSound = [&](const QString& file) { reminders.sound().PlaySoundFile(file); };
        windowHooks.sendTestMail = [&](const form_settings::TestMail& mail,
                                       std::function<void(const QString&)> sent) {
            reminders.mail().send({mail.server, mail.from, mail.to, mail.subject,
                                   ReminderMail::testBody(mail.langCode)},
                                  std::move(sent));
        };
        auto* settingsWindow = new form_settings(settings, settingsJobs, windowHooks, parent);
        settingsWindow->offerCategories(service.knownCategories());
        if (!roomsOffered.isEmpty())
            settingsWindow->offerRooms(std::exchange(roomsOffered, {}));
        opened(settingsWindow, [&, done = std::move(done)] {
            Language::apply(settings.LangCode());
            sync.reload();
            subscriptions.reload();
            done();
        });
    };

    std::unique_ptr<form_main> window;
    // The window shows once the settings files have answered.
    settingsJobs.loadForStart(&app, settings, [&](const SettingsJobs::Start& start) {
        settings.takeValues(start.settings);
        Language::apply(settings.LangCode());
        window = std::make_unique<form_main>(settings, settingsJobs, service, editing, hooks);
        shown = window.get();
        window->Form_Load(start.placement, start.firstStart);
        // Over the window, in the language just installed; it names paths.
        if (const QString problem = start.loaded.message(); !problem.isEmpty())
            showPlainWarning(window.get(), QStringLiteral("Norvane"), problem);
        QObject::connect(&sync, &SyncScheduler::finished, window.get(),
                         [&](const SyncResult& result, const QDateTime& at) {
                             window->showSyncResult(at, result.ok() ? QString() : result.error);
                             if (result.exit == SyncResult::Exit::MassDelete)
                                 window->askAboutMassDeletion(result.massDeletion.count,
                                                              result.massDeletion.of,
                                                              result.massDeletion.onServer);
                             // The store service reads the days again and the view follows.
                             if (result.received > 0 || result.deletedHere > 0)
                                 service.jobs().wrote({});
                         });
        sync.reload();
        subscriptions.reload();
        // Once the language of a first start is chosen.
        if (choosingLanguage)
            reminderTimerOnceChosen = &reminderTimer;
        else
            reminderTimer.start();
    });
    const int result = app.exec();
    shown = nullptr;
    // The window's place and a save asked for last land, unless the share holds them up.
    settingsJobs.finish();
    if (!service.shutDown()) {
        // A request is stuck on a share that stopped answering: only the share can end it.
        // The windows are closed already; end here instead of waiting for it.
        std::fflush(nullptr);
        std::_Exit(result);
    }
    return result;
}
