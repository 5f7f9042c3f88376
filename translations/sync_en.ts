<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>Sync</name>
    <message numerus="yes"><source>Sent %1, received %2, deleted %3 here and %4 on the server; %n conflicts kept as copies.</source><translation><numerusform>Sent %1, received %2, deleted %3 here and %4 on the server; %n conflict kept as a copy.</numerusform><numerusform>Sent %1, received %2, deleted %3 here and %4 on the server; %n conflicts kept as copies.</numerusform></translation></message>
    <message numerus="yes"><source>%n events changed on the server during the sync: they follow at the next sync.</source><translation><numerusform>%n event changed on the server during the sync: it follows at the next sync.</numerusform><numerusform>%n events changed on the server during the sync: they follow at the next sync.</numerusform></translation></message>
    <message numerus="yes"><source>%n changes were not sent: the calendar is read-only.</source><translation><numerusform>%n change was not sent: the calendar is read-only.</numerusform><numerusform>%n changes were not sent: the calendar is read-only.</numerusform></translation></message>
</context>
</TS>
