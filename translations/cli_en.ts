<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>ExchangeCommand</name>
    <message numerus="yes"><source>%1 of %n appointments not saved: %2</source><translation><numerusform>%1 of %n appointment not saved: %2</numerusform><numerusform>%1 of %n appointments not saved: %2</numerusform></translation></message>
    <message numerus="yes"><source>%n appointments could not be removed; run it again.</source><translation><numerusform>%n appointment could not be removed; run it again.</numerusform><numerusform>%n appointments could not be removed; run it again.</numerusform></translation></message>
</context>
<context>
    <name>ToolsCommand</name>
    <message numerus="yes"><source>%1 of %n holidays imported.</source><translation><numerusform>%1 of %n holiday imported.</numerusform><numerusform>%1 of %n holidays imported.</numerusform></translation></message>
    <message numerus="yes"><source>%n holidays imported.</source><translation><numerusform>%n holiday imported.</numerusform><numerusform>%n holidays imported.</numerusform></translation></message>
    <message numerus="yes"><source>%n holidays skipped: dated before 1900 or after 2200, where no view shows them.</source><translation><numerusform>%n holiday skipped: dated before 1900 or after 2200, where no view shows it.</numerusform><numerusform>%n holidays skipped: dated before 1900 or after 2200, where no view shows them.</numerusform></translation></message>
    <message numerus="yes"><source>%1 of %n holidays not saved: %2</source><translation><numerusform>%1 of %n holiday not saved: %2</numerusform><numerusform>%1 of %n holidays not saved: %2</numerusform></translation></message>
</context>
</TS>
