// The tab strip: its header model (captions, spans, selection), the events of mouse and arrow
// keys in their order, and the few things only its pixels show.
#include "edit/ClassTabs.h"
#include "Drawing.h"
#include "ui/PictureBox.h"

#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QColor kFace(236, 236, 236);
const QColor kWhite(255, 255, 255);
const QColor kGrey(128, 128, 128);
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

class ClassTabsTest : public ::testing::Test {
public:
    void SetUp() override
    {
        box.setBackColor(kFace);
        box.resizeTwips(6000, 375); // 400 x 25 pixels
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        tabs.Bind(&box);
        const auto note = [this](const char* kind) {
            return [this, kind](const QString& caption, int index) {
                events << QString("%1(%2,%3)@%4")
                              .arg(kind, caption)
                              .arg(index)
                              .arg(tabs.SelectedIndex());
            };
        };
        QObject::connect(&tabs, &ClassTabs::Change, note("Change"));
        QObject::connect(&tabs, &ClassTabs::Click, note("Click"));
    }

    void addEditorHeaders()
    {
        tabs.AddHeader("Appointment", false, kBlack);
        tabs.AddHeader("Recurrence", false, kRed);
        tabs.AddHeader("Reminder", false, kBlack);
        tabs.AddHeader("Owner", false, kBlack);
    }

    int leftPixel(int index) const { return PictureBox::toPixels(tabs.Span(index).left); }
    int rightPixel(int index) const { return PictureBox::toPixels(tabs.Span(index).right) - 1; }
    int middlePixel(int index) const { return (leftPixel(index) + rightPixel(index)) / 2; }
    QColor at(int x, int y) { return box.grab().toImage().pixelColor(x, y); }

    // Whether a dotted line of that colour runs inside the header: a row with several such
    // pixels, never two side by side.
    bool dottedIn(int index, const QColor& colour)
    {
        const QImage image = box.grab().toImage();
        for (int y = 0; y < image.height(); ++y) {
            QString row;
            for (int x = leftPixel(index) + 3; x <= rightPixel(index) - 3; ++x)
                row += image.pixelColor(x, y) == colour ? '#' : '.';
            if (row.count('#') >= 4 && !row.contains("##"))
                return true;
        }
        return false;
    }

    void setFocus(bool on)
    {
        on ? box.setFocus() : box.clearFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return box.hasFocus() == on; }));
    }

    PictureBox box;
    ClassTabs tabs;
    QStringList events;
};

// One press on a header (kBeside: right of the last one) or a run of keys.
constexpr int kBeside = 9;
struct InputRow {
    int selected; // -1: an empty strip
    int press;
    Qt::MouseButton button;
    std::vector<Qt::Key> keys;
    const char* events;
    int selectedAfter;
};

class ClassTabsInput : public ClassTabsTest, public ::testing::WithParamInterface<InputRow> {};

// A press reports the new header while the old one is still selected; a key moves first.
// Events read "Change(caption,index)@<SelectedIndex inside the handler>".
const InputRow kInputs[] = {
    {0, 2, Qt::LeftButton, {}, "Change(Reminder,2)@0 Click(Reminder,2)@0", 2},
    {1, 3, Qt::RightButton, {}, "Change(Owner,3)@1 Click(Owner,3)@1", 3},
    {0, 0, Qt::LeftButton, {}, "Click(Appointment,0)@0", 0},
    {0, kBeside, Qt::LeftButton, {}, "", 0},
    {0, -1, {}, {Qt::Key_Right}, "Change(Recurrence,1)@1 Click(Recurrence,1)@1", 1},
    {1, -1, {}, {Qt::Key_Left}, "Change(Appointment,0)@0 Click(Appointment,0)@0", 0},
    {0, -1, {}, {Qt::Key_Left}, "", 0},
    {3, -1, {}, {Qt::Key_Right}, "", 3},
    {1, -1, {}, {Qt::Key_Up, Qt::Key_Down, Qt::Key_Tab}, "", 1},
    {-1, -1, {}, {Qt::Key_Right, Qt::Key_Left}, "", -1},
};

TEST_P(ClassTabsInput, RaiseTheirEventsInOrderAndMoveTheSelection)
{
    const InputRow& row = GetParam();
    if (row.selected >= 0)
        addEditorHeaders();
    tabs.setSelectedIndex(row.selected);
    if (row.press == kBeside) {
        const int past = PictureBox::toPixels(tabs.Span(3).right) + 5;
        ASSERT_LT(past, box.width());
        QTest::mouseClick(&box, row.button, Qt::NoModifier, QPoint(past, 10));
    } else if (row.press >= 0) {
        const ClassTabs::HeaderSpan span = tabs.Span(row.press);
        QTest::mouseClick(&box, row.button, Qt::NoModifier,
                          {PictureBox::toPixels((span.left + span.right) / 2), box.height() / 2});
    }
    for (Qt::Key key : row.keys)
        QTest::keyClick(&box, key);
    EXPECT_EQ(events.join(' '), row.events);
    EXPECT_EQ(tabs.SelectedIndex(), row.selectedAfter);
    EXPECT_TRUE(row.selectedAfter < 0 || at(middlePixel(row.selectedAfter), 0) == kWhite)
        << "drawn raised";
}

INSTANTIATE_TEST_SUITE_P(MouseAndKeys, ClassTabsInput, ::testing::ValuesIn(kInputs));

TEST_F(ClassTabsTest, TheSelectedTabRisesOpensIntoThePageAndHasADottedFrameDarkWithFocus)
{
    addEditorHeaders();
    setFocus(false);
    tabs.setSelectedIndex(1);
    const int baseline = box.height() - 1;
    EXPECT_EQ(at(middlePixel(1), 0), kWhite) << "highlight along the very top";
    EXPECT_EQ(at(middlePixel(1), baseline), kFace) << "no line under the selected tab";
    EXPECT_EQ(at(middlePixel(2), baseline), kWhite) << "the page edge runs under them";
    EXPECT_EQ(at(box.width() - 2, 5), kFace) << "nothing beside the headers";
    EXPECT_EQ(at(leftPixel(2), 12), kWhite) << "highlight left";
    EXPECT_EQ(at(rightPixel(2), 12), kGrey) << "shadow right";

    EXPECT_TRUE(dottedIn(1, kGrey));
    EXPECT_FALSE(dottedIn(0, kGrey)) << "only the selected caption is framed";
    setFocus(true);
    EXPECT_TRUE(dottedIn(1, kBlack));
    EXPECT_FALSE(dottedIn(1, kGrey));
    setFocus(false);
    EXPECT_FALSE(dottedIn(1, kBlack));
}

TEST_F(ClassTabsTest, CaptionsAreDrawnInTheirColour)
{
    addEditorHeaders();
    const auto reds = [&](int i) {
        return Drawing::countIn(
            box.grab().toImage(),
            QRect(QPoint(leftPixel(i), 0), QPoint(rightPixel(i), box.height() - 1)),
            [](const QColor& c) { return Drawing::near(c, kRed, 80); });
    };
    EXPECT_GT(reds(1), 10);
    EXPECT_EQ(reds(2), 0);
}

} // namespace
