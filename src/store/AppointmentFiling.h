#pragma once

#include "profile/FileAccess.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"

#include <QString>

#include <functional>

// Files appointments for the editor: the store itself on the caller's thread
// (AppointmentFiling), or the store service, which does it on a thread of its own.
class Filer {
public:
    virtual ~Filer() = default;

    // Writes the appointment where it belongs; a moved one leaves its old file only once the
    // new one is safely there. The appointment then names its file.
    virtual WriteOutcome File(ClassTermin& appointment) = 0;
    // Whether another user changed or deleted the appointment's file since it was loaded.
    virtual DataAccess::FileChange ChangeSinceLoaded(const ClassTermin& appointment) = 0;
};

// Files an edited appointment into the directory its date and recurrence demand, inside the
// store's data folder: a new one under a fresh name, a changed one under its old base name,
// moved when its directory changed.
class AppointmentFiling : public Filer {
public:
    // Draws the number of a new file name.
    using RandomSource = std::function<quint32()>;

    explicit AppointmentFiling(DataAccess& store, RandomSource random = {});

    WriteOutcome File(ClassTermin& appointment) override;

    // The directory inside dataFolder (which ends in a separator) that the appointment
    // belongs in.
    static QString TargetDirectory(const QString& dataFolder, const ClassTermin& appointment);

    DataAccess::FileChange ChangeSinceLoaded(const ClassTermin& appointment) override
    {
        return m_store.ChangeSinceLoaded(appointment);
    }

private:
    DataAccess& m_store;
    RandomSource m_random;
};
