// The main window's copy, cut, paste and duplicate: a copy is a new appointment with a file of
// its own, owned by whoever pastes it. The clipboard carries it as iCalendar and plain text
// too, and an event another program copied is pasted as the import would make it.
#include "views/form_main.h"

#include "calendar/Formats.h"
#include "edit/AppointmentEditing.h"
#include "exchange/IcsExport.h"
#include "exchange/IcsPaste.h"
#include "service/FolderJobs.h"
#include "service/StoreService.h"
#include "store/ApiLoginName.h"
#include "store/AppointmentCopy.h"
#include "store/TimeRangeText.h"
#include "threads/WorkerThread.h"
#include "ui/PictureBox.h"
#include "views/Calendar.h"
#include "views/DayWeekView.h"
#include "views/GridKeyboard.h"
#include "views/MainWindowControls.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUuid>

namespace {

const QString kCalendarMime = QStringLiteral("text/calendar");
// Marks the clipboard as holding the copy this window keeps, with all its keys.
const QString kOwnMime = QStringLiteral("application/x-norvane-appointment");

} // namespace

void form_main::connectClipboard()
{
    connect(m_ui->mnu_edit_copy, &QAction::triggered, this,
            [this] { copyAppointment(m_selected); });
    connect(m_ui->mnu_edit_cut, &QAction::triggered, this, [this] { cutAppointment(m_selected); });
    connect(m_ui->mnu_edit_paste, &QAction::triggered, this, &form_main::pasteAppointment);
    connect(m_ui->mnu_popup_termin_copy, &QAction::triggered, this,
            [this] { copyAppointment(m_popup); });
    connect(m_ui->mnu_popup_termin_cut, &QAction::triggered, this,
            [this] { cutAppointment(m_popup); });
    connect(m_ui->mnu_popup_termin_duplicate, &QAction::triggered, this,
            [this] { duplicateAppointment(m_popup); });
}

QString form_main::plainTextOf(const ClassTermin& appointment) const
{
    const QString lang = m_settings.LangCode();
    return FormatDate(appointment.datum(), m_settings.DateFormat()) + QLatin1Char(' ') +
           TimeRangeText(appointment, m_settings.TimeFormat(), lang) + QLatin1Char('\n') +
           appointment.TextWithLocation().replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void form_main::copyAppointment(const std::optional<Picked>& picked)
{
    if (!picked || m_edits->stillBeingRead(picked->appointment))
        return;
    const ClassTermin copy = AppointmentCopy::of(picked->appointment, picked->day, GetLoginName());
    m_copied = copy;
    m_copiedToken = QUuid::createUuid().toString(QUuid::WithoutBraces);
    auto* mime = new QMimeData;
    mime->setData(kOwnMime, m_copiedToken.toUtf8());
    mime->setData(kCalendarMime,
                  ExportAppointment(std::make_shared<const ClassTermin>(copy), copy.datum(),
                                    QUuid::createUuid().toString(QUuid::WithoutBraces)));
    mime->setText(plainTextOf(copy));
    QGuiApplication::clipboard()->setMimeData(mime);
}

void form_main::cutAppointment(const std::optional<Picked>& picked)
{
    if (!picked || m_edits->stillBeingRead(picked->appointment) ||
        m_edits->refusedToChange(picked->appointment))
        return;
    copyAppointment(picked);
    // Of a series only the occurrence cut goes.
    m_edits->remove(picked->appointment, picked->day, false);
}

void form_main::TimePicked(const QDate& day, TimeOfDay at)
{
    m_pickedDay = day;
    m_pickedTime = at;
    m_view->keyboard().focusStep(day, at);
}

void form_main::pasteAppointment()
{
    // Where the frame is while the grid has the keyboard. Else on the selected day, at the time
    // clicked there, or at the copy's own.
    QDate day = m_calendar1->SelectedDate();
    std::optional<TimeOfDay> at;
    if (m_ui->pic_view->hasFocus() && m_view->DayColumnCount() > 0) {
        day = m_view->keyboard().focusedDay();
        at = m_view->keyboard().focus().time;
    } else if (m_pickedDay == day) {
        at = m_pickedTime;
    }
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    if (!clip)
        return;
    if (m_copied && !m_copiedToken.isEmpty() && clip->data(kOwnMime) == m_copiedToken.toUtf8()) {
        m_edits->fileCopy(AppointmentCopy::placed(*m_copied, day, at), UndoStep::Act::Paste);
        return;
    }
    if (!clip->hasFormat(kCalendarMime))
        return;
    // Read like an import, off the window's thread, then filed as a paste.
    if (!m_pasteThread)
        m_pasteThread = m_service.jobs().thread(QStringLiteral("paste"));
    const QByteArray ics = clip->data(kCalendarMime).left(4 * 1024 * 1024);
    const QDate today = this->today();
    m_pasteThread->post([ics, today, reply = m_pasteThread->replies(),
                         self = QPointer<form_main>(this), day, at] {
        const std::optional<ClassTermin> read = AppointmentOfIcs(ics, GetLoginName(), 1, today);
        reply([self, read, day, at] {
            if (!self)
                return;
            if (!read) {
                self->ShowFailure(tr("The clipboard holds no appointment that can be pasted."));
                return;
            }
            self->m_edits->fileCopy(AppointmentCopy::placed(*read, day, at), UndoStep::Act::Paste);
        });
    });
}

void form_main::duplicateAppointment(const std::optional<Picked>& picked)
{
    if (picked && !m_edits->stillBeingRead(picked->appointment))
        m_edits->fileCopy(AppointmentCopy::of(picked->appointment, picked->day, GetLoginName()),
                          UndoStep::Act::Duplicate, picked->appointment.filename());
}

void form_main::copyDropped(const AppointmentDrag::Drop& drop)
{
    ClassTermin copy = AppointmentCopy::of(drop.appointment, drop.toDay, GetLoginName());
    copy.setStartTime(drop.start);
    copy.setEndTime(drop.end);
    m_edits->fileCopy(copy, UndoStep::Act::Duplicate, drop.appointment.filename());
}
