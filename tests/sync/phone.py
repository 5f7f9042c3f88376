#!/usr/bin/env python3
"""A phone's calendar app on the same collection, through python3-caldav.

phone.py URL USER PASSWORD COMMAND [ARGS]
  list                       one JSON line per event: uid, summary, start, rrule, parts,
                             its DTSTART line as sent, description, location, EXDATE lines,
                             class, organizer's CN, attendees as "CN or address=PARTSTAT; ...",
                             categories (names joined by ",")
  add UID SUMMARY START [RRULE [EXDATE]]   START as 20261210T100000 (local time)
  raw ICS                    a calendar of one event, as given
  edit UID SUMMARY           a new summary (and description)
  retitle UID SUMMARY        a new summary, the description left as it is
  categories UID NAMES       other categories: NAMES joined by ","
  exdate UID START           "delete this occurrence": START as for add
  rrule UID RRULE            another rule for the whole series
  partstat UID ADDRESS STATUS  the attendee's answer, as its calendar app sends it
  delete UID
"""
import datetime
import json
import re
import sys
import zoneinfo

import caldav
import icalendar


def calendar(url, user, password):
    client = caldav.DAVClient(url, username=user or None, password=password or None)
    return caldav.Calendar(client=client, url=url)


def event_text(uid, summary, start, rrule="", exdate=""):
    lines = ["BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//phone//EN", "BEGIN:VEVENT",
             "UID:" + uid, "DTSTAMP:20260101T000000Z",
             "DTSTART;TZID=Europe/Berlin:" + start,
             "DURATION:PT1H", "SUMMARY:" + summary]
    if rrule:
        lines.append("RRULE:" + rrule)
    if exdate:
        lines.append("EXDATE;TZID=Europe/Berlin:" + exdate)
    lines += ["END:VEVENT", "END:VCALENDAR", ""]
    return "\r\n".join(lines)


def dtstart_line(data):
    """The event's DTSTART line as the server holds it, not one of a VTIMEZONE."""
    lines = re.sub(r"\r?\n[ \t]", "", data).splitlines()
    event = lines[lines.index("BEGIN:VEVENT"):]
    return next((line for line in event if line.startswith("DTSTART")), "")


def attendees_of(component):
    found = component.get("attendee", [])
    return found if isinstance(found, list) else [found]
def categories(component):
    found = component.get("categories", [])
    return ",".join(str(c) for p in (found if isinstance(found, list) else [found]) for c in p.cats)


def main():
    url, user, password, command, *args = sys.argv[1:]
    cal = calendar(url, user, password)
    if command == "list":
        for event in cal.events():
            parts = [c for c in event.icalendar_instance.walk("VEVENT")]
            first = parts[0]
            print(json.dumps({
                "uid": str(first.get("uid")),
                "summary": str(first.get("summary", "")),
                "start": first.decoded("dtstart").strftime("%Y%m%dT%H%M%S"),
                "rrule": first.get("rrule").to_ical().decode() if first.get("rrule") else "",
                "parts": len(parts),
                "dtstart_line": dtstart_line(event.data),
                "description": str(first.get("description", "")),
                "location": str(first.get("location", "")),
                "class": str(first.get("class", "")),
                "organizer": str(first["organizer"].params.get("CN", ""))
                if "organizer" in first else "",
                "attendees": "; ".join(f"{a.params.get('CN', a)}={a.params.get('PARTSTAT', '')}"
                                       for a in attendees_of(first)),
                "categories": categories(first),
                "exdates": len(first.get("exdate", [])) if isinstance(first.get("exdate"), list)
                else int("exdate" in first),
            }))
    elif command == "add":
        cal.save_event(event_text(*args))
    elif command == "raw":
        cal.save_event(args[0])
    elif command == "retitle":
        uid, summary = args
        event = cal.event_by_uid(uid)
        event.icalendar_instance.walk("VEVENT")[0]["summary"] = summary
        event.data = event.icalendar_instance.to_ical().decode()
        event.save()
    elif command == "categories":
        uid, names = args
        event = cal.event_by_uid(uid)
        component = event.icalendar_instance.walk("VEVENT")[0]
        component.pop("categories", None)
        component.add("categories", names.split(","))
        event.data = event.icalendar_instance.to_ical().decode()
        event.save()
    elif command == "edit":
        uid, summary = args
        event = cal.event_by_uid(uid)
        component = event.icalendar_instance.walk("VEVENT")[0]
        component["summary"] = summary
        if "description" in component:
            component["description"] = summary
        event.data = event.icalendar_instance.to_ical().decode()
        event.save()
    elif command == "rrule":
        uid, rrule = args
        event = cal.event_by_uid(uid)
        component = event.icalendar_instance.walk("VEVENT")[0]
        component.pop("rrule", None)
        component.add("rrule", icalendar.vRecur.from_ical(rrule))
        event.data = event.icalendar_instance.to_ical().decode()
        event.save()
    elif command == "exdate":
        uid, start = args
        event = cal.event_by_uid(uid)
        at = datetime.datetime.strptime(start, "%Y%m%dT%H%M%S")
        event.icalendar_instance.walk("VEVENT")[0].add(
            "exdate", at.replace(tzinfo=zoneinfo.ZoneInfo("Europe/Berlin")))
        event.data = event.icalendar_instance.to_ical().decode()
        event.save()
    elif command == "partstat":
        uid, address, status = args
        event = cal.event_by_uid(uid)
        for attendee in attendees_of(event.icalendar_instance.walk("VEVENT")[0]):
            if str(attendee).lower() == address.lower():
                attendee.params["PARTSTAT"] = status
        event.data = event.icalendar_instance.to_ical().decode()
        event.save()
    elif command == "delete":
        cal.event_by_uid(args[0]).delete()
    else:
        sys.exit("unknown command " + command)


if __name__ == "__main__":
    main()
