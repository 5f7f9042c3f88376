// The days a series falls on, its RRULE text both ways, and the command line's words for it.
#include "calendar/RepeatRule.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

QString daysText(const QList<QDate>& days)
{
    QStringList words;
    for (const QDate& day : days)
        words << day.toString(Qt::ISODate);
    return words.join(QLatin1Char(' '));
}

TEST(RepeatRuleTest, EachKindFallsOnItsDaysAndWritesItsRuleBack)
{
    const struct {
        const char* rrule;
        QDate start;
        const char* days;         // the first five
        const char* written = ""; // empty: as read
    } cases[] = {
        {"FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH", QDate(2027, 1, 4),
         "2027-01-04 2027-01-07 2027-01-18 2027-01-21 2027-02-01"},
        {"FREQ=MONTHLY;BYDAY=2TU", QDate(2027, 1, 1),
         "2027-01-12 2027-02-09 2027-03-09 2027-04-13 2027-05-11"},
        {"FREQ=MONTHLY;BYDAY=-1FR", QDate(2027, 1, 1),
         "2027-01-29 2027-02-26 2027-03-26 2027-04-30 2027-05-28"},
        // A fifth Monday only in the months that have one.
        {"FREQ=MONTHLY;BYDAY=5MO", QDate(2027, 1, 1),
         "2027-03-29 2027-05-31 2027-08-30 2027-11-29 2028-01-31"},
        {"FREQ=MONTHLY", QDate(2027, 1, 31),
         "2027-01-31 2027-03-31 2027-05-31 2027-07-31 2027-08-31"},
        {"FREQ=YEARLY", QDate(2024, 2, 29),
         "2024-02-29 2028-02-29 2032-02-29 2036-02-29 2040-02-29"},
        // Across the change to summer time; four times and no more.
        {"FREQ=DAILY;INTERVAL=3;COUNT=4", QDate(2027, 3, 26),
         "2027-03-26 2027-03-29 2027-04-01 2027-04-04"},
        {"FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR;UNTIL=20270108", QDate(2027, 1, 6),
         "2027-01-06 2027-01-07 2027-01-08"},
        {"FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR", QDate(2027, 1, 8),
         "2027-01-08 2027-01-11 2027-01-12 2027-01-13 2027-01-14",
         "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR"},
        {"FREQ=YEARLY;INTERVAL=2;BYMONTH=11;BYDAY=4TH", QDate(2026, 11, 1),
         "2026-11-26 2028-11-23 2030-11-28 2032-11-25 2034-11-23"},
        {"FREQ=MONTHLY;INTERVAL=3;COUNT=3", QDate(2027, 1, 15), "2027-01-15 2027-04-15 2027-07-15"},
        {"freq=weekly;wkst=mo;until=20270120T225959Z", QDate(2027, 1, 6),
         "2027-01-06 2027-01-13 2027-01-20", "FREQ=WEEKLY;UNTIL=20270120"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rrule);
        const auto rule = RepeatRule::fromRRule(QString::fromLatin1(c.rrule), c.start);
        ASSERT_TRUE(rule);
        EXPECT_EQ(daysText(rule->occurrences(c.start, {2099, 1, 1}, 5)), QLatin1String(c.days));
        EXPECT_EQ(rule->rrule(), QLatin1String(*c.written ? c.written : c.rrule));
    }
}

TEST(RepeatRuleTest, RulesBeyondWhatASeriesHoldsAreRefused)
{
    for (const char* rrule :
         {"FREQ=HOURLY", "FREQ=MONTHLY;BYDAY=MO", "FREQ=WEEKLY;BYSETPOS=1", "FREQ=WEEKLY;COUNT=0",
          "FREQ=DAILY;INTERVAL=100", "FREQ=YEARLY;BYDAY=20MO", "FREQ=WEEKLY;COUNT=2;UNTIL=20270101",
          "FREQ=MONTHLY;BYMONTHDAY=1,15", "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH;WKST=SU",
          "FREQ=WEEKLY;UNTIL=20200101", "garbage", ""}) {
        SCOPED_TRACE(rrule);
        EXPECT_FALSE(RepeatRule::fromRRule(QString::fromLatin1(rrule), {2027, 1, 6}));
    }
}

TEST(RepeatRuleTest, AWindowFarFromTheStartHoldsTheSameDaysAsTheWholeList)
{
    // Whatever the rule, asking for a window gives the days of the whole list inside it; the
    // last day and the plain kinds agree with the list.
    QRandomGenerator random(51);
    for (int run = 0; run < 400; ++run) {
        RepeatRule rule;
        rule.unit = RepeatRule::Unit(random.bounded(4));
        rule.interval = 1 + random.bounded(random.bounded(2) ? 3 : 99);
        rule.start = QDate(2020, 1, 1).addDays(random.bounded(1500));
        for (int day = 1; rule.unit == RepeatRule::Unit::Week && day <= 7; ++day) {
            if (random.bounded(3) == 0)
                rule.weekdays << day;
        }
        if ((rule.unit == RepeatRule::Unit::Month || rule.unit == RepeatRule::Unit::Year) &&
            random.bounded(2)) {
            rule.nth = random.bounded(6) == 5 ? RepeatRule::kLast : 1 + random.bounded(5);
            rule.weekdays = {1 + int(random.bounded(7))};
        }
        rule.end = RepeatRule::End(random.bounded(3));
        if (rule.end == RepeatRule::End::Until)
            rule.until = rule.start.addDays(random.bounded(4000));
        if (rule.end == RepeatRule::End::Count)
            rule.count = 1 + random.bounded(60);
        ASSERT_TRUE(rule.isValid()) << rule.rrule().toStdString();
        SCOPED_TRACE(rule.rrule().toStdString() + " from " + rule.start.toString().toStdString());
        const QList<QDate> all = rule.occurrences(rule.start, {2040, 1, 1});
        const QDate from = rule.start.addDays(random.bounded(3000));
        const QDate to = from.addDays(random.bounded(900));
        QList<QDate> inside;
        std::copy_if(all.cbegin(), all.cend(), std::back_inserter(inside),
                     [&](const QDate& day) { return day >= from && day <= to; });
        EXPECT_EQ(rule.occurrences(from, to), inside);
        const bool wholeList =
            (rule.end == RepeatRule::End::Count && all.size() == rule.count) ||
            (rule.end == RepeatRule::End::Until && rule.until < QDate(2040, 1, 1));
        if (wholeList && !all.isEmpty()) {
            EXPECT_EQ(rule.lastDay(), all.last());
        }
        EXPECT_EQ(RepeatRule::fromRRule(rule.rrule(), rule.start), rule);
        for (const QDate& day : inside.mid(0, 3))
            EXPECT_TRUE(rule.fallsOn(day));
    }
}

TEST(RepeatRuleTest, TheCommandLinesWordsNameUnitsWeekdaysAndTheNthDay)
{
    using Unit = RepeatRule::Unit;
    EXPECT_EQ(RepeatRule::everyOf(u"week"), std::pair(Unit::Week, 1));
    EXPECT_EQ(RepeatRule::everyOf(u"2weeks"), std::pair(Unit::Week, 2));
    EXPECT_EQ(RepeatRule::everyOf(u"99years"), std::pair(Unit::Year, 99));
    for (const char16_t* bad : {u"days", u"0days", u"100days", u"2fortnights", u""})
        EXPECT_FALSE(RepeatRule::everyOf(bad)) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(RepeatRule::weekdaysOf(u"mon-fri"), QList<int>({1, 2, 3, 4, 5}));
    EXPECT_EQ(RepeatRule::weekdaysOf(u"thu,mon,Mon"), QList<int>({1, 4}));
    for (const char16_t* bad : {u"fri-mon", u"mon-", u"monday", u"", u"mon-wed-fri"})
        EXPECT_FALSE(RepeatRule::weekdaysOf(bad)) << QString::fromUtf16(bad).toStdString();
    EXPECT_EQ(RepeatRule::nthOf(u"last-fri"), std::pair(RepeatRule::kLast, 5));
    EXPECT_EQ(RepeatRule::nthOf(u"2tue"), std::pair(2, 2));
    for (const char16_t* bad : {u"5mon", u"0mon", u"last-", u"first-mon"})
        EXPECT_FALSE(RepeatRule::nthOf(bad)) << QString::fromUtf16(bad).toStdString();
}

} // namespace
