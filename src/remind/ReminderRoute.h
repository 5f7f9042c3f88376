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

// Why the service closed a notification, as it numbers the reasons.
enum class Closed : unsigned {
    Expired = 1,
    Dismissed = 2, // by the user
    ByCall = 3,    // someone asked the service to close it
    Undefined = 4,
};

// A notification the service closed before the user answered it with an action. Only the user's
// own dismissal ends the reminder; closed for any other reason it is decided again as for an
// absent service: the window stands in, where a second notification could go the same way.
Route decideClosed(bool windowOn, bool notificationOn, unsigned reason);

} // namespace ReminderRoute
