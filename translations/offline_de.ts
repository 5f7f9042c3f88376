<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Offline</name>
    <message><source>(conflict copy, changed offline by %1)</source><translation>(Konfliktkopie, offline geändert von %1)</translation></message>
    <message><source>The record of the offline copy cannot be read: %1</source><translation>Das Protokoll der Offline-Kopie kann nicht gelesen werden: %1</translation></message>
    <message><source>Another version of the program wrote the record of the offline copy; it was left as it is.</source><translation>Eine andere Version des Programms hat das Protokoll der Offline-Kopie geschrieben; es wurde belassen, wie es ist.</translation></message>
    <message><source>%1 cannot be listed</source><translation>%1 kann nicht aufgelistet werden</translation></message>
    <message><source>Cannot read %1: %2</source><translation>%1 kann nicht gelesen werden: %2</translation></message>
    <message><source>not a whole file</source><translation>keine vollständige Datei</translation></message>
    <message><source>Cannot write %1: %2</source><translation>%1 kann nicht geschrieben werden: %2</translation></message>
    <message><source>Cannot delete %1</source><translation>%1 kann nicht gelöscht werden</translation></message>
    <message><source>%1 cannot be reached</source><translation>%1 ist nicht erreichbar</translation></message>
    <message><source>Cannot make %1</source><translation>%1 kann nicht angelegt werden</translation></message>
    <message><source>The reconcile would delete %1 of %2 files on the share and %3 of %4 in the offline copy; nothing was done.</source><translation>Der Abgleich würde %1 von %2 Dateien auf der Freigabe und %3 von %4 in der Offline-Kopie löschen; es wurde nichts getan.</translation></message>
</context>
</TS>
