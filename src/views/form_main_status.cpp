// The main window's data-source line: which folder, whether it answers, the index's crawl,
// the user and the last sync.
#include "calendar/Formats.h"
#include "service/StoreService.h"
#include "settings/Settings.h"
#include "store/ApiLoginName.h"
#include "store/Common.h"
#include "views/MainWindowControls.h"
#include "views/form_main.h"

void form_main::showDataSourceLabel()
{
    const QString folderName = shownFolderName();
    const bool answering = m_service.answering();
    QString source = tr("Datasource: ") + folderName;
    if (!answering)
        source = tr("Datasource: %1 (not answering)").arg(folderName);
    else if (!m_dataFolderReachable)
        source = tr("Datasource: %1 (unreachable)").arg(folderName);
    else if (m_service.checking())
        source = tr("Datasource: %1 (checking)").arg(folderName);
    else if (const FolderCrawl::Progress crawl = m_service.crawlProgress(); crawl.underWay())
        source = tr("Datasource: %1 (indexing, %2 %)").arg(folderName).arg(crawl.percent());
    QString text = source + QLatin1Char('\n') + tr("User: ") + GetLoginName();
    if (m_syncAt.isValid()) {
        const QTime time = m_syncAt.time();
        QString when = FormatTime(TimeOfDay::fromHourMinute(time.hour(), time.minute()),
                                  m_settings.TimeFormat());
        if (m_syncAt.date() != today())
            when = FormatDate(m_syncAt.date(), m_settings.DateFormat()) + u' ' + when;
        text += QLatin1Char('\n') + (m_syncFailure.isEmpty()
                                         ? tr("Synced %1").arg(when)
                                         : tr("Sync failed: %1").arg(m_syncFailure));
    }
    m_ui->showDataSource(text, m_settings.GetDataFolder(), answering && m_dataFolderReachable);
    // A folder beside the active one that does not answer is named alone.
    QStringList stale{answering ? unreadableFilesNotice()
                                : tr("The data folder is not answering. The appointments "
                                     "shown may be out of date."),
                      besideNotice()};
    stale.removeAll(QString());
    m_ui->showStale(stale.join(u'\n'));
    showLegend();
}
