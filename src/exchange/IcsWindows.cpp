#include "exchange/IcsWindows.h"

#include "exchange/ImportRecord.h"
#include "exchange/form_export_ics.h"
#include "exchange/form_import_ics.h"
#include "profile/FileAccess.h"
#include "service/FolderJobs.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "threads/WorkerThread.h"
#include "ui/ApiOpenSave.h"
#include "ui/ImportProgress.h"

#include <QDir>
#include <QPointer>
#include <QProgressDialog>

#include <atomic>
#include <memory>

namespace {

// Opens window over its parent, deleted once closed, and runs done then.
void openWindow(QDialog* window, std::function<void()> done)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(window, &QDialog::finished, window, [done = std::move(done)] { done(); });
    window->open();
}

// The undo's steps, each begun by the answer of the one before: look for the user's last
// import, ask, take it back, tell. A child of the window it was opened over; it deletes itself
// at its end. A Cancel ends it at once: a share may never answer.
class UndoLastImport : public QObject {
public:
    UndoLastImport(QWidget* parent, Settings& settings, FolderJobs& jobs,
                   std::function<void()> done, IcsWindowHooks hooks)
        : QObject(parent)
        , m_parent(parent)
        , m_jobs(jobs)
        , m_folder(settings.GetDataFolder())
        , m_done(std::move(done))
        , m_hooks(hooks.withDefaults())
        , m_progress(new QProgressDialog(ImportRecord::tr("Looking for your last import ..."),
                                         ImportRecord::tr("Cancel"), 0, 0, parent))
        , m_worker(jobs.thread(QStringLiteral("undo import")))
    {
        m_progress->setObjectName(QStringLiteral("progress_undo_import"));
        m_progress->setWindowTitle(form_import_ics::kTitle);
        m_progress->setWindowModality(Qt::WindowModal);
        m_progress->setMinimumDuration(0);
        QObject::connect(m_progress, &QProgressDialog::canceled, this, [this] { cancel(); });
    }
    ~UndoLastImport() override { delete m_progress; }

    void start()
    {
        m_progress->show();
        m_worker->post([this, reply = m_worker->replies(), files = m_jobs.files(),
                        folder = m_folder, user = GetLoginName()] {
            const std::unique_ptr<FileAccess> access = files();
            const QString path = LastImportRecord(folder, user, *access);
            const ImportRecordInfo last =
                path.isEmpty() ? ImportRecordInfo{} : ReadImportRecord(path, *access);
            reply([this, last] { found(last); });
        });
    }

private:
    enum class Step { Looking, Asking, TakingBack, Done };

    void found(const ImportRecordInfo& last)
    {
        if (m_step != Step::Looking)
            return;
        m_progress->hide();
        if (!last.ok) {
            m_hooks.message(m_parent, form_import_ics::kTitle,
                            ImportRecord::tr("There is no import of yours to take back in %1.")
                                .arg(QDir::toNativeSeparators(m_folder)));
            finish();
            return;
        }
        m_step = Step::Asking;
        m_record = last;
        m_hooks.question(
            m_parent, form_import_ics::kTitle,
            ImportRecord::tr("Take back the import of %1 on %2? The %n appointments it created "
                             "are removed, unless changed since.",
                             nullptr, int(last.created.size()))
                .arg(QDir::toNativeSeparators(last.source),
                     last.started.toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
            [self = QPointer<UndoLastImport>(this)](bool yes) {
                if (!self)
                    return;
                if (yes)
                    self->takeBack();
                else
                    self->finish();
            });
    }

    void takeBack()
    {
        m_step = Step::TakingBack;
        m_progress->setLabelText(ImportRecord::tr("Taking back the import ..."));
        m_progress->show();
        m_worker->post([this, reply = m_worker->replies(), files = m_jobs.files(),
                        record = m_record.path, stop = m_stop] {
            const std::unique_ptr<FileAccess> access = files();
            const UndoOutcome undone = UndoImport(record, *access, [stop] { return stop->load(); });
            reply([this, undone] { tookBack(undone); });
        });
    }

    void tookBack(const UndoOutcome& undone)
    {
        if (m_step != Step::TakingBack)
            return;
        if (undone.removed > 0)
            tellRemoved();
        const QString summary = UndoSummary(undone);
        if (undone.failed > 0 || !undone.record.ok)
            m_hooks.error(m_parent, form_import_ics::kTitle, summary);
        else
            m_hooks.message(m_parent, form_import_ics::kTitle, summary);
        finish();
    }

    void cancel()
    {
        *m_stop = true;
        if (m_step == Step::TakingBack) {
            tellRemoved(); // some may be gone already
            m_hooks.error(
                m_parent, form_import_ics::kTitle,
                ImportRecord::tr("Stopped before the end; the record stays for another try"));
        }
        if (m_step == Step::Looking || m_step == Step::TakingBack)
            finish();
    }

    // The files the import created, removed or not: their days are read again.
    void tellRemoved()
    {
        QStringList paths;
        for (const ImportedFile& file : m_record.created)
            paths << m_record.folder + file.relative;
        m_jobs.wrote(paths);
    }

    void finish()
    {
        m_step = Step::Done;
        m_progress->hide();
        deleteLater();
        if (const std::function<void()> done = std::exchange(m_done, {}))
            done();
    }

    QWidget* m_parent;
    FolderJobs& m_jobs;
    QString m_folder;
    std::function<void()> m_done;
    IcsWindowHooks m_hooks;
    QPointer<QProgressDialog> m_progress; // a child of m_parent, which may go first
    Step m_step = Step::Looking;
    ImportRecordInfo m_record;
    std::shared_ptr<std::atomic<bool>> m_stop = std::make_shared<std::atomic<bool>>(false);
    // Declared last, ended first: nothing answers into this object once it is going.
    std::unique_ptr<WorkerThread> m_worker;
};

} // namespace

IcsWindowHooks IcsWindowHooks::withDefaults() const
{
    IcsWindowHooks hooks = *this;
    if (!hooks.message)
        hooks.message = [](QWidget* owner, const QString& title, const QString& text) {
            OpenMessageBox(owner, QMessageBox::Information, title, text);
        };
    if (!hooks.question)
        hooks.question = [](QWidget* owner, const QString& title, const QString& text,
                            std::function<void(bool)> answer) {
            OpenMessageBox(owner, QMessageBox::Question, title, text, std::move(answer));
        };
    if (!hooks.error)
        hooks.error = [](QWidget* owner, const QString& title, const QString& text) {
            OpenMessageBox(owner, QMessageBox::Critical, title, text);
        };
    return hooks;
}

void ExportIcsWindow(QWidget* parent, Settings& settings, FolderJobs& jobs, const QDate& shownDate,
                     std::function<void()> done, IcsWindowHooks hooks)
{
    openWindow(new form_export_ics(settings, jobs, shownDate, std::move(hooks), parent),
               std::move(done));
}

void ImportIcsWindow(QWidget* parent, Settings& settings, FolderJobs& jobs,
                     std::function<void()> done, IcsWindowHooks hooks)
{
    QString filter;
    AddFileFilter(filter, form_import_ics::tr("iCalendar files (*.ics)"), QStringLiteral("*.ics"));
    AddFileFilter(filter, form_import_ics::tr("All files (*.*)"), QStringLiteral("*.*"));
    ShowFileDialog(parent, filter, 1, {}, QString(), QString(),
                   form_import_ics::tr("Import iCalendar"), QString(), true,
                   [parent, &settings, &jobs, done = std::move(done),
                    hooks = std::move(hooks)](const QString& path, QFileDialog::Options) mutable {
                       if (path.isEmpty()) {
                           done();
                           return;
                       }
                       // A file that cannot be imported is told once it is read, and the
                       // window closes.
                       openWindow(
                           new form_import_ics(settings, jobs, path, std::move(hooks), parent),
                           std::move(done));
                   });
}

void UndoLastImportWindow(QWidget* parent, Settings& settings, FolderJobs& jobs,
                          std::function<void()> done, IcsWindowHooks hooks)
{
    (new UndoLastImport(parent, settings, jobs, std::move(done), std::move(hooks)))->start();
}
