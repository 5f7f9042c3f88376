#include "views/form_tooltip.h"

#include "calendar/Formats.h"
#include "profile/ShownText.h"
#include "settings/Language.h"
#include "store/ClassTermin.h"
#include "store/PeopleText.h"
#include "store/TimeRangeText.h"
#include "ui/ScreenColors.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

const QColor form_tooltip::kBackground(255, 255, 240);
const QColor form_tooltip::kBorder(150, 150, 150);

namespace {

const char* const kContext = "form_tooltip";
const char* const kSingle = QT_TRANSLATE_NOOP("form_tooltip", "Single appointment");
const char* const kAppointment = QT_TRANSLATE_NOOP("form_tooltip", "Appointment ");
const char* const kRecurring = QT_TRANSLATE_NOOP("form_tooltip", "recurring ");
const char* const kWithReminder = QT_TRANSLATE_NOOP("form_tooltip", "with reminder");
const char* const kRooms = QT_TRANSLATE_NOOP("form_tooltip", "Rooms: %1");
const char* const kLocation = QT_TRANSLATE_NOOP("form_tooltip", "Location: %1");
const char* const kCategories = QT_TRANSLATE_NOOP("form_tooltip", "Categories: %1");

constexpr int kMaxTextWidth = 320;
const QColor kSecondaryText(96, 96, 96);

QLabel* makeLabel(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    // Clicks go through to the window, which closes on them.
    label->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    return label;
}

QFrame* makeLine(QWidget* parent, const QString& name)
{
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    QPalette palette = line->palette();
    palette.setColor(QPalette::WindowText, ScreenColors(palette).adapt(QColor(215, 215, 205)));
    line->setPalette(palette);
    return line;
}

void setTextColor(QLabel* label, const QColor& color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText,
                     ScreenColors(palette).legible(color, palette.color(QPalette::Window)));
    label->setPalette(palette);
}

} // namespace

form_tooltip::form_tooltip(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("form_tooltip"));
    // Like a tooltip: showing it must not take the activation from the window being pressed.
    setAttribute(Qt::WA_ShowWithoutActivating);
    QPalette palette = this->palette();
    const ScreenColors colors(palette);
    palette.setColor(QPalette::Window, colors.adapt(kBackground));
    palette.setColor(QPalette::WindowText, colors.ink());
    setPalette(palette);

    m_labelText = makeLabel(this, QStringLiteral("label_text"));
    m_labelText->setWordWrap(true);
    m_labelText->setMaximumWidth(kMaxTextWidth);
    QFont bold = m_labelText->font();
    bold.setBold(true);
    m_labelText->setFont(bold);

    m_labelRecurring = makeLabel(this, QStringLiteral("label_recurring"));
    m_labelProducer = makeLabel(this, QStringLiteral("label_producer"));
    setTextColor(m_labelRecurring, kSecondaryText);
    setTextColor(m_labelProducer, kSecondaryText);
    m_labelRooms = makeLabel(this, QStringLiteral("label_rooms"));
    m_labelRooms->setWordWrap(true);
    m_labelRooms->setMaximumWidth(kMaxTextWidth);
    setTextColor(m_labelRooms, kSecondaryText);
    m_labelLocation = makeLabel(this, QStringLiteral("label_location"));
    m_labelLocation->setWordWrap(true);
    m_labelLocation->setMaximumWidth(kMaxTextWidth);
    setTextColor(m_labelLocation, kSecondaryText);
    m_labelPeople = makeLabel(this, QStringLiteral("label_people"));
    m_labelPeople->setWordWrap(true);
    m_labelPeople->setMaximumWidth(kMaxTextWidth);
    setTextColor(m_labelPeople, kSecondaryText);
    m_labelCategories = makeLabel(this, QStringLiteral("label_categories"));
    m_labelCategories->setWordWrap(true);
    m_labelCategories->setMaximumWidth(kMaxTextWidth);
    setTextColor(m_labelCategories, kSecondaryText);
    m_line2 = makeLine(this, QStringLiteral("Line2"));
    m_line1 = makeLine(this, QStringLiteral("Line1"));
    m_labelDatum = makeLabel(this, QStringLiteral("label_datum"));
    m_labelZeit = makeLabel(this, QStringLiteral("label_zeit"));

    auto* when = new QHBoxLayout;
    when->setSpacing(16);
    when->addWidget(m_labelDatum);
    when->addStretch(1);
    when->addWidget(m_labelZeit);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(3);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(m_labelText);
    layout->addWidget(m_line2);
    layout->addWidget(m_labelRecurring);
    layout->addWidget(m_labelProducer);
    layout->addWidget(m_labelRooms);
    layout->addWidget(m_labelLocation);
    layout->addWidget(m_labelPeople);
    layout->addWidget(m_labelCategories);
    layout->addWidget(m_line1);
    layout->addLayout(when);
}

QString form_tooltip::KindText(bool recurring, bool reminder, const QString& langCode)
{
    const auto text = [&](const char* source) {
        return Language::translate(kContext, source, langCode);
    };
    if (!recurring && !reminder)
        return text(kSingle);
    QString kind = text(kAppointment);
    if (recurring)
        kind += text(kRecurring);
    if (reminder)
        kind += text(kWithReminder);
    return kind;
}

void form_tooltip::SetAppointment(const ClassTermin& appointment, const QString& langCode,
                                  const QString& timeFormat, const QString& dateFormat)
{
    m_labelText->setText(textLines(appointment.Text()).join(QLatin1Char('\n')));
    m_labelRecurring->setText(KindText(appointment.repeats(), appointment.IsReminder(), langCode));
    m_labelProducer->setText(appointment.Producer());
    // The rooms' names as the appointment writes them, never translated.
    m_labelRooms->setText(
        Language::translate(kContext, kRooms, langCode).arg(appointment.Rooms().join(u"; ")));
    m_labelRooms->setVisible(!appointment.Rooms().isEmpty());
    m_labelLocation->setText(
        Language::translate(kContext, kLocation, langCode).arg(appointment.Location()));
    m_labelLocation->setVisible(!appointment.Location().isEmpty());
    QStringList people = {PeopleText::organizerText(appointment.Organizer(), langCode),
                          PeopleText::attendeesText(appointment.Attendees(), langCode)};
    people.removeAll(QString());
    m_labelPeople->setText(people.join(u'\n'));
    m_labelPeople->setVisible(!people.isEmpty());
    m_labelCategories->setText(Language::translate(kContext, kCategories, langCode)
                                   .arg(appointment.Categories().join(u", ")));
    m_labelCategories->setVisible(!appointment.Categories().isEmpty());
    m_labelDatum->setText(FormatDate(appointment.datum(), dateFormat));
    m_labelZeit->setText(TimeRangeWithZone(appointment, timeFormat, langCode));
    adjustSize();
}

void form_tooltip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kBackground);
    p.setPen(ScreenColors::of(this).adapt(kBorder));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void form_tooltip::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    Form_Click();
}

bool form_tooltip::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate)
        Form_LostFocus();
    return QWidget::event(event);
}

void form_tooltip::Form_Click()
{
    close();
}

void form_tooltip::Form_LostFocus()
{
    close();
}
