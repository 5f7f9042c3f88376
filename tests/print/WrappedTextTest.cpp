// Text set into a box on paper: where lines break, where they stand, and how many fit.
#include "print/WrappedText.h"

#include <gtest/gtest.h>

namespace {

// Every character 2 mm wide, as the recording canvas measures Arial 10.
double twoMmPerCharacter(const QString& text)
{
    return text.size() * 2.0;
}

QString placed(const QList<WrappedLine>& lines)
{
    QStringList shown;
    for (const WrappedLine& line : lines)
        shown << QStringLiteral("%1,%2 %3").arg(line.x).arg(line.y).arg(line.text);
    return shown.join(u'|');
}

} // namespace

TEST(WrappedTextTest, LinesBreakAndStandWhereTheRulesSay)
{
    const struct {
        const char* what;
        const char* text;
        double w;
        const char* lines;
        double h = 20, y = 10;
        TextAlign align = TextAlign::Left;
    } cases[] = {
        {"after the last space, dropped", "Budget meeting", 20, "5,10 Budget|5,14 meeting"},
        {"a hyphen stays on its line", "Jour-fixe today", 12, "5,10 Jour-|5,14 fixe|5,18 today"},
        {"full stop and comma break too", "Dr.Who,Room", 8, "5,10 Dr.|5,14 Who,|5,18 Room"},
        {"no break point: between characters", "Abcdefghij", 8, "5,10 Abcd|5,14 efgh|5,18 ij"},
        {"CR LF is a hard break", "Room 4\r\nBring slides", 100, "5,10 Room 4|5,14 Bring slides"},
        {"the first line on a whole millimetre", "Call", 20, "5,11 Call", 20, 10.6},
        {"right aligned", "abc  ", 20, "19,10 abc", 20, 10, TextAlign::Right},
        {"centred", "abc", 20, "12,10 abc", 20, 10, TextAlign::Centre},
        {"the first line even in a box too low", "Room 4\r\nBring", 100, "5,10 Room 4", 1},
        {"a line only while the next ends inside", "a\rb\rc\rd", 100, "5,10 a|5,14 b", 12},
        {"one more millimetre, one more line", "a\rb\rc\rd", 100, "5,10 a|5,14 b|5,18 c", 13},
        {"a comma between digits holds a number", "Total 1,200", 16, "5,10 Total|5,14 1,200"},
        {"so does a full stop", "Ver 2.50 x", 12, "5,10 Ver|5,14 2.50 x"},
        {"a comma after a number still breaks", "Room 4,Hall", 14, "5,10 Room 4,|5,14 Hall"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // 3.6 mm high lines are 4 mm apart.
        EXPECT_EQ(placed(WrapText(5, c.y, c.w, c.h, c.text, c.align, twoMmPerCharacter, 3.6)),
                  c.lines);
    }
}
