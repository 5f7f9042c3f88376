<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Druck</name>
    <message>
        <source>printed by Norvane4</source>
        <translation>gedruckt mit Norvane4</translation>
    </message>
    <message>
        <source>Week %1, %2</source>
        <translation>KW %1, %2</translation>
    </message>
    <message>
        <source>Appointment list %1 - %2</source>
        <translation>Terminliste %1 - %2</translation>
    </message>
</context>
<context>
    <name>PrintJob</name>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>no graphical application to draw with</source>
        <translation>keine grafische Anwendung zum Zeichnen</translation>
    </message>
    <message>
        <source>the PDF could not be started</source>
        <translation>die PDF-Datei konnte nicht begonnen werden</translation>
    </message>
    <message>
        <source>the PDF could not be completed</source>
        <translation>die PDF-Datei konnte nicht fertiggestellt werden</translation>
    </message>
</context>
</TS>
