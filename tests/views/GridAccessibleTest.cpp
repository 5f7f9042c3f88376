// What a screen reader is told of the grid's appointments and days, in both languages.
#include "views/GridAccessible.h"
#include "settings/Language.h"

#include <QScopeGuard>

#include <gtest/gtest.h>

namespace {

TerminPtr appointment(const QString& text, const QString& file, bool reminder)
{
    auto a = std::make_shared<ClassTermin>();
    a->setDatum(QDate(2026, 12, 7));
    a->setStartTime(TimeOfDay::fromHourMinute(9, 0));
    a->setEndTime(TimeOfDay::fromHourMinute(10, 30));
    a->setText(text);
    a->setProducer(QStringLiteral("anna"));
    a->setIsReminder(reminder);
    a->setFilename(file);
    return a;
}

TEST(GridAccessibleTest, AppointmentsAreReadWithTimesTextOwnerReminderAndRepetition)
{
    const auto english = qScopeGuard([] { Language::apply(QStringLiteral("en")); });
    const TerminPtr planning = [] {
        auto a = std::const_pointer_cast<ClassTermin>(appointment(
            QStringLiteral("Quarterly planning\r\nRoom B"), "/f/y2026/m12/d7/1.nv3", true));
        a->setAttendees({"ATTENDEE;CN=Ben;PARTSTAT=ACCEPTED:mailto:ben@example.org"});
        return TerminPtr(a);
    }();
    const TerminPtr standUp = [] {
        auto a = std::const_pointer_cast<ClassTermin>(appointment(
            QStringLiteral("Stand-up"), QStringLiteral("/f/recurring/wd2/2.nv3"), false));
        a->setForUsers({QStringLiteral("ben"), QStringLiteral("carla")});
        a->setIsPrivate(true);
        a->setRooms({QStringLiteral("Room 2"), QStringLiteral("Beamer")});
        a->setLocation(QStringLiteral("Hall 2"));
        a->setCategories({QStringLiteral("Board")});
        a->setOwnZone("America/New_York", QDateTime({2026, 12, 7}, {3, 0}, Qt::UTC),
                      QDateTime({2026, 12, 7}, {4, 30}, Qt::UTC));
        return TerminPtr(a);
    }();
    struct Case {
        const char* lang;
        TerminPtr appointment;
        const char* name;
        const char* description;
    };
    const Case cases[] = {
        {"en", planning, "09:00 - 10:30, Quarterly planning",
         "Room B; owner anna; Attendees: Ben (accepted); with reminder"},
        {"en", standUp, "09:00 - 10:30 (03:00 - 04:30 New York), Stand-up",
         "owner anna; for ben, carla; private; rooms Room 2, Beamer; at Hall 2; categories Board; "
         "repeats weekly"},
        {"de", planning, "09:00 - 10:30, Quarterly planning",
         "Room B; Besitzer anna; Teilnehmer: Ben (zugesagt); mit Erinnerung"},
        {"de", standUp, "09:00 - 10:30 (03:00 - 04:30 New York), Stand-up",
         "Besitzer anna; für ben, carla; privat; Räume Room 2, Beamer; Ort Hall 2; Kategorien "
         "Board; wiederholt sich wöchentlich"},
    };
    for (const Case& c : cases) {
        Language::apply(QLatin1String(c.lang));
        const GridAccessible::Texts texts{QLatin1String(c.lang), QStringLiteral("24h"), {}};
        EXPECT_EQ(GridAccessible::appointmentName(*c.appointment, texts), c.name) << c.lang;
        EXPECT_EQ(GridAccessible::appointmentDescription(*c.appointment, texts), c.description)
            << c.lang;
    }
    // Of another folder shown, the folder is named.
    Language::apply(QStringLiteral("en"));
    const GridAccessible::Texts shown{
        "en",
        "24h",
        {{"/f/", "/f", "f", Qt::red, true}, {"/team/", "/team", "team", Qt::blue, false}}};
    const TerminPtr team = appointment("Team day", "/team/y2026/m12/d7/3.nv3", false);
    EXPECT_EQ(GridAccessible::appointmentDescription(*team, shown), "owner anna; calendar team");
    EXPECT_EQ(GridAccessible::appointmentDescription(*standUp, shown),
              "owner anna; for ben, carla; private; rooms Room 2, Beamer; at Hall 2; categories "
              "Board; repeats weekly");
}

TEST(GridAccessibleTest, EachDayIsAListOfItsShownAppointmentsAndTheFocusIsMarked)
{
    const TerminPtr a =
        appointment(QStringLiteral("A"), QStringLiteral("/f/y2026/m12/d7/1.nv3"), false);
    const TerminPtr hidden =
        appointment(QStringLiteral("B"), QStringLiteral("/f/y2026/m12/d7/2.nv3"), false);
    const QList<GridAccessible::Column> columns = {
        {QDate(2026, 12, 7),
         QRect(0, 0, 100, 400),
         {{a, QRect(10, 50, 80, 40)}, {hidden, QRect()}},
         true},
        {QDate(2026, 12, 8), QRect(100, 0, 100, 400), {}, false},
    };
    const GridAccessible::Texts texts{QStringLiteral("en"), QStringLiteral("24h"), {}};
    const AccessibleItem onA = GridAccessible::describe(columns, texts, {0, 0, {}, {}});
    ASSERT_EQ(onA.children.size(), 2);
    EXPECT_EQ(onA.children[0].name, "Monday, 7 December 2026");
    EXPECT_EQ(onA.children[0].description, "today, 1 appointment") << "the hidden one is not read";
    EXPECT_EQ(onA.children[0].role, QAccessible::List);
    ASSERT_EQ(onA.children[0].children.size(), 1);
    EXPECT_EQ(onA.children[0].children[0].rect, QRect(10, 50, 80, 40));
    EXPECT_TRUE(onA.children[0].children[0].state.focused);

    const AccessibleItem onStep = GridAccessible::describe(
        columns, texts, {1, -1, QStringLiteral("11:00"), QRect(100, 90, 100, 20)});
    ASSERT_EQ(onStep.children[1].children.size(), 1);
    EXPECT_EQ(onStep.children[1].children[0].name, "11:00");
    EXPECT_EQ(onStep.children[1].children[0].description, "free");
    EXPECT_TRUE(onStep.children[1].children[0].state.focused);
    EXPECT_FALSE(onStep.children[0].children[0].state.focused);
}

} // namespace
