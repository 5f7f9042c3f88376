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

Route decideClosed(bool windowOn, bool notificationOn, unsigned reason)
{
    if (reason == unsigned(Closed::Dismissed))
        return {};
    return decide(windowOn, notificationOn, Service::Absent);
}

} // namespace ReminderRoute
