#pragma once

// Looking at drawn components: points in twips as the pickers lay them out, colour tests on
// pixels, a text printed alone to compare with what a component printed, and a window for a
// drop-down. Header only: the tests that include it link the drawing surface.
#include "ui/PictureBox.h"

#include <QDate>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <tuple>
#include <vector>

namespace Drawing {

inline QPoint pixelAt(QPoint twips)
{
    return {PictureBox::toPixels(twips.x()), PictureBox::toPixels(twips.y())};
}

// Top left of the month sheet's cell in row 1..6 and column 1..7, in twips.
inline const auto monthCell = [](int row, int column) {
    return QPoint((column - 1) * 380 + 30, (row + 1) * 300 + 60);
};
inline const auto monthCellCentre = [](int row, int column) {
    return monthCell(row, column) + QPoint(190, 150);
};

// The centre of a day's cell on a sheet whose first column is firstday (1 = Sunday).
inline QPoint dayCentre(const QDate& date, int firstday)
{
    const int weekdayOfFirst = QDate(date.year(), date.month(), 1).dayOfWeek() % 7 + 1;
    const int slot = (weekdayOfFirst - firstday + 7) % 7 + date.day() - 1;
    return monthCellCentre(slot / 7 + 1, slot % 7 + 1);
}

inline const auto isInk = [](const QColor& c) {
    return c.red() < 110 && c.green() < 110 && c.blue() < 110;
};

// Smoothed text and edges only come near their colour.
inline bool near(const QColor& a, const QColor& b, int tolerance = 8)
{
    return std::abs(a.red() - b.red()) < tolerance && std::abs(a.green() - b.green()) < tolerance &&
           std::abs(a.blue() - b.blue()) < tolerance;
}

inline int countIn(const QImage& image, const QRect& pixels,
                   const std::function<bool(const QColor&)>& test)
{
    int count = 0;
    for (int x = pixels.left(); x <= pixels.right(); ++x)
        for (int y = pixels.top(); y <= pixels.bottom(); ++y)
            count += test(image.pixelColor(x, y));
    return count;
}

// Texts as `like` would print them centred at x from top, alone on a blank picture of that size.
inline QImage printedAlone(const PictureBox& like,
                           const std::vector<std::tuple<int, int, QString>>& texts, bool bold)
{
    PictureBox reference;
    reference.resizeTwips(like.ScaleWidth(), like.ScaleHeight());
    reference.setDrawFont(like.drawFont());
    reference.setFontBold(bold);
    reference.Cls();
    for (const auto& [x, top, text] : texts)
        reference.Print(x - reference.TextWidth(text) / 2, top, text);
    return reference.image();
}

// A window holding a drop-down's picture and a field the focus can leave to.
struct DropDownHost {
    DropDownHost()
    {
        host.resize(300, 250);
        elsewhere->move(200, 0);
        host.show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&host));
    }
    QWidget host;
    PictureBox* picture = new PictureBox(&host);
    QLineEdit* elsewhere = new QLineEdit(&host);
};

// Opens the drop-down three times; Enter, Escape and leaving each close it.
inline void expectEnterEscapeAndLeavingClose(DropDownHost& h, const std::function<void()>& open)
{
    EXPECT_FALSE(h.picture->isVisible()) << "hidden until Display";
    const std::function<void()> closings[] = {
        [&] { QTest::keyClick(h.picture, Qt::Key_Return); },
        [&] { QTest::keyClick(h.picture, Qt::Key_Escape); },
        [&] { h.elsewhere->setFocus(); },
    };
    for (const auto& close : closings) {
        open();
        ASSERT_TRUE(h.picture->isVisible());
        ASSERT_TRUE(h.picture->hasFocus());
        close();
        EXPECT_FALSE(h.picture->isVisible());
    }
}

} // namespace Drawing
