#include "remind/ReminderRoute.h"

namespace ReminderRoute {

Route decide(bool windowOn, bool notificationOn, Service service)
{
    Route route;
    if (notificationOn && service == Service::Unknown)
        route.wait = true;
    else if (notificationOn && service == Service::WithActions)
        route.notify = true;
    else if (notificationOn || windowOn)
        route.window = route.trayMessage = true;
    return route;
}

} // namespace ReminderRoute
