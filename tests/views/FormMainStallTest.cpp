// The main window on a share that stops answering: it keeps working, says so, refuses to
// change what it cannot write, and catches up when the share is back.
#include "ShownLabels.h"
#include "StalledShare.h"
#include "TestFiles.h"
#include "edit/AppointmentEditing.h"
#include "service/SettingsJobs.h"
#include "service/StoreService.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "views/ClassDay.h"
#include "views/DayWeekView.h"
#include "views/form_main.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2003, 7, 9), QTime(10, 20));

class FormMainStallTest : public ::testing::Test {
protected:
    FormMainStallTest()
    {
        TestFiles::writeBytes(program.filePath("Settings.ini"),
                              "[DataFolders]\r\nFolderCount=1\r\nFolder1=" + data.path().toUtf8() +
                                  "\r\n");
        TestFiles::writeBytes(program.filePath("Norvane4.ini"),
                              "[International]\r\nLangCode=en\r\nFirstWeekday=2\r\n"
                              "[Application]\r\nFirstStart=0\r\n");
        settings.LoadActiveFolder();
        settings.LoadSettings();
        form_main::Hooks hooks;
        hooks.message = [this](QWidget*, const QString&, const QString& text) { messages << text; };
        window = std::make_unique<form_main>(settings, settingsJobs, service, editing, hooks);
        window->setClock([] { return kNow; });
        window->resize(1000, 700);
        window->Form_Load();
        settle();
    }
    ~FormMainStallTest() override
    {
        share.resume();
        window.reset();
        service.shutDown();
    }

    StoreService::Options options()
    {
        StoreService::Options options;
        options.files = StalledFileAccess::maker(share);
        options.clock = [] { return kNow; };
        options.notAnsweringAfterMs = 100;
        options.watchFolders = false; // only the window's own catching up may bring news
        return options;
    }
    void settle()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return service.idle(); }, 10000));
    }
    QString put(const QDate& d, int start, const char* text)
    {
        return TestFiles::putAppointment(data.path(), d, start, text);
    }
    QStringList labelTexts() { return ShownLabels::textsOf(*window); }
    QLabel* appointmentLabel() { return ShownLabels::of(*window).value(0); }
    QString source() const
    {
        return window->findChild<QLabel*>("label_datasource")->text().section('\n', 0, 0);
    }
    bool staleLineShown() const
    {
        const QLabel* line = window->findChild<QLabel*>("label_stale");
        return line->isVisibleTo(window.get()) && !line->text().isEmpty();
    }

    QTemporaryDir program;
    QTemporaryDir data;
    StalledShare share;
    ProfileCache profiles{ThreadFileAccess()};
    Settings settings{profiles, program.path()};
    StoreService service{options()};
    SettingsJobs settingsJobs{service.jobs()};
    AppointmentEditing editing{service};
    std::unique_ptr<form_main> window;
    QStringList messages;
};

TEST_F(FormMainStallTest, TheWindowWorksOnSaysSoRefusesChangesAndCatchesUp)
{
    const struct {
        const char *lang, *notAnswering, *source;
    } languages[] = {{"en", " (not answering)", "Datasource: "},
                     {"de", " (antwortet nicht)", "Datenquelle: "}};
    const auto english = qScopeGuard([] { Language::apply("en"); });
    put(kNow.date(), 9, "Standup");
    for (const auto& language : languages) {
        SCOPED_TRACE(language.lang);
        settings.setLangCode(language.lang);
        Language::apply(language.lang);
        window->SetLanguageTexts();
        window->LoadView();
        settle();
        ASSERT_EQ(labelTexts(), QStringList{"Standup"});
        messages.clear();

        share.stall();
        window->LoadView(); // the heartbeat's look at the folder
        ASSERT_TRUE(QTest::qWaitFor([&] { return !service.answering(); }, 5000));
        EXPECT_EQ(source(), language.source + data.path().section('/', -1) + language.notAnswering);
        EXPECT_TRUE(staleLineShown());
        EXPECT_EQ(labelTexts(), QStringList{"Standup"}) << "the last known appointments stay";

        // Stepping on works: the view moves at once, whatever the share does.
        QTest::keyClick(window.get(), Qt::Key_Right);
        EXPECT_EQ(window->view().DayColumn(1)->datum(), kNow.date().addDays(1));
        QTest::keyClick(window.get(), Qt::Key_Left);
        EXPECT_EQ(labelTexts(), QStringList{"Standup"});

        // Changes are refused with a plain word, nothing is lost silently.
        window->findChild<QAction*>("mnu_appointment_new")->trigger();
        QTest::mouseClick(appointmentLabel(), Qt::RightButton);
        window->findChild<QMenu*>("mnu_popup_termin")->hide();
        window->findChild<QAction*>("mnu_popup_termin_del_yes")->trigger();
        ASSERT_EQ(messages.size(), 2);
        EXPECT_TRUE(messages[0].contains(data.path())) << messages[0].toStdString();
        EXPECT_EQ(share.callsFromOwner(), 0) << "the window's thread never touched the share";

        const QString meanwhile = put(kNow.date(), 14, "Written meanwhile");
        share.resume();
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
    put(kNow.date(), 9, "Standup");
    const QString huge = put(kNow.date(), 11, "Too long");
    TestFiles::writeBytes(huge, TestFiles::readBytes(huge) + "Text=" +
                                    QByteArray(ProfileCache::kMaxFileBytes, 'x') + "\r\n");
    window->LoadView(true);
    settle();
    EXPECT_EQ(labelTexts(), QStringList{"Standup"});
    ASSERT_TRUE(staleLineShown());
    EXPECT_EQ(window->findChild<QLabel*>("label_stale")->text(),
              "A file in the data folder cannot be read and is not shown: " + huge +
                  " (File too large)");
}

} // namespace
