#include "form_import.h"

#include "ApiOpenSave.h"
#include "Common.h"
#include "DataAccess.h"
#include "MousePointer.h"
#include "Settings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

#include <memory>

namespace {

const QString kTitle = QStringLiteral("Norvane4");

void messageBox(QWidget* owner, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText); // it may name paths
    box.exec();
}

} // namespace

form_import::form_import(Settings& settings, DataAccess& store, const QString& path, Hooks hooks,
                         QWidget* parent, FileAccess& files)
    : QDialog(parent)
    , m_settings(settings)
    , m_store(store)
    , m_path(path)
    , m_hooks(std::move(hooks))
    , m_files(files)
{
    if (!m_hooks.message)
        m_hooks.message = [](QWidget* owner, const QString& title, const QString& text) {
            messageBox(owner, QMessageBox::Information, title, text);
        };
    if (!m_hooks.error)
        m_hooks.error = [](QWidget* owner, const QString& title, const QString& text) {
            messageBox(owner, QMessageBox::Critical, title, text);
        };
    Form_Load();
}

void form_import::Form_Load()
{
    setObjectName(QStringLiteral("form_import"));
    setWindowTitle(tr("Import holidays"));
    label_liste =
        new QLabel(tr("Select, which holidays to import into the active data source:"), this);
    label_liste->setObjectName(QStringLiteral("label_liste"));
    label_liste->setWordWrap(true);
    list_sections = new QListWidget(this);
    list_sections->setObjectName(QStringLiteral("list_sections"));
    list_sections->setSelectionMode(QAbstractItemView::MultiSelection);
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
    column->addLayout(colorRow);
    column->addLayout(buttons);
    resize(420, 360);

    if (!LoadHolidaySections())
        command_ok->setEnabled(false);
    for (int n = 1; n <= Settings::kColorCount; ++n)
        combo_color->addItem(TwoDigits(n) + QStringLiteral("    ") + m_settings.ColorText(n));
    combo_color->setCurrentIndex(0);

    connect(command_ok, &QPushButton::clicked, this, &form_import::command_ok_Click);
    connect(command_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool form_import::LoadHolidaySections()
{
    list_sections->clear();
    m_file = HolidayFile::read(m_files, m_path);
    if (!m_file)
        return false;
    list_sections->addItems(m_file->sections());
    return true;
}

int form_import::colorCode() const
{
    return combo_color->currentIndex() + 1;
}

HolidayImportResult form_import::ImportHolidays()
{
    if (!m_file)
        return {};
    QStringList chosen;
    for (int row = 0; row < list_sections->count(); ++row) {
        if (list_sections->item(row)->isSelected())
            chosen << list_sections->item(row)->text();
    }
    // A long list is saved with the window alive: its progress shows, and events go on.
    std::unique_ptr<QProgressDialog> progress;
    auto step = [&](int done, int total) {
        if (!progress && total >= kProgressFrom) {
            progress = std::make_unique<QProgressDialog>(tr("Importing holidays ..."), QString(), 0,
                                                         total, this);
            progress->setObjectName(QStringLiteral("progress_import"));
            progress->setWindowTitle(windowTitle());
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
        }
        if (progress)
            progress->setValue(done);
        QCoreApplication::processEvents();
    };
    return ::ImportHolidays(*m_file, chosen, colorCode(), m_store, m_settings.GetDataFolder(),
                            step);
}

void form_import::command_ok_Click()
{
    m_busy = true;
    SetMousePointer(11);
    auto pointer = qScopeGuard([] { SetMousePointer(0); });
    for (QWidget* control :
         {static_cast<QWidget*>(list_sections), static_cast<QWidget*>(combo_color),
          static_cast<QWidget*>(command_ok), static_cast<QWidget*>(command_cancel)})
        control->setEnabled(false);
    const HolidayImportResult result = ImportHolidays();
    pointer.dismiss();
    SetMousePointer(0);
    m_busy = false;
    if (result.failed > 0)
        m_hooks.error(this, kTitle, failureText(result));
    else
        m_hooks.message(this, kTitle, tr("%1 holidays imported.").arg(result.count));
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
    case WriteOutcome::Cause::System:
    case WriteOutcome::Cause::Locked:
        reason = tr("Please ensure the accessibility of the datasource folder and check your "
                    "privileges.");
        break;
    }
    QString text =
        tr("%1 of %2 holidays could not be saved.").arg(result.failed).arg(result.count) +
        QStringLiteral("\r\n") + reason;
    if (!failure.error.isEmpty())
        text += QStringLiteral("\r\n\r\n") + failure.path + QStringLiteral(": ") + failure.error;
    return text;
}

void form_import::reject()
{
    if (!m_busy)
        QDialog::reject();
}

void OpenHolidayImport(QWidget* parent, Settings& settings, DataAccess& store,
                       form_import::Hooks hooks)
{
    QString filter;
    AddFileFilter(filter, form_import::tr("Holiday Definitions (*.TXT)"), QStringLiteral("*.TXT"));
    const QString path = ShowFileDialog(parent, filter, 1, nullptr, QString(), QString(),
                                        form_import::tr("Import holidays:"));
    if (path.isEmpty())
        return;
    form_import window(settings, store, path, std::move(hooks), parent);
    window.exec();
}
