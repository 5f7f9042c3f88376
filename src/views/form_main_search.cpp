// The main window's search: the side panel's field and its results over the view; a result
// chosen shows its day in the view of the moment and selects it there.
#include "views/form_main.h"

#include "service/StoreService.h"
#include "ui/PictureBox.h"
#include "views/MainWindowControls.h"
#include "views/SearchPanel.h"

#include <QAction>

void form_main::setupSearch()
{
    m_search = new SearchPanel(*m_stores, m_settings, m_ui->text_search, m_ui->combo_search_range,
                               m_ui->picture_main, [this] { return today(); });
    connect(m_ui->mnu_edit_find, &QAction::triggered, m_search, &SearchPanel::focusField);
    connect(m_search, &SearchPanel::appointmentChosen, this,
            [this](const ClassTermin& found, const QDate& day) {
                m_search->close();
                setFocus(Qt::OtherFocusReason);
                m_selectWhenRead = Picked{found, day};
                m_selected.reset();
                navigate(navigation().goTo(viewState(), day));
                selectWhenRead();
            });
    connect(m_search, &SearchPanel::dateChosen, this, [this](const QDate& date) {
        m_search->close();
        setFocus(Qt::OtherFocusReason);
        navigate(navigation().goTo(viewState(), date));
    });
    connect(m_search, &SearchPanel::dismissed, this, [this] { setFocus(Qt::OtherFocusReason); });
}

void form_main::selectWhenRead()
{
    // The result is what the index held; the selection is the appointment as the day read it,
    // so a copy or a cut takes all of it.
    if (!m_selectWhenRead)
        return;
    const std::optional<QList<TerminPtr>> known = m_stores->knownDay(m_selectWhenRead->day);
    if (!known)
        return;
    for (const TerminPtr& appointment : *known)
        if (appointment->filename() == m_selectWhenRead->appointment.filename())
            m_selected = Picked{*appointment, m_selectWhenRead->day};
    m_selectWhenRead.reset();
}
