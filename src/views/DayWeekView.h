#pragma once

#include "profile/DateParts.h"
#include "store/DaySource.h"
#include "views/ViewGeometry.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <utility>

class ClassDay;
class ClassTermin;
class DayColumnHost;
class GridKeyboard;
class PictureBox;
class QScrollBar;
class QWidget;
class Settings;

// The day or week view of the main window: the hour labels and one day column per shown day
// on pic_view, the day headers on picture_main, and the scroll bar. LoadView builds what
// changed since the last LoadView; what it paints stays until then. Lengths are twips.
class DayWeekView : public QObject {
    Q_OBJECT

public:
    struct Pictures {
        PictureBox* picture_main = nullptr; // the frame, with the day headers
        QWidget* pic_panel = nullptr;       // the visible part of the grid
        PictureBox* pic_view = nullptr;     // the grid itself
        QScrollBar* vscroll = nullptr;
    };
    using Clock = std::function<QDate()>;

    // days gives the appointments of each day shown; host lends the columns its label pool
    // and timers.
    DayWeekView(Settings& settings, DaySource days, DayColumnHost& host, Pictures pictures,
                Clock today);
    ~DayWeekView() override;

    // The day of date, or the week around it with the weekdays the settings show. Nothing is
    // laid out again when the days, their appointments, the settings, the sizes and today are
    // as before (the heartbeat's refresh of an unchanged view); when only some days'
    // appointments changed, only their columns are.
    void LoadView(const QDate& date, bool week);
    // Drops the day columns, which hand their labels back; the next LoadView builds anew.
    void ReleaseDayColumns();
    // Day columns laid out so far, for checks that a refresh did no needless work.
    int ColumnLayouts() const { return m_columnLayouts; }

    // The keyboard's focus in the grid, and the grid as a screen reader sees it.
    GridKeyboard& keyboard() const { return *m_keyboard; }
    QDate Today() const { return m_today(); }

    // True while the week view is shown: today's column is tinted.
    bool HighlightToday() const { return m_highlightToday; }
    int Rows() const { return m_rows; }
    // The hours the grid shows now.
    std::pair<TimeOfDay, TimeOfDay> ShownHours() const { return m_hours; }
    int RowHeight() const { return m_rowHeight; }
    // Columns 1 … DayColumnCount() of the view, left to right; nullptr outside.
    ClassDay* DayColumn(int index) const;
    int DayColumnCount() const;
    // The appointment behind a label's tag "column|position"; nullptr when the tag is
    // malformed or the view has changed since.
    TerminPtr FindAppointmentByTag(const QString& tag) const;
    // The day of the column a label's tag names; invalid for none.
    QDate DayOfTag(const QString& tag) const;
    // The time grid of the columns shown, for dragging appointment labels; column i of it is
    // DayColumn(i + 1).
    ViewGeometry::TimeGrid timeGrid() const;
    // Where the view's x = 0 lies inside picture_main.
    int headerOffsetX() const;

signals:
    // A press on the header of a day column.
    void HeaderClicked(const QDate& date);

private:
    struct Frame;
    // What a column shows of each appointment, to tell whether it changed.
    struct ShownAppointment {
        const ClassTermin* appointment = nullptr;
        TimeOfDay start;
        TimeOfDay end;
        int color = 0;
        QString text;
        bool operator==(const ShownAppointment&) const = default;
    };
    using ShownDay = QList<ShownAppointment>;
    static ShownDay shownDay(const QList<TerminPtr>& appointments);

    QList<QDate> daysOf(const QDate& date, bool week) const;
    // True when every column shows what shown says.
    bool shownUnchanged(const QList<ShownDay>& shown) const;
    Frame frameFor(const QList<QDate>& days, bool week) const;
    // The picture emptied to the grid's height, the scroll bar, the hour labels and the
    // header band.
    void drawFrame(int viewHeight, int panelHeight);
    QString headerText(const QDate& day, bool week, const ViewGeometry::ColumnSpan& span) const;
    void ScrollView();
    void showScrollBar(int viewHeight, int panelHeight);
    QList<ViewGeometry::HourLabel> hourLabels() const;
    void drawHourLabels();
    void drawHeader(const ClassDay& column, const QString& text);
    ClassDay* addColumn(int c, const QDate& date, int startX, int endX, int columnsHeight);
    void picture_main_MouseDown(int x, int y);
    void picture_main_MouseMove(int x, int y);
    void pic_view_MouseMove(int x);

    Settings& m_settings;
    DaySource m_days;
    DayColumnHost& m_host;
    Pictures m_pictures;
    Clock m_today;

    std::array<std::unique_ptr<ClassDay>, 9> m_dayColumns; // 1..7 used
    std::array<ShownDay, 9> m_shownDays;                   // what each column shows
    std::unique_ptr<Frame> m_frame;                        // of the view shown; none before
    std::unique_ptr<GridKeyboard> m_keyboard;
    int m_columnLayouts = 0;
    bool m_highlightToday = false;
    int m_rowHeight = 225;
    int m_rows = 0;
    int m_stripRows = 0; // of the all-day strip, as the busiest day shown needs
    // From the settings, widened to show every appointment of the days shown.
    std::pair<TimeOfDay, TimeOfDay> m_hours;
};
