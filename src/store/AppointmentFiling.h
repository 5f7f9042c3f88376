#pragma once

#include "profile/FileAccess.h"
#include "store/ClassTermin.h"
#include "store/DataAccess.h"

#include <QString>

#include <functional>

// Files appointments for the editing without making it wait: each request is answered later,
// by callback, on the caller's thread (the store service, whose worker does the filing), or at
// once (AppointmentFiling, the store itself on the caller's thread).
class Filer {
public:
    // The outcome, and the appointment as filed (its new file name and time) when it went.
    using Filed = std::function<void(const WriteOutcome& outcome, const ClassTermin& filed)>;
    using Changed = std::function<void(const DataAccess::FileChange& change)>;

    virtual ~Filer() = default;

    // Writes the appointment where it belongs; a moved one leaves its old file only once the
    // new one is safely there.
    virtual void file(const ClassTermin& appointment, Filed done) = 0;
    // Whether another user changed or deleted the appointment's file since it was loaded.
    virtual void changeSinceLoaded(const ClassTermin& appointment, Changed done) = 0;
};

// Files an edited appointment into the directory its date and recurrence demand, inside the
// store's data folder: a new one under a fresh name, a changed one under its old base name,
// moved when its directory changed.
class AppointmentFiling : public Filer {
public:
    // Draws the number of a new file name.
    using RandomSource = std::function<quint32()>;

    explicit AppointmentFiling(DataAccess& store, RandomSource random = {});

    // The appointment then names its file.
    WriteOutcome File(ClassTermin& appointment);
    DataAccess::FileChange ChangeSinceLoaded(const ClassTermin& appointment)
    {
        return m_store.ChangeSinceLoaded(appointment);
    }

    void file(const ClassTermin& appointment, Filed done) override;
    void changeSinceLoaded(const ClassTermin& appointment, Changed done) override
    {
        if (done)
            done(ChangeSinceLoaded(appointment));
    }

    // The directory inside dataFolder (which ends in a separator) that the appointment
    // belongs in.
    static QString TargetDirectory(const QString& dataFolder, const ClassTermin& appointment);

private:
    // A series whose rule one recurring file cannot hold: its rule file and the files it
    // stands for.
    WriteOutcome fileByRule(ClassTermin& appointment);

    DataAccess& m_store;
    RandomSource m_random;
};
