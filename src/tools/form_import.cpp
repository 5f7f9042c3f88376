#include "tools/form_import.h"

#include "calendar/Formats.h"
#include "profile/ProfileCache.h"
#include "service/CancellableFileAccess.h"
#include "service/FolderJobs.h"
#include "service/ImportRun.h"
#include "settings/Settings.h"
#include "store/DataAccess.h"
#include "threads/WorkerThread.h"
#include "ui/ApiColorPicker.h"
#include "ui/ApiOpenSave.h"
#include "ui/MousePointer.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>

namespace {

const QString kTitle = QStringLiteral("Norvane4");

// Up to kNamed names in quotes: a list of many repeated sections names the first few.
QString namesOf(const QStringList& names)
{
    constexpr qsizetype kNamed = 10;
    QStringList quoted;
    for (qsizetype i = 0; i < names.size() && i < kNamed; ++i)
        quoted << QLatin1Char('"') + names[i] + QLatin1Char('"');
    QString text = quoted.join(QStringLiteral(", "));
    if (names.size() > kNamed)
        text += form_import::tr(" and %1 more").arg(names.size() - kNamed);
    return text;
}

} // namespace

form_import::form_import(Settings& settings, FolderJobs& jobs, const QString& path, Hooks hooks,
                         QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_path(path)
    , m_jobs(jobs)
    , m_hooks(std::move(hooks))
    , m_worker(jobs.thread(QStringLiteral("Holiday import")))
{
    if (!m_hooks.message)
        m_hooks.message = [](QWidget* owner, const QString& title, const QString& text) {
            OpenMessageBox(owner, QMessageBox::Information, title, text);
        };
    if (!m_hooks.error)
        m_hooks.error = [](QWidget* owner, const QString& title, const QString& text) {
            OpenMessageBox(owner, QMessageBox::Critical, title, text);
        };
    Form_Load();
    readList();
}

form_import::~form_import()
{
    if (m_importing)
        SetMousePointer(0);
}

void form_import::Form_Load()
{
    setObjectName(QStringLiteral("form_import"));
    setWindowTitle(tr("Import holidays"));
    label_liste =
        new QLabel(tr("Select, which holidays to import into the active data source:"), this);
    label_liste->setObjectName(QStringLiteral("label_liste"));
    label_liste->setWordWrap(true);
    label_liste->setTextFormat(Qt::PlainText); // it may name a path
    list_sections = new QListWidget(this);
    list_sections->setObjectName(QStringLiteral("list_sections"));
    list_sections->setAccessibleName(label_liste->text());
    list_sections->setSelectionMode(QAbstractItemView::MultiSelection);
    list_sections->setUniformItemSizes(true); // a list of many sections shows at once
    label_repeated = new QLabel(this);
    label_repeated->setObjectName(QStringLiteral("label_repeated"));
    label_repeated->setWordWrap(true);
    label_repeated->setTextFormat(Qt::PlainText);
    label_repeated->hide();
    label_color = new QLabel(tr("Use color:"), this);
    label_color->setObjectName(QStringLiteral("label_color"));
    combo_color = new QComboBox(this);
    combo_color->setObjectName(QStringLiteral("combo_color"));
    command_ok = new QPushButton(tr("Import"), this);
    command_ok->setObjectName(QStringLiteral("command_ok"));
    command_ok->setDefault(true);
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
    column->addWidget(label_liste);
    column->addWidget(list_sections, 1);
    column->addWidget(label_repeated);
    column->addLayout(colorRow);
    column->addLayout(buttons);
    resize(420, 360);

    command_ok->setEnabled(false); // until the list is read
    for (int n = 1; n <= Settings::kColorCount; ++n)
        combo_color->addItem(ColorSwatch(ColorOfRgbValue(m_settings.Color(n))),
                             TwoDigits(n) + QStringLiteral("    ") + m_settings.ColorText(n));
    combo_color->setCurrentIndex(0);

    connect(command_ok, &QPushButton::clicked, this, &form_import::command_ok_Click);
    connect(command_cancel, &QPushButton::clicked, this, &form_import::command_cancel_Click);
}

void form_import::readList()
{
    // The list may lie on a share as well; a long one takes a while to parse and to list.
    m_worker->post([this, reply = m_worker->replies(), makeFiles = m_jobs.files(), path = m_path] {
        const std::unique_ptr<FileAccess> files = makeFiles();
        HolidayFile::Problem problem;
        std::optional<HolidayFile> read = HolidayFile::read(*files, path, &problem);
        std::shared_ptr<const HolidayFile> file;
        if (read)
            file = std::make_shared<const HolidayFile>(std::move(*read));
        reply([this, file, problem] { showList(file, problem); });
    });
}

void form_import::showList(std::shared_ptr<const HolidayFile> file,
                           const HolidayFile::Problem& problem)
{
    if (!file) { // nothing to choose from: the window offers only Cancel
        m_reading = false;
        label_liste->setText(
            problem.notText
                ? tr("%1 is not a text file: line %2 holds a control character. It cannot be "
                     "imported.")
                      .arg(m_path)
                      .arg(problem.line)
                : tr("%1 cannot be read: %2").arg(m_path, problem.reason));
        return;
    }
    m_file = std::move(file);
    if (!m_file->repeated().isEmpty()) {
        label_repeated->setText(tr("These sections appear more than once in the list; their "
                                   "holidays are imported together: %1")
                                    .arg(namesOf(m_file->repeated())));
        label_repeated->show();
    }
    listSections(0);
}

void form_import::listSections(qsizetype from)
{
    // A list of very many sections goes in by parts: the window answers meanwhile.
    constexpr qsizetype kPart = 10000;
    const QStringList& names = m_file->sections();
    list_sections->addItems(names.mid(from, kPart));
    if (from + kPart < names.size()) {
        QTimer::singleShot(0, this, [this, from] { listSections(from + kPart); });
        return;
    }
    m_reading = false;
    command_ok->setEnabled(true);
}

int form_import::colorCode() const
{
    return combo_color->currentIndex() + 1;
}

void form_import::command_ok_Click()
{
    if (!m_file || m_importing)
        return;
    QStringList chosen;
    for (int row = 0; row < list_sections->count(); ++row) {
        if (list_sections->item(row)->isSelected())
            chosen << list_sections->item(row)->text();
    }
    m_importing = true;
    SetMousePointer(11);
    for (QWidget* control : {static_cast<QWidget*>(list_sections),
                             static_cast<QWidget*>(combo_color), static_cast<QWidget*>(command_ok)})
        control->setEnabled(false);

    m_run = std::make_shared<ImportRun>();
    m_progress.start();
    // The thread gets values only: the settings stay on the window's thread.
    m_worker->post([this, reply = m_worker->replies(), run = m_run, file = m_file, chosen,
                    color = colorCode(), folder = m_settings.GetDataFolder(),
                    interval = m_settings.MonthInterval(), makeFiles = m_jobs.files()] {
        CancellableFileAccess files(makeFiles());
        ProfileCache profiles(files);
        DataAccess store(profiles, StoreSource::fixed(folder, interval));
        const auto progress = ImportRun::progress(run, files, reply, [this](int done, int total) {
            m_progress.show(tr("Importing holidays ..."), done, total);
        });
        const HolidayImportResult result =
            ImportHolidays(*file, chosen, color, store, folder, progress);
        reply([this, result, stoppedAt = run->stoppedAt()] { finishImport(result, stoppedAt); });
    });
}

void form_import::command_cancel_Click()
{
    if (!m_importing) {
        QDialog::reject();
        return;
    }
    m_run->cancel = true;
    command_cancel->setEnabled(false);
    m_progress.stop();
}

void form_import::reject()
{
    if (m_importing && !m_run->cancel)
        command_cancel_Click();
    else
        QDialog::reject();
}

void form_import::finishImport(HolidayImportResult result, int stoppedAt)
{
    m_progress.stop();
    m_importing = false;
    if (!result.written.isEmpty())
        m_jobs.wrote(result.written);
    SetMousePointer(0);
    QString text;
    if (stoppedAt < 0 || stoppedAt == result.count) { // a cancel after the last one is none
        text = result.failed > 0
                   ? tr("%1 of %n holidays imported.", nullptr, result.count).arg(result.saved())
                   : tr("%n holidays imported.", nullptr, result.count);
    } else {
        // The holidays after the cancel were never tried: only those before count.
        const int total = result.count;
        result.count = stoppedAt;
        result.failed -= total - stoppedAt;
        if (result.failed == 0)
            result.firstFailure = {};
        text =
            tr("Import cancelled: %1 of %n holidays imported.", nullptr, total).arg(result.saved());
    }
    if (result.outOfRange > 0)
        text += QStringLiteral("\r\n") +
                tr("%n holidays skipped: they are dated before 1900 or after 2200, where no view "
                   "shows them.",
                   nullptr, result.outOfRange);
    // Over the parent: the window closes now.
    if (result.failed > 0)
        m_hooks.error(parentWidget(), kTitle, text + QStringLiteral("\r\n") + failureText(result));
    else
        m_hooks.message(parentWidget(), kTitle, text);
    accept();
}

QString form_import::failureText(const HolidayImportResult& result) const
{
    const WriteOutcome& failure = result.firstFailure;
    QString reason;
    switch (failure.cause) {
    case WriteOutcome::Cause::FolderUnreachable:
        reason = tr("The data folder %1 cannot be reached.").arg(failure.path);
        break;
    case WriteOutcome::Cause::Unreadable:
        reason = tr("%1 is there but could not be read; it was left as it is.").arg(failure.path);
        break;
    case WriteOutcome::Cause::OutsideFolder:
        reason = tr("%1 leads out of the data folder.").arg(failure.path);
        break;
    case WriteOutcome::Cause::Refused:
        reason = failure.error;
        break;
    case WriteOutcome::Cause::System:
    case WriteOutcome::Cause::NameTaken:
    case WriteOutcome::Cause::Locked:
    case WriteOutcome::Cause::NotAnswering:
        reason = tr("Please ensure the accessibility of the datasource folder and check your "
                    "privileges.");
        break;
    }
    QString text =
        tr("%1 of %n holidays could not be saved.", nullptr, result.count).arg(result.failed) +
        QStringLiteral("\r\n") + reason;
    if (!failure.error.isEmpty())
        text += QStringLiteral("\r\n\r\n") + failure.path + QStringLiteral(": ") + failure.error;
    return text;
}

QString InstalledHolidayFolder(const QString& programDirectory)
{
    const QString folder =
        QDir::cleanPath(QDir(programDirectory).filePath(QStringLiteral(NORVANE_HOLIDAYS_FROM_BIN)));
    return QFileInfo(folder).isDir() ? folder : QString();
}

void OpenHolidayImport(QWidget* parent, Settings& settings, FolderJobs& jobs,
                       std::function<void()> done, form_import::Hooks hooks)
{
    QString filter;
    AddFileFilter(filter, form_import::tr("Holiday Definitions (*.TXT)"), QStringLiteral("*.TXT"));
    ShowFileDialog(parent, filter, 1, {}, QString(), QString(), form_import::tr("Import holidays:"),
                   InstalledHolidayFolder(QCoreApplication::applicationDirPath()), true,
                   [parent, &settings, &jobs, done = std::move(done),
                    hooks = std::move(hooks)](const QString& path, QFileDialog::Options) mutable {
                       if (path.isEmpty()) {
                           done();
                           return;
                       }
                       auto* window =
                           new form_import(settings, jobs, path, std::move(hooks), parent);
                       window->setAttribute(Qt::WA_DeleteOnClose);
                       QObject::connect(window, &QDialog::finished, window,
                                        [done = std::move(done)] { done(); });
                       window->open();
                   });
}
