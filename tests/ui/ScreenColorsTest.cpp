// The screen's colour rule: a light desktop keeps the calendar's own colours; a dark one gets
// them from its palette, appointments in their hue but dark, every text readable.
#include "ui/ScreenColors.h"

#include <gtest/gtest.h>

namespace {

const QColor kBase(35, 35, 35);
const QColor kText(230, 230, 230);
const QColor kHighlight(38, 79, 120);

ScreenColors dark()
{
    QPalette palette;
    palette.setColor(QPalette::Base, kBase);
    palette.setColor(QPalette::Text, kText);
    palette.setColor(QPalette::Highlight, kHighlight);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    return ScreenColors(palette);
}

ScreenColors light()
{
    QPalette palette;
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Highlight, kHighlight);
    return ScreenColors(palette);
}

TEST(ScreenColorsTest, ALightDesktopKeepsTheCalendarsOwnColours)
{
    const ScreenColors colors = light();
    EXPECT_FALSE(colors.isDark());
    for (const QColor& c : {QColor(232, 243, 255), QColor(224, 224, 224), QColor(0, 0, 192),
                            QColor(255, 255, 223), QColor(0, 0, 128)}) {
        EXPECT_EQ(colors.adapt(c), c);
        EXPECT_EQ(colors.legible(c, Qt::white), c);
        EXPECT_EQ(colors.selection(c), c);
        EXPECT_EQ(colors.appointment(c), c);
        EXPECT_EQ(colors.onAppointment(c), QColor(Qt::black)) << "as always, dark fills too";
    }
    EXPECT_EQ(colors.litEdge(), QColor(Qt::white));
}

TEST(ScreenColorsTest, ADarkDesktopTurnsColoursRoundItsPalette)
{
    const ScreenColors colors = dark();
    EXPECT_TRUE(colors.isDark());
    EXPECT_EQ(colors.paper(), kBase);
    EXPECT_EQ(colors.ink(), kText);
    EXPECT_EQ(colors.selection(QColor(0, 0, 192)), kHighlight);
    EXPECT_EQ(colors.onSelection(Qt::white), QColor(Qt::white));

    // A pale fill goes dark in its own hue; a dark text goes light enough to read.
    const QColor todayFill = colors.adapt(QColor(232, 243, 255));
    EXPECT_LT(todayFill.lightness(), 80);
    EXPECT_NEAR(todayFill.hslHue(), QColor(232, 243, 255).hslHue(), 2);
    for (const QColor& accent : {QColor(0, 0, 192), QColor(255, 0, 0), QColor(0, 0, 0)})
        EXPECT_GE(ScreenColors::contrast(colors.legible(accent, todayFill), todayFill),
                  ScreenColors::kReadable)
            << accent.name().toStdString();
}

TEST(ScreenColorsTest, AppointmentsOnADarkDesktopKeepTheirHueUnderReadableText)
{
    const ScreenColors colors = dark();
    const QColor fills[] = {
        QColor(255, 255, 223), QColor(255, 230, 230), QColor(207, 254, 253), QColor(198, 226, 255),
        QColor(217, 255, 217), QColor(255, 255, 128), QColor(239, 239, 239), kBase,
        QColor(0, 0, 128)};
    for (const QColor& fill : fills) {
        const QColor shown = colors.appointment(fill);
        EXPECT_LE(ScreenColors::luminance(shown), 0.1) << fill.name().toStdString();
        if (fill.hslSaturation() > 0) {
            EXPECT_NEAR(shown.hslHue(), fill.hslHue(), 3) << fill.name().toStdString();
        }
        EXPECT_GE(ScreenColors::contrast(colors.onAppointment(shown), shown),
                  ScreenColors::kReadable)
            << fill.name().toStdString();
    }
    EXPECT_EQ(colors.appointment(kBase), kBase) << "already dark: as it is";
    EXPECT_NE(colors.appointment(fills[0]), colors.appointment(fills[1])) << "still told apart";
}

} // namespace
