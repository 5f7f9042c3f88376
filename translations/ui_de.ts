<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ClassMonthDD</name>
    <message>
        <source>today</source>
        <translation>heute</translation>
    </message>
</context>
<context>
    <name>ClassTabs</name>
    <message>
        <source>Pages</source>
        <translation>Seiten</translation>
    </message>
</context>
<context>
    <name>ClassTimeDD</name>
    <message>
        <source>Right and Left: %1 minutes later or earlier; * and _: an hour later or earlier</source>
        <translation>Rechts und Links: %1 Minuten später oder früher; * und _: eine Stunde später oder früher</translation>
    </message>
</context>
</TS>
