#pragma once

#include "service/StoreService.h"

// Files what the editor or a drop made of one day of a span of days as a change of the whole
// span (see SpanDays::edited), through the store service as one request and one undo step;
// another user's change is asked about on that day's file.
class SpanChangeFiler : public Filer {
public:
    SpanChangeFiler(StoreService& service, ClassTermin day);

    void file(const ClassTermin& changed, Filed done) override;
    void changeSinceLoaded(const ClassTermin& appointment, Changed done) override;

    // Deletes the whole span; done gets the outcome.
    void remove(StoreService::SeriesDone done);

private:
    StoreService& m_service;
    ClassTermin m_day;
};
