#include "exchange/IcsPaste.h"

#include "exchange/IcsImport.h"
#include "profile/FileAccess.h"
#include "profile/ProfileCache.h"
#include "store/AppointmentCopy.h"
#include "store/DataAccess.h"

#include <QDirIterator>
#include <QTemporaryDir>

std::optional<ClassTermin> AppointmentOfIcs(const QByteArray& ics, const QString& owner,
                                            int colorCode, const QDate& today)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        return std::nullopt;
    const QString folder = scratch.path() + QLatin1Char('/');
    RealFileAccess files;
    ProfileCache profiles(files);
    DataAccess store(profiles, StoreSource::fixed(folder));
    IcsImportOptions options;
    options.today = today;
    options.producer = owner;
    options.seriesParts = false; // one event, one appointment: its first occurrence
    const IcsImportResult result = ImportIcs(ics, store, folder, colorCode, {}, options);
    if (!result.ok || result.appointments == 0)
        return std::nullopt;
    // The first occurrence: the earliest day directory of the scratch folder.
    std::optional<ClassTermin> first;
    QDirIterator found(folder, {QStringLiteral("*.nv3")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (found.hasNext()) {
        const QString path = found.next();
        const QDate day = DataAccess::DayOfOneTimeFile(path);
        const TerminPtr appointment = store.LoadAppointment(path, day.isValid() ? day : today);
        const QDate on = day.isValid() ? day : appointment->RecurringStartDate();
        if (!first || on < first->datum() ||
            (on == first->datum() && appointment->StartTime() < first->StartTime()))
            first = AppointmentCopy::of(*appointment, on, owner);
    }
    return first;
}
