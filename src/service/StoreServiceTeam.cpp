#include "service/StoreService.h"

#include "settings/Settings.h"

void StoreService::setTeam(const Settings& settings)
{
    setTeam(settings.TeamMembers());
    m_worker->post([store = m_store, zone = settings.CalendarZone()] { store->useTeamZone(zone); });
}
