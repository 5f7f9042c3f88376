<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>IcsImport</name>
    <message numerus="yes"><source>Not imported: the file makes %n appointments, more than %1 at once. Nothing was written.</source><translation><numerusform>Not imported: the file makes %n appointment, more than %1 at once. Nothing was written.</numerusform><numerusform>Not imported: the file makes %n appointments, more than %1 at once. Nothing was written.</numerusform></translation></message>
    <message numerus="yes"><source>Imported: %n events, %1 of them recurring</source><translation><numerusform>Imported: %n event, %1 of them recurring</numerusform><numerusform>Imported: %n events, %1 of them recurring</numerusform></translation></message>
    <message numerus="yes"><source>Expanded: %n events into %1 appointments</source><translation><numerusform>Expanded: %n event into %1 appointments</numerusform><numerusform>Expanded: %n events into %1 appointments</numerusform></translation></message>
    <message numerus="yes"><source>  &quot;%1&quot;: only the first %n occurrences</source><translation><numerusform>  &quot;%1&quot;: only the first %n occurrence</numerusform><numerusform>  &quot;%1&quot;: only the first %n occurrences</numerusform></translation></message>
    <message numerus="yes"><source>Over several days: %n events, as %1 appointments, one a day</source><translation><numerusform>Over several days: %n event, as %1 appointments, one a day</numerusform><numerusform>Over several days: %n events, as %1 appointments, one a day</numerusform></translation></message>
    <message numerus="yes"><source>Updated: %n appointments of an earlier import</source><translation><numerusform>Updated: %n appointment of an earlier import</numerusform><numerusform>Updated: %n appointments of an earlier import</numerusform></translation></message>
    <message numerus="yes"><source>Removed: %n appointments of an earlier import that the file no longer holds</source><translation><numerusform>Removed: %n appointment of an earlier import that the file no longer holds</numerusform><numerusform>Removed: %n appointments of an earlier import that the file no longer holds</numerusform></translation></message>
    <message numerus="yes"><source>Skipped: %n events</source><translation><numerusform>Skipped: %n event</numerusform><numerusform>Skipped: %n events</numerusform></translation></message>
    <message numerus="yes"><source>Left out, outside a calendar or inside another component: %n events</source><translation><numerusform>Left out, outside a calendar or inside another component: %n event</numerusform><numerusform>Left out, outside a calendar or inside another component: %n events</numerusform></translation></message>
    <message numerus="yes"><source>Older versions left out: %n events</source><translation><numerusform>Older versions left out: %n event</numerusform><numerusform>Older versions left out: %n events</numerusform></translation></message>
    <message numerus="yes"><source>Texts cut to 64 KiB: %n events</source><translation><numerusform>Texts cut to 64 KiB: %n event</numerusform><numerusform>Texts cut to 64 KiB: %n events</numerusform></translation></message>
    <message numerus="yes"><source>Not saved: %n events, %1 of %2 appointments: %3</source><translation><numerusform>Not saved: %n event, %1 of %2 appointments: %3</numerusform><numerusform>Not saved: %n events, %1 of %2 appointments: %3</numerusform></translation></message>
</context>
<context>
    <name>ImportRecord</name>
    <message numerus="yes"><source>Import of %1 on %2 taken back: %n appointments removed</source><translation><numerusform>Import of %1 on %2 taken back: %n appointment removed</numerusform><numerusform>Import of %1 on %2 taken back: %n appointments removed</numerusform></translation></message>
    <message numerus="yes"><source>Already gone: %n appointments</source><translation><numerusform>Already gone: %n appointment</numerusform><numerusform>Already gone: %n appointments</numerusform></translation></message>
    <message numerus="yes"><source>Left as they are: %n appointments of an earlier import it had updated</source><translation><numerusform>Left as it is: %n appointment of an earlier import it had updated</numerusform><numerusform>Left as they are: %n appointments of an earlier import it had updated</numerusform></translation></message>
    <message numerus="yes"><source>Not removed: %n appointments; the record stays for another try</source><translation><numerusform>Not removed: %n appointment; the record stays for another try</numerusform><numerusform>Not removed: %n appointments; the record stays for another try</numerusform></translation></message>
    <message numerus="yes"><source>Take back the import of %1 on %2? The %n appointments it created are removed, unless changed since.</source><translation><numerusform>Take back the import of %1 on %2? The %n appointment it created is removed, unless changed since.</numerusform><numerusform>Take back the import of %1 on %2? The %n appointments it created are removed, unless changed since.</numerusform></translation></message>
    <message numerus="yes"><source>%n appointments were changed since the import and were kept: %1</source><translation><numerusform>%n appointment was changed since the import and was kept: %1</numerusform><numerusform>%n appointments were changed since the import and were kept: %1</numerusform></translation></message>
</context>
<context>
    <name>form_export_ics</name>
    <message numerus="yes"><source>%n appointments exported.</source><translation><numerusform>%n appointment exported.</numerusform><numerusform>%n appointments exported.</numerusform></translation></message>
</context>
<context>
    <name>form_import_ics</name>
    <message numerus="yes"><source>Cancelled: %1 of %n appointments saved.</source><translation><numerusform>Cancelled: %1 of %n appointment saved.</numerusform><numerusform>Cancelled: %1 of %n appointments saved.</numerusform></translation></message>
    <message numerus="yes"><source>%1 holds %n events. They become appointments of the active data source.</source><translation><numerusform>%1 holds %n event. It becomes an appointment of the active data source.</numerusform><numerusform>%1 holds %n events. They become appointments of the active data source.</numerusform></translation></message>
</context>
</TS>
