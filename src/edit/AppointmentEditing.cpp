#include "AppointmentEditing.h"

#include "AppointmentFiling.h"
#include "HeartbeatPause.h"

AppointmentEditing::AppointmentEditing(AppointmentFiling& filing, Editor editor)
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

    Result result;
    if (showEditwindow && m_editor) {
        m_editor(m_handOver);
        if (m_handOver.EditCancelled) {
            result.cancelled = true;
            return result;
        }
    }
    const AppointmentFiling::Result filed = m_filing.File(a);
    result.saved = filed.saved;
    result.failure = filed.failure;
    return result;
}
