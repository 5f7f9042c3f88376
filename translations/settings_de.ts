<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Settings</name>
    <message>
        <source>The path of the settings file is invalid.
Please change the path in the settings-menu.</source>
        <translation>Der Pfad der Einstellungsdatei ist ungültig.
Ändern Sie den Pfad in den Einstellungen.</translation>
    </message>
    <message>
        <source>The settings file %1 could not be read.
Changes to the settings are not saved until the next start.</source>
        <translation>Die Einstellungsdatei %1 konnte nicht gelesen werden.
Änderungen an den Einstellungen werden bis zum nächsten Start nicht gespeichert.</translation>
    </message>
</context>
</TS>
