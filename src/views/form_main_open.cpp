// The main window opening an appointment asked for from outside it: a reminder's "Open".
#include "views/form_main.h"

#include <QApplication>

void form_main::showAppointment(const ClassTermin& appointment, const QDate& day)
{
    navigate(navigation().goTo(viewState(), day));
    // A window waiting for an answer (an editor, the settings) comes first: the user finds
    // the appointment in the view once it is answered.
    if (QApplication::activeModalWidget())
        return;
    m_edits->change(appointment, day);
}
