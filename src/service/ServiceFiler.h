#pragma once

#include "store/AppointmentFiling.h"

class StoreService;

// The editor's filing through the store service: each request goes to the worker and the
// editor waits for its answer with the window's events running, so the window keeps
// painting and answering while a slow share takes its time. While the folder is not
// answering nothing is written: the save is refused at once and says why.
class ServiceFiler : public Filer {
public:
    explicit ServiceFiler(StoreService& service)
        : m_service(service)
    {
    }

    WriteOutcome File(ClassTermin& appointment) override;
    DataAccess::FileChange ChangeSinceLoaded(const ClassTermin& appointment) override;

private:
    StoreService& m_service;
};
