// The appointment list printout: the agenda list's groups for a range of days, page after page.
#include "print/Druck.h"

#include "calendar/Formats.h"
#include "colors/Palette.h"
#include "colors/StoredColor.h"
#include "layout/AgendaLayout.h"
#include "print/PrintCanvas.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "store/Common.h"

namespace {

const char* const kListTitle = QT_TRANSLATE_NOOP("Druck", "Appointment list %1 - %2");

const QString kArial = QStringLiteral("Arial");

constexpr double kTitle = 10;  // the range and the data folder
constexpr double kHeading = 7; // a day's heading
constexpr double kLine = 5;    // one appointment
constexpr double kSwatch = 3;
constexpr double kTimeColumn = 38;
constexpr double kOwnerColumn = 30;
constexpr double kRepeatsColumn = 25;
constexpr double kFooter = 6; // kept free at the bottom for the footer

} // namespace

bool Druck::PrintList(const QDate& from, const QDate& to)
{
    PreparePrinter();
    SetAreaWithMargins();
    const QString lang = m_settings.LangCode();
    AgendaLayout::Input input;
    input.days = m_days;
    input.from = from;
    input.count = int(from.daysTo(to)) + 1;
    input.timeFormat = m_settings.TimeFormat();
    input.dateFormat = m_settings.DateFormat();
    input.langCode = lang;
    const QList<AgendaLayout::Group> groups = AgendaLayout::layOut(input);

    const QString title = Language::translate("Druck", kListTitle, lang)
                              .arg(FormatDate(from, m_settings.DateFormat()),
                                   FormatDate(to, m_settings.DateFormat()));
    const double bottom = mY + H - kFooter;
    double y = 0;
    bool pageOk = true;
    const auto startPage = [&] {
        m_canvas.setFont(kArial, 14, true, false);
        m_canvas.PrintWrappedText(mX, mY, W * 2 / 3, kTitle, title, TextAlign::Left);
        m_canvas.setFont(kArial, 10, false, false);
        m_canvas.PrintWrappedText(mX + W * 2 / 3, mY + 1, W / 3, kTitle,
                                  LastPathPart(m_settings.GetDataFolder()), TextAlign::Right);
        m_canvas.DrawLine(mX, mY + kTitle, mX + W, mY + kTitle, Palette::kInk);
        y = mY + kTitle + 2;
    };
    // A new page when height does not fit below y any more.
    const auto room = [&](double height) {
        if (y + height <= bottom)
            return;
        m_canvas.setFont(QStringLiteral("Small Fonts"), 6, false, true);
        m_canvas.PrintWrappedText(mX, mY + H + 2, W, 15, FooterText(lang), TextAlign::Right);
        pageOk = m_canvas.newPage() && pageOk;
        startPage();
    };

    startPage();
    if (groups.isEmpty()) {
        m_canvas.setFont(kArial, 10, false, true);
        m_canvas.PrintWrappedText(mX, y, W, kLine, AgendaLayout::emptyText(lang), TextAlign::Left);
    }
    const double textX = mX + kSwatch + 2 + kTimeColumn;
    const double textW = W - (textX - mX) - kOwnerColumn - kRepeatsColumn;
    for (const AgendaLayout::Group& group : groups) {
        room(kHeading + kLine); // a heading never ends a page
        m_canvas.setFont(kArial, 11, true, false);
        m_canvas.PrintWrappedText(mX, y + 1, W, kHeading, group.heading, TextAlign::Left);
        y += kHeading;
        m_canvas.DrawLine(mX, y, mX + W, y, Palette::kGreyInk);
        m_canvas.setFont(kArial, 9, false, false);
        for (const AgendaLayout::Line& line : group.lines) {
            room(kLine);
            m_canvas.FillBox(mX, y + 1, kSwatch, kSwatch,
                             AppointmentColor(m_settings, line.colorCode));
            m_canvas.DrawBox(mX, y + 1, kSwatch, kSwatch, Palette::kGreyInk);
            // Each column one line, cut at its edge.
            const auto cell = [&](double x, double w, const QString& text) {
                m_canvas.setTextClip(QRectF(x, y, w - 1, kLine));
                m_canvas.drawText(x, y + 0.8, text);
                m_canvas.setTextClip(std::nullopt);
            };
            cell(mX + kSwatch + 2, kTimeColumn, line.time);
            cell(textX, textW, line.text);
            cell(textX + textW, kOwnerColumn, line.owner);
            if (line.repeats)
                cell(textX + textW + kOwnerColumn, kRepeatsColumn, AgendaLayout::repeatsText(lang));
            y += kLine;
        }
        y += 2;
    }
    return FinishPage(mX, mY + H + 2, W) && pageOk;
}
