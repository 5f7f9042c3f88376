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


def zoned(prop):
    """A DTSTART or DTEND as an aware time in its own zone (floating: the local one)."""
    value = prop.dt
    if not isinstance(value, datetime.datetime):  # a date: the whole day wherever it is read
        return datetime.datetime.combine(value, datetime.time(0), tzinfo=local)
    tzid = prop.params.get("TZID")
    if tzid:
        return value.replace(tzinfo=zoneinfo.ZoneInfo(tzid))
    if value.tzinfo:
        return value.astimezone(datetime.timezone.utc)
    return value.replace(tzinfo=local)


lines = []
calendar = icalendar.Calendar.from_ical(open(path, "rb").read())
for event in calendar.walk("VEVENT"):
    start = zoned(event["DTSTART"])
    length = zoned(event["DTEND"]).replace(tzinfo=None) - start.replace(tzinfo=None)
    starts = [start]
    if "RRULE" in event:
        rule = event["RRULE"].to_ical().decode()
        starts = rrule.rrulestr(rule, dtstart=start).between(begin, end, inc=True)
    remind = 0
    for alarm in event.walk("VALARM"):
        remind = int(-alarm.decoded("TRIGGER").total_seconds() // 60)
    description = str(event.get("DESCRIPTION", ""))
    if "LOCATION" in event:
        description += ("\n" if description else "") + "Location: " + str(event["LOCATION"])
    text = str(event.get("SUMMARY", "")) + "|" + description
    for s in starts:
        if not begin <= s < end:
            continue
        finish = (s.replace(tzinfo=None) + length).replace(tzinfo=s.tzinfo).astimezone(local)
        s = s.astimezone(local)
        until = "24:00" if finish.date() > s.date() else f"{finish:%H:%M}"
        lines.append(f"{s:%Y-%m-%d %H:%M}-{until} remind={remind} " + text.replace("\n", "\\n"))

print("\n".join(sorted(lines)))
