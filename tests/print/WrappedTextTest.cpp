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
    return shown.join(QStringLiteral(" | "));
}

} // namespace

TEST(WrappedTextTest, LinesBreakAndStandWhereTheRulesSay)
{
    const struct {
        const char* what;
        const char* text;
        double y, w, h;
        const char* lines;
        TextAlign align = TextAlign::Left;
    } cases[] = {
        {"after the last space, which is dropped", "Budget meeting", 10, 20, 20,
         "5,10 Budget | 5,14 meeting"},
        {"a hyphen stays at the end of its line", "Jour-fixe today", 10, 12, 20,
         "5,10 Jour- | 5,14 fixe | 5,18 today"},
        {"full stop and comma break too", "Dr.Who,Room", 10, 8, 20,
         "5,10 Dr. | 5,14 Who, | 5,18 Room"},
        {"no break point: between characters", "Abcdefghij", 10, 8, 20,
         "5,10 Abcd | 5,14 efgh | 5,18 ij"},
        {"CR LF is a hard break", "Room 4\r\nBring slides", 10, 100, 20,
         "5,10 Room 4 | 5,14 Bring slides"},
        {"the first line on a whole millimetre", "Call", 10.6, 20, 20, "5,11 Call"},
        {"right aligned", "abc  ", 10, 20, 20, "19,10 abc", TextAlign::Right},
        {"centred", "abc", 10, 20, 20, "12,10 abc", TextAlign::Centre},
        {"the first line even in a box lower than a line", "Room 4\r\nBring", 10, 100, 1,
         "5,10 Room 4"},
        {"a line only while the next would still end inside", "a\rb\rc\rd", 10, 100, 12,
         "5,10 a | 5,14 b"},
        {"one more millimetre, one more line", "a\rb\rc\rd", 10, 100, 13,
         "5,10 a | 5,14 b | 5,18 c"},
        {"a comma between digits holds a number together", "Total 1,200", 10, 16, 20,
         "5,10 Total | 5,14 1,200"},
        {"so does a full stop", "Ver 2.50 x", 10, 12, 20, "5,10 Ver | 5,14 2.50 x"},
        {"a comma after a number still breaks", "Room 4,Hall", 10, 14, 20,
         "5,10 Room 4, | 5,14 Hall"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // 3.6 mm high lines are 4 mm apart.
        EXPECT_EQ(placed(WrapText(5, c.y, c.w, c.h, c.text, c.align, twoMmPerCharacter, 3.6)),
                  c.lines);
    }
}
