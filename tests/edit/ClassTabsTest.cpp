// The tab strip: headers, selection by mouse and arrow keys with their events in order, and
// what the strip looks like.
#include "ClassTabs.h"
#include "PictureBox.h"
#include "Screenshots.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QColor kFace(236, 236, 236);
const QColor kWhite(255, 255, 255);
const QColor kGrey(128, 128, 128);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

class ClassTabsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        box.setBackColor(kFace);
        box.resizeTwips(6000, 375); // 400 x 25 pixels
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        tabs.Bind(&box);
    }

    void addEditorHeaders()
    {
        tabs.AddHeader("Appointment", false, kBlack);
        tabs.AddHeader("Recurrence", false, kRed);
        tabs.AddHeader("Reminder", false, kBlack);
        tabs.AddHeader("Owner", false, kBlack);
    }

    // A point inside a header, in pixels, for QTest.
    QPoint inside(int index) const
    {
        const ClassTabs::HeaderSpan span = tabs.Span(index);
        return {PictureBox::toPixels((span.left + span.right) / 2), box.height() / 2};
    }

    void pressOn(int index, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(&box, button, Qt::NoModifier, inside(index));
    }

    int leftPixel(int index) const { return PictureBox::toPixels(tabs.Span(index).left); }
    int rightPixel(int index) const { return PictureBox::toPixels(tabs.Span(index).right) - 1; }
    int middlePixel(int index) const { return (leftPixel(index) + rightPixel(index)) / 2; }

    QColor at(int x, int y) { return box.grab().toImage().pixelColor(x, y); }

    // The row of a dotted horizontal line of that colour inside the header, -1 when none:
    // several such pixels on the row and never two of them side by side.
    int dottedRowIn(int index, const QColor& colour)
    {
        const QImage image = box.grab().toImage();
        for (int y = 0; y < image.height(); ++y) {
            int dots = 0;
            bool adjacent = false;
            for (int x = leftPixel(index) + 3; x <= rightPixel(index) - 3; ++x) {
                if (image.pixelColor(x, y) != colour)
                    continue;
                ++dots;
                adjacent = adjacent || image.pixelColor(x + 1, y) == colour;
            }
            if (dots >= 4 && !adjacent)
                return y;
        }
        return -1;
    }

    // Text is smoothed, so its pixels are only near its colour.
    int countNear(int index, const QColor& colour)
    {
        const QImage image = box.grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = leftPixel(index); x <= rightPixel(index); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                count += std::abs(pixel.red() - colour.red()) < 80 &&
                         std::abs(pixel.green() - colour.green()) < 80 &&
                         std::abs(pixel.blue() - colour.blue()) < 80;
            }
        return count;
    }

    void loseFocus()
    {
        box.clearFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !box.hasFocus(); }));
    }

    PictureBox box;
    ClassTabs tabs;
};

TEST_F(ClassTabsTest, NewStripHasNoSelectionAndTheFirstHeaderSelectsItself)
{
    EXPECT_EQ(tabs.SelectedIndex(), -1);
    EXPECT_EQ(tabs.GetHeadercount(), 0);
    tabs.AddHeader("Appointment", false, kBlack);
    EXPECT_EQ(tabs.SelectedIndex(), 0);
    tabs.AddHeader("Recurrence", false, kRed);
    EXPECT_EQ(tabs.SelectedIndex(), 0) << "later headers leave the selection alone";
    EXPECT_EQ(tabs.GetHeadercount(), 2);
    EXPECT_EQ(tabs.Caption(1), "Recurrence");
}

TEST_F(ClassTabsTest, HeadersAreAsWideAsTheirCaptionPaddedWithThreeBlanks)
{
    tabs.AddHeader("Appointment", false, kBlack);
    tabs.AddHeader("Appointment", true, kBlack);
    box.setFontBold(false);
    const int plain = box.TextWidth("   Appointment   ");
    box.setFontBold(true);
    const int bold = box.TextWidth("   Appointment   ");
    ASSERT_GT(bold, plain);
    EXPECT_EQ(tabs.Span(0).left, 0);
    EXPECT_EQ(tabs.Span(0).right, plain);
    EXPECT_EQ(tabs.Span(1).left, plain) << "headers lie side by side";
    EXPECT_EQ(tabs.Span(1).right, plain + bold);
}

TEST_F(ClassTabsTest, HeadersAddedBeforeBindingAreMeasuredWhenBound)
{
    ClassTabs early;
    early.AddHeader("Print", false, kBlack);
    EXPECT_EQ(early.SelectedIndex(), 0);
    early.Bind(&box);
    box.setFontBold(false);
    EXPECT_EQ(early.Span(0).right, box.TextWidth("   Print   "));
}

TEST_F(ClassTabsTest, RenameWithAnEmptyCaptionKeepsTheCaption)
{
    addEditorHeaders();
    tabs.Rename(1, "", kBlack);
    EXPECT_EQ(tabs.Caption(1), "Recurrence");
    EXPECT_EQ(tabs.Colour(1), kBlack);
    EXPECT_FALSE(tabs.Bold(1));

    const int plainWidth = tabs.Span(1).right - tabs.Span(1).left;
    tabs.Rename(1, "", std::nullopt, true);
    EXPECT_TRUE(tabs.Bold(1));
    EXPECT_EQ(tabs.Colour(1), kBlack) << "a colour not given stays";
    EXPECT_GT(tabs.Span(1).right - tabs.Span(1).left, plainWidth) << "width follows boldness";
    EXPECT_EQ(tabs.Span(2).left, tabs.Span(1).right);

    tabs.Rename(1, "Repeat");
    EXPECT_EQ(tabs.Caption(1), "Repeat");
    EXPECT_TRUE(tabs.Bold(1));
    tabs.Rename(7, "Nowhere");
    EXPECT_EQ(tabs.GetHeadercount(), 4);
}

TEST_F(ClassTabsTest, RenamedColourIsDrawn)
{
    addEditorHeaders();
    EXPECT_GT(countNear(1, kRed), 10);
    tabs.Rename(1, "", kBlack);
    EXPECT_EQ(countNear(1, kRed), 0);
    tabs.Rename(2, "", kRed);
    EXPECT_GT(countNear(2, kRed), 10);
}

TEST_F(ClassTabsTest, SettingSelectedIndexIgnoresBadValuesAndRaisesNoEvent)
{
    addEditorHeaders();
    QSignalSpy change(&tabs, &ClassTabs::Change);
    QSignalSpy click(&tabs, &ClassTabs::Click);
    tabs.setSelectedIndex(2);
    EXPECT_EQ(tabs.SelectedIndex(), 2);
    EXPECT_EQ(at(middlePixel(2), 0), kWhite) << "the strip is redrawn with header 2 raised";
    tabs.setSelectedIndex(4);
    tabs.setSelectedIndex(-1);
    EXPECT_EQ(tabs.SelectedIndex(), 2);
    EXPECT_EQ(change.count(), 0);
    EXPECT_EQ(click.count(), 0);
}

TEST_F(ClassTabsTest, PressOnAnotherHeaderRaisesChangeThenClickBeforeSelecting)
{
    addEditorHeaders();
    QStringList order;
    int selectedSeenInChange = -2;
    int selectedSeenInClick = -2;
    QObject::connect(&tabs, &ClassTabs::Change, [&](const QString& caption, int index) {
        order << QString("Change %1 %2").arg(caption).arg(index);
        selectedSeenInChange = tabs.SelectedIndex();
    });
    QObject::connect(&tabs, &ClassTabs::Click, [&](const QString& caption, int index) {
        order << QString("Click %1 %2").arg(caption).arg(index);
        selectedSeenInClick = tabs.SelectedIndex();
    });

    pressOn(2);

    EXPECT_EQ(order, QStringList({"Change Reminder 2", "Click Reminder 2"}));
    EXPECT_EQ(selectedSeenInChange, 0) << "handlers still see the previous selection";
    EXPECT_EQ(selectedSeenInClick, 0);
    EXPECT_EQ(tabs.SelectedIndex(), 2);
    EXPECT_EQ(at(middlePixel(2), 0), kWhite);
    EXPECT_EQ(at(middlePixel(0), 0), kFace);
}

TEST_F(ClassTabsTest, PressOnTheSelectedHeaderRaisesClickOnly)
{
    addEditorHeaders();
    QSignalSpy change(&tabs, &ClassTabs::Change);
    QSignalSpy click(&tabs, &ClassTabs::Click);
    pressOn(0);
    EXPECT_EQ(change.count(), 0);
    ASSERT_EQ(click.count(), 1);
    EXPECT_EQ(click[0][0].toString(), "Appointment");
    EXPECT_EQ(click[0][1].toInt(), 0);
}

TEST_F(ClassTabsTest, AnyButtonSelectsAndPressesBesideTheHeadersDoNothing)
{
    addEditorHeaders();
    QSignalSpy change(&tabs, &ClassTabs::Change);
    QSignalSpy click(&tabs, &ClassTabs::Click);
    pressOn(3, Qt::RightButton);
    EXPECT_EQ(tabs.SelectedIndex(), 3);
    ASSERT_EQ(change.count(), 1);
    EXPECT_EQ(change[0][1].toInt(), 3);

    const int pastTheLast = PictureBox::toPixels(tabs.Span(3).right) + 5;
    ASSERT_LT(pastTheLast, box.width());
    QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, QPoint(pastTheLast, 10));
    EXPECT_EQ(tabs.SelectedIndex(), 3);
    EXPECT_EQ(change.count(), 1);
    EXPECT_EQ(click.count(), 1);
}

TEST_F(ClassTabsTest, ArrowKeysSelectFirstThenRaiseChangeAndClick)
{
    addEditorHeaders();
    QStringList order;
    QObject::connect(&tabs, &ClassTabs::Change, [&](const QString& caption, int index) {
        order << QString("Change %1 %2 seen %3").arg(caption).arg(index).arg(tabs.SelectedIndex());
    });
    QObject::connect(&tabs, &ClassTabs::Click, [&](const QString& caption, int index) {
        order << QString("Click %1 %2 seen %3").arg(caption).arg(index).arg(tabs.SelectedIndex());
    });

    QTest::keyClick(&box, Qt::Key_Right);
    EXPECT_EQ(order, QStringList({"Change Recurrence 1 seen 1", "Click Recurrence 1 seen 1"}));
    EXPECT_EQ(at(middlePixel(1), 0), kWhite) << "redrawn before the events";

    order.clear();
    QTest::keyClick(&box, Qt::Key_Left);
    EXPECT_EQ(order, QStringList({"Change Appointment 0 seen 0", "Click Appointment 0 seen 0"}));
}

TEST_F(ClassTabsTest, ArrowKeysStopAtEitherEndAndOtherKeysDoNothing)
{
    addEditorHeaders();
    QSignalSpy change(&tabs, &ClassTabs::Change);
    QSignalSpy click(&tabs, &ClassTabs::Click);
    QTest::keyClick(&box, Qt::Key_Left);
    EXPECT_EQ(tabs.SelectedIndex(), 0);
    QTest::keyClick(&box, Qt::Key_Up);
    QTest::keyClick(&box, Qt::Key_Tab);
    EXPECT_EQ(tabs.SelectedIndex(), 0);
    EXPECT_EQ(change.count(), 0);

    tabs.setSelectedIndex(3);
    QTest::keyClick(&box, Qt::Key_Right);
    EXPECT_EQ(tabs.SelectedIndex(), 3);
    EXPECT_EQ(change.count(), 0);
    EXPECT_EQ(click.count(), 0);
}

TEST_F(ClassTabsTest, ArrowKeysOnAnEmptyStripDoNothing)
{
    QSignalSpy click(&tabs, &ClassTabs::Click);
    QTest::keyClick(&box, Qt::Key_Right);
    QTest::keyClick(&box, Qt::Key_Left);
    EXPECT_EQ(tabs.SelectedIndex(), -1);
    EXPECT_EQ(click.count(), 0);
}

TEST_F(ClassTabsTest, SelectedTabRisesAboveTheOthersAndOpensIntoThePage)
{
    addEditorHeaders();
    tabs.setSelectedIndex(1);
    const int baseline = box.height() - 1;

    // Selected: highlight along the very top, no line under it.
    EXPECT_EQ(at(middlePixel(1), 0), kWhite);
    EXPECT_EQ(at(middlePixel(1), baseline), kFace);
    // Others: lower, with the page edge running under them.
    EXPECT_EQ(at(middlePixel(2), 0), kFace);
    EXPECT_EQ(at(middlePixel(2), 2), kWhite);
    EXPECT_EQ(at(middlePixel(2), baseline), kWhite);
    EXPECT_EQ(at(box.width() - 2, baseline), kWhite) << "the page edge spans the whole strip";

    // Three-dimensional edges: highlight on the left, shadow on the right.
    for (int index : {0, 1, 3}) {
        EXPECT_EQ(at(leftPixel(index), box.height() / 2), kWhite) << index;
        EXPECT_EQ(at(rightPixel(index), box.height() / 2), kGrey) << index;
    }
    EXPECT_EQ(at(box.width() - 2, 5), kFace) << "nothing is drawn beside the headers";
}

TEST_F(ClassTabsTest, OnlyTheSelectedCaptionIsFramedDotted)
{
    addEditorHeaders();
    loseFocus();
    tabs.setSelectedIndex(2);
    EXPECT_GE(dottedRowIn(2, kGrey), 0);
    EXPECT_EQ(dottedRowIn(0, kGrey), -1);
    EXPECT_EQ(dottedRowIn(3, kGrey), -1);
    Screenshots::save(&box, "tabs_editor");

    tabs.setSelectedIndex(0);
    EXPECT_GE(dottedRowIn(0, kGrey), 0);
    EXPECT_EQ(dottedRowIn(2, kGrey), -1);
}

TEST_F(ClassTabsTest, FrameDarkensWhileTheStripHasTheFocus)
{
    addEditorHeaders();
    loseFocus();
    pressOn(1); // a press focuses the strip
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.hasFocus(); }));
    EXPECT_GE(dottedRowIn(1, kBlack), 0);
    EXPECT_EQ(dottedRowIn(1, kGrey), -1);

    loseFocus();
    EXPECT_GE(dottedRowIn(1, kGrey), 0);
    tabs.setSelectedIndex(0);
    box.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return box.hasFocus(); }));
    EXPECT_GE(dottedRowIn(0, kBlack), 0);
    EXPECT_EQ(dottedRowIn(0, kGrey), -1);
    Screenshots::save(&box, "tabs_focused");

    loseFocus();
    EXPECT_GE(dottedRowIn(0, kGrey), 0);
    EXPECT_EQ(dottedRowIn(0, kBlack), -1);
}

TEST_F(ClassTabsTest, BoldHeadersAreDrawnBold)
{
    tabs.AddHeader("Day", true, kBlack);
    tabs.AddHeader("Day", false, kBlack);
    tabs.setSelectedIndex(1);
    loseFocus();
    EXPECT_GT(countNear(0, kBlack), countNear(1, kBlack) + 5);
    Screenshots::save(&box, "tabs_bold");
}

} // namespace
