#include "Druck.h"

#include "ClassDay.h"
#include "Common.h"
#include "Language.h"
#include "PrintCanvas.h"
#include "Settings.h"

#include <cmath>

namespace {

const char* const kFooter = QT_TRANSLATE_NOOP("Druck", "printed by Norvane4");

const QString kArial = QStringLiteral("Arial");
const QColor kBlack(0, 0, 0);
const QColor kGrey(128, 128, 128);
const QColor kWeekend(239, 239, 239);

// Title bar height, and the distance from the top of the frame to the first grid line.
constexpr double kTitleBar = 10;
constexpr double kGridTop = 13;
// The grid leaves 3 mm free below its last line.
constexpr double kGridSpare = 16;
// Left of the frame: the time labels.
constexpr double kLabelStrip = 15;

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

void Druck::DrawTitleBarAndFrame()
{
    m_canvas.setFont(kArial, 12, false, false);
    m_canvas.DrawBox(mX + kLabelStrip, mY, W - kLabelStrip, kTitleBar, kBlack);
    m_canvas.DrawBox(mX + kLabelStrip, mY, W - kLabelStrip, H, kBlack);
}

bool Druck::DrawTimeGrid()
{
    const int interval = m_settings.GridMinutes();
    const TimeOfDay start = m_start;
    const double spans = double(m_end.minutes() - start.minutes()) / interval;
    // A day that ends where (or before) it starts has no rows to divide the height into.
    if (spans <= 0)
        return false;
    const int rows = int(std::nearbyint(spans));
    const double rowHeight = (H - kGridSpare) / spans;
    m_canvas.setFont(kArial, 10, false, false);
    for (int i = 0; i <= rows; ++i) {
        const double y = mY + kGridTop + i * rowHeight;
        m_canvas.DrawLine(mX + 13, y, mX + W, y, kGrey);
        const TimeOfDay time = TimeOfDay::fromMinutes(start.minutes() + i * interval);
        m_canvas.PrintWrappedText(mX, y - 1, 30, 10, FormatTime(time, m_settings.TimeFormat()),
                                  TextAlign::Left);
    }
    return true;
}

void Druck::DrawAppointments(const QDate& date, double cx, double cw)
{
    ClassDay column(m_days, m_settings, nullptr, nullptr);
    column.setDatum(date);
    column.setHours(m_start, m_end);
    column.LoadAppointments(false);
    column.CalculateAppointmentPositions(std::nearbyint(cw), std::nearbyint(H - kGridSpare));

    m_canvas.setFont(kArial, 9, false, false);
    for (int i = 0; i < column.GetAppointmentCount(); ++i) {
        const std::optional<ClassDay::Constraint> c = column.GetAppointmentConstraint(i);
        if (!c)
            continue;
        double top = c->y;
        double height = c->h;
        // Cut at the top of the grid and the bottom of the frame.
        if (top < 0) {
            height += top;
            top = 0;
        }
        if (top + height + kGridTop > H)
            height = H - top - kGridTop;
        // Wholly above or below the grid, or of no length: nothing to show.
        if (height <= 0)
            continue;
        const double x = cx + c->x;
        const double y = mY + kGridTop + top;
        m_canvas.FillBox(x, y, c->w, height, c->color);
        m_canvas.DrawBox(x, y, c->w, height, kBlack);
        m_canvas.PrintWrappedText(x, y, c->w, height, c->text, TextAlign::Left);
    }
}

void Druck::WidenHoursFor(const QList<QDate>& days)
{
    QList<TerminPtr> printed;
    for (const QDate& day : days)
        printed += m_days(day);
    std::tie(m_start, m_end) =
        ClassDay::ShownHours(m_settings.GridStartTime(), m_settings.GridEndTime(), printed);
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
    DrawTitleBarAndFrame();
    const QString title = DayNames(m_settings.LangCode()).value(Weekday(date)) +
                          QStringLiteral(", ") + FormatDate(date, m_settings.DateFormat());
    m_canvas.PrintWrappedText(mX + kLabelStrip, mY + 2, W - kLabelStrip, 10, title,
                              TextAlign::Centre);
    WidenHoursFor({date});
    if (DrawTimeGrid())
        DrawAppointments(date, mX + kLabelStrip, W - kLabelStrip);
    return FinishPage(mX, mY + H + 2, W);
}

bool Druck::PrintWeek(const QDate& date)
{
    const QDate first = WeekStart(date, m_settings);
    QList<QDate> shown;
    for (int d = 0; d < 7; ++d)
        if (m_settings.ShowWeek(Weekday(first.addDays(d))))
            shown << first.addDays(d);

    PreparePrinter();
    SetAreaWithMargins();
    DrawTitleBarAndFrame();
    // No day to show: the frame alone, nothing to divide its width by.
    if (shown.isEmpty())
        return FinishPage(mX, mY + H + 2, W);

    const double cw = (W - kLabelStrip) / shown.size();
    const QStringList names = DayNames(m_settings.LangCode());
    for (int col = 0; col < shown.size(); ++col) {
        const QDate& day = shown[col];
        const QString title = names.value(Weekday(day)).left(2) + QStringLiteral(", ") +
                              FormatDate(day, m_settings.DateFormat());
        m_canvas.PrintWrappedText(mX + kLabelStrip + col * cw, mY + 2, cw, 15, title,
                                  TextAlign::Centre);
    }
    for (int col = 1; col <= shown.size(); ++col) {
        const double x = mX + kLabelStrip + col * cw;
        m_canvas.DrawLine(x, mY, x, mY + H, kBlack);
    }
    WidenHoursFor(shown);
    if (DrawTimeGrid())
        for (int col = 0; col < shown.size(); ++col)
            DrawAppointments(shown[col], mX + kLabelStrip + col * cw, cw);
    return FinishPage(mX, mY + H + 2, W);
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
    const auto titleOf = [&months](const QDate& d) {
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
            m_canvas.FillBox(x + 0.1, mY + 10, cw, H - mY - 10, kWeekend);
        if (weekday == m_settings.FirstWeekday())
            m_canvas.DrawLine(x, mY + 10, x, H, kBlack);
        const QString label = names.value(weekday).left(twoMonths ? 1 : 2);
        m_canvas.PrintWrappedText(x, mY + 11, cw, 10, label, TextAlign::Centre);
        m_canvas.PrintWrappedText(x, mY + 16, cw, 10, QString::number(date.day()),
                                  TextAlign::Centre);
        if (twoMonths && date == next)
            m_canvas.DrawLine(x, mY, x, H, kBlack);
    }

    m_canvas.DrawBox(mX, mY, W - mX, H - mY, kBlack);
    m_canvas.DrawLine(mX, mY + 10, W, mY + 10, kBlack);
    m_canvas.DrawLine(mX, mY + 15, W, mY + 15, kBlack);

    // Planning rows on whole millimetres, 7.5 apart, halves to even.
    m_canvas.setDotted(true);
    double y = std::nearbyint(mY + 20);
    for (int n = 0; n < 100; ++n) {
        y = std::nearbyint(y + 7.5);
        if (y > H - 7.5)
            break;
        m_canvas.DrawLine(mX, y, W, y, kGrey);
    }
    m_canvas.setDotted(false);
    return FinishPage(mX, H + 2, W - mX);
}
