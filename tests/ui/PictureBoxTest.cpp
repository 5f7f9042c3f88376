// The drawing surface: what is drawn lands where the twips say and survives a resize. Text,
// input in twips and keys are seen through the pickers and the tab strip.
#include "PictureBox.h"

#include <gtest/gtest.h>

namespace {

QColor at(PictureBox& box, int xTwips, int yTwips)
{
    return box.grab().toImage().pixelColor(PictureBox::toPixels(xTwips),
                                           PictureBox::toPixels(yTwips));
}

TEST(PictureBoxTest, PrimitivesDrawAtTheirTwipPositions)
{
    PictureBox box;
    box.resizeTwips(1500, 1500); // 100 x 100 pixels
    box.Cls();
    box.FillBox(150, 150, 600, 600, QColor(0, 0, 192));
    box.Line(0, 900, 1485, 900, Qt::red);
    box.Box(750, 1050, 1200, 1350, Qt::green);
    EXPECT_EQ(at(box, 300, 300), QColor(0, 0, 192));
    EXPECT_EQ(at(box, 750, 300), QColor(Qt::white));
    EXPECT_EQ(at(box, 30, 900), QColor(Qt::red));
    EXPECT_EQ(at(box, 750, 1050), QColor(Qt::green));
    EXPECT_EQ(at(box, 900, 1200), QColor(Qt::white)) << "an outline leaves the inside alone";
    box.resizeTwips(3000, 3000); // the drawing survives a resize and a repaint
    box.repaint();
    EXPECT_EQ(at(box, 300, 300), QColor(0, 0, 192));
    EXPECT_EQ(at(box, 2000, 2000), QColor(Qt::white));
    box.Cls();
    EXPECT_EQ(at(box, 300, 300), QColor(Qt::white));
}

} // namespace
