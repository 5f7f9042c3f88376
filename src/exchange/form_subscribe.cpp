#include "exchange/form_subscribe.h"

#include "settings/Settings.h"
#include "sync/SubscriptionScheduler.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

form_subscribe::form_subscribe(SubscriptionScheduler& scheduler, QWidget* parent)
    : QDialog(parent)
    , m_scheduler(scheduler)
    , m_url(new QLineEdit(this))
    , m_name(new QLineEdit(this))
    , m_color(new QSpinBox(this))
    , m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("form_subscribe"));
    setWindowTitle(tr("Subscribe to calendar"));
    m_url->setObjectName(QStringLiteral("text_feed_url"));
    m_url->setPlaceholderText(QStringLiteral("https://example.org/calendar.ics"));
    m_url->setAccessibleName(tr("Address of the calendar"));
    m_name->setObjectName(QStringLiteral("text_feed_name"));
    m_name->setAccessibleName(tr("Name of the subscription"));
    m_color->setObjectName(QStringLiteral("spin_feed_color"));
    m_color->setRange(1, Settings::kColorCount);
    m_color->setAccessibleName(tr("Colour of its appointments"));
    m_status->setObjectName(QStringLiteral("label_feed_status"));
    m_status->setWordWrap(true);
    m_status->setTextFormat(Qt::PlainText); // a feed's words are never markup
    auto* form = new QFormLayout;
    form->addRow(tr("&Address:"), m_url);
    form->addRow(tr("&Name:"), m_name);
    form->addRow(tr("&Colour:"), m_color);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(tr("&Subscribe"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Every copy of the team shows what the calendar holds, "
                                    "brought into the data folder and refreshed as often as "
                                    "the settings' Sync page says."),
                                 this));
    layout->addLayout(form);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &form_subscribe::subscribe);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(&m_scheduler, &SubscriptionScheduler::subscribed, this,
            [this](const Subscriptions::RefreshResult& result) {
                if (!m_waiting)
                    return;
                m_waiting = false;
                m_ok->setEnabled(true);
                using Exit = Subscriptions::RefreshResult::Exit;
                if (result.exit == Exit::Updated || result.exit == Exit::Unchanged)
                    accept();
                else
                    m_status->setText(result.message);
            });
}

void form_subscribe::subscribe()
{
    if (m_waiting)
        return;
    QString why;
    Subscription s;
    s.url = Subscriptions::feedUrl(m_url->text(), &why);
    s.name = m_name->text().simplified();
    s.id = Subscriptions::idOf(s.name);
    s.colorCode = m_color->value();
    if (s.url.isEmpty())
        return m_status->setText(why);
    if (s.id.isEmpty())
        return m_status->setText(tr("Give the subscription a name with letters or digits."));
    m_waiting = true;
    m_ok->setEnabled(false);
    m_status->setText(tr("Bringing the calendar..."));
    m_scheduler.subscribe(s);
}
