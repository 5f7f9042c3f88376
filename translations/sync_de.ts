<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Sync</name>
    <message><source>%1 (conflict copy)</source><translation>%1 (Konfliktkopie)</translation></message>
    <message><source>no server is set up in the settings</source><translation>in den Einstellungen ist kein Server eingerichtet</translation></message>
</context>
</TS>
