<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>form_import</name>
    <message numerus="yes"><source>%1 of %n holidays imported.</source><translation><numerusform>%1 of %n holiday imported.</numerusform><numerusform>%1 of %n holidays imported.</numerusform></translation></message>
    <message numerus="yes"><source>%n holidays imported.</source><translation><numerusform>%n holiday imported.</numerusform><numerusform>%n holidays imported.</numerusform></translation></message>
    <message numerus="yes"><source>Import cancelled: %1 of %n holidays imported.</source><translation><numerusform>Import cancelled: %1 of %n holiday imported.</numerusform><numerusform>Import cancelled: %1 of %n holidays imported.</numerusform></translation></message>
    <message numerus="yes"><source>%n holidays skipped: they are dated before 1900 or after 2200, where no view shows them.</source><translation><numerusform>%n holiday skipped: it is dated before 1900 or after 2200, where no view shows it.</numerusform><numerusform>%n holidays skipped: they are dated before 1900 or after 2200, where no view shows them.</numerusform></translation></message>
    <message numerus="yes"><source>%1 of %n holidays could not be saved.</source><translation><numerusform>%1 of %n holiday could not be saved.</numerusform><numerusform>%1 of %n holidays could not be saved.</numerusform></translation></message>
</context>
</TS>
