#pragma once

// The drawn controls in a window, as their tests use them: the tab strip with the editor's
// headers, and the month sheet whose picks read "c:<date>" for a click, "h:<date>" for a change.
#include "Drawing.h"
#include "ui/ClassMonthDD.h"
#include "ui/ClassTabs.h"
#include "ui/PictureBox.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kWhite(255, 255, 255);
const QColor kFace(236, 236, 236);

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

class MonthSheetTest : public ::testing::Test, protected Drawing::DropDownHost {
protected:
    void SetUp() override
    {
        sheet.Bind(picture);
        const auto note = [this](const char* kind) {
            return [this, kind](const QDate& date) { events << kind + date.toString(Qt::ISODate); };
        };
        QObject::connect(&sheet, &ClassMonthDD::Click, note("c:"));
        QObject::connect(&sheet, &ClassMonthDD::Change, note("h:"));
    }

    void open(const QDate& selected, int firstday = 2, const QString& langcode = "en")
    {
        sheet.setSelectedDate(selected);
        sheet.setFirstday(firstday);
        sheet.setLangcode(langcode);
        sheet.Display();
    }

    QDate today{2025, 3, 12};
    ClassMonthDD sheet{[this] { return today; }};
    QStringList events;
};

} // namespace
