#include "DayWeekView.h"

#include "ClassDay.h"
#include "Common.h"
#include "PictureBox.h"
#include "Settings.h"
#include "TextTools.h"
#include "ViewGeometry.h"

#include <QScrollBar>

namespace {

// Twips of picture_main: the header band, its outline, the line of its text and how far down
// a press or the pointer counts as on the headers.
constexpr int kHeaderTop = 60;
constexpr int kHeaderBottom = 360;
constexpr int kHeaderOutlineBottom = 345;
constexpr int kHeaderCleared = 390;
constexpr int kHeaderText = 135;
constexpr int kHeaderHotZone = 300;
constexpr int kMinuteLabels = 230;

} // namespace

DayWeekView::DayWeekView(Settings& settings, DaySource days, AppointmentEditing& editing,
                         DayColumnHost& host, Pictures pictures, Clock today)
    : m_settings(settings)
    , m_days(std::move(days))
    , m_editing(editing)
    , m_host(host)
    , m_pictures(pictures)
    , m_today(std::move(today))
{
    connect(m_pictures.vscroll, &QScrollBar::valueChanged, this, &DayWeekView::ScrollView);
    connect(m_pictures.picture_main, &PictureBox::MouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
                picture_main_MouseDown(x, y);
            });
    connect(m_pictures.picture_main, &PictureBox::MouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y) {
                picture_main_MouseMove(x, y);
            });
    connect(m_pictures.pic_view, &PictureBox::MouseMove, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, int x, int) { pic_view_MouseMove(x); });
}

DayWeekView::~DayWeekView()
{
    ReleaseDayColumns();
}

void DayWeekView::ReleaseDayColumns()
{
    for (auto& column : m_dayColumns)
        column.reset();
}

ClassDay* DayWeekView::DayColumn(int index) const
{
    return index >= 1 && index <= 7 ? m_dayColumns[size_t(index)].get() : nullptr;
}

int DayWeekView::DayColumnCount() const
{
    int count = 0;
    for (int c = 1; c <= 7; ++c)
        count += m_dayColumns[size_t(c)] != nullptr;
    return count;
}

int DayWeekView::headerOffsetX() const
{
    return PictureBox::toTwips(m_pictures.pic_view->x() + m_pictures.pic_panel->x());
}

ClassTermin* DayWeekView::FindAppointmentByTag(const QString& tag) const
{
    const QStringList parts = SplitText(tag, QStringLiteral("|"));
    if (parts.size() < 2)
        return nullptr;
    bool columnOk = false;
    bool positionOk = false;
    const int column = parts[0].toInt(&columnOk);
    const int position = parts[1].toInt(&positionOk);
    ClassDay* day = columnOk && positionOk ? DayColumn(column) : nullptr;
    return day ? day->Appointment(position) : nullptr;
}

void DayWeekView::LoadView(const QDate& date, bool week)
{
    PictureBox* view = m_pictures.pic_view;
    PictureBox* frame = m_pictures.picture_main;
    ReleaseDayColumns();
    // The days shown, and the hours that show every appointment of them.
    QList<QDate> days;
    if (week) {
        const QDate weekStart = StartOfWeek(date, m_settings.FirstWeekday());
        for (int i = 0; i < 7; ++i)
            if (m_settings.ShowWeek(Weekday(weekStart.addDays(i))))
                days << weekStart.addDays(i);
    } else {
        days << date;
    }
    QList<TerminPtr> shown;
    for (const QDate& day : std::as_const(days))
        shown += m_days(day);
    m_hours = ClassDay::ShownHours(m_settings.GridStartTime(), m_settings.GridEndTime(), shown);
    m_rows = ViewGeometry::Rows(m_hours.first, m_hours.second, m_settings.GridMinutes());
    const int panelHeight = PictureBox::toTwips(m_pictures.pic_panel->height());
    m_rowHeight = ViewGeometry::RowHeight(panelHeight, m_rows);
    const int viewHeight = m_rowHeight * m_rows + ViewGeometry::kGridMargin;
    view->resize(view->width(), PictureBox::toPixels(viewHeight));
    view->Cls();
    showScrollBar(viewHeight, panelHeight);

    view->setForeColor(Qt::black);
    drawHourLabels();

    frame->FillBox(headerOffsetX(), kHeaderTop, frame->ScaleWidth(), kHeaderCleared, Qt::white);
    const int viewWidth = view->ScaleWidth();
    const QStringList dayNames = DayNames(m_settings.LangCode());
    const QString dateFormat = m_settings.DateFormat();

    if (week) {
        m_highlightToday = true;
        const int n = int(days.size());
        int c = 0;
        for (const QDate& d : std::as_const(days)) {
            ++c;
            const ViewGeometry::ColumnSpan span = ViewGeometry::WeekColumn(viewWidth, n, c);
            ClassDay* column = addColumn(c, d, span.startX, span.endX, viewHeight);
            const QString text = ViewGeometry::WeekHeader(
                dayNames[Weekday(d)], FormatDate(d, dateFormat), FormatDateNoYear(d, dateFormat),
                span.endX - span.startX, [frame](const QString& t) { return frame->TextWidth(t); });
            drawHeader(*column, text);
        }
    } else {
        ClassDay* column =
            addColumn(1, date, ViewGeometry::kTimeLabelColumn, viewWidth - 15, viewHeight);
        m_highlightToday = false;
        drawHeader(*column,
                   dayNames[Weekday(date)] + QStringLiteral(", ") + FormatDate(date, dateFormat));
    }
}

ClassDay* DayWeekView::addColumn(int c, const QDate& date, int startX, int endX, int viewHeight)
{
    auto column = std::make_unique<ClassDay>(m_days, m_settings, &m_editing, &m_host, m_today);
    column->Bind(m_pictures.pic_view);
    column->setDatum(date);
    column->setStartX(startX);
    column->setEndX(endX);
    column->setStartY(0);
    column->setEndY(viewHeight - ViewGeometry::kColumnBottomMargin);
    column->setHours(m_hours.first, m_hours.second);
    column->LoadAppointments(true);
    column->DisplayAppointments(c);
    m_dayColumns[size_t(c)] = std::move(column);
    return m_dayColumns[size_t(c)].get();
}

void DayWeekView::showScrollBar(int viewHeight, int panelHeight)
{
    QScrollBar* vscroll = m_pictures.vscroll;
    const ViewGeometry::Scroll scroll =
        ViewGeometry::ScrollFor(viewHeight, panelHeight, m_rowHeight);
    if (!scroll.enabled) {
        if (vscroll->isEnabled()) {
            vscroll->setValue(0);
            vscroll->setEnabled(false);
        }
        vscroll->setRange(0, 0);
    } else {
        // The value stays, so a refresh does not jump back to the top.
        vscroll->setRange(0, scroll.maximum);
        vscroll->setPageStep(scroll.largeChange);
        vscroll->setSingleStep(std::max(1, scroll.smallChange));
        vscroll->setEnabled(true);
    }
    ScrollView();
}

void DayWeekView::ScrollView()
{
    PictureBox* view = m_pictures.pic_view;
    view->move(view->x(), -m_pictures.vscroll->value());
}

void DayWeekView::drawHourLabels()
{
    PictureBox* view = m_pictures.pic_view;
    const auto labels = ViewGeometry::HourLabels(m_hours.first, m_rows, m_settings.GridMinutes(),
                                                 m_settings.TimeFormat());
    for (const ViewGeometry::HourLabel& label : labels) {
        const int y = m_rowHeight * label.row;
        if (!label.hour.isEmpty()) {
            view->Print(0, y, label.hour);
            if (!label.dayHalf.isEmpty())
                view->Print(0, y + m_rowHeight, label.dayHalf);
        }
        view->Print(kMinuteLabels, y, label.minutes);
    }
}

void DayWeekView::drawHeader(const ClassDay& column, const QString& text)
{
    PictureBox* frame = m_pictures.picture_main;
    const int offX = headerOffsetX();
    const int left = int(column.StartX()) + offX;
    const int right = int(column.EndX()) + offX;
    const bool isToday = column.datum() == m_today();
    const QColor band = m_highlightToday && isToday ? QColor(234, 234, 255) : QColor(246, 246, 246);
    frame->FillBox(left, kHeaderTop, right, kHeaderBottom, band);
    frame->setForeColor(isToday ? QColor(255, 0, 0) : QColor(0, 0, 255));
    frame->Print((left + right) / 2 - frame->TextWidth(text) / 2, kHeaderText, text);
    frame->Box(left, kHeaderTop, right, kHeaderOutlineBottom, Qt::black);
}

void DayWeekView::picture_main_MouseDown(int x, int y)
{
    if (y >= kHeaderHotZone)
        return;
    const int offX = headerOffsetX();
    for (int c = 1; c <= 7 && m_dayColumns[size_t(c)]; ++c) {
        const ClassDay& column = *m_dayColumns[size_t(c)];
        if (column.StartX() + offX < x && x < column.EndX() + offX) {
            emit HeaderClicked(column.datum());
            return;
        }
    }
}

void DayWeekView::picture_main_MouseMove(int x, int y)
{
    // The hand in both modes, although only the week view reacts to a press there.
    const bool overHeader =
        y < kHeaderHotZone && x > headerOffsetX() + ViewGeometry::kTimeLabelColumn;
    m_pictures.picture_main->setCursor(overHeader ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void DayWeekView::pic_view_MouseMove(int x)
{
    m_pictures.pic_view->setCursor(x >= ViewGeometry::kTimeLabelColumn ? Qt::CrossCursor
                                                                       : Qt::ArrowCursor);
}
