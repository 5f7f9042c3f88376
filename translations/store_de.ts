<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>RoomBooking</name>
    <message>
        <source>%1 is booked by %2, %3</source>
        <translation>%1 ist von %2 belegt, %3</translation>
    </message>
    <message>
        <source>all day</source>
        <translation>ganztägig</translation>
    </message>
    <message>
        <source>another user</source>
        <translation>einem anderen Benutzer</translation>
    </message>
    <message>
        <source>%1 is being booked by another copy just now. Please try again.</source>
        <translation>%1 wird gerade von einer anderen Kopie gebucht. Bitte versuchen Sie es noch einmal.</translation>
    </message>
</context>
<context>
    <name>ClassTermin</name>
    <message>
        <source>Location: %1</source>
        <translation>Ort: %1</translation>
    </message>
</context>
<context>
    <name>Privacy</name>
    <message>
        <source>Busy</source>
        <translation>Belegt</translation>
    </message>
    <message>
        <source>This appointment is private: only its owner can change it.</source>
        <translation>Dieser Termin ist privat: nur sein Besitzer kann ihn ändern.</translation>
    </message>
    <message>
        <source>This private appointment belongs to %1: only its owner can change it.</source>
        <translation>Dieser private Termin gehört %1: nur sein Besitzer kann ihn ändern.</translation>
    </message>
    <message>
        <source>This appointment comes from the subscription &quot;%1&quot;: each refresh replaces it. Copy it to have one of your own to change.</source>
        <translation>Dieser Termin stammt aus dem Abonnement „%1“: jede Aktualisierung ersetzt ihn. Kopieren Sie ihn, um einen eigenen zum Ändern zu haben.</translation>
    </message>
</context>
<context>
    <name>PeopleText</name>
    <message>
        <source>Organizer: %1</source>
        <translation>Organisator: %1</translation>
    </message>
    <message>
        <source>Attendees: %1</source>
        <translation>Teilnehmer: %1</translation>
    </message>
    <message>
        <source>accepted</source>
        <translation>zugesagt</translation>
    </message>
    <message>
        <source>declined</source>
        <translation>abgesagt</translation>
    </message>
    <message>
        <source>tentative</source>
        <translation>vorläufig</translation>
    </message>
    <message>
        <source>needs action</source>
        <translation>Antwort ausstehend</translation>
    </message>
    <message>
        <source>delegated</source>
        <translation>delegiert</translation>
    </message>
</context>
<context>
    <name>SpanDays</name>
    <message><source>%1 (day %2 of %3)</source><translation>%1 (Tag %2 von %3)</translation></message>
</context>
</TS>
