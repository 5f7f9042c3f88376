// The printouts by person on a recording canvas: a day's lanes side by side under their
// people's names and colours, a week as a row per person, and the person filter.
#include "PrintFixture.h"
#include "print/Druck.h"
#include "print/PrintJob.h"
#include "print/RecordingCanvas.h"

namespace {

using Item = RecordingCanvas::Item;

TerminPtr appointment(const QDate& day, int from, int to, const QString& text, const QString& owner,
                      const QStringList& forUsers = {})
{
    auto a = std::make_shared<ClassTermin>();
    a->setDatum(day);
    a->setStartTime(TimeOfDay::fromHourMinute(from, 0));
    a->setEndTime(TimeOfDay::fromHourMinute(to, 0));
    a->setText(text);
    a->setColorCode(2);
    a->setProducer(owner);
    a->setForUsers(forUsers);
    return a;
}

// "text@x" of the texts in the font of this size and weight, x their centre or left edge.
QStringList textsAt(const RecordingCanvas& canvas, double pointSize, bool bold, bool centre)
{
    QStringList texts;
    for (const Item& t : canvas.itemsOf(Item::Text))
        if (t.font.pointSize == pointSize && t.font.bold == bold)
            texts << t.text + '@' + QString::number(centre ? t.x + t.w / 2 : t.x);
    return texts;
}

} // namespace

class PersonPrintoutTest : public PrintFixture {
protected:
    void SetUp() override
    {
        PrintFixture::SetUp();
        settings.setFirstWeekday(2);
        settings.setColor(2, 0x1e140a);
        settings.setTeamMembers({{"anna", "Anna Meier", 0xff}, {"ben", "", -1}});
        days[friday] = {appointment(friday, 9, 10, "Plan", "anna", {"ben"}),
                        appointment(friday, 9, 11, "Call", "anna"),
                        appointment(friday, 14, 15, "Visit", "carl")};
        days[friday.addDays(-3)] = {appointment(friday.addDays(-3), 8, 9, "Early", "ben")};
    }

    const QDate friday{2003, 7, 4};
    DaySnapshot days;
};

TEST_F(PersonPrintoutTest, TheDayHasALanePerPersonShownWithTheirAppointmentsSideBySide)
{
    const struct {
        QStringList persons;
        QStringList titles; // centred in the title bar
        QStringList fills;  // "x+w" of the appointments' boxes
    } cases[] = {
        // Lanes of (267 - 15) / 3 = 84 mm from x 30; Anna's two overlap, so half as wide.
        {{}, {"Anna Meier@72", "ben@156", "carl@240"}, {"30+42", "72+42", "114+84", "198+84"}},
        {{"ben"}, {"ben@156"}, {"30+252"}},
        {{"nobody"}, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.persons.join(',').toStdString());
        RecordingCanvas canvas({297, 210});
        ASSERT_TRUE(RunPrintJob(PrintJob::dayByPerson(friday, c.persons), canvas, DaysFrom(days),
                                settings));
        EXPECT_EQ(textsAt(canvas, 11, true, false), QStringList{"Friday, 2003-07-04@30"});
        const QStringList titles = textsAt(canvas, 12, false, true);
        EXPECT_EQ(titles, c.titles);
        QStringList fills, bands;
        for (const Item& fill : canvas.itemsOf(Item::Fill))
            (fill.color == QColor(10, 20, 30) ? fills : bands)
                << QString::number(fill.x) + '+' + QString::number(fill.w);
        EXPECT_EQ(fills, c.fills);
        EXPECT_EQ(bands.size(), c.titles.size()) << "a colour band per lane";
    }
    EXPECT_EQ(PrintJob::dayByPerson(friday).orientation(), QPageLayout::Landscape);
}

TEST_F(PersonPrintoutTest, TheWeekHasARowPerPersonAndAColumnPerDayShown)
{
    RecordingCanvas canvas({297, 210});
    ASSERT_TRUE(Druck(canvas, DaysFrom(days), settings).PrintWeekByPerson(friday, {}));
    // Rows of (180 - 7) / 3 from y 22, columns of (267 - 35) / 5 = 46.4 mm from x 50.
    QStringList cells;
    for (const Item& t : canvas.itemsOf(Item::Text)) {
        const int row = int((t.y - 22) / (173.0 / 3));
        const int column = int((t.x - 50) / 46.4);
        if (t.font.pointSize == 8)
            cells << QString("%1@%2,%3").arg(t.text).arg(row).arg(column);
        else if (t.font.pointSize == 10 && t.x < 50)
            cells << QString("%1@%2").arg(t.text).arg(row);
    }
    EXPECT_EQ(cells,
              (QStringList{"Anna Meier@0", "09:00 Plan@0,4", "09:00 Call@0,4", "ben@1",
                           "08:00 Early@1,1", "09:00 Plan@1,4", "carl@2", "14:00 Visit@2,4"}));
    const QStringList headers = textsAt(canvas, 10, true, true).filter("2003");
    EXPECT_EQ(headers.first(), "Mo, 2003-06-30@73.2");
    EXPECT_EQ(headers.size(), 5);
    EXPECT_EQ(textsAt(canvas, 11, true, false).value(0), "Week 27, 30 June \u2013 4 July 2003@15");
}
