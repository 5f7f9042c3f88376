#!/usr/bin/python3
"""The real program's reminders through the desktop's notification service.

Starts Norvane under Xvfb on a D-Bus session bus of its own, beside a fake notification service
that records what it is asked, with an appointment due now: the reminder arrives as one
notification with its texts and both actions, in English and German; "Remind again in 5
minutes" brings no reminder window in its place, "Open" the appointment's editor. Without the
service the reminder window shows.
Exits 77 (skipped) where the tools are missing.
"""
import datetime
import os
import shutil
import sys
import time

from desktop_session import Desktop, crlf, skip

SERVICE = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"
# Nothing is started on demand: a service nobody registered stays absent.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>
<policy context="default"><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>
"""
TEXTS = {
    "en": ("Norvane4 Reminder", "Remind again in 5 minutes", "Open"),
    "de": ("Norvane4 Erinnerung", "In 5 Minuten wieder erinnern", "Öffnen"),
}
REMINDER_WINDOW = "^Norvane4 (Reminder|Erinnerung)$"


class FakeService:
    """The notification service of a desktop, recording its calls, on a connection of its own."""

    def __init__(self, dbus, address):
        import dbus.service

        self.connection = dbus.bus.BusConnection(address)
        self.notified = []
        self.closed = []
        fake = self

        class Server(dbus.service.Object):
            @dbus.service.method(SERVICE, in_signature="", out_signature="as")
            def GetCapabilities(self):
                return ["actions", "body", "body-markup"]

            @dbus.service.method(SERVICE, in_signature="", out_signature="ssss")
            def GetServerInformation(self):
                return ("fake", "tests", "1", "1.2")

            @dbus.service.method(SERVICE, in_signature="susssasa{sv}i", out_signature="u")
            def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
                fake.notified.append({"app": str(app), "summary": str(summary),
                                      "body": str(body), "actions": [str(a) for a in actions]})
                return len(fake.notified)

            @dbus.service.method(SERVICE, in_signature="u", out_signature="")
            def CloseNotification(self, id):
                fake.closed.append(int(id))

            @dbus.service.signal(SERVICE, signature="us")
            def ActionInvoked(self, id, key):
                pass

        self.name = dbus.service.BusName(SERVICE, self.connection)
        self.server = Server(self.connection, PATH)

    def invoke(self, id, key):
        self.server.ActionInvoked(id, key)

    def close(self):
        self.server.remove_from_connection()
        del self.name
        self.connection.close()


class Session(Desktop):
    """Norvane on a bus where nothing is started on demand, a fresh folder for each run."""

    def __init__(self, program):
        super().__init__(program, "norvane-notify-", bus_config=BUS_CONFIG)
        self.runs = 0

    def start(self, lang):
        """Norvane in lang on a folder with one appointment whose reminder is due now."""
        self.stop()
        starts = datetime.datetime.now().replace(second=0, microsecond=0) + \
            datetime.timedelta(minutes=3)
        ends = starts + datetime.timedelta(minutes=30)
        self.runs += 1
        data = os.path.join(self.dir, "data-%d" % self.runs)
        folder = os.path.join(data, "y%d" % starts.year, "m%d" % starts.month, "d%d" % starts.day)
        os.makedirs(folder)
        with open(os.path.join(folder, "12345678.nv3"), "wb") as f:
            f.write(crlf("[AppointmentSettings]", "DateYear=%d" % starts.year,
                         "DateMonth=%d" % starts.month, "DateDay=%d" % starts.day,
                         "StartTimeHour=%d" % starts.hour, "StartTimeMinute=%d" % starts.minute,
                         "EndTimeHour=%d" % ends.hour, "EndTimeMinute=%d" % ends.minute,
                         "Color=2", "IsReminder=1", "RemindTime=10", "RemindMe=0",
                         "Producer=anna", "Text=Planning & review##br##Room B"))
        self.configure(data, "[International]", "LangCode=" + lang, "TimeFormat=24h",
                       "DateFormat=yyyy-mm-dd", "[Reminder]", "ShowWindow=1",
                       "DesktopNotification=1")
        reminded = os.path.join(self.program_dir, "Reminded.txt")
        if os.path.exists(reminded):
            os.remove(reminded)
        self.start_program()
        return "%s %s - %s" % (starts.strftime("%Y-%m-%d"), starts.strftime("%H:%M"),
                               ends.strftime("%H:%M"))

    def reminder_windows(self):
        return self.windows(REMINDER_WINDOW)


def spin(seconds, until=lambda: False):
    """Runs the fake's main loop for up to seconds, or until until() holds; what until gave."""
    from gi.repository import GLib

    context = GLib.MainContext.default()
    end = time.time() + seconds
    while time.time() < end:
        while context.pending():
            context.iteration(False)
        result = until()
        if result:
            return result
        time.sleep(0.05)
    return until()


def check_notified(session, dbus, lang, key):
    """The notification in lang, answered with the action key."""
    summary, snooze, open_label = TEXTS[lang]
    fake = FakeService(dbus, session.address)
    try:
        when = session.start(lang)
        if not spin(30, lambda: fake.notified):
            raise AssertionError("no notification came (%s)" % lang)
        shown = fake.notified[0]
        assert (shown["app"], shown["summary"]) == ("Norvane", summary), shown
        assert shown["body"] == when + "\nPlanning &amp; review\nRoom B", shown
        actions = dict(zip(shown["actions"][::2], shown["actions"][1::2]))
        assert actions.get("snooze") == snooze and actions.get("open") == open_label, actions
        assert not session.reminder_windows(), "a reminder window beside the notification"
        fake.invoke(1, key)
        if not spin(10, lambda: fake.closed):
            raise AssertionError("the answered notification stayed")
        if key == "open" and not spin(15, lambda: session.windows("^Termin bearbeiten$")):
            raise AssertionError("Open opened no editor")
        spin(3)
        assert len(fake.notified) == 1, fake.notified
        assert not session.reminder_windows(), "a reminder window after " + key
    finally:
        session.stop()
        fake.close()


def check_absent(session):
    session.start("en")
    assert spin(30, session.reminder_windows), "no reminder window without the service"
    session.stop()


def main():
    program = sys.argv[1]
    for tool in ("Xvfb", "dbus-daemon", "xdotool"):
        if not shutil.which(tool):
            skip(tool + " is missing (packages xvfb, dbus-daemon, xdotool)")
    try:
        import dbus
        import dbus.bus
        import dbus.mainloop.glib
        from gi.repository import GLib  # noqa: F401
    except ImportError as missing:
        skip("python3-dbus or python3-gi is missing: %s" % missing)
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    session = Session(program)
    try:
        for lang, key in (("en", "snooze"), ("de", "open")):
            check_notified(session, dbus, lang, key)
            print("ok: notified in %s, answered %s" % (lang, key))
        check_absent(session)
        print("ok: the window without the service")
    finally:
        session.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
