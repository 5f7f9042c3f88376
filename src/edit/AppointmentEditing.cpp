#include "edit/AppointmentEditing.h"

#include "store/AppointmentFiling.h"

AppointmentEditing::AppointmentEditing(Filer& filing, Editor editor)
    : m_filing(filing)
    , m_editor(std::move(editor))
{
}

void AppointmentEditing::EditMe(const ClassTermin& appointment, bool showEditwindow, Done done)
{
    EditMe(appointment, showEditwindow, std::move(done), m_filing);
}

void AppointmentEditing::EditMe(const ClassTermin& appointment, bool showEditwindow, Done done,
                                Filer& filing, QList<EditHandOver::Calendar> calendars)
{
    if (!showEditwindow || !m_editor) {
        filing.file(appointment, [appointment, done = std::move(done)](const WriteOutcome& outcome,
                                                                       const ClassTermin& filed) {
            Result result;
            result.saved = outcome.ok;
            result.appointment = outcome.ok ? filed : appointment;
            if (!outcome.ok)
                result.failure = failureMessage(outcome);
            if (done)
                done(result);
        });
        return;
    }
    auto handOver = std::make_shared<EditHandOver>();
    handOver->appointment = appointment;
    handOver->EditIsNew = appointment.isNew();
    handOver->filer = &filing;
    if (handOver->EditIsNew)
        handOver->calendars = std::move(calendars);
    handOver->findTime = m_findTime;
    // The hand-over outlives none of its own calls, so the plain pointer is safe.
    handOver->finished = [h = handOver.get(), appointment, done = std::move(done)](bool saved) {
        Result result;
        result.saved = saved;
        result.cancelled = !saved;
        result.appointment = saved ? h->appointment : appointment;
        if (done)
            done(result);
    };
    m_editor(std::move(handOver));
}

QString AppointmentEditing::failureMessage(const WriteOutcome& outcome)
{
    // The program's own refusal says all in the user's words.
    if (outcome.cause == WriteOutcome::Cause::Refused)
        return QString(outcome.error).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
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
    case WriteOutcome::Cause::NameTaken:
    case WriteOutcome::Cause::Locked:
    case WriteOutcome::Cause::Refused:
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
