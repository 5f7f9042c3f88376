// The drawing surface: what is drawn lands where the twips say and survives repaints; input
// arrives in twips.
#include "PictureBox.h"
#include "Drawing.h"

#include <QSignalSpy>
#include <QTest>

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

TEST(PictureBoxTest, TextIsDrawnInTheForeColourAndMeasured)
{
    PictureBox box;
    box.resizeTwips(3000, 600);
    box.Cls();
    box.setForeColor(QColor(255, 0, 0));
    box.setFontBold(true);
    box.Print(30, 30, QStringLiteral("WWW"));
    const QImage image = box.grab().toImage();
    EXPECT_GT(Drawing::countIn(image, image.rect(),
                               [](const QColor& c) { return c.red() > 200 && c.green() < 80; }),
              20);
    EXPECT_GT(box.TextWidth("WWW"), box.TextWidth("W"));
    EXPECT_GT(box.TextHeight(), 0);
    EXPECT_EQ(box.TextWidth("W") % PictureBox::kTwipsPerPixel, 0);
}

TEST(PictureBoxTest, MouseAndKeysAreReportedInTwips)
{
    PictureBox box;
    box.resizeTwips(1500, 1500);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QSignalSpy down(&box, &PictureBox::MouseDown);
    QSignalSpy up(&box, &PictureBox::MouseUp);
    QSignalSpy keys(&box, &PictureBox::KeyDown);
    QSignalSpy chars(&box, &PictureBox::KeyPress);
    QTest::mouseClick(&box, Qt::RightButton, Qt::NoModifier, QPoint(10, 20));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(down[0][2].toInt(), 150);
    EXPECT_EQ(down[0][3].toInt(), 300);
    EXPECT_EQ(up.count(), 1);
    QTest::keyClick(&box, Qt::Key_Left);
    QTest::keyClick(&box, '+');
    ASSERT_EQ(keys.count(), 2);
    EXPECT_EQ(keys[0][0].toInt(), int(Qt::Key_Left));
    ASSERT_EQ(chars.count(), 1);
    EXPECT_EQ(chars[0][0].value<QChar>(), QChar('+'));
}

} // namespace
