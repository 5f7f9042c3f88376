#include "form_export_ics.h"

#include "ApiOpenSave.h"
#include "Common.h"
#include "DataAccess.h"
#include "IcsExport.h"
#include "MousePointer.h"
#include "ProfileCache.h"
#include "Settings.h"
#include "WorkerThread.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Norvane4");

// The settings' date pattern ("dd.mm.yyyy", German "tt.mm.jjjj") as Qt writes it.
QString displayFormat(const QString& pattern)
{
    QString format;
    for (QChar c : pattern) {
        if (c == u'd' || c == u't')
            format += u'd';
        else if (c == u'm')
            format += u'M';
        else if (c == u'y' || c == u'j')
            format += u'y';
        else
            format += c;
    }
    return format;
}

} // namespace

form_export_ics::form_export_ics(Settings& settings, const QDate& shownDate, IcsWindowHooks hooks,
                                 QWidget* parent, IcsJobFiles makeFiles)
    : QDialog(parent)
    , m_settings(settings)
    , m_shownDate(shownDate.isValid() ? shownDate : QDate::currentDate())
    , m_hooks(hooks.withDefaults())
    , m_makeFiles(std::move(makeFiles))
    , m_worker(std::make_unique<WorkerThread>(QStringLiteral("iCalendar export")))
{
    if (!m_makeFiles)
        m_makeFiles = [] { return std::make_unique<RealFileAccess>(); };
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
    auto dateEdit = [this](const char* name) {
        auto* edit = new QDateEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(displayFormat(m_settings.DateFormat()));
        edit->setDateRange(QDate(1900, 1, 1), QDate(2200, 12, 31));
        return edit;
    };
    label_von = new QLabel(tr("From:"), this);
    label_von->setObjectName(QStringLiteral("label_von"));
    date_von = dateEdit("date_von");
    label_bis = new QLabel(tr("To:"), this);
    label_bis->setObjectName(QStringLiteral("label_bis"));
    date_bis = dateEdit("date_bis");
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
    dates->addWidget(label_von, 0, 0);
    dates->addWidget(date_von, 0, 1);
    dates->addWidget(command_week, 0, 2);
    dates->addWidget(label_bis, 1, 0);
    dates->addWidget(date_bis, 1, 1);
    dates->addWidget(command_month, 1, 2);
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

QDate form_export_ics::fromDate() const
{
    return date_von->date();
}

QDate form_export_ics::toDate() const
{
    return date_bis->date();
}

void form_export_ics::command_week_Click()
{
    date_von->setDate(StartOfWeek(m_shownDate, m_settings.FirstWeekday()));
    date_bis->setDate(EndOfWeek(m_shownDate, m_settings.FirstWeekday()));
}

void form_export_ics::command_month_Click()
{
    const QDate first(m_shownDate.year(), m_shownDate.month(), 1);
    date_von->setDate(first);
    date_bis->setDate(first.addMonths(1).addDays(-1));
}

void form_export_ics::command_ok_Click()
{
    if (fromDate() > toDate()) {
        m_hooks.error(this, kTitle, tr("The first day lies after the last day."));
        return;
    }
    QString filter;
    AddFileFilter(filter, tr("iCalendar files (*.ics)"), QStringLiteral("*.ics"));
    const QString name = QStringLiteral("norvane-%1-%2.ics")
                             .arg(fromDate().toString(Qt::ISODate), toDate().toString(Qt::ISODate));
    const QString path = ShowFileDialog(this, filter, 1, nullptr, QStringLiteral("ics"), name,
                                        tr("Export to iCalendar"), QString(), false);
    if (path.isEmpty())
        return;

    setExporting(true);
    // The thread gets values only: the settings stay on the window's thread.
    m_worker->post([this, reply = m_worker->replies(), abandoned = m_abandoned, from = fromDate(),
                    to = toDate(), folder = m_settings.GetDataFolder(),
                    interval = m_settings.MonthInterval(), path, makeFiles = m_makeFiles] {
        const std::unique_ptr<FileAccess> files = makeFiles();
        ProfileCache profiles(*files);
        DataAccess store(profiles, StoreSource::fixed(folder, interval));
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
    m_hooks.message(this, kTitle, tr("%1 appointments exported.").arg(count));
    accept();
}

void form_export_ics::reject()
{
    *m_abandoned = true;
    setExporting(false);
    QDialog::reject();
}
