// Several days as one: what an edit of a span writes and deletes, decided without a file.
#include "store/SpanDays.h"
#include "TestFiles.h"
#include "settings/Language.h"
#include "store/AppointmentCopy.h"
#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"

#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDate kMonday(2026, 3, 16);

// The span Monday 14:00 to Thursday 11:00 as its four files "/d16" .. "/d19".
QList<TerminPtr> trip()
{
    ClassTermin a;
    a.setText("Trip\r\nto Lyon");
    a.setStartTime(TimeOfDay::fromMinutes(14 * 60));
    a.setEndTime(TimeOfDay::fromMinutes(11 * 60));
    QList<TerminPtr> files;
    for (ClassTermin day : SpanDays::daysOf({a, kMonday, kMonday.addDays(3), "trip"})) {
        day.setFilename(QString("/d%1").arg(day.datum().day()));
        files.append(std::make_shared<const ClassTermin>(day));
    }
    return files;
}

// "16 14:00-24:00 Trip (day 1 of 4) </d16>" for each write, then "-/d17" for each removal.
QString described(const SpanDays::Plan& plan)
{
    QStringList lines;
    for (const SpanDays::Write& w : plan.write)
        lines << QString("%1 %2-%3 %4 <%5>%6")
                     .arg(w.day.datum().day())
                     .arg(w.day.StartTime().minutes() / 60)
                     .arg(w.day.EndTime().minutes() / 60)
                     .arg(w.day.Text().section("\r\n", 0, 0), w.replaces,
                          w.day.isSpanDay() ? " span" : "");
    for (const QString& path : plan.remove)
        lines << '-' + path;
    return lines.join(", ");
}

TEST(SpanDaysTest, AnEditOfOneDayActsOnTheWholeSpan)
{
    const QList<TerminPtr> files = trip();
    const SpanDays::Shape before = *SpanDays::shapeOf(files);
    const auto until = [&before](int day) {
        SpanDays::Shape s = before;
        s.until = QDate(2026, 3, day);
        return s;
    };
    ClassTermin dragged = *files[1];
    dragged.setDatum(kMonday.addDays(2));
    dragged.setStartTime(TimeOfDay::fromMinutes(9 * 60));
    dragged.setEndTime(TimeOfDay::fromMinutes(10 * 60));
    dragged.setText("Meeting (day 2 of 4)\r\nto Lyon");
    const struct {
        const char* name;
        std::optional<SpanDays::Shape> wanted;
        const char* expected;
    } cases[] = {
        {"moved by two days", SpanDays::moved(before, 2),
         "18 14-24 Trip (day 1 of 4) </d18> span, 19 0-24 Trip (day 2 of 4) </d19> span, "
         "20 0-24 Trip (day 3 of 4) <> span, 21 0-11 Trip (day 4 of 4) <> span, -/d16, -/d17"},
        {"shortened", until(17),
         "16 14-24 Trip (day 1 of 2) </d16> span, 17 0-11 Trip (day 2 of 2) </d17> span, "
         "-/d18, -/d19"},
        {"lengthened", until(20),
         "16 14-24 Trip (day 1 of 5) </d16> span, 17 0-24 Trip (day 2 of 5) </d17> span, "
         "18 0-24 Trip (day 3 of 5) </d18> span, 19 0-24 Trip (day 4 of 5) </d19> span, "
         "20 0-11 Trip (day 5 of 5) <> span"},
        {"down to one day", until(16), "16 14-11 Trip </d16>, -/d17, -/d18, -/d19"},
        {"one day deleted", std::nullopt, "-/d16, -/d17, -/d18, -/d19"},
        {"its second day dragged to Wednesday 9-10 and retitled",
         SpanDays::edited(before, *files[1], dragged),
         "17 14-24 Meeting (day 1 of 4) </d17> span, 18 0-24 Meeting (day 2 of 4) </d18> span, "
         "19 0-24 Meeting (day 3 of 4) </d19> span, 20 0-11 Meeting (day 4 of 4) <> span, -/d16"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(described(SpanDays::plan(files, c.wanted)).toStdString(), c.expected) << c.name;
    EXPECT_EQ(before.appointment.Text(), "Trip\r\nto Lyon");
    EXPECT_EQ(before.id, "trip");
    const ClassTermin copy = AppointmentCopy::of(*files[1], kMonday, "me");
    EXPECT_TRUE(!copy.isSpanDay() && copy.Text() == "Trip\r\nto Lyon") << "a copy is a day alone";
}

TEST(SpanDaysTest, TheDayMarkComesOffInEitherLanguageAndNothingElseDoes)
{
    Language::apply("de");
    const auto english = qScopeGuard([] { Language::apply("en"); });
    EXPECT_EQ(SpanDays::markedText("Trip", 2, 4), "Trip (Tag 2 von 4)");
    for (const char* text : {"Trip (day 2 of 4)\r\nto Lyon", "Trip (Tag 2 von 4)"})
        EXPECT_EQ(SpanDays::unmarkedText(text).section("\r\n", 0, 0), "Trip") << text;
    EXPECT_EQ(SpanDays::unmarkedText("Trip (day two)"), "Trip (day two)");
    EXPECT_EQ(SpanDays::idFor("event@example.org"), "event@example.org");
    EXPECT_TRUE(SpanDays::idFor(QString(300, 'u')).startsWith("sha1:"));
}

TEST(SpanDaysTest, AnAppointmentWhoseEndDayIsLaterIsFiledAsItsDays)
{
    QTemporaryDir folder;
    ProfileCache profiles(ThreadFileAccess());
    DataAccess store(profiles, StoreSource::fixed(folder.path()));
    ClassTermin a = *trip().first();
    a.setFilename({});
    a.setText("Trip");
    a.setEndTime(TimeOfDay::fromMinutes(11 * 60));
    a.setSpan("new", kMonday, kMonday.addDays(2));
    ASSERT_TRUE(AppointmentFiling(store).File(a).ok);
    QStringList days;
    for (int n = 0; n < 4; ++n)
        for (const TerminPtr& day : store.GetAppointmentsOfDay(kMonday.addDays(n)))
            days << QString("%1 %2-%3 %4 %5")
                        .arg(day->datum().day())
                        .arg(day->StartTime().minutes() / 60)
                        .arg(day->EndTime().minutes() / 60)
                        .arg(day->Text(), day->SpanUntil().toString("dd"));
    EXPECT_EQ(days, (QStringList{"16 14-24 Trip (day 1 of 3) 18", "17 0-24 Trip (day 2 of 3) 18",
                                 "18 0-11 Trip (day 3 of 3) 18"}));
    EXPECT_EQ(DataAccess::DayOfOneTimeFile(a.filename()), kMonday);
}

} // namespace
