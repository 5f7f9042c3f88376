<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AgendaLayout</name>
    <message><source>Time</source><translation>Zeit</translation></message>
    <message><source>Text</source><translation>Text</translation></message>
    <message><source>Owner</source><translation>Besitzer</translation></message>
    <message><source>Repeats</source><translation>Wiederholung</translation></message>
    <message>
        <source>repeats</source>
        <translation>wiederholt sich</translation>
    </message>
    <message>
        <source>No appointments</source>
        <translation>Keine Termine</translation>
    </message>
    <message>
        <source>today</source>
        <translation>heute</translation>
    </message>
</context>
<context>
    <name>MonthLayout</name>
    <message>
        <source>+%1 more</source>
        <translation>+%1 weitere</translation>
    </message>
</context>
<context>
    <name>PersonLanes</name>
    <message>
        <source>No owner</source>
        <translation>Kein Besitzer</translation>
    </message>
</context>
</TS>
