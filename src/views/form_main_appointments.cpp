// The main window's appointment labels (tooltip, pop-up menu, double click) and the commands
// that change appointments: each goes through the store service and shows its answer.
#include "views/form_main.h"

#include "edit/AppointmentEditing.h"
#include "service/SettingsJobs.h"
#include "service/StoreService.h"
#include "settings/Settings.h"
#include "store/ClassTermin.h"
#include "store/Recurrence.h"
#include "ui/PictureBox.h"
#include "views/DayWeekView.h"
#include "views/GridKeyboard.h"
#include "views/MainWindowControls.h"
#include "views/ViewGeometry.h"
#include "views/form_tooltip.h"

#include "store/ApiLoginName.h"
#include "ui/PlainText.h"
#include "views/Calendar.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>

#include <optional>
// ---------------------------------------------------------------------------------------
// Appointment labels

TerminPtr form_main::FindAppointmentByTag(const QString& tag) const
{
    return m_view->FindAppointmentByTag(tag);
}

bool form_main::eventFilter(QObject* watched, QEvent* event)
{
    auto* label = qobject_cast<QLabel*>(watched);
    if (!label)
        return QMainWindow::eventFilter(watched, event);
    const bool appointment = label->property("tag").isValid();
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (label == m_ui->label_monat)
            label_monat_MouseDown();
        else if (label == m_ui->label_jahr)
            label_jahr_MouseDown();
        else if (label == m_ui->label_day)
            navigate(navigation().dayMode(viewState()));
        else if (label == m_ui->label_week)
            navigate(navigation().weekMode(viewState()));
        else if (appointment)
            label_appointment_MouseDown(label, mouse->button(), mouse->position().toPoint());
        return true;
    }
    if (event->type() == QEvent::MouseMove && appointment) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (m_drag->move(mouse->globalPosition().toPoint()))
            return true;
        m_drag->hover(label, mouse->position().toPoint().y());
        return false;
    }
    if (event->type() == QEvent::MouseButtonRelease && appointment) {
        label_appointment_MouseUp();
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (const std::optional<AppointmentDrag::Drop> drop =
                m_drag->release(mouse->globalPosition().toPoint(), mouse->modifiers())) {
            if (drop->copy)
                copyDropped(*drop);
            else
                moveAppointment(*drop);
        }
        return true;
    }
    if (event->type() == QEvent::MouseButtonDblClick && appointment) {
        label_appointment_MouseUp();
        editAppointment(label->property("tag").toString());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void form_main::label_appointment_MouseDown(QLabel* label, Qt::MouseButton button, const QPoint& at)
{
    const QString tag = label->property("tag").toString();
    m_selected = pickedOfTag(tag);
    // The keys act on the appointment clicked, as after reaching it by Tab.
    if (m_selected && (button == Qt::LeftButton || button == Qt::RightButton)) {
        m_view->keyboard().focusAppointment(tag.section(QLatin1Char('|'), 0, 0).toInt(),
                                            tag.section(QLatin1Char('|'), 1, 1).toInt());
        m_ui->pic_view->setFocus(Qt::MouseFocusReason);
    }
    if (button == Qt::RightButton) {
        if (m_selected)
            showAppointmentMenu(*m_selected, label->mapToGlobal(at));
        return;
    }
    if (button != Qt::LeftButton)
        return;
    const TerminPtr appointment = FindAppointmentByTag(tag);
    if (!appointment || stillBeingRead(*appointment))
        return;
    m_drag->press(label, *appointment, tag.section(QLatin1Char('|'), 0, 0).toInt(),
                  label->mapToGlobal(at));
    label_appointment_MouseUp();
    m_tooltip = new form_tooltip(this);
    m_tooltip->SetAppointment(*appointment, m_settings.LangCode(), m_settings.TimeFormat(),
                              m_settings.DateFormat());
    m_tooltip->adjustSize();
    QPoint topLeft = label->mapToGlobal(at) + QPoint(PictureBox::toPixels(180), 0);
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect();
    if (screen.isValid()) {
        if (topLeft.y() + m_tooltip->height() > screen.bottom())
            topLeft.setY(screen.bottom() - m_tooltip->height());
        if (topLeft.x() + m_tooltip->width() > screen.right())
            topLeft.setX(screen.right() - m_tooltip->width());
        topLeft.setX(std::max(topLeft.x(), screen.left()));
        topLeft.setY(std::max(topLeft.y(), screen.top()));
    }
    m_tooltip->move(topLeft);
    m_tooltip->show();
}

void form_main::label_appointment_MouseUp()
{
    if (m_tooltip) {
        m_tooltip->close();
        m_tooltip->deleteLater();
        m_tooltip = nullptr;
    }
}

void form_main::edit(const ClassTermin& appointment, bool showEditwindow)
{
    beginEdit();
    fileOrEdit(appointment, showEditwindow);
}

void form_main::fileOrEdit(const ClassTermin& appointment, bool showEditwindow)
{
    m_editing.EditMe(appointment, showEditwindow,
                     [self = QPointer<form_main>(this)](const AppointmentEditing::Result& result) {
                         if (self)
                             self->editDone(result.failure);
                     });
}

void form_main::editDone(const QString& failure)
{
    if (m_exiting)
        return;
    if (!failure.isEmpty()) {
        ShowFailure(failure);
        // A label dropped elsewhere stays there unless the columns are laid out anew.
        m_view->ReleaseDayColumns();
    }
    showOwnChange();
    endEdit();
}

void form_main::beginEdit()
{
    ++m_editsUnderWay;
    holdHeartbeat();
}

void form_main::endEdit()
{
    if (m_editsUnderWay == 0)
        return;
    --m_editsUnderWay;
    releaseHeartbeat();
}

void form_main::holdHeartbeat()
{
    if (m_heartbeatHolders++ == 0)
        m_heartbeatPause.emplace(m_globalTimer);
}

void form_main::releaseHeartbeat()
{
    if (m_heartbeatHolders > 0 && --m_heartbeatHolders == 0)
        m_heartbeatPause.reset();
}

void form_main::RangeSelected(const QDate& day, TimeOfDay from, TimeOfDay to)
{
    const QDate today = this->today();
    ClassTermin a;
    a.setColorCode(1);
    a.setDatum(day);
    a.setStartTime(from);
    a.setEndTime(to);
    a.setProducer(GetLoginName());
    a.setRecurringStartDate(today.addYears(-1));
    a.setRecurringEndDate(today.addYears(1));
    a.setRemindMinutes(5);
    edit(a, true);
}

void form_main::moveAppointment(const AppointmentDrag::Drop& drop)
{
    if (drop.appointment.IsRecurring()) {
        askSeriesScope(drop.appointment, drop.fromDay, SeriesAct::Move,
                       [this, drop](SeriesEdit::Scope scope) { moveOccurrence(drop, scope); });
        return;
    }
    ClassTermin moved = drop.appointment;
    moved.setDatum(moved.datum().addDays(drop.fromDay.daysTo(drop.toDay)));
    moved.setStartTime(drop.start);
    moved.setEndTime(drop.end);

    beginEdit();
    // As the editor, never over another user's change; a drop has nobody to ask, so the
    // other version stays and shows.
    m_service.changeSinceLoaded(drop.appointment, [self = QPointer<form_main>(this),
                                                   moved](const DataAccess::FileChange& change) {
        if (!self)
            return;
        if (const QString refused = movedMeanwhile(change); !refused.isEmpty())
            self->editDone(refused);
        else
            self->fileOrEdit(moved, false);
    });
}

QString form_main::movedMeanwhile(const DataAccess::FileChange& change)
{
    if (change.kind == DataAccess::FileChange::Kind::Deleted)
        return tr("The appointment was not moved: another user deleted it meanwhile.");
    if (change.kind != DataAccess::FileChange::Kind::Changed)
        return QString();
    return change.producer.isEmpty()
               ? tr("The appointment was not moved: another user changed it meanwhile. Their "
                    "version is shown now.")
               : tr("The appointment was not moved: %1 changed it meanwhile. Their version is "
                    "shown now.")
                     .arg(change.producer);
}

void form_main::showOwnChange()
{
    LoadView();
    m_calendar1->DrawAll();
    m_calendar2->DrawAll();
}

std::optional<form_main::Picked> form_main::pickedOfTag(const QString& tag) const
{
    const TerminPtr appointment = FindAppointmentByTag(tag);
    if (!appointment)
        return std::nullopt;
    const QDate day = m_view->DayOfTag(tag);
    return Picked{*appointment, day.isValid() ? day : appointment->datum()};
}

void form_main::showAppointmentMenu(const Picked& picked, const QPoint& at)
{
    if (stillBeingRead(picked.appointment))
        return;
    m_popup = picked;
    // For a series, "Yes!" is followed by the question which occurrences go.
    m_ui->mnu_popup_termin_del->setTitle(picked.appointment.IsRecurring()
                                             ? tr("Delete recurring appointment...")
                                             : tr("Delete appointment..."));
    m_ui->mnu_popup_termin->popup(at);
}

void form_main::mnu_popup_termin_edit_Click()
{
    if (m_popup)
        editPicked(*m_popup);
}

void form_main::mnu_popup_termin_del_yes_Click()
{
    if (m_popup)
        deletePicked(*m_popup, true);
}

void form_main::deletePicked(const Picked& picked, bool askSeries)
{
    if (stillBeingRead(picked.appointment))
        return;
    if (!m_service.answering()) {
        ShowFailure(tr("The appointment could not be deleted.\n"
                       "The data folder is not answering; nothing was changed. Please try "
                       "again when it answers."));
        return;
    }
    const ClassTermin& appointment = picked.appointment;
    if (appointment.IsRecurring()) {
        if (!askSeries) {
            deleteOccurrence(appointment, picked.day, SeriesEdit::Scope::This);
            return;
        }
        askSeriesScope(appointment, picked.day, SeriesAct::Delete,
                       [this, picked](SeriesEdit::Scope scope) {
                           deleteOccurrence(picked.appointment, picked.day, scope);
                       });
        return;
    }
    m_service.remove(appointment.filename(), [self = QPointer<form_main>(this)](bool removed) {
        if (!self)
            return;
        if (!removed)
            self->ShowFailure(tr("The appointment could not be deleted.\n"
                                 "Please ensure the accessibility of the datasource folder and "
                                 "check your privileges."));
        self->showOwnChange();
    });
}

// ---------------------------------------------------------------------------------------
// Commands

void form_main::mnu_appointment_new_Click()
{
    if (m_ui->pic_view->hasFocus() && m_view->DayColumnCount() > 0) {
        newAtGridFocus();
        return;
    }
    const QDateTime now = m_now();
    ClassTermin appointment;
    appointment.setDatum(m_calendar1->SelectedDate());
    // On the grid, where the saved appointment shows without the view growing to it.
    const auto [start, end] = ViewGeometry::ProposedHour(
        now.time().hour(), m_view->ShownHours().first, m_view->ShownHours().second);
    appointment.setStartTime(start);
    appointment.setEndTime(end);
    appointment.setProducer(GetLoginName());
    appointment.setRecurringStartDate(now.date());
    appointment.setRecurringEndDate(now.date().addYears(1));
    appointment.setRemindMinutes(5);
    edit(appointment, true);
}

void form_main::mnu_datafolder_array_Click(int index)
{
    const QStringList folders = m_settings.dataFolders();
    if (index < 0 || index >= folders.size())
        return;
    m_settings.setActiveFolder(folders[index]);
    m_settingsJobs.saveActiveFolder(this, m_settings, [this](const WriteOutcome& saved) {
        if (!saved.ok)
            ShowFailure(tr("The choice of the data folder could not be saved.") +
                        QLatin1Char('\n') + saved.error);
    });
    SetLanguageTexts();
    ShowDataSource();
    LoadView();
}

void form_main::ShowFailure(const QString& message)
{
    if (m_hooks.message)
        m_hooks.message(this, QStringLiteral("Norvane"), message);
    else
        showPlainWarning(this, QStringLiteral("Norvane"), message);
}
