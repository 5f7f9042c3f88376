#include "views/ClassDay.h"

#include "calendar/Formats.h"
#include "colors/StoredColor.h"
#include "layout/DayLayout.h"
#include "profile/ShownText.h"
#include "settings/Settings.h"
#include "ui/PictureBox.h"
#include "ui/PlainText.h"
#include "ui/ScreenColors.h"
#include "views/DayColumnHost.h"
#include "views/LabelPool.h"
#include "views/ViewGeometry.h"

#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

const QColor ClassDay::kTodayColor(232, 243, 255);
const QColor ClassDay::kGridColor(224, 224, 224);
const QColor ClassDay::kSelectionColor(0, 0, 255);

namespace {

constexpr int kTwips = PictureBox::kTwipsPerPixel;
constexpr double kMarkerLeft = 30;
constexpr double kMarkerWidth = 100;
constexpr double kMarkerHeight = 30;

// Both edges go to the pixel grid on their own, so neighbouring labels meet without a gap.
int pixelEdge(double twips)
{
    return int(std::floor(twips / kTwips));
}

void setTwipsGeometry(QLabel* label, double left, double top, double width, double height)
{
    const int x = pixelEdge(left);
    const int y = pixelEdge(top);
    label->setGeometry(x, y, std::max(0, pixelEdge(left + width) - x),
                       std::max(0, pixelEdge(top + height) - y));
}

// A label breaks on LF alone.
QString displayText(const QString& text)
{
    return textLines(text).join(QLatin1Char('\n'));
}

// Inside an appointment label's border and padding.
const QMargins kAppointmentPadding(2, 1, 2, 1);
const QSize kLabelFrame(2 * (1 + 2), 2 * (1 + 1));
// The selection labels: no border, a little room left and right of the text.
const QMargins kSelectionPadding(2, 0, 2, 0);
// Below this a text is no longer readable: the label keeps the normal font, cut.
constexpr int kSmallestTextPixels = 7;
constexpr int kLabelPointSize = 8;

// The label font, and the smaller ones of short appointments: made once, so the thousands of
// labels of a crowded week share their font data instead of looking it up each.
const QFont& labelFont(int pixelSize = 0)
{
    static const QFont normal(QStringLiteral("Arial"), kLabelPointSize);
    static QHash<int, QFont> smaller;
    if (pixelSize <= 0)
        return normal;
    auto found = smaller.find(pixelSize);
    if (found == smaller.end()) {
        QFont font = normal;
        font.setPixelSize(pixelSize);
        found = smaller.insert(pixelSize, font);
    }
    return *found;
}

// The two selection labels only show; the drag belongs to the picture underneath.
void styleSelectionLabel(QLabel* label)
{
    label->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    const ScreenColors colors = ScreenColors::of(label);
    if (auto* view = qobject_cast<ViewLabel*>(label))
        view->setLook(colors.selection(ClassDay::kSelectionColor), colors.onSelection(Qt::white),
                      false, kSelectionPadding);
}

void setLabelText(QLabel* label, const QString& text)
{
    if (auto* view = qobject_cast<ViewLabel*>(label))
        view->setLine(text);
    else
        label->setText(text);
}

// What the column changed on a borrowed label, undone before it goes back to the pool.
void resetLabel(QLabel* label)
{
    label->hide();
    label->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    label->setToolTip(QString());
    label->setProperty("tag", QVariant());
    if (auto* view = qobject_cast<ViewLabel*>(label))
        view->reset();
    else
        label->clear();
}

} // namespace

ClassDay::ClassDay(DaySource days, Settings& settings, DayColumnHost* host, Clock today,
                   QObject* parent)
    : QObject(parent)
    , m_days(std::move(days))
    , m_settings(settings)
    , m_host(host)
    , m_today(std::move(today))
{
    if (!m_today)
        m_today = [] { return QDate::currentDate(); };
}

ClassDay::~ClassDay()
{
    // A view rebuilt in the middle of a drag lets its hold of the heartbeat go (m_dragPause).
    while (!m_appointments.isEmpty())
        m_appointments.removeLast();
    releaseLabels();
}

void ClassDay::releaseLabels()
{
    while (!m_labels.isEmpty()) {
        const QPointer<QLabel> label = m_labels.takeLast();
        // A label that went down with its picture is no longer the pool's to take back.
        if (!label || !m_host)
            continue;
        resetLabel(label);
        m_host->ReleaseLabelResource(label);
    }
    marker_label = nullptr;
    range_label = nullptr;
}

// ---------------------------------------------------------------------------------------
// Texts

// ---------------------------------------------------------------------------------------
// Settings and geometry

int ClassDay::gridMinutes() const
{
    return m_settings.GridMinutes();
}

int ClassDay::stripRows() const
{
    return m_stripRows ? *m_stripRows : DayLayout::stripRows(m_appointments);
}

double ClassDay::FirstLineY() const
{
    return m_startY + kTopMargin + ViewGeometry::StripHeight(stripRows()) + kBorder;
}

TimeOfDay ClassDay::dayStart() const
{
    return m_hours ? m_hours->first : m_settings.GridStartTime();
}

TimeOfDay ClassDay::dayEnd() const
{
    return m_hours ? m_hours->second : m_settings.GridEndTime();
}

QStringList ClassDay::FittedLines(const QString& text, const QFont& font, const QSize& box)
{
    static const QString kEllipsis(QChar(0x2026));
    const QFontMetrics metrics(font);
    const int width = std::max(1, box.width());
    const int maxLines = std::max(1, box.height() / std::max(1, metrics.lineSpacing()));
    // Not even the ellipsis fits (a column of a crowded week): nothing to break.
    if (metrics.horizontalAdvance(kEllipsis) > width)
        return {kEllipsis};
    QStringList lines;
    bool cut = false;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        if (lines.size() > maxLines)
            break; // the rest is cut anyway
        if (metrics.horizontalAdvance(paragraph) <= width) {
            lines << paragraph.trimmed();
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
    }
    if (lines.size() > maxLines) {
        lines.resize(maxLines);
        cut = true;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString& line = lines[i];
        const bool last = i == lines.size() - 1;
        if (metrics.horizontalAdvance(line) <= width && !(last && cut))
            continue;
        // A word longer than the line, or the last line of a text that goes on.
        while (!line.isEmpty() && metrics.horizontalAdvance(line + kEllipsis) > width)
            line.chop(1);
        line += kEllipsis;
    }
    return lines;
}

bool ClassDay::isInside(double x, double y) const
{
    // Below the strip, where there is one: a press there makes no range.
    const int strip = stripRows();
    const double top =
        strip > 0 ? m_startY + kTopMargin + strip * ViewGeometry::kStripRowHeight : m_startY;
    return x > m_startX && x < m_endX && y > top && y < m_endY;
}

bool ClassDay::isPastDayEnd(int minutes) const
{
    return minutes > dayEnd().minutes();
}

std::optional<ClassDay::GridLine> ClassDay::FindGridLine(double y) const
{
    if (m_slotHeight <= 0)
        return std::nullopt;
    const double half = m_slotHeight / 2;
    for (int k = 0; k < kMaxGridLines; ++k) {
        const int minutes = dayStart().minutes() + k * gridMinutes();
        if (isPastDayEnd(minutes))
            break;
        const double lineY = FirstLineY() + k * m_slotHeight;
        if (lineY - half < y && y < lineY + half)
            return GridLine{k, lineY, TimeOfDay::fromMinutes(minutes)};
    }
    return std::nullopt;
}

bool ClassDay::isHighlightedToday() const
{
    return m_host && m_host->HighlightToday() && m_datum == m_today();
}

// ---------------------------------------------------------------------------------------
// Loading and showing

void ClassDay::Bind(PictureBox* picture)
{
    if (my_pic)
        disconnect(my_pic, nullptr, this, nullptr);
    my_pic = picture;
    if (!picture)
        return;
    connect(picture, &PictureBox::MouseDown, this, &ClassDay::my_pic_MouseDown);
    connect(picture, &PictureBox::MouseMove, this, &ClassDay::my_pic_MouseMove);
    connect(picture, &PictureBox::MouseUp, this, &ClassDay::my_pic_MouseUp);
}

void ClassDay::LoadAppointments(bool with_labels)
{
    m_appointments = m_days(m_datum);
    m_columns = DayLayout::columns(m_appointments, m_settings.RowPerColor());
    m_folders =
        m_settings.ShownFolders().isEmpty() ? QList<FolderMark>() : FolderMarks::shown(m_settings);
    if (!with_labels || !m_host)
        return;
    releaseLabels();
    for (qsizetype i = 0; i < m_appointments.size(); ++i)
        m_labels.append(m_host->CreateLabelResource());
    marker_label = m_host->CreateLabelResource();
    range_label = m_host->CreateLabelResource();
    m_labels.append(marker_label);
    m_labels.append(range_label);
}

TerminPtr ClassDay::Appointment(int index) const
{
    if (index < 1 || index > m_appointments.size())
        return nullptr;
    return m_appointments[index - 1];
}

void ClassDay::DisplayAppointments(int column_index)
{
    if (!my_pic)
        return;
    const bool hasArea = m_endX > m_startX && m_endY > m_startY;
    const DayLayout::Grid grid{dayStart(), dayEnd(), gridMinutes()};
    // Right of the border and the selection strip, below the all-day strip, slots of whole
    // pixels.
    const double gridTop = FirstLineY() - m_startY - kTopMargin;
    const QSizeF area(m_endX - m_startX - kBorder - kSelectionStrip, m_endY - m_startY - gridTop);
    // Without slots or area there is nothing to divide: an empty column, no labels.
    m_slotHeight = hasArea ? DayLayout::slotHeight(area.height(), grid, kTwips) : 0;
    const QList<QRectF> boxes =
        hasArea ? DayLayout::boxes(m_appointments, m_columns, area, grid, kTwips, kThinBox)
                : QList<QRectF>();
    const QList<QRectF> strip = DayLayout::stripBoxes(m_appointments, area.width(), stripRows(),
                                                      ViewGeometry::kStripRowHeight);
    for (qsizetype i = 0; i < m_appointments.size() && i < m_labels.size(); ++i) {
        QLabel* label = m_labels[i];
        if (!label)
            continue;
        const ClassTermin& a = *m_appointments[i];
        // Strip boxes lie from the top margin down, grid boxes from the first grid line.
        const bool inStrip = DayLayout::inStrip(a);
        const QRectF box = inStrip ? strip.value(i) : boxes.value(i);
        if (i < boxes.size() && !box.isEmpty())
            placeLabel(label, column_index, int(i + 1), a,
                       box.translated(0, inStrip ? kTopMargin - FirstLineY() + m_startY : 0));
        else
            label->hide();
    }
    if (hasArea)
        paintColumn();
}

QRect ClassDay::LabelRect(int index) const
{
    const QLabel* label = index >= 1 && index <= m_appointments.size() && index <= m_labels.size()
                              ? m_labels[index - 1].data()
                              : nullptr;
    return label && !label->isHidden() ? label->geometry() : QRect();
}

void ClassDay::placeLabel(QLabel* label, int column_index, int position, const ClassTermin& a,
                          const QRectF& box)
{
    setTwipsGeometry(label, m_startX + kBorder + kSelectionStrip + box.x(), FirstLineY() + box.y(),
                     box.width(), box.height());

    // Its direction controls kept to itself, in the label and its tooltip alike.
    const QString text = bidiContained(a.GetFormatedText());
    // Another folder's appointment keeps its colour beside its folder's band; else a category
    // of the team's list with a colour shows it there.
    const std::optional<FolderMark> folder = FolderMarks::of(m_folders, a.filename());
    const qint64 category = Team::categoryColor(m_settings.TeamCategories(), a.Categories());
    const QColor band = folder          ? folder->color
                        : category >= 0 ? ColorOfRgbValue(category)
                                        : QColor();
    auto* view = qobject_cast<ViewLabel*>(label);
    if (view)
        view->setBand(band.isValid() ? ScreenColors::of(label).adapt(band) : QColor());
    // A short appointment gets a smaller font rather than half a line of text.
    const QSize inside =
        label->size() - kLabelFrame - QSize(band.isValid() && view ? ViewLabel::kBandWidth : 0, 0);
    const bool smaller = QFontMetrics(labelFont()).height() > inside.height() &&
                         inside.height() >= kSmallestTextPixels;
    const QFont& font = labelFont(smaller ? inside.height() : 0);
    const QStringList lines = FittedLines(displayText(text), font, inside);
    if (view) {
        const ScreenColors colors = ScreenColors::of(label);
        const QColor fill = colors.appointment(AppointmentColor(m_settings, a.ColorCode()));
        view->setLook(fill, colors.onAppointment(fill), true, kAppointmentPadding);
        view->setLines(lines, font);
    } else {
        label->setText(lines.join(u'\n'));
    }
    label->setToolTip(plainToolTip(
        folder ? firstLine(text) + u'\n' + FolderMarks::calendarLine(folder) : firstLine(text)));
    label->setProperty("tag", QStringLiteral("%1|%2").arg(column_index).arg(position));
    label->show();
}

void ClassDay::paintColumn()
{
    const int x1 = qRound(m_startX);
    const int y1 = qRound(m_startY);
    const int x2 = qRound(m_endX);
    const int y2 = qRound(m_endY);
    const ScreenColors colors = ScreenColors::of(my_pic);
    my_pic->FillBox(x1, y1, x2, y2,
                    colors.adapt(isHighlightedToday() ? kTodayColor : QColor(Qt::white)));

    // No top line: the header above closes the column.
    const QColor frame = colors.ink();
    my_pic->Line(x1, y2, x2, y2, frame);
    my_pic->Line(x1, y1, x1, y2, frame);
    my_pic->Line(x2, y1, x2, y2, frame);

    if (m_slotHeight <= 0)
        return;
    for (int k = 0; k < kMaxGridLines; ++k) {
        if (isPastDayEnd(dayStart().minutes() + k * gridMinutes()))
            break;
        const int y = qRound(FirstLineY() + k * m_slotHeight);
        my_pic->Line(x1 + kBorder, y, x2 - kBorder, y, colors.adapt(kGridColor));
    }
}

// ---------------------------------------------------------------------------------------
// Mouse selection

void ClassDay::showSelectionStart(const GridLine& line)
{
    m_markerTop = line.y;
    const double markerLeft = m_startX + kMarkerLeft;
    if (marker_label) {
        styleSelectionLabel(marker_label);
        setLabelText(marker_label, QString());
        setTwipsGeometry(marker_label, markerLeft, m_markerTop, kMarkerWidth, kMarkerHeight);
        marker_label->show();
    }
    if (range_label) {
        styleSelectionLabel(range_label);
        setLabelText(range_label,
                     FormatTime(sel_start, m_settings.TimeFormat()) + QStringLiteral(" - ??"));
        range_label->adjustSize();
        range_label->move(pixelEdge(markerLeft + kMarkerWidth), pixelEdge(m_markerTop));
        range_label->raise();
        range_label->show();
    }
}

void ClassDay::hideSelection()
{
    if (marker_label)
        marker_label->hide();
    if (range_label)
        range_label->hide();
}

void ClassDay::my_pic_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)
{
    if (!isInside(x, y))
        return;
    const std::optional<GridLine> line = FindGridLine(y);
    if (!line)
        return;
    m_selecting = true;
    sel_start = line->time;
    // No view rebuild may release this column's labels in the middle of the drag.
    if (m_host)
        m_dragPause = m_host->heartbeat().hold();
    showSelectionStart(*line);
}

void ClassDay::my_pic_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int y)
{
    if (!m_selecting || m_slotHeight <= 0)
        return;
    // Whole slots from the start line, to the nearest line (halves to even).
    const double steps = std::nearbyint((y - m_markerTop) / m_slotHeight);
    const double drawn = steps * m_slotHeight;
    const int minutes = std::max(0, int(steps) * gridMinutes());
    const int end = sel_start.minutes() + minutes;
    const QString endText = minutes == 0 || isPastDayEnd(end)
                                ? QStringLiteral("??")
                                : FormatTime(TimeOfDay::fromMinutes(end), m_settings.TimeFormat());

    const double markerLeft = m_startX + kMarkerLeft;
    if (marker_label)
        setTwipsGeometry(marker_label, markerLeft, m_markerTop, kMarkerWidth,
                         drawn > 0 ? drawn : kMarkerHeight);
    if (range_label) {
        setLabelText(range_label, FormatTime(sel_start, m_settings.TimeFormat()) +
                                      QStringLiteral(" - ") + endText);
        range_label->adjustSize();
    }
}

void ClassDay::my_pic_MouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)
{
    if (!m_selecting)
        return;
    m_selecting = false;
    hideSelection();
    // However the selection ends, this column lets the heartbeat go; an edit the host starts
    // holds it on its own.
    m_dragPause.release();

    if (!isInside(x, y))
        return;
    const std::optional<GridLine> line = FindGridLine(y);
    if (!line)
        return;
    sel_end = line->time;
    if (sel_end > sel_start && m_host)
        m_host->RangeSelected(m_datum, sel_start, sel_end);
    else if (sel_end == sel_start && m_host)
        m_host->TimePicked(m_datum, sel_start);
}
