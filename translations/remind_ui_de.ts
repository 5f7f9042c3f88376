<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>DesktopReminders</name>
    <message><source>Open</source><translation>Öffnen</translation></message>
    <message><source>Remind again in 5 minutes</source><translation>In 5 Minuten wieder erinnern</translation></message>
</context>
<context>
    <name>form_remind</name>
    <message><source>Norvane4 Reminder</source><translation>Norvane4 Erinnerung</translation></message>
    <message><source>Don&apos;t remind again</source><translation>Nicht mehr erinnern</translation></message>
    <message><source>Remind again in 05 minutes</source><translation>In 05 Minuten wieder erinnern</translation></message>
    <message><source>Remind again in 15 minutes</source><translation>In 15 Minuten wieder erinnern</translation></message>
    <message><source>Remind again in 30 minutes</source><translation>In 30 Minuten wieder erinnern</translation></message>
    <message><source>Remind again in 60 minutes</source><translation>In 60 Minuten wieder erinnern</translation></message>
</context>
<context>
    <name>form_remind_list</name>
    <message><source>Norvane4 Reminder</source><translation>Norvane4 Erinnerung</translation></message>
    <message><source>Further reminders: %1</source><translation>Weitere Erinnerungen: %1</translation></message>
</context>
</TS>
