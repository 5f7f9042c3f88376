#pragma once

#include "ui/AccessibleItem.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>

class PictureBox;

// One month drawn as a clickable grid on a picture: a header of weekday letters, up to six
// week rows of day numbers and a column of week numbers on the right. A click on a day or a
// week number selects it, redraws and reports it. The arrow keys, Page Up and Down, Home and
// End move the selection as clicks would (views/CalendarKeys.h); a screen reader sees the
// month as a table of days and weeks.
class Calendar : public QObject {
    Q_OBJECT

public:
    // Whether a date carries appointments (printed bold).
    using AppointmentSource = std::function<bool(const QDate&)>;
    // Whether the week view shows a weekday (1 = Sunday … 7 = Saturday).
    using WeekdayFilter = std::function<bool(int weekday)>;
    using Clock = std::function<QDate()>;

    static constexpr int kColumns = 8; // seven weekdays and the week numbers
    static constexpr int kWeekRows = 6;
    static constexpr int kWeekColumn = 7;

    explicit Calendar(QObject* parent = nullptr);
    ~Calendar() override;

    void Bind(PictureBox* picture);
    // Widens the selection to the week that holds SelectedDate; no event.
    void SelectWeek();
    void DrawAll();

    bool IsWeekSelected() const { return m_isWeekSelected; }
    void setIsWeekSelected(bool on) { m_isWeekSelected = on; }
    // The first day of the month shown.
    QDate ShowDate() const { return m_showDate; }
    void setShowDate(const QDate& date);
    QDate SelectedDate() const { return m_selectedDate; }
    void setSelectedDate(const QDate& date) { m_selectedDate = date; }

    void SetSettings(int firstday, const QString& langcode, int firstweek);
    void DisplayMonth(const QDate& show_date, const QDate& selected_date);

    // Where the bold marks come from; without a source no day is bold.
    void setAppointmentSource(AppointmentSource source);
    // The weekdays the week view shows; Monday to Friday until set.
    void setWeekViewDays(WeekdayFilter shown);
    // Today's date; the system date until set.
    void setClock(Clock today);

    // Day of the month in a cell (columns 0..6, 0 for empty) or the row's week number
    // (column 7, 0 for an empty row); rows 0..5.
    int MonthGrid(int column, int row) const;

    // Where a cell lies on the picture as last drawn, in twips; the same rectangles are drawn
    // and hit by clicks.
    struct CellRect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        // Bounds exclusive, so the 15-twip margins between cells do not react.
        bool contains(int x, int y) const { return x > left && x < right && y > top && y < bottom; }
    };
    CellRect cellRect(int column, int row) const;
    // Whether a cell shows as selected: the selected day, or in week mode the days of the
    // selected week that the week view shows and the week's number.
    bool IsCellSelected(int column, int row) const;

    // The month as a screen reader sees it: its cells, the selection, where the keyboard is.
    AccessibleItem describe() const;

signals:
    void DayClicked(QDate date);
    void WeekClicked(QDate firstDayOfWeek);
    void Display(QDate showDate);
    // A key took the selection into another month, which the calendar shows now; comes
    // before the DayClicked or WeekClicked of that key.
    void ShowDateMoved(QDate showDate);
    // A key the calendar has no use for, for the window to take.
    void UnusedKey(int key, Qt::KeyboardModifiers modifiers);

private:
    void computeCellSize();
    int textLeft(int column, const QString& text) const;
    void drawHeader();
    void drawGridLines();
    void BuildGrid();
    void DrawDays();
    void drawDayCell(int column, int row);
    void drawWeekCell(int row);
    QDate dateInCell(int column, int row) const;
    bool isInSelectedWeek(const QDate& date) const;
    bool isSelected(const QDate& date) const;
    void my_picture_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void my_picture_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The cell the keyboard is on: the selected day, or the selected week's number.
    bool isFocusCell(int column, int row) const;

    PictureBox* m_picture = nullptr;
    int m_firstday = 1;
    int m_firstweek = 1;
    QString m_langCode;
    bool m_isWeekSelected = false;
    QDate m_showDate;
    QDate m_selectedDate;
    int m_cellWidth = 0;
    int m_cellHeight = 0;
    std::array<QString, 8> m_dayLetters; // index 1 = Sunday … 7 = Saturday
    QString m_weekHeader;
    // [row][column]: columns 0..6 day of the month, column 7 the row's week number.
    std::array<std::array<int, kColumns>, kWeekRows> m_monthGrid{};
    std::array<QDate, kWeekRows> m_rowWeekStart; // first day of each row's week
    AppointmentSource m_hasAppointments;
    WeekdayFilter m_weekViewShows;
    Clock m_today;
};
