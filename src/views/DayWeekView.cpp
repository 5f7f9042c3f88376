#include "views/DayWeekView.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "calendar/Weeks.h"
#include "layout/DayLayout.h"
#include "profile/TextTools.h"
#include "settings/Settings.h"
#include "ui/PictureBox.h"
#include "ui/ScreenColors.h"
#include "views/ClassDay.h"
#include "views/FolderMarks.h"
#include "views/GridKeyboard.h"
#include "views/ViewGeometry.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPointer>
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

// Labels shown or hidden one by one on a visible grid cost Qt a look at every sibling each
// at the next paint: with thousands that is seconds. Beyond this many the grid is hidden
// while they are placed, and shown again repaints it once.
constexpr qsizetype kManyLabels = 300;

class HiddenWhileBuilt {
public:
    // Not while a button is held: hiding would take the press away from the grid or a label.
    explicit HiddenWhileBuilt(QWidget* grid)
        : m_grid(grid && grid->isVisible() && QGuiApplication::mouseButtons() == Qt::NoButton
                     ? grid
                     : nullptr)
    {
        if (!m_grid)
            return;
        QWidget* focus = QApplication::focusWidget();
        if (focus && (focus == m_grid || m_grid->isAncestorOf(focus)))
            m_focus = focus;
        m_grid->hide();
    }
    ~HiddenWhileBuilt()
    {
        if (!m_grid)
            return;
        m_grid->show();
        if (m_focus)
            m_focus->setFocus(Qt::OtherFocusReason);
    }
    HiddenWhileBuilt(const HiddenWhileBuilt&) = delete;
    HiddenWhileBuilt& operator=(const HiddenWhileBuilt&) = delete;

private:
    QPointer<QWidget> m_grid;
    QPointer<QWidget> m_focus;
};

} // namespace

// Everything the picture shows apart from the appointments.
struct DayWeekView::Frame {
    QList<QDate> days;
    bool week = false;
    QDate today;
    std::pair<TimeOfDay, TimeOfDay> hours;
    int gridMinutes = 0;
    int rows = 0;
    int stripRows = 0;
    int rowHeight = 0;
    QSize view;
    QSize panel;
    QSize header;
    int headerOffset = 0;
    QString timeFormat;
    QString dateFormat;
    QString langCode;
    bool rowPerColor = false;
    QList<qint64> colors;
    QList<FolderMark> folders; // shown, whose marks the labels carry
    bool operator==(const Frame&) const = default;
};

DayWeekView::DayWeekView(Settings& settings, DaySource days, DayColumnHost& host, Pictures pictures,
                         Clock today)
    : m_settings(settings)
    , m_days(std::move(days))
    , m_host(host)
    , m_pictures(pictures)
    , m_today(std::move(today))
    , m_keyboard(std::make_unique<GridKeyboard>(*this, settings, pictures.pic_view,
                                                pictures.vscroll, pictures.pic_panel))
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
    for (ShownDay& shown : m_shownDays)
        shown.clear();
    m_frame.reset();
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

ViewGeometry::TimeGrid DayWeekView::timeGrid() const
{
    ViewGeometry::TimeGrid grid;
    grid.dayStart = m_hours.first;
    grid.gridMinutes = m_settings.GridMinutes();
    for (int c = 1; c <= DayColumnCount(); ++c) {
        const ClassDay& column = *m_dayColumns[size_t(c)];
        grid.columns << ViewGeometry::ColumnSpan{int(column.StartX()), int(column.EndX())};
        grid.firstLineY = column.FirstLineY();
        grid.slotHeight = column.SlotHeight();
    }
    return grid;
}

TerminPtr DayWeekView::FindAppointmentByTag(const QString& tag) const
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

QDate DayWeekView::DayOfTag(const QString& tag) const
{
    bool ok = false;
    const int column = SplitText(tag, QStringLiteral("|")).value(0).toInt(&ok);
    const ClassDay* day = ok ? DayColumn(column) : nullptr;
    return day ? day->datum() : QDate();
}

QList<QDate> DayWeekView::daysOf(const QDate& date, bool week) const
{
    if (!week)
        return {date};
    QList<QDate> days;
    const QDate weekStart = StartOfWeek(date, m_settings.FirstWeekday());
    for (int i = 0; i < 7; ++i)
        if (m_settings.ShowWeek(Weekday(weekStart.addDays(i))))
            days << weekStart.addDays(i);
    return days;
}

DayWeekView::ShownDay DayWeekView::shownDay(const QList<TerminPtr>& appointments)
{
    ShownDay shown;
    shown.reserve(appointments.size());
    for (const TerminPtr& a : appointments)
        shown.append({a.get(), a->StartTime(), a->EndTime(), a->ColorCode(), a->GetFormatedText()});
    return shown;
}

bool DayWeekView::shownUnchanged(const QList<ShownDay>& shown) const
{
    for (qsizetype c = 1; c <= shown.size(); ++c)
        if (!m_dayColumns[size_t(c)] || m_shownDays[size_t(c)] != shown[c - 1])
            return false;
    return true;
}

DayWeekView::Frame DayWeekView::frameFor(const QList<QDate>& days, bool week) const
{
    Frame frame;
    frame.days = days;
    frame.week = week;
    frame.today = m_today();
    frame.hours = m_hours;
    frame.gridMinutes = m_settings.GridMinutes();
    frame.rows = m_rows;
    frame.stripRows = m_stripRows;
    frame.rowHeight = m_rowHeight;
    frame.view = QSize(m_pictures.pic_view->width(), 0); // its height follows the rows
    frame.panel = m_pictures.pic_panel->size();
    frame.header = m_pictures.picture_main->size();
    frame.headerOffset = headerOffsetX();
    frame.timeFormat = m_settings.TimeFormat();
    frame.dateFormat = m_settings.DateFormat();
    frame.langCode = m_settings.LangCode();
    frame.rowPerColor = m_settings.RowPerColor();
    for (int code = 1; code <= Settings::kColorCount; ++code)
        frame.colors << m_settings.Color(code);
    frame.folders = FolderMarks::shown(m_settings);
    return frame;
}

void DayWeekView::LoadView(const QDate& date, bool week)
{
    // The days shown, and the hours that show every appointment of them.
    const QList<QDate> days = daysOf(date, week);
    QList<ShownDay> shown;
    QList<TerminPtr> all;
    m_stripRows = 0;
    for (const QDate& day : days) {
        const QList<TerminPtr> appointments = m_days(day);
        shown << shownDay(appointments);
        all += appointments;
        m_stripRows = std::max(m_stripRows, DayLayout::stripRows(appointments));
    }
    m_hours = DayLayout::shownHours(m_settings.GridStartTime(), m_settings.GridEndTime(), all);
    m_rows = ViewGeometry::Rows(m_hours.first, m_hours.second, m_settings.GridMinutes());
    // The strip takes its height from the panel before the rows share the rest.
    const int strip = ViewGeometry::StripHeight(m_stripRows);
    const int panelHeight = PictureBox::toTwips(m_pictures.pic_panel->height());
    // The columns end at the margin; the last line's label may need more room under it.
    const QFont font = m_pictures.pic_view->drawFont();
    const int labelRoom = ViewGeometry::BottomMargin(hourLabels(), QFontMetrics(font).ascent(),
                                                     QFontInfo(font).pixelSize()) -
                          ViewGeometry::kGridMargin;
    m_rowHeight = ViewGeometry::RowHeight(panelHeight - strip - labelRoom, m_rows);
    const int columnsHeight = m_rowHeight * m_rows + ViewGeometry::kGridMargin + strip;
    const int viewHeight = columnsHeight + labelRoom;

    const Frame frame = frameFor(days, week);
    const bool sameFrame = m_frame && *m_frame == frame;
    // Nothing to lay out: the heartbeat's refresh of a view nobody changed ends here.
    if (sameFrame && shownUnchanged(shown))
        return;
    qsizetype touched = 0; // labels handed back or borrowed
    for (size_t c = 1; c < m_shownDays.size(); ++c) {
        const ShownDay& now = c <= size_t(shown.size()) ? shown[qsizetype(c) - 1] : ShownDay();
        if (!sameFrame || m_shownDays[c] != now)
            touched += m_shownDays[c].size() + now.size();
    }
    const HiddenWhileBuilt hidden(touched > kManyLabels ? m_pictures.pic_view : nullptr);
    if (!sameFrame) {
        ReleaseDayColumns();
        m_frame = std::make_unique<Frame>(frame);
        // Before the columns paint: the week view tints today's column.
        m_highlightToday = week;
        drawFrame(viewHeight, panelHeight);
    }
    const int viewWidth = m_pictures.pic_view->ScaleWidth();
    const int n = int(days.size());
    for (int c = 1; c <= n; ++c) {
        const QDate& day = days[c - 1];
        // A column whose appointments are as they were keeps its labels as they are.
        if (sameFrame && m_dayColumns[size_t(c)] && m_shownDays[size_t(c)] == shown[c - 1])
            continue;
        m_dayColumns[size_t(c)].reset(); // its labels go back for the new column
        m_shownDays[size_t(c)] = shown[c - 1];
        const ViewGeometry::ColumnSpan span =
            week ? ViewGeometry::WeekColumn(viewWidth, n, c)
                 : ViewGeometry::ColumnSpan{ViewGeometry::kTimeLabelColumn, viewWidth - 15};
        ClassDay* column = addColumn(c, day, span.startX, span.endX, columnsHeight);
        if (!sameFrame)
            drawHeader(*column, headerText(day, week, span));
    }
    m_keyboard->viewChanged();
}

QString DayWeekView::headerText(const QDate& day, bool week,
                                const ViewGeometry::ColumnSpan& span) const
{
    const QString dateFormat = m_settings.DateFormat();
    if (!week)
        return DayNames(m_settings.LangCode())[Weekday(day)] + QStringLiteral(", ") +
               FormatDate(day, dateFormat);
    PictureBox* frame = m_pictures.picture_main;
    return ViewGeometry::WeekHeader(ShortDayNames(m_settings.LangCode())[Weekday(day)],
                                    FormatDate(day, dateFormat), FormatDateNoYear(day, dateFormat),
                                    span.endX - span.startX,
                                    [frame](const QString& t) { return frame->TextWidth(t); });
}

void DayWeekView::drawFrame(int viewHeight, int panelHeight)
{
    PictureBox* view = m_pictures.pic_view;
    PictureBox* frame = m_pictures.picture_main;
    view->resize(view->width(), PictureBox::toPixels(viewHeight));
    view->Cls();
    showScrollBar(viewHeight, panelHeight);
    view->setForeColor(ScreenColors::of(view).ink());
    drawHourLabels();
    frame->FillBox(headerOffsetX(), kHeaderTop, frame->ScaleWidth(), kHeaderCleared,
                   ScreenColors::of(frame).paper());
}

ClassDay* DayWeekView::addColumn(int c, const QDate& date, int startX, int endX, int columnsHeight)
{
    ++m_columnLayouts;
    auto column = std::make_unique<ClassDay>(m_days, m_settings, &m_host, m_today);
    column->Bind(m_pictures.pic_view);
    column->setDatum(date);
    column->setStartX(startX);
    column->setEndX(endX);
    column->setStartY(0);
    column->setEndY(columnsHeight - ViewGeometry::kColumnBottomMargin);
    column->setHours(m_hours.first, m_hours.second);
    column->setStripRows(m_stripRows);
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

QList<ViewGeometry::HourLabel> DayWeekView::hourLabels() const
{
    return ViewGeometry::HourLabels(m_hours.first, m_rows, m_settings.GridMinutes(),
                                    m_settings.TimeFormat());
}

void DayWeekView::drawHourLabels()
{
    PictureBox* view = m_pictures.pic_view;
    const auto labels = hourLabels();
    const QFont font = view->drawFont();
    const QFontMetrics metrics(font);
    const ViewGeometry::DayHalfPlace dayHalf = ViewGeometry::DayHalfUnderHour(
        PictureBox::toPixels(m_rowHeight), metrics.ascent(), QFontInfo(font).pixelSize());
    QFont dayHalfFont = font;
    dayHalfFont.setPixelSize(dayHalf.pixelSize);
    const int strip = ViewGeometry::StripHeight(m_stripRows);
    for (const ViewGeometry::HourLabel& label : labels) {
        const int y = strip + m_rowHeight * label.row;
        if (!label.hour.isEmpty())
            view->Print(0, y, label.hour);
        view->Print(kMinuteLabels, y, label.minutes);
        if (label.dayHalf.isEmpty())
            continue;
        // Under the digits on every line: the last one has the room of BottomMargin.
        view->setDrawFont(dayHalfFont);
        view->Print(0, y + PictureBox::toTwips(dayHalf.top), label.dayHalf);
        view->setDrawFont(font);
    }
}

void DayWeekView::drawHeader(const ClassDay& column, const QString& text)
{
    PictureBox* frame = m_pictures.picture_main;
    const int offX = headerOffsetX();
    const int left = int(column.StartX()) + offX;
    const int right = int(column.EndX()) + offX;
    const bool isToday = column.datum() == m_today();
    const ScreenColors colors = ScreenColors::of(frame);
    const QColor band =
        colors.adapt(m_highlightToday && isToday ? QColor(234, 234, 255) : QColor(246, 246, 246));
    frame->FillBox(left, kHeaderTop, right, kHeaderBottom, band);
    frame->setForeColor(colors.legible(isToday ? QColor(255, 0, 0) : QColor(0, 0, 255), band));
    frame->Print((left + right) / 2 - frame->TextWidth(text) / 2, kHeaderText, text);
    frame->Box(left, kHeaderTop, right, kHeaderOutlineBottom, colors.ink());
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
