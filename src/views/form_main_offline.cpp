// The main window's "Work offline": the laptop's copy of the active data folder stands in for
// it while the share is gone. Taking it, trying the share every minute and bringing the
// changes back run on the offline scheduler's thread; the window only switches what it shows.
#include "offline/OfflineScheduler.h"
#include "service/FolderJobs.h"
#include "store/ApiLoginName.h"
#include "store/Common.h"
#include "ui/PlainText.h"
#include "views/MainWindowControls.h"
#include "views/form_main.h"

#include <QAction>
#include <QTimer>

namespace {

// How often the share is tried while offline.
constexpr int kRetryMs = 60 * 1000;
// How often a reconcile looks again whether the store service wrote what it was asked to.
constexpr int kServiceWaitMs = 100;

} // namespace

void form_main::connectOffline()
{
    m_offline = new OfflineScheduler(m_service.jobs().files(), this);
    m_offlineTimer = new QTimer(this);
    m_offlineTimer->setInterval(kRetryMs);
    connect(m_offlineTimer, &QTimer::timeout, this, &form_main::reconcileOffline);
    connect(m_offline, &OfflineScheduler::finished, this, &form_main::offlineReconciled);
    connect(m_ui->mnu_file_offline, &QAction::triggered, this, [this] {
        const bool offline = m_offlineTimer->isActive();
        if (!offline && !m_offline->running())
            m_offlineFolder = m_settings.ChosenDataFolder();
        m_offlineReturning = offline;
        // The entry shows what is until the reconcile answers: checked once the copy stands in.
        m_ui->mnu_file_offline->setChecked(offline);
        if (m_offline->running())
            m_offlineAsked = true;
        else
            reconcileOffline();
    });
}

void form_main::reconcileOffline()
{
    if (m_offlineFolder.isEmpty())
        return;
    // A save into the copy that the store service has not written yet would miss the
    // listing: it goes first. (Before the copy stands in, the service may wait on the share.)
    if (m_offlineTimer->isActive() && !m_service.idle()) {
        QTimer::singleShot(kServiceWaitMs, this, &form_main::reconcileOffline);
        return;
    }
    OfflineScheduler::Target target;
    target.share = m_offlineFolder;
    target.copy = Offline::copyFolderOf(m_settings.programDirectory(), m_offlineFolder);
    target.options.today = today();
    target.options.who = GetLoginName();
    target.options.langCode = m_settings.LangCode();
    m_offline->reconcileNow(target);
}

void form_main::offlineReconciled(const Offline::Result& result)
{
    if (std::exchange(m_offlineAsked, false)) {
        // The user's wish came while this one ran: the next reconcile, listed after it, counts.
        reconcileOffline();
        return;
    }
    const bool done = result.status == Offline::Result::Status::Done;
    const bool offline = m_offlineTimer->isActive();
    m_offlineNote = done ? QString() : result.error;
    if (!offline && (done || result.taken)) {
        // Going offline: the copy stands in, whether the share answered or not.
        m_settings.setStandIn(
            m_offlineFolder, Offline::copyFolderOf(m_settings.programDirectory(), m_offlineFolder));
        m_offlineTimer->start();
    } else if (offline && done && m_offlineReturning) {
        // Back: every change went to the share, which is shown again.
        m_settings.setStandIn(m_offlineFolder, {});
        m_offlineTimer->stop();
        m_offlineFolder.clear();
    } else if (!offline || m_offlineReturning) {
        showPlainWarning(this, QStringLiteral("Norvane"),
                         (offline ? tr("The changes made offline cannot be brought back yet; "
                                       "the window stays offline: %1")
                                  : tr("The data folder cannot be taken along: %1"))
                             .arg(result.error));
        if (!offline)
            m_offlineFolder.clear();
    }
    m_offlineReturning = false;
    m_ui->mnu_file_offline->setChecked(m_offlineTimer->isActive());
    ShowDataSource();
    LoadView(true);
}

QString form_main::shownFolderName() const
{
    const QString name = LastPathPart(m_settings.ChosenDataFolder());
    if (!m_offlineTimer || !m_offlineTimer->isActive())
        return name;
    return m_offlineNote.isEmpty() ? tr("%1 (offline)").arg(name)
                                   : tr("%1 (offline, changes not brought back yet)").arg(name);
}
