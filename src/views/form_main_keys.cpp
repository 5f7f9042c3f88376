// The main window's grid by keyboard: the keys the grid takes, and the acts they ask for,
// done as the mouse's are.
#include "views/form_main.h"

#include "calendar/Names.h"
#include "store/ApiLoginName.h"
#include "ui/PictureBox.h"
#include "views/DayWeekView.h"
#include "views/GridKeyboard.h"
#include "views/MainWindowControls.h"

#include <QMessageBox>
#include <QPushButton>

void form_main::connectGridKeys()
{
    connect(m_ui->pic_view, &PictureBox::KeyDown, this, &form_main::gridKeyDown);
    connect(&m_view->keyboard(), &GridKeyboard::focusedOn, this,
            [this](const TerminPtr& appointment, const QDate& day) {
                if (appointment)
                    m_selected = Picked{*appointment, day};
            });
}

void form_main::gridKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    std::optional<GridKeyboard::Act> act;
    if (!m_view->keyboard().key(key, modifiers, act)) {
        windowKey(key, modifiers);
        return;
    }
    if (!act)
        return;
    if (act->appointment && m_edits->stillBeingRead(*act->appointment))
        return;
    switch (act->kind) {
    case GridKeyboard::Act::Kind::Edit:
        m_edits->change(*act->appointment, act->day);
        break;
    case GridKeyboard::Act::Kind::Delete:
        askDelete({*act->appointment, act->day});
        break;
    case GridKeyboard::Act::Kind::New:
        newAtGridFocus();
        break;
    case GridKeyboard::Act::Kind::Shift: {
        const QDate toDay = act->day.addDays(act->change.days);
        m_view->keyboard().follow(*act->appointment, toDay);
        m_edits->move({*act->appointment, act->day, toDay, act->change.start, act->change.end});
        break;
    }
    }
}

void form_main::askDelete(const Picked& picked)
{
    if (m_deleteQuestion)
        m_deleteQuestion->close();
    const QString title = picked.appointment.Text().section(QStringLiteral("\r\n"), 0, 0);
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Norvane"),
                                tr("Delete the appointment \"%1\" on %2?")
                                    .arg(title, LongDate(picked.day, m_settings.LangCode())),
                                QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("message_delete"));
    box->setTextFormat(Qt::PlainText); // the text comes from the share
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* yes = box->addButton(tr("Delete"), QMessageBox::AcceptRole);
    yes->setObjectName(QStringLiteral("button_delete_yes"));
    QPushButton* no = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
    no->setObjectName(QStringLiteral("button_delete_no"));
    box->setDefaultButton(no);
    box->setEscapeButton(no);
    connect(box, &QMessageBox::finished, this, [this, box, yes, picked] {
        if (box->clickedButton() == yes)
            m_edits->remove(picked.appointment, picked.day, true);
    });
    m_deleteQuestion = box;
    box->open();
}

void form_main::newAtGridFocus()
{
    const GridKeyboard& keys = m_view->keyboard();
    const TerminPtr focused = keys.focusedAppointment();
    const TimeOfDay from = focused ? focused->StartTime() : keys.focus().time;
    // An hour, or what is left of the day.
    const TimeOfDay to =
        TimeOfDay::fromMinutes(std::min(from.minutes() + 60, int(TimeOfDay::kEndOfDay)));
    RangeSelected(keys.focusedDay(), from, to);
}
