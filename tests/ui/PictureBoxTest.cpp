// The drawing surface keeps what was drawn through a resize and a repaint. Where primitives,
// text and input land in twips is seen through the pickers and the tab strip.
#include "ui/PictureBox.h"

#include <gtest/gtest.h>

namespace {

TEST(PictureBoxTest, TheDrawingSurvivesAResizeAndClsClearsIt)
{
    PictureBox box;
    box.resizeTwips(1500, 1500); // 100 x 100 pixels
    box.Cls();
    box.FillBox(150, 150, 600, 600, QColor(0, 0, 192));
    const auto at = [&](int x, int y) { return box.grab().toImage().pixelColor(x, y); };
    EXPECT_EQ(at(20, 20), QColor(0, 0, 192));
    box.resizeTwips(3000, 3000);
    box.repaint();
    EXPECT_EQ(at(20, 20), QColor(0, 0, 192));
    EXPECT_EQ(at(150, 150), QColor(Qt::white));
    box.Cls();
    EXPECT_EQ(at(20, 20), QColor(Qt::white));
}

} // namespace
