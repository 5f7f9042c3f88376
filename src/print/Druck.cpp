#include "print/Druck.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "calendar/Weeks.h"
#include "colors/Palette.h"
#include "colors/StoredColor.h"
#include "layout/DayLayout.h"
#include "print/PrintCanvas.h"
#include "profile/ShownText.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "store/Common.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kFooter = QT_TRANSLATE_NOOP("Druck", "printed by Norvane4");
const char* const kWeekTitle = QT_TRANSLATE_NOOP("Druck", "Week %1, %2");

const QString kArial = QStringLiteral("Arial");

// Title bar height, and the distance from the top of the frame to the first grid line.
constexpr double kTitleBar = 10;
constexpr double kGridTop = 13;
// The grid leaves 3 mm free below its last line.
constexpr double kGridSpare = 16;
// Left of the frame: the time labels, and the grid lines reaching into it as ticks; a label
// keeps a gap to its tick.
constexpr double kLabelStrip = 15;
constexpr double kTick = 2;
constexpr double kLabelGap = 1;
constexpr double kLabelPoints = 10;
// Air between an appointment's box and its text.
constexpr double kTextIndent = 1;
// The all-day strip starts under the title bar, a row a line of appointment text; one of no
// length gets a box of a line at its time.
constexpr double kStripTop = kTitleBar + 1;
constexpr double kStripRow = 5;
constexpr double kThinBox = 4;
// The week print's heading stands in the top margin, above the frame.
constexpr double kHeadingAbove = 8;
constexpr double kHeadingHeight = 6;

// "7–13 December 2026", "30 November – 6 December 2026", "28 December 2026 – 3 January 2027";
// German days end in a full stop.
QString dateRange(const QDate& first, const QDate& last, const QString& lang)
{
    const QStringList months = MonthNames(lang);
    const QString dot = IsGerman(lang) ? QStringLiteral(".") : QString();
    // Each spelled out as QString: a deduced string builder would outlive its parts.
    const auto day = [&dot](const QDate& d) -> QString { return QString::number(d.day()) + dot; };
    const auto dayMonth = [&](const QDate& d) -> QString {
        return day(d) + QLatin1Char(' ') + months.value(d.month());
    };
    const auto full = [&](const QDate& d) -> QString {
        return dayMonth(d) + QLatin1Char(' ') + QString::number(d.year());
    };
    if (first.year() != last.year())
        return full(first) + QStringLiteral(" \u2013 ") + full(last);
    if (first.month() != last.month())
        return dayMonth(first) + QStringLiteral(" \u2013 ") + full(last);
    return day(first) + QStringLiteral("\u2013") + full(last);
}

} // namespace

Druck::Druck(PrintCanvas& canvas, DaySource days, Settings& settings)
    : m_canvas(canvas)
    , m_days(std::move(days))
    , m_settings(settings)
{
}

QDate Druck::WeekStart(const QDate& date, const Settings& settings)
{
    return StartOfWeek(date, settings.FirstWeekday());
}

QString Druck::FooterText(const QString& langCode)
{
    return Language::translate("Druck", kFooter, langCode);
}

QString Druck::WeekTitle(const QDate& first, const QList<QDate>& shown, const Settings& settings)
{
    const QString lang = settings.LangCode();
    const int week = WeekNumber(first, settings.FirstWeekday(), settings.FirstCW());
    return Language::translate("Druck", kWeekTitle, lang)
        .arg(week)
        .arg(shown.isEmpty() ? dateRange(first, first.addDays(6), lang)
                             : dateRange(shown.first(), shown.last(), lang));
}

void Druck::PreparePrinter()
{
    m_canvas.setDotted(false);
    m_canvas.setFont(kArial, 9, false, false);
}

void Druck::SetAreaWithMargins()
{
    const QSizeF page = m_canvas.printableSize();
    mX = 15;
    mY = 15;
    W = page.width() - 2 * mX;
    H = page.height() - 2 * mY;
}

void Druck::FitLabelStrip()
{
    m_canvas.setFont(kArial, kLabelPoints, false, false);
    double widest = m_stripRows > 0 ? m_canvas.textWidth(AllDayText(m_settings.LangCode())) : 0;
    for (const QString& label : GridLabels())
        widest = std::max(widest, m_canvas.textWidth(label));
    m_labelStrip = std::max(kLabelStrip, widest + kLabelGap + kTick);
}

void Druck::DrawTitleBarAndFrame()
{
    m_canvas.setFont(kArial, 12, false, false);
    m_canvas.DrawBox(mX + m_labelStrip, mY, W - m_labelStrip, kTitleBar, Palette::kInk);
    m_canvas.DrawBox(mX + m_labelStrip, mY, W - m_labelStrip, H, Palette::kInk);
}

QStringList Druck::GridLabels() const
{
    const int interval = m_settings.GridMinutes();
    const double spans = double(m_end.minutes() - m_start.minutes()) / interval;
    QStringList labels;
    // A day that ends where (or before) it starts has no rows to divide the height into.
    if (spans <= 0)
        return labels;
    const int rows = int(std::nearbyint(spans));
    for (int i = 0; i <= rows; ++i)
        labels << FormatTime(TimeOfDay::fromMinutes(m_start.minutes() + i * interval),
                             m_settings.TimeFormat());
    return labels;
}

bool Druck::DrawTimeGrid()
{
    const QStringList labels = GridLabels();
    if (labels.isEmpty())
        return false;
    const double spans = double(m_end.minutes() - m_start.minutes()) / m_settings.GridMinutes();
    const double rowHeight = (H - kGridSpare - m_stripRows * kStripRow) / spans;
    m_canvas.setFont(kArial, kLabelPoints, false, false);
    // The strip's label where the times of its rows would stand.
    if (m_stripRows > 0)
        m_canvas.drawText(mX, mY + kStripTop, AllDayText(m_settings.LangCode()));
    for (int i = 0; i < labels.size(); ++i) {
        const double y = mY + GridTop() + i * rowHeight;
        m_canvas.DrawLine(mX + m_labelStrip - kTick, y, mX + W, y, Palette::kGreyInk);
        // Centred on its line as it is, not moved to a whole millimetre: every label stands
        // where its row starts.
        m_canvas.drawText(mX, y - m_canvas.textHeight(labels[i]) / 2, labels[i]);
    }
    return true;
}

void Druck::DrawAppointments(const QDate& date, double cx, double cw)
{
    const QList<TerminPtr> appointments = m_days(date);
    DrawAppointments(appointments, DayLayout::columns(appointments, m_settings.RowPerColor()), cx,
                     cw);
}

void Druck::DrawAppointments(const QList<TerminPtr>& appointments, const QList<int>& columns,
                             double cx, double cw)
{
    // The grid's own height, so that boxes start and end on its lines on any paper.
    const double width = std::nearbyint(cw);
    const QList<QRectF> boxes = DayLayout::boxes(
        appointments, columns, QSizeF(width, H - kGridSpare - m_stripRows * kStripRow),
        {m_start, m_end, m_settings.GridMinutes()}, 0, kThinBox);
    const QList<QRectF> strip = DayLayout::stripBoxes(appointments, width, m_stripRows, kStripRow);

    m_canvas.setFont(kArial, 9, false, false);
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        const ClassTermin& a = *appointments[i];
        const bool inStrip = DayLayout::inStrip(a);
        const QRectF& box = inStrip ? strip.value(i) : boxes[i];
        double top = box.y();
        double height = box.height();
        // Cut at the top of the grid and the bottom of the frame.
        if (top < 0 && !inStrip) {
            height += top;
            top = 0;
        }
        if (top + height + GridTop() > H && !inStrip)
            height = H - top - GridTop();
        // Wholly above or below the grid: nothing to show.
        if (height <= 0)
            continue;
        const double x = cx + box.x();
        const double y = mY + (inStrip ? kStripTop : GridTop()) + top;
        m_canvas.FillBox(x, y, box.width(), height, AppointmentColor(m_settings, a.ColorCode()));
        m_canvas.DrawBox(x, y, box.width(), height, Palette::kInk);
        // Text lines stand on whole millimetres: from the first one inside the box, so that
        // the box does not cut off the top of the first line.
        const double textTop = std::ceil(y);
        m_canvas.PrintWrappedText(x + kTextIndent, textTop, box.width() - kTextIndent,
                                  height - (textTop - y), bidiContained(a.GetFormatedText()),
                                  TextAlign::Left);
    }
}

void Druck::FitHoursAndStripTo(const QList<QDate>& days)
{
    QList<QList<TerminPtr>> columns;
    for (const QDate& day : days)
        columns << m_days(day);
    FitHoursAndStripTo(columns);
}

void Druck::FitHoursAndStripTo(const QList<QList<TerminPtr>>& columns)
{
    QList<TerminPtr> printed;
    m_stripRows = 0;
    for (const QList<TerminPtr>& appointments : columns) {
        m_stripRows = std::max(m_stripRows, DayLayout::stripRows(appointments));
        printed += appointments;
    }
    std::tie(m_start, m_end) =
        DayLayout::shownHours(m_settings.GridStartTime(), m_settings.GridEndTime(), printed);
}

double Druck::GridTop() const
{
    return kGridTop + m_stripRows * kStripRow;
}

bool Druck::FinishPage(double x, double y, double w)
{
    m_canvas.setFont(QStringLiteral("Small Fonts"), 6, false, true);
    m_canvas.PrintWrappedText(x, y, w, 15, FooterText(m_settings.LangCode()), TextAlign::Right);
    m_canvas.setFont(kArial, 9, false, false);
    return m_canvas.finish();
}

bool Druck::PrintDay(const QDate& date)
{
    PreparePrinter();
    SetAreaWithMargins();
    FitHoursAndStripTo({date});
    FitLabelStrip();
    DrawTitleBarAndFrame();
    m_canvas.PrintWrappedText(mX + m_labelStrip, mY + 2, W - m_labelStrip, 10, DayTitle(date),
                              TextAlign::Centre);
    if (DrawTimeGrid())
        DrawAppointments(date, mX + m_labelStrip, W - m_labelStrip);
    return FinishPage(mX, mY + H + 2, W);
}

bool Druck::PrintWeek(const QDate& date)
{
    const QDate first = WeekStart(date, m_settings);
    const QList<QDate> shown = ShownDaysOfWeek(date);
    PreparePrinter();
    SetAreaWithMargins();
    FitHoursAndStripTo(shown);
    FitLabelStrip();
    DrawHeading(WeekTitle(first, shown, m_settings));
    DrawTitleBarAndFrame();
    // No day to show: the frame alone, nothing to divide its width by.
    if (shown.isEmpty())
        return FinishPage(mX, mY + H + 2, W);

    const double cw = (W - m_labelStrip) / shown.size();
    for (int col = 0; col < shown.size(); ++col)
        DrawColumnTitle(mX + m_labelStrip + col * cw, cw, ShortDayTitle(shown[col]));
    for (int col = 1; col <= shown.size(); ++col) {
        const double x = mX + m_labelStrip + col * cw;
        m_canvas.DrawLine(x, mY, x, mY + H, Palette::kInk);
    }
    if (DrawTimeGrid())
        for (int col = 0; col < shown.size(); ++col)
            DrawAppointments(shown[col], mX + m_labelStrip + col * cw, cw);
    return FinishPage(mX, mY + H + 2, W);
}

void Druck::DrawColumnTitle(double x, double w, const QString& title)
{
    m_canvas.PrintWrappedText(x, mY + 2, w, 15, title, TextAlign::Centre);
}

double Druck::TitleBarHeight()
{
    return kTitleBar;
}

QString Druck::ShortDayTitle(const QDate& day) const
{
    return ShortDayNames(m_settings.LangCode()).value(Weekday(day)) + QStringLiteral(", ") +
           FormatDate(day, m_settings.DateFormat());
}

QString Druck::DayTitle(const QDate& day) const
{
    return DayNames(m_settings.LangCode()).value(Weekday(day)) + QStringLiteral(", ") +
           FormatDate(day, m_settings.DateFormat());
}

QList<QDate> Druck::ShownDaysOfWeek(const QDate& date) const
{
    const QDate first = WeekStart(date, m_settings);
    QList<QDate> shown;
    for (int d = 0; d < 7; ++d)
        if (m_settings.ShowWeek(Weekday(first.addDays(d))))
            shown << first.addDays(d);
    return shown;
}

void Druck::DrawHeading(const QString& title)
{
    // The week or day on the left above the frame, the data folder it comes from on the right.
    const double x = mX + m_labelStrip;
    const double half = (W - m_labelStrip) / 2;
    const double y = mY - kHeadingAbove;
    m_canvas.setFont(kArial, 11, true, false);
    m_canvas.PrintWrappedText(x, y, half, kHeadingHeight, title, TextAlign::Left);
    m_canvas.setFont(kArial, 11, false, false);
    m_canvas.PrintWrappedText(x + half, y, half, kHeadingHeight,
                              LastPathPart(m_settings.GetDataFolder()), TextAlign::Right);
}

bool Druck::PrintMonthPlanner(int month, int year, bool twoMonths)
{
    PreparePrinter();
    const QSizeF page = m_canvas.printableSize();
    mX = 15;
    mY = 15;
    W = page.width() - 15;
    H = page.height() - 15;

    const QDate first = DateSerial(year, month, 1);
    const QDate next = first.addMonths(1);
    const int days = first.daysInMonth() + (twoMonths ? next.daysInMonth() : 0);
    const double cw = (W - mX) / days;
    const QString lang = m_settings.LangCode();
    const QStringList months = MonthNames(lang);
    const auto titleOf = [&months](const QDate& d) -> QString {
        return months.value(d.month()) + QLatin1Char(' ') + QString::number(d.year());
    };

    m_canvas.setFont(kArial, 12, true, false);
    if (twoMonths) {
        const double half = (W - mX) / 2;
        m_canvas.PrintWrappedText(mX, mY + 2, half, 15, titleOf(first), TextAlign::Centre);
        m_canvas.PrintWrappedText(mX + half, mY + 2, half, 15, titleOf(next), TextAlign::Centre);
    } else {
        m_canvas.PrintWrappedText(mX, mY + 2, W - mX, 15, titleOf(first), TextAlign::Centre);
    }

    m_canvas.setFont(kArial, 9, false, false);
    const QStringList names = DayNames(lang);
    for (int d = 1; d <= days; ++d) {
        const QDate date = first.addDays(d - 1);
        const int weekday = Weekday(date);
        const double x = mX + (d - 1) * cw;
        if (weekday == 1 || weekday == 7)
            m_canvas.FillBox(x + 0.1, mY + 10, cw, H - mY - 10, Palette::kWeekendGrey);
        if (weekday == m_settings.FirstWeekday())
            m_canvas.DrawLine(x, mY + 10, x, H, Palette::kInk);
        const QString label = names.value(weekday).left(twoMonths ? 1 : 2);
        m_canvas.PrintWrappedText(x, mY + 11, cw, 10, label, TextAlign::Centre);
        m_canvas.PrintWrappedText(x, mY + 16, cw, 10, QString::number(date.day()),
                                  TextAlign::Centre);
        if (twoMonths && date == next)
            m_canvas.DrawLine(x, mY, x, H, Palette::kInk);
    }

    m_canvas.DrawBox(mX, mY, W - mX, H - mY, Palette::kInk);
    m_canvas.DrawLine(mX, mY + 10, W, mY + 10, Palette::kInk);
    m_canvas.DrawLine(mX, mY + 15, W, mY + 15, Palette::kInk);

    // Planning rows on whole millimetres, 7.5 apart, halves to even.
    m_canvas.setDotted(true);
    double y = std::nearbyint(mY + 20);
    for (int n = 0; n < 100; ++n) {
        y = std::nearbyint(y + 7.5);
        if (y > H - 7.5)
            break;
        m_canvas.DrawLine(mX, y, W, y, Palette::kGreyInk);
    }
    m_canvas.setDotted(false);
    return FinishPage(mX, H + 2, W - mX);
}
