#include "exchange/form_export_ics.h"

#include "calendar/Formats.h"
#include "calendar/TypedDate.h"
#include "calendar/Weeks.h"
#include "exchange/IcsExport.h"
#include "profile/ProfileCache.h"
#include "service/FolderJobs.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "store/DataAccess.h"
#include "threads/WorkerThread.h"
#include "ui/ApiOpenSave.h"
#include "ui/MousePointer.h"

#include <QCalendarWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Norvane4");

const QDate kFirstDate(1900, 1, 1);
const QDate kLastDate(2200, 12, 31);

// A date typed in the order of the settings' pattern, as the editor reads it; invalid outside
// the days the views show.
QDate typedDate(const QString& text, const QString& pattern)
{
    const std::optional<QDate> date = TypedDate::parse(text, pattern, QDate::currentDate());
    return date && *date >= kFirstDate && *date <= kLastDate ? *date : QDate();
}

} // namespace

form_export_ics::form_export_ics(Settings& settings, FolderJobs& jobs, const QDate& shownDate,
                                 IcsWindowHooks hooks, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_shownDate(shownDate.isValid() ? shownDate : QDate::currentDate())
    , m_jobs(jobs)
    , m_hooks(hooks.withDefaults())
    , m_worker(jobs.thread(QStringLiteral("iCalendar export")))
{
    Form_Load();
}

form_export_ics::~form_export_ics()
{
    *m_abandoned = true;
    setExporting(false);
}

void form_export_ics::Form_Load()
{
    setObjectName(QStringLiteral("form_export_ics"));
    setWindowTitle(tr("Export to iCalendar"));
    label_von = new QLabel(tr("From:"), this);
    label_von->setObjectName(QStringLiteral("label_von"));
    date_von = dateField("date_von", &calendar_von);
    label_bis = new QLabel(tr("To:"), this);
    label_bis->setObjectName(QStringLiteral("label_bis"));
    date_bis = dateField("date_bis", &calendar_bis);
    label_von->setBuddy(date_von);
    label_bis->setBuddy(date_bis);
    command_week = new QPushButton(tr("Shown week"), this);
    command_week->setObjectName(QStringLiteral("command_week"));
    command_month = new QPushButton(tr("Shown month"), this);
    command_month->setObjectName(QStringLiteral("command_month"));
    command_ok = new QPushButton(tr("Export..."), this);
    command_ok->setObjectName(QStringLiteral("command_ok"));
    command_ok->setDefault(true);
    command_cancel = new QPushButton(tr("Cancel"), this);
    command_cancel->setObjectName(QStringLiteral("command_cancel"));

    auto* dates = new QGridLayout;
    dates->setHorizontalSpacing(2);
    dates->addWidget(label_von, 0, 0);
    dates->addWidget(date_von, 0, 1);
    dates->addWidget(calendar_von, 0, 2);
    dates->addWidget(command_week, 0, 3);
    dates->addWidget(label_bis, 1, 0);
    dates->addWidget(date_bis, 1, 1);
    dates->addWidget(calendar_bis, 1, 2);
    dates->addWidget(command_month, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command_ok);
    buttons->addWidget(command_cancel);
    auto* column = new QVBoxLayout(this);
    column->addLayout(dates);
    column->addStretch(1);
    column->addLayout(buttons);

    command_month_Click();
    connect(command_week, &QPushButton::clicked, this, &form_export_ics::command_week_Click);
    connect(command_month, &QPushButton::clicked, this, &form_export_ics::command_month_Click);
    connect(command_ok, &QPushButton::clicked, this, &form_export_ics::command_ok_Click);
    connect(command_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* form_export_ics::dateField(const char* name, QToolButton** calendarButton)
{
    auto* field = new QLineEdit(this);
    field->setObjectName(QLatin1String(name));
    field->setPlaceholderText(m_settings.DateFormat());
    // A date typed in short ("1/31/2027") is shown as the settings write it once left.
    connect(field, &QLineEdit::editingFinished, this, [this, field] {
        const QDate date = dateIn(field);
        if (date.isValid())
            setDate(field, date);
    });
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(name) + QStringLiteral("_calendar"));
    button->setArrowType(Qt::DownArrow);
    button->setToolTip(tr("Choose from the calendar"));
    button->setAccessibleName(button->toolTip()); // an arrow only, read out by its tooltip
    connect(button, &QToolButton::clicked, this, [this, field] { showCalendar(field); });
    *calendarButton = button;
    return field;
}

void form_export_ics::setDate(QLineEdit* field, const QDate& date)
{
    field->setText(FormatDate(date, m_settings.DateFormat()));
}

QDate form_export_ics::dateIn(const QLineEdit* field) const
{
    return typedDate(field->text(), m_settings.DateFormat());
}

void form_export_ics::showCalendar(QLineEdit* field)
{
    auto* calendar = new QCalendarWidget(this);
    calendar->setObjectName(QStringLiteral("calendar"));
    calendar->setWindowFlags(Qt::Popup);
    calendar->setAttribute(Qt::WA_DeleteOnClose);
    calendar->setDateRange(kFirstDate, kLastDate);
    calendar->setFirstDayOfWeek(m_settings.FirstWeekday() == 2 ? Qt::Monday : Qt::Sunday);
    const QDate shown = dateIn(field);
    calendar->setSelectedDate(shown.isValid() ? shown : m_shownDate);
    const auto choose = [this, field, calendar](const QDate& date) {
        setDate(field, date);
        calendar->close();
    };
    connect(calendar, &QCalendarWidget::clicked, this, choose);
    connect(calendar, &QCalendarWidget::activated, this, choose);
    calendar->move(field->mapToGlobal(QPoint(0, field->height())));
    calendar->show();
    calendar->setFocus();
}

QDate form_export_ics::fromDate() const
{
    return dateIn(date_von);
}

QDate form_export_ics::toDate() const
{
    return dateIn(date_bis);
}

void form_export_ics::command_week_Click()
{
    setDate(date_von, StartOfWeek(m_shownDate, m_settings.FirstWeekday()));
    setDate(date_bis, EndOfWeek(m_shownDate, m_settings.FirstWeekday()));
}

void form_export_ics::command_month_Click()
{
    const QDate first(m_shownDate.year(), m_shownDate.month(), 1);
    setDate(date_von, first);
    setDate(date_bis, first.addMonths(1).addDays(-1));
}

void form_export_ics::command_ok_Click()
{
    for (QLineEdit* field : {date_von, date_bis}) {
        if (!dateIn(field).isValid()) {
            m_hooks.error(this, kTitle,
                          tr("Please type the dates as %1.").arg(m_settings.DateFormat()));
            field->setFocus();
            return;
        }
    }
    if (fromDate() > toDate()) {
        m_hooks.error(this, kTitle, tr("The first day lies after the last day."));
        return;
    }
    QString filter;
    AddFileFilter(filter, tr("iCalendar files (*.ics)"), QStringLiteral("*.ics"));
    const QString name = QStringLiteral("norvane-%1-%2.ics")
                             .arg(fromDate().toString(Qt::ISODate), toDate().toString(Qt::ISODate));
    ShowFileDialog(this, filter, 1, {}, QStringLiteral("ics"), name, tr("Export to iCalendar"),
                   QString(), false, [this](const QString& path, QFileDialog::Options) {
                       if (!path.isEmpty())
                           exportTo(path);
                   });
}

void form_export_ics::exportTo(const QString& path)
{
    setExporting(true);
    // The thread gets values only: the settings stay on the window's thread.
    m_worker->post([this, reply = m_worker->replies(), abandoned = m_abandoned, from = fromDate(),
                    to = toDate(), folder = m_settings.GetDataFolder(),
                    interval = m_settings.MonthInterval(), path, makeFiles = m_jobs.files()] {
        const std::unique_ptr<FileAccess> files = makeFiles();
        ProfileCache profiles(*files);
        DataAccess store(profiles, StoreSource::fixed(folder, interval, GetLoginName()));
        int count = 0;
        const QByteArray ics = ExportIcs(store, from, to, folder, {}, &count);
        if (*abandoned)
            return; // closed meanwhile: the user no longer wants the file
        // Written whole under a temporary name, then renamed: never a half file.
        const WriteOutcome written = files->writeAtomically(path, ics, QString());
        reply([this, written, path, count] { finishExport(written, path, count); });
    });
}

void form_export_ics::setExporting(bool exporting)
{
    if (exporting == m_exporting)
        return;
    m_exporting = exporting;
    SetMousePointer(exporting ? 11 : 0);
    for (QWidget* control :
         {static_cast<QWidget*>(date_von), static_cast<QWidget*>(date_bis),
          static_cast<QWidget*>(calendar_von), static_cast<QWidget*>(calendar_bis),
          static_cast<QWidget*>(command_week), static_cast<QWidget*>(command_month),
          static_cast<QWidget*>(command_ok)})
        control->setEnabled(!exporting);
}

void form_export_ics::finishExport(const WriteOutcome& written, const QString& path, int count)
{
    setExporting(false);
    if (!written.ok) {
        m_hooks.error(this, kTitle,
                      tr("The file could not be written.") + QStringLiteral("\r\n") + path +
                          QStringLiteral(": ") + written.error);
        return;
    }
    m_hooks.message(parentWidget(), kTitle,
                    tr("%n appointments exported.", nullptr, count)); // closing
    accept();
}

void form_export_ics::reject()
{
    *m_abandoned = true;
    setExporting(false);
    QDialog::reject();
}
