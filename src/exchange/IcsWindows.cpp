#include "exchange/IcsWindows.h"

#include "exchange/ImportRecord.h"
#include "exchange/form_export_ics.h"
#include "exchange/form_import_ics.h"
#include "profile/FileAccess.h"
#include "service/WorkerThread.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "ui/ApiOpenSave.h"

#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>

#include <atomic>
#include <memory>
#include <optional>

namespace {

void messageBox(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText); // it names files and events
    box.exec();
}

// What a job on the worker answers, and whether anyone still waits for it.
template <typename T> struct Awaited {
    std::optional<T> answer;
    QEventLoop* loop = nullptr;
};

// Runs job on worker and waits for its answer, the window's events going on; nullopt when the
// user cancels progress first (a share may never answer).
template <typename T>
std::optional<T> await(WorkerThread& worker, QProgressDialog& progress, std::function<T()> job)
{
    auto awaited = std::make_shared<Awaited<T>>();
    QEventLoop loop;
    awaited->loop = &loop;
    const QMetaObject::Connection cancelled =
        QObject::connect(&progress, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    worker.post([job = std::move(job), reply = worker.replies(), awaited] {
        T value = job();
        reply([value = std::move(value), awaited] {
            if (!awaited->loop)
                return;
            awaited->answer = value;
            awaited->loop->quit();
        });
    });
    loop.exec();
    awaited->loop = nullptr;
    QObject::disconnect(cancelled);
    return awaited->answer;
}

} // namespace

IcsWindowHooks IcsWindowHooks::withDefaults() const
{
    IcsWindowHooks hooks = *this;
    if (!hooks.message)
        hooks.message = [](QWidget* owner, const QString& title, const QString& text) {
            messageBox(owner, QMessageBox::Information, title, text);
        };
    if (!hooks.question)
        hooks.question = [](QWidget* owner, const QString& title, const QString& text) {
            QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                            owner);
            box.setTextFormat(Qt::PlainText);
            box.setDefaultButton(QMessageBox::No);
            return box.exec() == QMessageBox::Yes;
        };
    if (!hooks.error)
        hooks.error = [](QWidget* owner, const QString& title, const QString& text) {
            messageBox(owner, QMessageBox::Critical, title, text);
        };
    return hooks;
}

void ExportIcsWindow(QWidget* parent, Settings& settings, const QDate& shownDate,
                     IcsWindowHooks hooks)
{
    form_export_ics window(settings, shownDate, std::move(hooks), parent);
    window.exec();
}

void ImportIcsWindow(QWidget* parent, Settings& settings, IcsWindowHooks hooks)
{
    QString filter;
    AddFileFilter(filter, form_import_ics::tr("iCalendar files (*.ics)"), QStringLiteral("*.ics"));
    AddFileFilter(filter, form_import_ics::tr("All files (*.*)"), QStringLiteral("*.*"));
    const QString path = ShowFileDialog(parent, filter, 1, nullptr, QString(), QString(),
                                        form_import_ics::tr("Import iCalendar"));
    if (path.isEmpty())
        return;
    // A file that cannot be imported is told once it is read, and the window closes.
    form_import_ics window(settings, path, std::move(hooks), parent);
    window.exec();
}

void UndoLastImportWindow(QWidget* parent, Settings& settings, IcsWindowHooks hooks)
{
    hooks = hooks.withDefaults();
    const QString& title = form_import_ics::kTitle;
    const QString folder = settings.GetDataFolder();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    QProgressDialog progress(ImportRecord::tr("Looking for your last import ..."),
                             ImportRecord::tr("Cancel"), 0, 0, parent);
    progress.setObjectName(QStringLiteral("progress_undo_import"));
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    QObject::connect(&progress, &QProgressDialog::canceled, [stop] { *stop = true; });
    // Declared last, ended first: nothing answers into this function once it has returned.
    WorkerThread worker(QStringLiteral("undo import"));

    progress.show();
    const std::optional<ImportRecordInfo> last =
        await<ImportRecordInfo>(worker, progress, [folder, user = GetLoginName()] {
            FileAccess& files = ThreadFileAccess();
            const QString path = LastImportRecord(folder, user, files);
            return path.isEmpty() ? ImportRecordInfo{} : ReadImportRecord(path, files);
        });
    progress.hide();
    if (!last)
        return;
    if (!last->ok) {
        hooks.message(parent, title,
                      ImportRecord::tr("There is no import of yours to take back in %1.")
                          .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    if (!hooks.question(parent, title,
                        ImportRecord::tr("Take back the import of %1 on %2? The %3 appointments it "
                                         "created are removed, unless changed since.")
                            .arg(QDir::toNativeSeparators(last->source),
                                 last->started.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                            .arg(last->created.size())))
        return;

    progress.setLabelText(ImportRecord::tr("Taking back the import ..."));
    progress.show();
    const std::optional<UndoOutcome> undone =
        await<UndoOutcome>(worker, progress, [record = last->path, stop] {
            return UndoImport(record, ThreadFileAccess(), [stop] { return stop->load(); });
        });
    progress.hide();
    if (!undone) {
        hooks.error(parent, title,
                    ImportRecord::tr("Stopped before the end; the record stays for another try"));
        return;
    }
    if (undone->failed > 0 || !undone->record.ok)
        hooks.error(parent, title, UndoSummary(*undone));
    else
        hooks.message(parent, title, UndoSummary(*undone));
}
