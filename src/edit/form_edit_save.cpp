// The editor's OK, Cancel and close: the checks, the question over another user's change and
// the save, each answer coming back by callback while the editor stays responsive.
#include "edit/form_edit.h"

#include "settings/Settings.h"
#include "store/AppointmentFiling.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextCursor>

#include <algorithm>
#include <utility>

void form_edit::openMessage(QWidget* parent, const QString& title, const QString& text)
{
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText); // it may name paths
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void form_edit::openQuestion(QWidget* parent, const QString& text, const QStringList& captions,
                             std::function<void(int answer)> answered)
{
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Norvane"), text,
                                QMessageBox::NoButton, parent);
    box->setTextFormat(Qt::PlainText); // it names another user
    box->setAttribute(Qt::WA_DeleteOnClose);
    QList<QAbstractButton*> buttons;
    for (const QString& caption : captions)
        buttons << box->addButton(caption, QMessageBox::ActionRole);
    box->setEscapeButton(buttons.value(kBackToEditor));
    box->setDefaultButton(qobject_cast<QPushButton*>(buttons.value(kBackToEditor)));
    connect(box, &QMessageBox::finished, box, [box, buttons, answered = std::move(answered)] {
        const qsizetype chosen = buttons.indexOf(box->clickedButton());
        answered(chosen < 0 ? int(kBackToEditor) : int(chosen));
    });
    box->open();
}

void form_edit::command_ok_Click()
{
    for (ValueField<QDate>* date : {text_am, text_endday, text_recur_von, text_recur_bis})
        if (!takeTypedDate(date, true))
            return;
    if (!takeTypedTime(text_zeit_von, true) || !takeTypedTime(text_zeit_bis, true))
        return;
    if (!timesInOrder()) {
        m_showMessage(this, QStringLiteral("Norvane"),
                      tr("The start time must be prior to the end time."));
        return;
    }
    if (!repeatInOrder())
        return;
    bool cut = false;
    const QString text = ClassTermin::cappedText(text_text->toPlainText(), &cut);
    if (cut) {
        // Back to the editor with what is kept: the user sees where it ends before saving.
        text_text->setPlainText(text);
        text_text->moveCursor(QTextCursor::End);
        m_showMessage(this, QStringLiteral("Norvane"),
                      tr("The text is longer than %1 KiB and was cut to that length. Please "
                         "check its end and save again.")
                          .arg(ClassTermin::kMaxTextBytes / 1024));
        return;
    }
    // Saving stays last-writer-wins, but never without asking over another user's change.
    if (m_handOver->EditIsNew || !m_handOver->filer) {
        save();
        return;
    }
    showSaving(true);
    m_handOver->filer->changeSinceLoaded(
        m_handOver->appointment,
        [self = QPointer<form_edit>(this)](const DataAccess::FileChange& change) {
            if (self)
                self->changeAnswered(change);
        });
}

void form_edit::changeAnswered(const DataAccess::FileChange& change)
{
    if (change.kind == DataAccess::FileChange::Kind::None) {
        save();
        return;
    }
    showSaving(false);
    askAboutChange(change, [self = QPointer<form_edit>(this)](int answer) {
        if (!self)
            return;
        if (answer == kOverwrite)
            self->save();
        else if (answer == kKeepOther)
            self->reject(); // the view reloads and shows the other version
        // else back to the editor
    });
}

void form_edit::save()
{
    copyIntoRecord();
    takeCalendarChoice();
    if (!m_handOver->filer) {
        accept();
        return;
    }
    // The editor stays as it is until the store has answered: on a slow share that takes a
    // moment, and the user sees that it is saving.
    showSaving(true);
    m_handOver->filer->file(
        m_handOver->appointment,
        [self = QPointer<form_edit>(this)](const WriteOutcome& outcome, const ClassTermin& filed) {
            if (self)
                self->saveAnswered(outcome, filed);
        });
}

void form_edit::saveAnswered(const WriteOutcome& outcome, const ClassTermin& filed)
{
    showSaving(false);
    if (!outcome.ok) {
        // Open on: what the user typed stays, to be saved again or given up.
        m_showMessage(this, QStringLiteral("Norvane"), AppointmentEditing::failureMessage(outcome));
        return;
    }
    m_handOver->appointment = filed;
    accept();
}

void form_edit::showSaving(bool saving)
{
    if (saving == m_saving)
        return;
    m_saving = saving;
    if (saving)
        m_focusBeforeSaving = focusWidget();
    // Nothing changes under a save on its way; the drop-downs and message boxes are left alone.
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!control->isWindow())
            control->setEnabled(!saving);
    command_ok->setText(saving ? tr("Saving...") : m_okText);
    if (!saving && m_focusBeforeSaving)
        m_focusBeforeSaving->setFocus();
}

void form_edit::askAboutChange(const DataAccess::FileChange& change,
                               std::function<void(int answer)> answered)
{
    const bool deleted = change.kind == DataAccess::FileChange::Kind::Deleted;
    QString text;
    if (deleted)
        text = tr("This appointment was deleted by another user while you edited it.");
    else if (change.producer.isEmpty())
        text = tr("This appointment was changed by another user while you edited it.");
    else
        text = tr("This appointment was changed by %1 while you edited it.").arg(change.producer);
    const QStringList captions{
        deleted ? tr("Save my version again") : tr("Overwrite with my version"),
        deleted ? tr("Leave it deleted") : tr("Keep the other version"), tr("Back to the editor")};
    m_askConflict(this, text, captions, std::move(answered));
}

void form_edit::command_cancel_Click()
{
    reject();
}

void form_edit::reject()
{
    if (m_saving)
        return; // the save runs on; closing now would hide whether it landed
    QDialog::reject();
}

void form_edit::offerUnknownRooms()
{
    QStringList unknown;
    for (const QString& room : m_handOver->appointment.Rooms()) {
        const auto& listed = m_settings.TeamRooms();
        if (std::none_of(listed.cbegin(), listed.cend(), [&](const TeamRoom& known) {
                return known.name.compare(room, Qt::CaseInsensitive) == 0;
            }))
            unknown.append(room);
    }
    if (unknown.isEmpty() || !m_offerRooms)
        return;
    // Beside the window the editor closes to, which it outlives; it waits for nobody.
    QWidget* beside = parentWidget();
    auto* note = new QMessageBox(
        QMessageBox::Question, QStringLiteral("Norvane"),
        unknown.size() == 1 ? tr("%1 is not in the team's list. Add it?").arg(unknown.first())
                            : tr("%1 are not in the team's list. Add them?")
                                  .arg(unknown.join(QStringLiteral(", "))),
        QMessageBox::NoButton, beside);
    note->setObjectName(QStringLiteral("note_unknown_rooms"));
    QPushButton* add = note->addButton(tr("Add to the list"), QMessageBox::AcceptRole);
    note->addButton(tr("Not now"), QMessageBox::RejectRole);
    note->setAttribute(Qt::WA_DeleteOnClose);
    note->setWindowModality(Qt::NonModal);
    connect(note, &QMessageBox::buttonClicked, note,
            [offer = m_offerRooms, beside = QPointer<QWidget>(beside), unknown,
             add](QAbstractButton* clicked) {
                if (clicked == add)
                    offer(beside, unknown);
            });
    note->show();
}

void form_edit::done(int result)
{
    if (result == QDialog::Accepted)
        offerUnknownRooms();
    QDialog::done(result);
    // Once, whichever way it closed.
    if (const auto finished = std::exchange(m_handOver->finished, nullptr))
        finished(result == QDialog::Accepted);
}
