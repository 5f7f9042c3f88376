#include "remind/form_remind_list.h"

#include "calendar/Formats.h"
#include "settings/Language.h"
#include "settings/Settings.h"
#include "store/ClassTermin.h"
#include "store/TimeRangeText.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kContext = "form_remind_list";

// The first line of a text that may hold line breaks.
QString firstLine(const QString& text)
{
    return text.section(QLatin1Char('\r'), 0, 0).section(QLatin1Char('\n'), 0, 0);
}

} // namespace

form_remind_list::form_remind_list(const Settings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_settings(settings)
    , m_heading(new QLabel(this))
    , m_list(new QListWidget(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(text(QT_TRANSLATE_NOOP("form_remind_list", "Norvane4 Reminder")));
    m_heading->setObjectName(QStringLiteral("label_heading"));
    m_list->setObjectName(QStringLiteral("list_reminders"));
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setMinimumSize(360, 160);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("command_ok"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_list, 1);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

QString form_remind_list::text(const char* source) const
{
    return Language::translate(kContext, source, m_settings.LangCode());
}

void form_remind_list::add(const ClassTermin& appointment)
{
    // A list item shows its text as it is: no markup from the share is ever rendered.
    m_list->addItem(FormatDate(appointment.datum(), m_settings.DateFormat()) + QLatin1Char(' ') +
                    TimeRangeText(appointment, m_settings.TimeFormat(), m_settings.LangCode()) +
                    QStringLiteral("  ") + firstLine(appointment.GetFormatedText()));
    m_heading->setText(
        text(QT_TRANSLATE_NOOP("form_remind_list", "Further reminders: %1")).arg(count()));
    m_list->setAccessibleName(m_heading->text()); // a list is not named by a label
}

int form_remind_list::count() const
{
    return m_list->count();
}

QString form_remind_list::line(int row) const
{
    const QListWidgetItem* item = m_list->item(row);
    return item ? item->text() : QString();
}
