// How a due reminder reaches the user: by the settings and what the notification service
// offers, a notification or the window with the tray message, never both.
#include "remind/ReminderRoute.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

using ReminderRoute::Service;

std::string said(const ReminderRoute::Route& route)
{
    QStringList parts;
    const std::pair<bool, const char*> flags[] = {{route.wait, "wait"},
                                                  {route.notify, "notify"},
                                                  {route.window, "window"},
                                                  {route.trayMessage, "tray"}};
    for (const auto& [on, name] : flags)
        if (on)
            parts << name;
    return parts.join(' ').toStdString();
}

TEST(ReminderRouteTest, ANotificationWhereTheServiceTakesItTheWindowWhereNot)
{
    const struct {
        bool notification;
        Service service;
        const char* withWindow;
        const char* withoutWindow;
    } rows[] = {
        // The notification off: as it always was, whatever the service.
        {false, Service::Unknown, "window tray", ""},
        {false, Service::WithActions, "window tray", ""},
        // On: the service decides, once it has answered.
        {true, Service::Unknown, "wait", "wait"},
        {true, Service::WithActions, "notify", "notify"},
        // No service, or one without buttons to snooze and open: the window stands in.
        {true, Service::Absent, "window tray", "window tray"},
        {true, Service::WithoutActions, "window tray", "window tray"},
    };
    for (const auto& row : rows)
        for (const bool window : {true, false})
            EXPECT_EQ(said(ReminderRoute::decide(window, row.notification, row.service)),
                      window ? row.withWindow : row.withoutWindow)
                << window << row.notification << int(row.service);
}

// Only the user's own dismissal ends a reminder: expired, closed by another's call or for no
// reason given, the notification comes back as the window, not as a notification again.
TEST(ReminderRouteTest, ANotificationClosedWithoutTheUsersAnswerBringsTheWindow)
{
    const struct {
        bool window;
        unsigned reason;
        const char* route;
    } rows[] = {
        {true, 1, "window tray"}, {false, 1, "window tray"}, {true, 2, ""},
        {false, 2, ""},           {true, 3, "window tray"},  {true, 4, "window tray"},
        {true, 0, "window tray"}, {true, 9, "window tray"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(said(ReminderRoute::decideClosed(row.window, true, row.reason)), row.route)
            << row.window << ' ' << row.reason;
}

} // namespace
