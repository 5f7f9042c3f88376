// The main window and a series' occurrences: which of them an edit, a drop or a deletion is
// for, and the change as one request to the store service.
#include "views/form_main.h"

#include "calendar/Formats.h"
#include "calendar/Names.h"
#include "calendar/Weeks.h"
#include "edit/AppointmentEditing.h"
#include "service/StoreService.h"
#include "store/Recurrence.h"
#include "views/DayWeekView.h"
#include "views/SeriesChangeFiler.h"

#include <QMessageBox>
#include <QPushButton>

void form_main::editAppointment(const QString& tag)
{
    if (const std::optional<Picked> picked = pickedOfTag(tag))
        editPicked(*picked);
}

void form_main::editPicked(const Picked& picked)
{
    if (stillBeingRead(picked.appointment))
        return;
    if (!picked.appointment.IsRecurring()) {
        edit(picked.appointment, true);
        return;
    }
    askSeriesScope(picked.appointment, picked.day, SeriesAct::Edit,
                   [this, picked](SeriesEdit::Scope scope) {
                       editOccurrence(picked.appointment, picked.day, scope);
                   });
}

void form_main::askSeriesScope(const ClassTermin& part, const QDate& occurrence, SeriesAct act,
                               std::function<void(SeriesEdit::Scope)> chosen)
{
    if (m_seriesQuestion)
        m_seriesQuestion->close(); // the latest act is the one asked about
    const QString title = part.Text().section(QStringLiteral("\r\n"), 0, 0);
    const QString day = DayNames(m_settings.LangCode()).value(Weekday(occurrence)) +
                        QStringLiteral(", ") + FormatDate(occurrence, m_settings.DateFormat());
    QString question;
    switch (act) {
    case SeriesAct::Edit:
        question = tr("\"%1\" repeats. Change only the appointment on %2, this and all "
                      "following ones, or all appointments of the series?");
        break;
    case SeriesAct::Move:
        question = tr("\"%1\" repeats. Move only the appointment on %2, this and all "
                      "following ones, or all appointments of the series?");
        break;
    case SeriesAct::Delete:
        question = tr("\"%1\" repeats. Delete only the appointment on %2, this and all "
                      "following ones, or all appointments of the series?");
        break;
    }
    auto* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Norvane"),
                                question.arg(title, day), QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("message_series_scope"));
    box->setTextFormat(Qt::PlainText); // the text comes from the share
    box->setAttribute(Qt::WA_DeleteOnClose);
    const std::pair<const char*, SeriesEdit::Scope> kinds[] = {
        {"button_series_this", SeriesEdit::Scope::This},
        {"button_series_following", SeriesEdit::Scope::Following},
        {"button_series_all", SeriesEdit::Scope::All},
    };
    const QString captions[] = {tr("Only this appointment"), tr("This and all following"),
                                tr("All appointments of the series")};
    QHash<const QAbstractButton*, SeriesEdit::Scope> scopeOf;
    for (int i = 0; i < 3; ++i) {
        QPushButton* button = box->addButton(captions[i], QMessageBox::AcceptRole);
        button->setObjectName(QLatin1String(kinds[i].first));
        scopeOf.insert(button, kinds[i].second);
    }
    QPushButton* cancel = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("button_series_cancel"));
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    connect(box, &QMessageBox::finished, this,
            [box, scopeOf, chosen = std::move(chosen), act, this] {
                const auto scope = scopeOf.constFind(box->clickedButton());
                if (scope != scopeOf.cend()) {
                    chosen(*scope);
                    return;
                }
                if (act == SeriesAct::Move) {
                    m_view->ReleaseDayColumns(); // the label goes back where it was
                    showOwnChange();
                }
            });
    m_seriesQuestion = box;
    box->open();
}

void form_main::editOccurrence(const ClassTermin& part, const QDate& occurrence,
                               SeriesEdit::Scope scope)
{
    auto filer = std::make_shared<SeriesChangeFiler>(m_service, part, occurrence, scope);
    beginEdit();
    m_editing.EditMe(
        SeriesEdit::recordFor(part, occurrence, scope), true,
        [self = QPointer<form_main>(this), filer](const AppointmentEditing::Result& result) {
            if (self)
                self->editDone(result.failure);
        },
        *filer);
}

void form_main::moveOccurrence(const AppointmentDrag::Drop& drop, SeriesEdit::Scope scope)
{
    const ClassTermin& part = drop.appointment;
    ClassTermin moved = SeriesEdit::recordFor(part, drop.fromDay, scope);
    const qint64 days = drop.fromDay.daysTo(drop.toDay);
    moved.setDatum(moved.datum().addDays(days));
    if (scope == SeriesEdit::Scope::This) {
        moved.setRecurringStartDate(moved.datum());
        moved.setRecurringEndDate(moved.datum());
    } else {
        moved.setRecurringStartDate(moved.RecurringStartDate().addDays(days));
        moved.setRecurringEndDate(moved.RecurringEndDate().addDays(days));
    }
    moved.setStartTime(drop.start);
    moved.setEndTime(drop.end);
    auto filer = std::make_shared<SeriesChangeFiler>(m_service, part, drop.fromDay, scope);
    beginEdit();
    filer->file(moved, [self = QPointer<form_main>(this), filer](const WriteOutcome& outcome,
                                                                 const ClassTermin&) {
        if (self)
            self->editDone(outcome.ok ? QString() : AppointmentEditing::failureMessage(outcome));
    });
}

void form_main::deleteOccurrence(const ClassTermin& part, const QDate& occurrence,
                                 SeriesEdit::Scope scope)
{
    SeriesChangeFiler filer(m_service, part, occurrence, scope);
    filer.remove([self = QPointer<form_main>(this)](const SeriesFiling::Outcome& outcome) {
        if (!self)
            return;
        if (const QString failure = deletionFailure(outcome); !failure.isEmpty())
            self->ShowFailure(failure);
        self->showOwnChange();
    });
}

QString form_main::deletionFailure(const SeriesFiling::Outcome& outcome)
{
    if (outcome.ok())
        return QString();
    if (outcome.outcome.cause == WriteOutcome::Cause::NotAnswering)
        return tr("The appointment could not be deleted.\n"
                  "The data folder is not answering; nothing was changed. Please try again "
                  "when it answers.");
    if (outcome.conflict.kind != DataAccess::FileChange::Kind::None)
        return tr("The appointment could not be deleted.\n") +
               SeriesChangeFiler::writeOutcomeOf(outcome).error;
    return tr("The appointment could not be deleted.\n"
              "Please ensure the accessibility of the datasource folder and check your "
              "privileges.");
}
