#!/usr/bin/python3
"""Every occurrence from FROM to TO of the events of an iCalendar file, read with
python3-icalendar and dateutil, one line each in the local zone (TZ), sorted:
    YYYY-MM-DD HH:MM-HH:MM remind=N summary|description
"""
import datetime
import os
import sys
import zoneinfo

import icalendar
from dateutil import rrule

path, first, last = sys.argv[1], sys.argv[2], sys.argv[3]
local = zoneinfo.ZoneInfo(os.environ.get("TZ", "UTC"))
begin = datetime.datetime.fromisoformat(first).replace(tzinfo=local)
end = (datetime.datetime.fromisoformat(last) + datetime.timedelta(days=1)).replace(tzinfo=local)


def at(value, tzid):
    """A time as an aware time in the zone tzid names (none: its own, or floating local)."""
    if not isinstance(value, datetime.datetime):  # a date: the whole day wherever it is read
        return datetime.datetime.combine(value, datetime.time(0), tzinfo=local)
    if tzid:
        return value.replace(tzinfo=zoneinfo.ZoneInfo(tzid))
    if value.tzinfo:
        return value.astimezone(datetime.timezone.utc)
    return value.replace(tzinfo=local)


def zoned(prop):
    """A DTSTART, DTEND or RECURRENCE-ID as an aware time in its own zone."""
    return at(prop.dt, prop.params.get("TZID"))


def exdates(event):
    """The starts an event's EXDATE lines take out, as aware times."""
    found = event.get("EXDATE", [])
    taken = set()
    for prop in found if isinstance(found, list) else [found]:
        taken |= {at(value.dt, prop.params.get("TZID")) for value in prop.dts}
    return taken


lines = []
calendar = icalendar.Calendar.from_ical(open(path, "rb").read())
# Occurrences another VEVENT of the same UID replaces (RECURRENCE-ID).
replaced = {(str(e["UID"]), zoned(e["RECURRENCE-ID"])) for e in calendar.walk("VEVENT")
            if "RECURRENCE-ID" in e}
for event in calendar.walk("VEVENT"):
    start = zoned(event["DTSTART"])
    length = zoned(event["DTEND"]).replace(tzinfo=None) - start.replace(tzinfo=None)
    starts = [start]
    if "RRULE" in event:
        rule = event["RRULE"].to_ical().decode()
        starts = rrule.rrulestr(rule, dtstart=start).between(begin, end, inc=True)
        gone = exdates(event) | {at for uid, at in replaced if uid == str(event["UID"])}
        starts = [s for s in starts if s not in gone]
    remind = 0
    for alarm in event.walk("VALARM"):
        remind = int(-alarm.decoded("TRIGGER").total_seconds() // 60)
    description = str(event.get("DESCRIPTION", ""))
    if "LOCATION" in event:
        description += ("\n" if description else "") + "Location: " + str(event["LOCATION"])
    found = event.get("CATEGORIES", [])
    names = [str(c) for p in (found if isinstance(found, list) else [found]) for c in p.cats]
    if names:
        description += ("\n" if description else "") + "Categories: " + "; ".join(names)
    text = str(event.get("SUMMARY", "")) + "|" + description
    for s in starts:
        if not begin <= s < end:
            continue
        finish = (s.replace(tzinfo=None) + length).replace(tzinfo=s.tzinfo).astimezone(local)
        s = s.astimezone(local)
        until = "24:00" if finish.date() > s.date() else f"{finish:%H:%M}"
        lines.append(f"{s:%Y-%m-%d %H:%M}-{until} remind={remind} " + text.replace("\n", "\\n"))

print("\n".join(sorted(lines)))
