<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ReminderMail</name>
    <message><source>Norvane4 Reminder Email</source><translation>Norvane4 Erinnerungs Email</translation></message>
    <message><source>Norvane4 Reminder:</source><translation>Norvane4 Erinnerung:</translation></message>
    <message><source>Producer: </source><translation>Ersteller: </translation></message>
    <message><source>If your recieved this email, your email-settings are correct &lt;br&gt;and </source><translation>Wenn Sie dieses Email erhalten haben, so sind die Email-Einstellungen korrekt &lt;br&gt;und </translation></message>
    <message><source>you can be reminded for important appointments.</source><translation>Sie können per Email an wichtige Termine erinnert werden.</translation></message>
</context>
</TS>
