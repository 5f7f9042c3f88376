#include "edit/AppointmentEditing.h"

#include "store/AppointmentFiling.h"
#include "ui/HeartbeatPause.h"

#include <QScopeGuard>

AppointmentEditing::AppointmentEditing(Filer& filing, Editor editor)
    : m_filing(filing)
    , m_editor(std::move(editor))
{
}

AppointmentEditing::Result AppointmentEditing::EditMe(ClassTermin& a, bool showEditwindow,
                                                      QTimer* heartbeat)
{
    const HeartbeatPause pause(heartbeat);
    m_handOver.EditCancelled = false;
    m_handOver.EditIsNew = a.isNew();
    m_handOver.EditedAppointment = &a;
    m_handOver.changeOnDisk = [this, &a] { return m_filing.ChangeSinceLoaded(a); };
    m_handOver.save = [this, &a] { return m_filing.File(a); };
    m_handOver.saved.reset();
    const auto forget = qScopeGuard([this] {
        m_handOver.changeOnDisk = nullptr;
        m_handOver.save = nullptr;
    });

    Result result;
    if (showEditwindow && m_editor) {
        m_editor(m_handOver);
        if (m_handOver.EditCancelled) {
            result.cancelled = true;
            return result;
        }
    }
    const WriteOutcome filed = m_handOver.saved ? *m_handOver.saved : m_filing.File(a);
    result.saved = filed.ok;
    if (!filed.ok)
        result.failure = failureMessage(filed);
    return result;
}

QString AppointmentEditing::failureMessage(const WriteOutcome& outcome)
{
    QString text;
    switch (outcome.cause) {
    case WriteOutcome::Cause::FolderUnreachable:
        text = tr("The appointment could not be saved.\n"
                  "The data folder %1 cannot be reached.")
                   .arg(outcome.path);
        break;
    case WriteOutcome::Cause::Unreadable:
        text = tr("The appointment could not be saved.\n"
                  "%1 is there but could not be read; it was left as it is.")
                   .arg(outcome.path);
        break;
    case WriteOutcome::Cause::OutsideFolder:
        text = tr("The appointment could not be saved.\n"
                  "%1 leads out of the data folder.")
                   .arg(outcome.path);
        break;
    case WriteOutcome::Cause::NotAnswering:
        text = tr("The appointment could not be saved.\n"
                  "The data folder %1 is not answering; nothing was written. Please try again "
                  "when it answers.")
                   .arg(outcome.path);
        break;
    case WriteOutcome::Cause::System:
    case WriteOutcome::Cause::Locked:
        text = tr("The appointment could not be saved.\n"
                  "Please ensure the accessibility of the datasource folder and check your "
                  "privileges.");
        break;
    }
    if (!outcome.error.isEmpty())
        text += QStringLiteral("\n\n") + outcome.error; // the system's own words
    // Messages break their lines as the profile files do.
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}
