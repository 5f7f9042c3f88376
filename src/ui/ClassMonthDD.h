#pragma once

#include "ui/AccessibleItem.h"

#include <QDate>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

class PictureBox;

// Drop-down month sheet for picking a date, drawn on a picture box of the appointment editor.
// "<<" and ">>" page through the months, a click between them returns to the current month,
// and a click on a day reports it (Click, then Change when it differs from the selection) and
// closes the sheet. The keyboard walks a framed day (the arrows, Page Up and Down, Home, End)
// that Enter or Space picks as a click would; Escape and the loss of focus close it without a
// choice. A screen reader sees the month as a table of days.
class ClassMonthDD : public QObject {
    Q_OBJECT

public:
    static constexpr int kWidth = 2750;
    static constexpr int kHeight = 2580;

    using TodayFunction = std::function<QDate()>;

    explicit ClassMonthDD(QObject* parent = nullptr);
    // today answers the current date whenever the sheet needs it; tests fix it.
    explicit ClassMonthDD(TodayFunction today, QObject* parent = nullptr);
    ~ClassMonthDD() override;

    // "de" for German names, anything else English.
    QString langcode() const { return m_langcode; }
    void setLangcode(const QString& code) { m_langcode = code; }
    // A date in the month shown.
    QDate ShowDate() const { return m_showDate; }
    void setShowDate(const QDate& date) { m_showDate = date; }
    QDate SelectedDate() const { return m_selectedDate; }
    void setSelectedDate(const QDate& date) { m_selectedDate = date; }
    // First column of the sheet, 1 = Sunday … 7 = Saturday.
    int firstday() const { return m_firstday; }
    void setFirstday(int weekday) { m_firstday = weekday; }

    // Takes over the picture: white, sized, hidden until Display.
    void Bind(PictureBox* picture);
    // Opens the sheet on the month of SelectedDate, framed, and focuses it.
    void Display();
    // The framed day, which Enter picks.
    QDate Cursor() const { return m_cursor; }

    // The sheet as a screen reader sees it: the month, its days and the chosen one.
    AccessibleItem describe() const;

signals:
    void Click(const QDate& date);
    void Change(const QDate& date);

private:
    static constexpr int kNoDay = 0;

    void SetNames();
    QString title() const;
    void DrawMonth();
    void drawTitle();
    void drawHeader();
    void drawDay(int day, QPoint cell);
    void drawHoverFrame(QPoint cell);

    // The day whose cell of the last drawing holds the point, or kNoDay.
    int dayAt(int x, int y) const;
    void showMonthOf(const QDate& date);
    void moveCursor(const QDate& date);
    void pickDay(int day);
    void hide();

    void my_pic_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void my_pic_LostFocus();
    void my_pic_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void my_pic_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

    QPointer<PictureBox> my_pic;
    TodayFunction m_today;
    QString m_langcode = QStringLiteral("en");
    QDate m_showDate;
    QDate m_selectedDate;
    int m_firstday = 2;
    // Index 1 = Sunday … 7 = Saturday and 1 = January … 12 = December.
    QStringList day_names;
    QStringList month_names;
    // Top left of each day's cell in the last drawing (index = day of month); x < 0 when the
    // day was not drawn.
    std::array<QPoint, 32> m_dayCells;
    // Framed by the mouse or the keys; always a day of the month shown.
    QDate m_cursor;
};
