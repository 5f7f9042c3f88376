#pragma once

#include "store/AppointmentFiling.h"
#include "store/DataAccess.h"
#include "store/SeriesEdit.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Carries out a change of one occurrence, of the rest or of all of a series in the store's
// folder, as SeriesEdit plans it: the window and the command line change a series through
// here.
class SeriesFiling {
public:
    // The id a series in one file gets at its first split (SeriesEdit::seriesIdFor by default).
    using NewId = std::function<QString(const ClassTermin& part)>;

    SeriesFiling(DataAccess& store, AppointmentFiling& filing, NewId newId = {});

    struct Request {
        ClassTermin part; // the recurring file holding the occurrence, as it was loaded
        QDate occurrence;
        SeriesEdit::Scope scope = SeriesEdit::Scope::This;
        std::optional<ClassTermin> changed; // none: deleted
        // One-time files of the series the caller has loaded (its exceptions): the recurring
        // parts are found beside the part itself, and they tell where the others lie.
        QList<ClassTermin> knownExceptions;
    };
    struct Outcome {
        WriteOutcome outcome = WriteOutcome::done();
        // Another user changed or removed this file of the series since it was loaded, or is
        // changing the series right now: nothing was written.
        DataAccess::FileChange conflict;
        QString conflictPath;
        QStringList written; // as filed, in the order written
        QStringList removed;
        bool ok() const
        {
            return outcome.ok && conflict.kind == DataAccess::FileChange::Kind::None;
        }
    };
    Outcome apply(const Request& request);

    // The other files of part's series: the recurring ones in its directory, the one-time
    // ones on the days they note (SeriesDays), and those of known that carry its SeriesId.
    // None for a series in one file.
    QList<ClassTermin> otherPartsOf(const ClassTermin& part, const QList<ClassTermin>& known);
    // Whether the series' recurring parts note the days of its one-time files: false for a
    // series written before they did, whose one-time files only a look at its days finds.
    bool notesItsDays(const ClassTermin& part);

private:
    // A change of one occurrence, the rest or all of a series its rule file keeps.
    Outcome applyToRuleSeries(const Request& request);
    // ChangeSinceLoaded, and also a file rewritten since within the same tick of the clock.
    DataAccess::FileChange changeSinceLoaded(const ClassTermin& loaded);
    bool step(const SeriesEdit::Step& step, Outcome& outcome);
    // A new file in dir, from the keys of keysFrom.
    void createIn(const QString& dir, ClassTermin& appointment, const QString& keysFrom,
                  Outcome& outcome);

    DataAccess& m_store;
    AppointmentFiling& m_filing;
    NewId m_newId;
};
