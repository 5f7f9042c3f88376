#pragma once

#include "ui/HeartbeatPause.h"

#include "store/ClassTermin.h"
#include "store/DaySource.h"
#include "views/FolderMarks.h"

#include <QColor>
#include <QDate>
#include <QFont>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class DayColumnHost;
class PictureBox;
class QLabel;
class Settings;

// One day of the day or week view: loads the day's appointments, puts overlapping ones side
// by side, paints its part of the shared view picture with one label per appointment, and
// lets the user drag out a time range for a new appointment. Where the appointments go is
// DayLayout's, as for the printouts. All lengths are twips.
class ClassDay : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<QDate()>;

    // Left of the appointment labels: the border and the strip of the selection bar.
    static constexpr int kBorder = 15;
    static constexpr int kSelectionStrip = 120;
    // Above the first grid line.
    static constexpr int kTopMargin = 60;
    static constexpr int kMaxGridLines = 101;
    // The height of an appointment of no length: a thin box at its time, one small line.
    static constexpr int kThinBox = 180;

    static const QColor kTodayColor;
    static const QColor kGridColor;
    static const QColor kSelectionColor;

    // days gives the appointments of a day; host lends the labels and the window's heartbeat
    // and hears of a dragged-out time range (it may be null). today is the system date unless
    // given.
    ClassDay(DaySource days, Settings& settings, DayColumnHost* host, Clock today = {},
             QObject* parent = nullptr);
    // Hands every borrowed label back, last first.
    ~ClassDay() override;

    ClassDay(const ClassDay&) = delete;
    ClassDay& operator=(const ClassDay&) = delete;

    const QDate& datum() const { return m_datum; }
    void setDatum(const QDate& date) { m_datum = date; }
    double StartX() const { return m_startX; }
    void setStartX(double x) { m_startX = x; }
    double StartY() const { return m_startY; }
    void setStartY(double y) { m_startY = y; }
    double EndX() const { return m_endX; }
    void setEndX(double x) { m_endX = x; }
    double EndY() const { return m_endY; }
    void setEndY(double y) { m_endY = y; }

    // The hours the grid shows: the settings' day start and end unless the view widened them
    // (DayLayout::shownHours).
    void setHours(TimeOfDay start, TimeOfDay end) { m_hours = {start, end}; }
    // Rows of the all-day strip above the hours: the view's, for every column alike; unless
    // set, as many as the day needs (DayLayout::stripRows).
    void setStripRows(int rows) { m_stripRows = rows; }
    // Where the first grid line lies: below the top margin and the strip.
    double FirstLineY() const;
    const QList<TerminPtr>& appointments() const { return m_appointments; }

    // The picture the column draws on; its mouse events now reach the column.
    void Bind(PictureBox* picture);
    // Takes the day from the day source and assigns the columns; with_labels borrows one label
    // per appointment plus the two of the mouse selection from the host.
    void LoadAppointments(bool with_labels);
    // 1-based; nullptr outside 1..count, so a tag from an older view finds nothing.
    TerminPtr Appointment(int index) const;
    // Where the label of appointment index (1-based) lies on the grid, in pixels; empty while
    // it is not shown.
    QRect LabelRect(int index) const;
    // Paints the column and places the labels, tagged "column_index|position".
    void DisplayAppointments(int column_index);

    int GetAppointmentCount() const { return int(m_appointments.size()); }
    // The layout column of each appointment, in the order of appointments() (DayLayout).
    const QList<int>& columns() const { return m_columns; }

    // Height of one grid slot as last laid out; 0 when the day has no room.
    double SlotHeight() const { return m_slotHeight; }
    bool IsSelecting() const { return m_selecting; }

    // The lines of text that fit into box in font: broken at word boundaries, and ending in
    // an ellipsis where something had to be left out (a word too long for a line, too many
    // lines); a box narrower than the ellipsis gets the ellipsis alone.
    static QStringList FittedLines(const QString& text, const QFont& font, const QSize& box);

private:
    // Grid line k of the current layout: where it lies and which time it stands for.
    struct GridLine {
        int k = 0;
        double y = 0;
        TimeOfDay time;
    };

    int gridMinutes() const;
    int stripRows() const;
    TimeOfDay dayStart() const;
    TimeOfDay dayEnd() const;
    bool isInside(double x, double y) const;
    bool isPastDayEnd(int minutes) const;
    std::optional<GridLine> FindGridLine(double y) const;
    bool isHighlightedToday() const;

    void paintColumn();
    void placeLabel(QLabel* label, int column_index, int position, const ClassTermin& a,
                    const QRectF& box);
    void releaseLabels();
    void showSelectionStart(const GridLine& line);
    void hideSelection();

    void my_pic_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void my_pic_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void my_pic_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    DaySource m_days;
    Settings& m_settings;
    HeartbeatPause::Holder m_dragPause; // while a selection is dragged
    DayColumnHost* m_host;
    Clock m_today;

    QDate m_datum;
    double m_startX = 0;
    double m_startY = 0;
    double m_endX = 0;
    double m_endY = 0;

    QPointer<PictureBox> my_pic;
    QList<TerminPtr> m_appointments;
    QList<int> m_columns;        // beside m_appointments: the records are shared with other views
    QList<FolderMark> m_folders; // shown when the day was taken, to mark other folders' files
    std::optional<std::pair<TimeOfDay, TimeOfDay>> m_hours;
    std::optional<int> m_stripRows;
    // One per appointment, then the selection bar and the range text.
    QList<QPointer<QLabel>> m_labels;
    QPointer<QLabel> marker_label;
    QPointer<QLabel> range_label;

    double m_slotHeight = 0;
    bool m_selecting = false;
    TimeOfDay sel_start;
    TimeOfDay sel_end;
    double m_markerTop = 0;
};
