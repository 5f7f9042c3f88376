#pragma once

// How a due reminder reaches the user on the desktop: as a notification of the desktop's
// notification service, or as the reminder window with a message in the notification area;
// never both, so nothing is reminded twice.
namespace ReminderRoute {

// What is known of the desktop's notification service.
enum class Service {
    Unknown,        // asked, not answered yet
    Absent,         // nobody owns it, it answered with an error or not in time
    WithoutActions, // it shows notifications but no buttons to snooze or open with
    WithActions,
};

struct Route {
    bool wait = false; // decide again once the service has answered
    bool notify = false;
    bool window = false;
    bool trayMessage = false;

    bool operator==(const Route&) const = default;
};

// By the settings "ShowWindow" and "DesktopNotification". Where the notification cannot go
// out, or would offer no way to snooze or open, the window stands in for it: a notification
// the service did not take is decided again as for an absent service.
Route decide(bool windowOn, bool notificationOn, Service service);

} // namespace ReminderRoute
