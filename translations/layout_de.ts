<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>MonthLayout</name>
    <message>
        <source>+%1 more</source>
        <translation>+%1 weitere</translation>
    </message>
</context>
</TS>
