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
                m_edits->move(*drop);
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
    if (!appointment || m_edits->stillBeingRead(*appointment))
        return;
    m_drag->press(label, *appointment, tag.section(QLatin1Char('|'), 0, 0).toInt(),
                  label->mapToGlobal(at));
    label_appointment_MouseUp();
    m_tooltip = new form_tooltip(this);
    m_tooltip->SetAppointment(*appointment, m_settings.LangCode(), m_settings.TimeFormat(),
                              m_settings.DateFormat());
    // Another folder's appointment names its folder under its owner.
    if (const auto folder =
            FolderMarks::of(FolderMarks::shown(m_settings), appointment->filename()))
        m_tooltip->label_producer()->setText(appointment->Producer() + u'\n' +
                                             FolderMarks::calendarLine(folder));
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

void form_main::RangeSelected(const QDate& day, TimeOfDay from, TimeOfDay to)
{
    m_edits->create(newAppointment(day, from, to));
}

ClassTermin form_main::newAppointment(const QDate& day, TimeOfDay from, TimeOfDay to) const
{
    const QDate today = this->today();
    ClassTermin a;
    a.setColorCode(1);
    a.setDatum(day);
    a.setStartTime(from);
    a.setEndTime(to);
    a.setProducer(GetLoginName());
    a.setRecurringStartDate(today.addYears(-1));
    a.setRecurringEndDate(kLastFileDate); // a series made of it has no end unless given one
    a.setRemindMinutes(5);
    return a;
}

void form_main::showChange(bool putBack)
{
    if (putBack)
        m_view->ReleaseDayColumns(); // a label dropped elsewhere goes back where it was
    showOwnChange();
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
    if (m_edits->stillBeingRead(picked.appointment))
        return;
    m_popup = picked;
    // For a series, "Yes!" is followed by the question which occurrences go.
    m_ui->mnu_popup_termin_del->setTitle(picked.appointment.repeats()
                                             ? tr("Delete recurring appointment...")
                                             : tr("Delete appointment..."));
    m_ui->mnu_popup_termin->popup(at);
}

void form_main::mnu_popup_termin_edit_Click()
{
    if (m_popup)
        m_edits->change(m_popup->appointment, m_popup->day);
}

void form_main::mnu_popup_termin_del_yes_Click()
{
    if (m_popup)
        m_edits->remove(m_popup->appointment, m_popup->day, true);
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
    appointment.setRecurringEndDate(kLastFileDate);
    appointment.setRemindMinutes(5);
    m_edits->create(appointment);
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

void form_main::showFailure(const QString& message)
{
    ShowFailure(message);
}

void form_main::ShowFailure(const QString& message)
{
    if (m_hooks.message)
        m_hooks.message(this, QStringLiteral("Norvane"), message);
    else
        showPlainWarning(this, QStringLiteral("Norvane"), message);
}
