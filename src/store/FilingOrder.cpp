#include "store/FilingOrder.h"

#include "store/ClassTermin.h"
#include "store/Common.h"
#include "store/Recurrence.h"

QString FilingName(DataAccess& store, const QString& directory, const QString& earlier,
                   const std::function<quint32()>& draw, const QSet<QString>* listed)
{
    const QString name = FileNameOfPath(earlier);
    if (!name.isEmpty() && (directory + name == earlier || !store.FileExists(directory + name)))
        return name;
    return listed ? store.UnusedFileName(directory, draw, *listed)
                  : store.UnusedFileName(directory, draw);
}

WriteOutcome SaveInPlaceOf(DataAccess& store, ClassTermin& appointment, const QString& earlier)
{
    const WriteOutcome saved = earlier.isEmpty()
                                   ? store.SaveAppointment(appointment)
                                   : store.SaveAppointmentReplacing(appointment, earlier);
    if (!saved.ok || earlier.isEmpty() || earlier == appointment.filename())
        return saved;
    // One that came from another data folder leaves it; the removal stays inside that one.
    const QString folder = Recurrence::folderOf(earlier);
    store.DeleteAppointmentFile(earlier, folder.isEmpty() ? store.DataFolder() : folder);
    return saved;
}
