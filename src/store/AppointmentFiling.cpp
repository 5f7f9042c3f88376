#include "store/AppointmentFiling.h"

#include "store/Common.h"
#include "store/DataAccess.h"
#include "store/Recurrence.h"

#include <QRandomGenerator>

AppointmentFiling::AppointmentFiling(DataAccess& store, RandomSource random)
    : m_store(store)
    , m_random(std::move(random))
{
    if (!m_random)
        m_random = [] { return QRandomGenerator::global()->generate(); };
}

QString AppointmentFiling::TargetDirectory(const QString& dataFolder, const ClassTermin& a)
{
    if (!a.IsRecurring())
        return Recurrence::directory(dataFolder, Recurrence::Kind::None, a.datum());
    return Recurrence::directory(dataFolder, Recurrence::ofCode(a.Recurring_code), a.datum());
}

QString AppointmentFiling::BuildFileName(const ClassTermin& a, const QString& directory)
{
    const QString existing = FileNameOfPath(a.filename());
    if (!existing.isEmpty()) {
        // A moved appointment keeps its name unless another appointment already has it there.
        const QString target = directory + existing;
        if (target == a.filename() || !m_store.FileExists(target))
            return existing;
    }
    return m_store.UnusedFileName(directory, m_random);
}

WriteOutcome AppointmentFiling::File(ClassTermin& a)
{
    const QString directory = TargetDirectory(m_store.DataFolder(), a);
    const QString newPath = directory + BuildFileName(a, directory);
    const QString oldPath = a.filename();

    // A moved appointment is written at its new place first; the old file goes only once the
    // new one is safely there, so a failed save never loses the appointment.
    a.setFilename(newPath);
    const WriteOutcome saved = m_store.SaveAppointment(a);
    if (saved.ok) {
        // One that came from another data folder leaves it; the removal stays inside that one.
        if (!oldPath.isEmpty() && oldPath != newPath)
            m_store.DeleteAppointmentFile(oldPath, Recurrence::folderOf(oldPath));
    } else if (!oldPath.isEmpty()) {
        a.setFilename(oldPath);
    }
    return saved;
}

void AppointmentFiling::file(const ClassTermin& appointment, Filed done)
{
    ClassTermin filed = appointment;
    const WriteOutcome outcome = File(filed);
    if (done)
        done(outcome, filed);
}
