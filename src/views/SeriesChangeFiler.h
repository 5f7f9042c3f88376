#pragma once

#include "service/StoreService.h"
#include "store/SeriesEdit.h"

// Files what the editor or a drop made of one occurrence of a series as a change of that
// occurrence, of the rest or of all, through the store service as one request; another
// user's change is asked about on the series' file itself.
class SeriesChangeFiler : public Filer {
public:
    SeriesChangeFiler(StoreService& service, ClassTermin part, const QDate& occurrence,
                      SeriesEdit::Scope scope);

    void file(const ClassTermin& changed, Filed done) override;
    void changeSinceLoaded(const ClassTermin& appointment, Changed done) override;

    // Deletes the occurrence, the rest or all; done gets the outcome.
    void remove(StoreService::SeriesDone done);

    // The outcome as the editor and the window tell it.
    static WriteOutcome writeOutcomeOf(const SeriesFiling::Outcome& outcome);

private:
    SeriesFiling::Request request(std::optional<ClassTermin> changed) const;

    StoreService& m_service;
    ClassTermin m_part;
    QDate m_occurrence;
    SeriesEdit::Scope m_scope;
};
