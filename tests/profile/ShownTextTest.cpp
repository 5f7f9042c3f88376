#include "profile/ShownText.h"

#include <gtest/gtest.h>

namespace {

TEST(ShownTextTest, CrLfALoneCrAndALoneLfEachEndALine)
{
    const struct {
        const char* text;
        QStringList lines;
        const char* first;
    } cases[] = {{"Budget\r\nRoom 4", {"Budget", "Room 4"}, "Budget..."},
                 {"Budget\rRoom 4", {"Budget", "Room 4"}, "Budget..."},
                 {"Budget\nRoom 4", {"Budget", "Room 4"}, "Budget..."},
                 {"Budget\n\rRoom 4", {"Budget", "", "Room 4"}, "Budget..."},
                 {"Budget\r\n", {"Budget", ""}, "Budget..."},
                 {"Budget", {"Budget"}, "Budget"},
                 {"", {""}, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QByteArray(c.text).toPercentEncoding().toStdString());
        EXPECT_EQ(textLines(c.text), c.lines);
        EXPECT_EQ(firstLine(c.text), c.first);
    }
}

TEST(ShownTextTest, DirectionControlsStayInsideTheLineThatOpensThem)
{
    const QChar lro(0x202D), rlo(0x202E), pdf(0x202C), rli(0x2067), fsi(0x2068), pdi(0x2069);
    const struct {
        const char* what;
        QString text;
        QString contained;
    } cases[] = {
        {"no controls: unchanged", "Budget\r\nRoom 4", "Budget\r\nRoom 4"},
        {"an override closed at the line end", QString("ab") + rlo + "cd\nef",
         QString("ab") + rlo + "cd" + pdf + "\nef"},
        {"nested ones closed innermost first", QString(lro) + "a" + fsi + "b",
         QString(lro) + "a" + fsi + "b" + pdi + pdf},
        {"closers without an opener dropped", QString(pdf) + pdi + "a" + pdf, "a"},
        {"a PDF cannot close across an isolate", QString(rlo) + rli + "a" + pdf,
         QString(rlo) + rli + "a" + pdi + pdf},
        {"a PDI closes what opened inside its isolate", QString(fsi) + rlo + "a" + pdi + "b",
         QString(fsi) + rlo + "a" + pdi + "b"},
        {"balanced ones stay", QString(rlo) + "a" + pdf + "b", QString(rlo) + "a" + pdf + "b"}};
    for (const auto& c : cases)
        EXPECT_EQ(bidiContained(c.text), c.contained) << c.what;
}

} // namespace
