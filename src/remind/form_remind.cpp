#include "remind/form_remind.h"

#include "calendar/Formats.h"
#include "remind/ApiMCI.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "store/ClassTermin.h"
#include "store/TimeRangeText.h"
#include "ui/TopMost.h"

#include <QAccessible>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>

namespace {

const char* const kContext = "form_remind";

// A bell swinging by the given angle: the three frames of the animation.
QPixmap bell(qreal degrees)
{
    QPixmap pixmap(40, 40);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(20, 6);
    p.rotate(degrees);
    QPainterPath body;
    body.moveTo(-3, 2);
    body.cubicTo(-11, 4, -9, 20, -15, 26);
    body.lineTo(15, 26);
    body.cubicTo(9, 20, 11, 4, 3, 2);
    body.closeSubpath();
    p.setPen(QPen(QColor(120, 80, 0), 1.5));
    p.setBrush(QColor(240, 190, 40));
    p.drawPath(body);
    p.drawEllipse(QPointF(0, 1), 3, 3);
    p.setBrush(QColor(120, 80, 0));
    p.drawEllipse(QPointF(0, 29), 3.5, 3.5);
    return pixmap;
}

// The window's fixed picture: a clock at five to the hour.
QPixmap clockFace()
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 0, 128), 2));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(24, 24), 21, 21);
    for (int hour = 0; hour < 12; ++hour) {
        p.save();
        p.translate(24, 24);
        p.rotate(hour * 30);
        p.drawLine(QPointF(0, -18), QPointF(0, -15));
        p.restore();
    }
    p.setPen(QPen(QColor(200, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(24, 24), QPointF(24, 11));
    p.drawLine(QPointF(24, 24), QPointF(17, 9));
    return pixmap;
}

QLabel* plainLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText); // texts from the share show as written
    return label;
}

} // namespace

form_remind::form_remind(const Settings& settings, SoundPlayer& sound, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_sound(sound)
    , m_date(plainLabel(this, "label_date"))
    , m_time(plainLabel(this, "label_time"))
    , m_producer(plainLabel(this, "label_producer"))
    , m_text(plainLabel(this, "label_text"))
    , m_pic(new QLabel(this))
    , m_choice(new QComboBox(this))
    , m_again(new QTimer(this))
    , m_anim(new QTimer(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    m_pic->setObjectName(QStringLiteral("pic"));
    m_choice->setObjectName(QStringLiteral("combo_remind"));
    m_again->setObjectName(QStringLiteral("timer_again"));
    m_anim->setObjectName(QStringLiteral("timer_anim"));
    for (int i = 0; i < kFrames; ++i)
        m_frames[i] = bell(-18 + 18 * i);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setPixmap(clockFace());
    picture->setAlignment(Qt::AlignTop);
    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("command_ok"));
    ok->setDefault(true);
    QFont bold = m_date->font();
    bold.setBold(true);
    m_date->setFont(bold);
    m_time->setFont(bold);
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(260);
    m_pic->setFixedSize(40, 40);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0, 4, 1);
    grid->addWidget(m_date, 0, 1);
    grid->addWidget(m_time, 0, 2, Qt::AlignRight);
    grid->addWidget(m_producer, 1, 1, 1, 2);
    grid->addWidget(m_text, 2, 1, 1, 2);
    grid->addWidget(line, 3, 1, 1, 2);
    auto* choices = new QHBoxLayout;
    choices->addWidget(m_choice, 1);
    choices->addWidget(ok);
    choices->addWidget(m_pic);
    grid->addLayout(choices, 4, 0, 1, 3);
    grid->setRowStretch(2, 1);

    connect(ok, &QPushButton::clicked, this, &form_remind::command_ok_Click);
    m_again->setInterval(1000);
    connect(m_again, &QTimer::timeout, this, &form_remind::timer_again_Timer);
    m_anim->setInterval(100);
    connect(m_anim, &QTimer::timeout, this, &form_remind::timer_anim_Timer);
    Form_Load();
    m_anim->start();
}

QString form_remind::text(const char* source) const
{
    return Language::translate(kContext, source, m_settings.LangCode());
}

QString form_remind::title(const QString& langCode)
{
    return Language::translate(kContext, QT_TRANSLATE_NOOP("form_remind", "Norvane4 Reminder"),
                               langCode);
}

void form_remind::Form_Load()
{
    setWindowTitle(title(m_settings.LangCode()));
    m_choice->clear();
    m_choice->addItems({
        text(QT_TRANSLATE_NOOP("form_remind", "Don't remind again")),
        text(QT_TRANSLATE_NOOP("form_remind", "Remind again in 05 minutes")),
        text(QT_TRANSLATE_NOOP("form_remind", "Remind again in 15 minutes")),
        text(QT_TRANSLATE_NOOP("form_remind", "Remind again in 30 minutes")),
        text(QT_TRANSLATE_NOOP("form_remind", "Remind again in 60 minutes")),
    });
    m_choice->setCurrentIndex(0);
    m_pic->setPixmap(m_frames[m_frame]);
}

void form_remind::ShowData(const ClassTermin& appointment)
{
    m_date->setText(FormatDate(appointment.datum(), m_settings.DateFormat()));
    m_time->setText(TimeRangeText(appointment, m_settings.TimeFormat(), m_settings.LangCode()));
    m_producer->setText(appointment.Producer());
    m_text->setText(appointment.GetFormatedText());
    setAccessibleDescription(
        QStringList{m_date->text(), m_time->text(), m_producer->text(), m_text->text()}.join(
            QLatin1Char('\n')));
    adjustSize();
}

void form_remind::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // As a message box does: a screen reader reads the window out as it appears.
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void form_remind::command_ok_Click()
{
    const int choice = m_choice->currentIndex();
    if (choice == 0) {
        close();
    } else if (choice >= 1 && choice <= 4) {
        m_countdown = kDelays[choice - 1];
        hide();
        m_again->start();
    }
}

void form_remind::timer_again_Timer()
{
    if (--m_countdown >= 1)
        return;
    m_again->stop();
    m_countdown = 0;
    m_choice->setCurrentIndex(0);
    show();
    if (m_settings.PlaySound())
        m_sound.PlaySoundFile(m_settings.SoundFile());
    MakeTopMost(this);
}

void form_remind::timer_anim_Timer()
{
    if (--m_frame < 0)
        m_frame = kFrames - 1;
    m_pic->setPixmap(m_frames[m_frame]);
}
