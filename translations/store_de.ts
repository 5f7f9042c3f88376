<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
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
</context>
</TS>
