#pragma once

#include "profile/FileAccess.h"
#include "store/ClassTermin.h"
#include "store/FolderClaim.h"

#include <QList>
#include <QStringList>

#include <memory>
#include <vector>

class DataAccess;

// The I/O around RoomBooking, before records that book rooms are written: takes a claim per
// room (in the order of their names, so two writers never wait on each other in a circle, and
// without waiting: a claim another copy holds refuses), then reads afresh what the folder
// shows on the records' days and refuses a clash. The claims are held until it goes, so the
// write comes while no other copy can book the rooms.
class RoomClaims {
public:
    // ownFiles: the records' own files and those they replace, which do not count.
    RoomClaims(DataAccess& store, const QList<ClassTermin>& records, const QStringList& ownFiles,
               FolderClaim::Clock clock = {});

    // Done when the records may be written now; else Cause::Refused saying why.
    const WriteOutcome& outcome() const { return m_outcome; }

private:
    bool claimAll(DataAccess& store, const QList<ClassTermin>& records,
                  const FolderClaim::Clock& clock);
    void check(DataAccess& store, const ClassTermin& record, const QStringList& ownFiles);

    std::vector<std::unique_ptr<FolderClaim>> m_claims;
    WriteOutcome m_outcome = WriteOutcome::done();
};
