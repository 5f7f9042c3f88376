// The agenda list as values: which days get a heading, the order of a day's lines, a
// recurring appointment on each of its days, in both languages and time formats.
#include "layout/AgendaLayout.h"
#include "TestDays.h"

#include <gtest/gtest.h>

namespace {

// Monday 7 July 2003 and the 14th: a recurring "Jour fixe" of anna's; Wednesday the 9th
// (today): 15:00, 08:00, all day and 13:30 (two lines) given out of order; the 17th lies
// beyond the ten days asked for.
QList<TerminPtr> july(const QDate& date)
{
    const auto texted = [](QList<TerminPtr> day, QStringList texts) {
        for (qsizetype i = 0; i < day.size(); ++i)
            std::const_pointer_cast<ClassTermin>(day[i])->setText(texts.value(i));
        return day;
    };
    if (date == QDate(2003, 7, 7) || date == QDate(2003, 7, 14)) {
        QList<TerminPtr> day = texted(dayOf("9:30-10/4"), {"Jour fixe"});
        std::const_pointer_cast<ClassTermin>(day[0])->setIsRecurring(true);
        std::const_pointer_cast<ClassTermin>(day[0])->setProducer("anna");
        return day;
    }
    if (date == QDate(2003, 7, 9))
        return texted(dayOf("15-16 8-9/3 0-24/2 13:30-14"),
                      {"Review", "Standup", "Holiday", "Lunch\r\nat noon"});
    if (date == QDate(2003, 7, 17))
        return texted(dayOf("10-11"), {"Away"});
    return {};
}

QStringList shown(const QList<AgendaLayout::Group>& groups, const QString& lang)
{
    QStringList lines;
    for (const AgendaLayout::Group& g : groups) {
        lines << g.heading + (g.today ? "*" : "");
        for (const AgendaLayout::Line& l : g.lines)
            lines << "  " + l.time + '|' + l.text + '|' + l.owner + '|' +
                         QString::number(l.colorCode) +
                         (l.repeats ? QString('|' + AgendaLayout::repeatsText(lang)) : QString());
    }
    return lines;
}

TEST(AgendaLayoutTest, GroupsDaysOrdersTheirLinesAndFollowsTheSettings)
{
    const struct {
        QString time;
        QString lang;
        QString dateFormat;
        QStringList lines;
    } rows[] = {
        {"24h",
         "en",
         "mm/dd/yyyy",
         {"Monday, 07/07/2003", "  09:30 - 10:00|[>>] Jour fixe|anna|4|repeats",
          "Wednesday, 07/09/2003*", "  all day|Holiday||2", "  08:00 - 09:00|Standup||3",
          "  13:30 - 14:00|Lunch||1", "  15:00 - 16:00|Review||1", "Monday, 07/14/2003",
          "  09:30 - 10:00|[>>] Jour fixe|anna|4|repeats"}},
        {"12h",
         "de",
         "tt.mm.jjjj",
         {"Montag, 07.07.2003", "  09:30 am - 10:00 am|[>>] Jour fixe|anna|4|wiederholt sich",
          "Mittwoch, 09.07.2003*", "  ganztägig|Holiday||2", "  08:00 am - 09:00 am|Standup||3",
          "  01:30 pm - 02:00 pm|Lunch||1", "  03:00 pm - 04:00 pm|Review||1", "Montag, 14.07.2003",
          "  09:30 am - 10:00 am|[>>] Jour fixe|anna|4|wiederholt sich"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE((row.time + ' ' + row.lang).toStdString());
        AgendaLayout::Input input;
        input.days = july;
        input.from = {2003, 7, 7};
        input.count = 10;
        input.today = {2003, 7, 9};
        input.timeFormat = row.time;
        input.dateFormat = row.dateFormat;
        input.langCode = row.lang;
        EXPECT_EQ(shown(AgendaLayout::layOut(input), row.lang), row.lines);
    }
    EXPECT_TRUE(
        AgendaLayout::layOut({july, {2003, 7, 1}, 5, {}, "24h", "yyyy-mm-dd", "en"}).isEmpty());
}

} // namespace
