#include "exchange/form_import_ics.h"

#include "calendar/Formats.h"
#include "profile/ProfileCache.h"
#include "service/CancellableFileAccess.h"
#include "service/FolderJobs.h"
#include "service/ImportRun.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "store/DataAccess.h"
#include "threads/WorkerThread.h"
#include "ui/ApiColorPicker.h"
#include "ui/MousePointer.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <atomic>

form_import_ics::form_import_ics(Settings& settings, FolderJobs& jobs, const QString& path,
                                 IcsWindowHooks hooks, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_path(path)
    , m_jobs(jobs)
    , m_hooks(hooks.withDefaults())
    , m_worker(jobs.thread(QStringLiteral("iCalendar import")))
{
    Form_Load();
    readFile();
}

form_import_ics::~form_import_ics()
{
    if (m_importing)
        SetMousePointer(0);
}

void form_import_ics::Form_Load()
{
    setObjectName(QStringLiteral("form_import_ics"));
    setWindowTitle(tr("Import iCalendar"));
    label_datei = new QLabel(tr("Reading %1 ...").arg(QFileInfo(m_path).fileName()), this);
    label_datei->setObjectName(QStringLiteral("label_datei"));
    label_datei->setWordWrap(true);
    label_color = new QLabel(tr("Use color:"), this);
    label_color->setObjectName(QStringLiteral("label_color"));
    combo_color = new QComboBox(this);
    combo_color->setObjectName(QStringLiteral("combo_color"));
    for (int n = 1; n <= Settings::kColorCount; ++n)
        combo_color->addItem(ColorSwatch(ColorOfRgbValue(m_settings.Color(n))),
                             TwoDigits(n) + QStringLiteral("    ") + m_settings.ColorText(n));
    combo_color->setCurrentIndex(0);
    command_ok = new QPushButton(tr("Import"), this);
    command_ok->setObjectName(QStringLiteral("command_ok"));
    command_ok->setDefault(true);
    command_ok->setEnabled(false); // until the file is read
    command_cancel = new QPushButton(tr("Cancel"), this);
    command_cancel->setObjectName(QStringLiteral("command_cancel"));

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(label_color);
    colorRow->addWidget(combo_color, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(command_ok);
    buttons->addWidget(command_cancel);
    auto* column = new QVBoxLayout(this);
    column->addWidget(label_datei);
    column->addLayout(colorRow);
    column->addStretch(1);
    column->addLayout(buttons);
    resize(420, 160);

    connect(command_ok, &QPushButton::clicked, this, &form_import_ics::command_ok_Click);
    connect(command_cancel, &QPushButton::clicked, this, &form_import_ics::command_cancel_Click);
}

int form_import_ics::colorCode() const
{
    return combo_color->currentIndex() + 1;
}

void form_import_ics::readFile()
{
    // The file may lie on a share as well; a large one takes a while to check, too.
    m_worker->post([this, reply = m_worker->replies(), makeFiles = m_jobs.files(), path = m_path] {
        const std::unique_ptr<FileAccess> files = makeFiles();
        QString reason;
        std::optional<QByteArray> bytes = ReadIcsFile(*files, path, &reason);
        IcsCheck check;
        if (bytes)
            check = CheckIcs(*bytes);
        reply([this, bytes = std::move(bytes), reason, check] {
            m_reading = false;
            m_check = check;
            if (bytes)
                m_bytes = *bytes;
            if (!m_check.ok) {
                m_problem = tr("%1 cannot be imported.").arg(QDir::toNativeSeparators(m_path)) +
                            QStringLiteral("\r\n") + (bytes ? m_check.error : reason);
                QDialog::reject();
                m_hooks.error(parentWidget(), kTitle, m_problem);
                return;
            }
            const QString name = QFileInfo(m_path).fileName();
            label_datei->setText(
                tr("%1 holds %n events. They become appointments of the active data source.",
                   nullptr, m_check.events)
                    .arg(name));
            command_ok->setEnabled(true);
        });
    });
}

namespace {

// How far the working out of the events got, and whether an answer showing it is on its way:
// a large file sends a few answers, not one per event.
struct PlanningProgress {
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> answerOnItsWay{false};
};

} // namespace

void form_import_ics::command_ok_Click()
{
    if (!m_check.ok || m_importing)
        return;
    m_importing = true;
    SetMousePointer(11);
    combo_color->setEnabled(false);
    command_ok->setEnabled(false);
    startImport(false);
}

void form_import_ics::startImport(bool allowLarge)
{
    m_run = std::make_shared<ImportRun>();
    m_progress.start();
    // There from the start: working out a file's events may take a while before anything is
    // saved.
    m_progress.show(tr("Reading the events ..."), 0, m_check.events);

    IcsImportOptions options;
    options.producer = GetLoginName();
    options.stop = [run = m_run] { return run->cancel.load(); };
    options.allowLarge = allowLarge;
    options.largeImport = m_largeImport;
    options.recordSource = m_path;
    options.planning = [this, reply = m_worker->replies(), hook = m_planningHook,
                        state = std::make_shared<PlanningProgress>()](int done, int total) {
        if (hook)
            hook();
        state->done = done;
        state->total = total;
        if (!state->answerOnItsWay.exchange(true))
            reply([this, state] {
                state->answerOnItsWay = false;
                m_progress.show(tr("Reading the events ..."), state->done, state->total);
            });
    };
    // The thread gets values only: the settings stay on the window's thread.
    m_worker->post([this, reply = m_worker->replies(), run = m_run, bytes = m_bytes, options,
                    color = colorCode(), folder = m_settings.GetDataFolder(),
                    interval = m_settings.MonthInterval(), makeFiles = m_jobs.files()] {
        CancellableFileAccess files(makeFiles());
        ProfileCache profiles(files);
        DataAccess store(profiles, StoreSource::fixed(folder, interval));
        const auto progress = ImportRun::progress(run, files, reply, [this](int done, int total) {
            m_progress.show(tr("Importing appointments ..."), done, total);
        });
        const IcsImportResult result = ImportIcs(bytes, store, folder, color, progress, options);
        reply([this, result] { finishImport(result); });
    });
}

void form_import_ics::command_cancel_Click()
{
    if (!m_importing) {
        QDialog::reject();
        return;
    }
    m_run->cancel = true;
    command_cancel->setEnabled(false);
    m_progress.stop();
}

void form_import_ics::reject()
{
    if (m_importing && !m_run->cancel)
        command_cancel_Click();
    else
        QDialog::reject();
}

void form_import_ics::finishImport(const IcsImportResult& result)
{
    m_progress.stop();
    if (!result.tooLarge || result.stopped) {
        tellResult(result);
        return;
    }
    m_hooks.question(this, kTitle,
                     tr("%1 makes %2 appointments, more than %3 at once. Import them all?")
                         .arg(QFileInfo(m_path).fileName())
                         .arg(result.appointments)
                         .arg(m_largeImport),
                     [self = QPointer<form_import_ics>(this), result](bool yes) {
                         if (!self)
                             return;
                         if (yes)
                             self->startImport(true);
                         else
                             self->tellResult(result);
                     });
}

void form_import_ics::tellResult(const IcsImportResult& result)
{
    m_importing = false;
    SetMousePointer(0);
    QString text;
    const int tried = result.appointments - result.notTried;
    if (result.ok && !result.tooLarge && (tried > 0 || result.removed > 0))
        m_jobs.wrote({}); // the import does not list its files
    if (result.tooLarge) {
        text = tr("Nothing was imported.");
    } else if (result.stopped && tried == 0) {
        text = tr("Cancelled before anything was saved.");
    } else {
        if (result.stopped)
            text = tr("Cancelled: %1 of %n appointments saved.", nullptr, result.appointments)
                       .arg(tried - result.failed) +
                   QStringLiteral("\n");
        text += IcsImportSummary(result);
        if (!result.record.isEmpty())
            text += QStringLiteral("\n") + tr("File > Undo last import takes it back.");
    }
    // Over the parent: the window closes now.
    if (result.failed > 0)
        m_hooks.error(parentWidget(), kTitle, text);
    else
        m_hooks.message(parentWidget(), kTitle, text);
    accept();
}
