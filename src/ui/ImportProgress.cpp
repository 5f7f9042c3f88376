#include "ui/ImportProgress.h"

#include <QProgressDialog>

ImportProgress::ImportProgress(QWidget* window, const QString& cancelText, int showFrom,
                               std::function<void()> cancelled)
    : m_window(window)
    , m_cancelText(cancelText)
    , m_showFrom(showFrom)
    , m_cancelled(std::move(cancelled))
{
}

void ImportProgress::start()
{
    m_running = true;
}

void ImportProgress::show(const QString& label, int done, int total)
{
    if (!m_running || (!m_dialog && total < m_showFrom))
        return;
    if (!m_dialog) {
        m_dialog = new QProgressDialog(label, m_cancelText, 0, total, m_window);
        m_dialog->setObjectName(QStringLiteral("progress_import"));
        m_dialog->setWindowTitle(m_window->windowTitle());
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoReset(false); // one import may count twice: its events, then its files
        QObject::connect(m_dialog, &QProgressDialog::canceled, m_window, [this] {
            if (m_running)
                m_cancelled();
        });
    }
    if (m_dialog->isHidden())
        m_dialog->show();
    m_dialog->setLabelText(label);
    m_dialog->setMaximum(total);
    m_dialog->setValue(done);
}

void ImportProgress::stop()
{
    m_running = false;
    if (m_dialog)
        m_dialog->hide();
}

void OpenMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                    const QString& text, std::function<void(bool yes)> answered)
{
    auto* box = new QMessageBox(
        icon, title, text, answered ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setTextFormat(Qt::PlainText); // it names files, folders and events
    if (answered) {
        box->setDefaultButton(QMessageBox::No);
        QObject::connect(
            box, &QMessageBox::finished, box,
            [answered = std::move(answered)](int button) { answered(button == QMessageBox::Yes); });
    }
    box->open();
}
