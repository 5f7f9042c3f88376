<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>FileAccess</name>
    <message><source>It is not a regular file.</source><translation>Sie ist keine gewöhnliche Datei.</translation></message>
    <message><source>It cannot be read.</source><translation>Sie kann nicht gelesen werden.</translation></message>
    <message><source>It is larger than %1 MiB.</source><translation>Sie ist größer als %1 MiB.</translation></message>
</context>
</TS>
