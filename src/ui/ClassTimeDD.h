#pragma once

#include "profile/DateParts.h"
#include "ui/AccessibleItem.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTime>

class PictureBox;

// The digital read-out under the clock face: hour and minute digits and, in 12-hour mode,
// "am" or "pm" (empty in 24-hour mode).
struct ClockReadout {
    QString hours;
    QString minutes;
    QString dayHalf;
};

// The 12-hour read-out keeps "00" after midnight and "12" at noon, as the time fields do.
ClockReadout clockReadout(TimeOfDay time, const QString& timeFormat);

// Drop-down time chooser: a clock face above a read-out with arrow buttons, drawn on a
// picture box of the appointment editor. Every step is reported at once by TimeChanged;
// Enter, Escape and the loss of focus only hide it. A screen reader sees a spin box whose
// value is the time as the fields write it.
class ClassTimeDD : public QObject {
    Q_OBJECT

public:
    static constexpr int kWidth = 945;
    static constexpr int kHeight = 1695;

    // What one arrow button, key or character does to the time.
    enum class Step { HourLater, HourEarlier, IntervalLater, IntervalEarlier };

    // Starts at the current time of day (whole minutes).
    explicit ClassTimeDD(QObject* parent = nullptr);
    // Starts at now (whole minutes); lets tests fix the starting time.
    explicit ClassTimeDD(QTime now, QObject* parent = nullptr);
    ~ClassTimeDD() override;

    TimeOfDay Time() const { return m_time; }
    void setTime(TimeOfDay time) { m_time = time; }
    // Minutes per minute step.
    int Interval() const { return m_interval; }
    void setInterval(int minutes) { m_interval = minutes; }
    // "12h" shows 12-hour digits with am/pm; anything else 24-hour digits.
    QString TimeFormat() const { return m_timeFormat; }
    void setTimeFormat(const QString& format) { m_timeFormat = format; }

    // Takes over the picture: white, hidden until Display.
    void Bind(PictureBox* picture);
    // Sizes, draws, shows and focuses the picture.
    void Display();

    AccessibleItem describe() const;

signals:
    void TimeChanged(TimeOfDay time);

private:
    void DrawClock();
    void drawFace();
    void drawHands(int hour, int minute);
    void drawReadout();
    void drawStepArrows();

    int minutesOf(Step step) const;
    void stepBy(Step step);
    void hide();

    void my_pic_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void my_pic_KeyPress(QChar character);
    void my_pic_LostFocus();
    void my_pic_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

    QPointer<PictureBox> my_pic;
    TimeOfDay m_time;
    int m_interval = 15;
    QString m_timeFormat = QStringLiteral("12h");
};
