#include "form_import_ics.h"

#include "Common.h"
#include "MousePointer.h"
#include "Settings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

#include <memory>

form_import_ics::form_import_ics(Settings& settings, DataAccess& store, const QString& path,
                                 IcsWindowHooks hooks, QWidget* parent, FileAccess& files)
    : QDialog(parent)
    , m_settings(settings)
    , m_store(store)
    , m_path(path)
    , m_hooks(hooks.withDefaults())
{
    QString reason;
    const std::optional<QByteArray> bytes = ReadIcsFile(files, path, &reason);
    if (bytes) {
        m_bytes = *bytes;
        m_check = CheckIcs(m_bytes);
        reason = m_check.error;
    }
    if (!m_check.ok)
        m_problem = tr("%1 cannot be imported.").arg(QDir::toNativeSeparators(path)) +
                    QStringLiteral("\r\n") + reason;
    Form_Load();
}

void form_import_ics::Form_Load()
{
    setObjectName(QStringLiteral("form_import_ics"));
    setWindowTitle(tr("Import iCalendar"));
    label_datei = new QLabel(tr("%1 holds %2 events. They become appointments of the active "
                                "data source.")
                                 .arg(QFileInfo(m_path).fileName())
                                 .arg(m_check.events),
                             this);
    label_datei->setObjectName(QStringLiteral("label_datei"));
    label_datei->setWordWrap(true);
    label_color = new QLabel(tr("Use color:"), this);
    label_color->setObjectName(QStringLiteral("label_color"));
    combo_color = new QComboBox(this);
    combo_color->setObjectName(QStringLiteral("combo_color"));
    for (int n = 1; n <= Settings::kColorCount; ++n)
        combo_color->addItem(TwoDigits(n) + QStringLiteral("    ") + m_settings.ColorText(n));
    combo_color->setCurrentIndex(0);
    command_ok = new QPushButton(tr("Import"), this);
    command_ok->setObjectName(QStringLiteral("command_ok"));
    command_ok->setDefault(true);
    command_ok->setEnabled(m_check.ok);
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
    connect(command_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int form_import_ics::colorCode() const
{
    return combo_color->currentIndex() + 1;
}

IcsImportResult form_import_ics::ImportIcs()
{
    // A long import is saved with the window alive: its progress shows, and events go on.
    std::unique_ptr<QProgressDialog> progress;
    auto step = [&](int done, int total) {
        if (!progress && total >= kProgressFrom) {
            progress = std::make_unique<QProgressDialog>(tr("Importing appointments ..."),
                                                         QString(), 0, total, this);
            progress->setObjectName(QStringLiteral("progress_import"));
            progress->setWindowTitle(windowTitle());
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
        }
        if (progress)
            progress->setValue(done);
        QCoreApplication::processEvents();
    };
    return ::ImportIcs(m_bytes, m_store, m_settings.GetDataFolder(), colorCode(), step);
}

void form_import_ics::command_ok_Click()
{
    if (!m_check.ok)
        return;
    m_busy = true;
    SetMousePointer(11);
    auto pointer = qScopeGuard([] { SetMousePointer(0); });
    for (QWidget* control : {static_cast<QWidget*>(combo_color), static_cast<QWidget*>(command_ok),
                             static_cast<QWidget*>(command_cancel)})
        control->setEnabled(false);
    const IcsImportResult result = ImportIcs();
    pointer.dismiss();
    SetMousePointer(0);
    m_busy = false;
    if (result.failed > 0)
        m_hooks.error(this, kTitle, IcsImportSummary(result));
    else
        m_hooks.message(this, kTitle, IcsImportSummary(result));
    accept();
}

void form_import_ics::reject()
{
    if (!m_busy)
        QDialog::reject();
}
