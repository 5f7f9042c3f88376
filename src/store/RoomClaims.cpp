#include "store/RoomClaims.h"

#include "store/DataAccess.h"
#include "store/RoomBooking.h"
#include "store/SeriesEdit.h"

#include <QCoreApplication>
#include <QMap>

#include <algorithm>

RoomClaims::RoomClaims(DataAccess& store, const QList<ClassTermin>& records,
                       const QStringList& ownFiles, FolderClaim::Clock clock)
{
    if (!claimAll(store, records, clock) || m_claims.empty())
        return; // refused, or nothing books a room: not a request more
    const DataAccess::FreshPass fresh(store);
    for (const ClassTermin& record : records) {
        check(store, record, ownFiles);
        if (!m_outcome.ok)
            return;
    }
}

bool RoomClaims::claimAll(DataAccess& store, const QList<ClassTermin>& records,
                          const FolderClaim::Clock& clock)
{
    QMap<QString, QString> rooms; // by the name folded, as first named
    for (const ClassTermin& record : records) {
        if (RoomBooking::daysToCheck(record, store.today()).isEmpty())
            continue; // a series of the past, or no room at all
        for (const QString& room : record.Rooms())
            rooms.insert(room.toCaseFolded(), rooms.value(room.toCaseFolded(), room));
    }
    const QString folder = store.DataFolder();
    for (auto room = rooms.cbegin(); room != rooms.cend(); ++room) {
        m_claims.push_back(std::make_unique<FolderClaim>(
            store.files(), folder, FolderClaim::roomPath(folder, room.key()), clock));
        if (!m_claims.back()->held()) {
            m_claims.clear();
            m_outcome = WriteOutcome::failed(WriteOutcome::Cause::Refused, folder,
                                             RoomBooking::beingBookedText(*room));
            return false;
        }
    }
    return true;
}

void RoomClaims::check(DataAccess& store, const ClassTermin& record, const QStringList& ownFiles)
{
    const QList<QDate> days = RoomBooking::daysToCheck(record, store.today());
    if (days.isEmpty())
        return;
    QMap<QDate, QList<TerminPtr>> shown;
    if (days.size() == 1) {
        shown.insert(days.first(), store.GetAppointmentsOfDay(days.first()));
    } else {
        // A series: the folder listed once over its days rather than day by day.
        const QSet<QDate> wanted(days.cbegin(), days.cend());
        const QString folder = store.DataFolder();
        for (const auto& listed : store.ListAppointmentFiles(days.first(), days.last())) {
            const QString path = folder + listed.path;
            const QDate day = DataAccess::DayOfOneTimeFile(path);
            if (day.isValid()) {
                if (wanted.contains(day))
                    shown[day].append(store.LoadAppointment(path, day));
                continue;
            }
            const TerminPtr other = store.LoadAppointment(path, days.first());
            if (other->Rooms().isEmpty())
                continue;
            for (const QDate& d : days) {
                if (SeriesEdit::occursOn(*other, d))
                    shown[d].append(other);
            }
        }
    }
    for (auto day = shown.cbegin(); day != shown.cend(); ++day) {
        if (const auto clash = RoomBooking::clashOn(record, *day, ownFiles)) {
            const QString& owner = clash->holder->Producer();
            const QString name = owner.isEmpty()
                                     ? QCoreApplication::translate("RoomBooking", "another user")
                                     : store.shownName(owner);
            m_outcome = WriteOutcome::failed(WriteOutcome::Cause::Refused, record.filename(),
                                             RoomBooking::bookedText(*clash, name));
            return;
        }
    }
}
