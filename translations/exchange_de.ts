<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>IcsImport</name>
    <message><source>The file is empty.</source><translation>Die Datei ist leer.</translation></message>
    <message><source>The file is not an iCalendar file.</source><translation>Die Datei ist keine iCalendar-Datei.</translation></message>
    <message><source>The file cannot be read as an iCalendar file.</source><translation>Die Datei lässt sich nicht als iCalendar-Datei lesen.</translation></message>
    <message><source>event %1</source><translation>Ereignis %1</translation></message>
    <message><source>It is not a regular file.</source><translation>Sie ist keine gewöhnliche Datei.</translation></message>
    <message><source>It cannot be read.</source><translation>Sie kann nicht gelesen werden.</translation></message>
    <message><source>It is larger than %1 MiB.</source><translation>Sie ist größer als %1 MiB.</translation></message>
    <message><source>The data folder %1 cannot be reached.</source><translation>Der Datenordner %1 ist nicht erreichbar.</translation></message>
    <message><source>%1 is there but could not be read.</source><translation>%1 ist vorhanden, konnte aber nicht gelesen werden.</translation></message>
    <message><source>%1 leads out of the data folder.</source><translation>%1 führt aus dem Datenordner hinaus.</translation></message>
    <message><source>Older versions left out: %1 events</source><translation>Ältere Fassungen ausgelassen: %1 Ereignisse</translation></message>
    <message><source>a repeat rule that cannot be read was left out</source><translation>eine unlesbare Wiederholungsregel wurde ausgelassen</translation></message>
    <message><source>an excluded date that cannot be read was left out</source><translation>ein unlesbares ausgenommenes Datum wurde ausgelassen</translation></message>
    <message><source>an extra date that cannot be read was left out</source><translation>ein unlesbares zusätzliches Datum wurde ausgelassen</translation></message>
    <message><source>a repeat rule that matches no date was left out</source><translation>eine Wiederholungsregel, die auf kein Datum passt, wurde ausgelassen</translation></message>
    <message><source>Not imported: the file makes %1 appointments, more than %2 at once. Nothing was written.</source><translation>Nicht importiert: Die Datei ergibt %1 Termine, mehr als %2 auf einmal. Es wurde nichts geschrieben.</translation></message>
    <message><source>every date of it is excluded or changed</source><translation>jedes seiner Daten ist ausgenommen oder geändert</translation></message>
    <message><source>its repeat rule ends before it starts</source><translation>seine Wiederholungsregel endet vor seinem Beginn</translation></message>
    <message><source>Left out, outside a calendar or inside another component: %1 events</source><translation>Ausgelassen, außerhalb eines Kalenders oder innerhalb einer anderen Komponente: %1 Ereignisse</translation></message>
    <message><source>event at line %1</source><translation>Ereignis in Zeile %1</translation></message>
    <message><source>%1 (day %2 of %3)</source><translation>%1 (Tag %2 von %3)</translation></message>
    <message><source>Over several days: %1 events, as %2 appointments, one a day</source><translation>Über mehrere Tage: %1 Ereignisse, als %2 Termine, einer je Tag</translation></message>
    <message><source>Warnings: %1</source><translation>Warnungen: %1</translation></message>
    <message><source>Imported: %1 events, %2 of them recurring</source><translation>Importiert: %1 Ereignisse, davon %2 wiederkehrend</translation></message>
    <message><source>Expanded: %1 events into %2 appointments</source><translation>Aufgelöst: %1 Ereignisse in %2 Einzeltermine</translation></message>
    <message><source>  &quot;%1&quot;: only the first %2 occurrences</source><translation>  &quot;%1&quot;: nur die ersten %2 Termine</translation></message>
    <message><source>Skipped: %1 events</source><translation>Übersprungen: %1 Ereignisse</translation></message>
    <message><source>no start</source><translation>kein Beginn</translation></message>
    <message><source>cancelled</source><translation>abgesagt</translation></message>
    <message><source>no date from 1900 to 2200</source><translation>kein Datum von 1900 bis 2200</translation></message>
    <message><source>more appointments than one import writes</source><translation>mehr Termine, als ein Import schreibt</translation></message>
    <message><source>  and %1 more</source><translation>  und %1 weitere</translation></message>
    <message><source>it repeats too often to be followed</source><translation>wiederholt sich zu oft, um ihm zu folgen</translation></message>
    <message><source>working out its dates took too long</source><translation>Berechnung der Termine dauerte zu lange</translation></message>
    <message><source>a time no appointment can hold</source><translation>eine Uhrzeit, die kein Termin fassen kann</translation></message>
    <message><source>Updated: %1 appointments of an earlier import</source><translation>Aktualisiert: %1 Termine eines früheren Imports</translation></message>
    <message><source>Removed: %1 appointments of an earlier import that the file no longer holds</source><translation>Entfernt: %1 Termine eines früheren Imports, die die Datei nicht mehr enthält</translation></message>
    <message><source>Texts cut to 64 KiB: %1 events</source><translation>Texte auf 64 KiB gekürzt: %1 Ereignisse</translation></message>
    <message><source>Not saved: %1 events, %2 of %3 appointments: %4</source><translation>Nicht gespeichert: %1 Ereignisse, %2 von %3 Terminen: %4</translation></message>
    <message><source>its time zone cannot be worked out, so its times are read as local times</source><translation>seine Zeitzone lässt sich nicht bestimmen, daher gelten seine Zeiten als Ortszeiten</translation></message>
    <message><source>its time zone cannot be worked out from the file, so the system's zone of that name was used</source><translation>seine Zeitzone lässt sich aus der Datei nicht bestimmen, daher wurde die gleichnamige Zone des Systems verwendet</translation></message>
    <message><source> and %1 more</source><translation> und %1 weitere</translation></message>
    <message><source>Not UTF-8, so read as Windows-1252: line %1</source><translation>Kein UTF-8, daher als Windows-1252 gelesen: Zeile %1</translation></message>
    <message><source>Not UTF-8, so read as Windows-1252: lines %1</source><translation>Kein UTF-8, daher als Windows-1252 gelesen: Zeilen %1</translation></message>
</context>
<context>
    <name>ImportRecord</name>
    <message><source>The import record %1 cannot be written: %2</source><translation>Das Importprotokoll %1 kann nicht geschrieben werden: %2</translation></message>
    <message><source>The data folder %1 cannot be reached.</source><translation>Der Datenordner %1 ist nicht erreichbar.</translation></message>
    <message><source>It is no import record.</source><translation>Sie ist kein Importprotokoll.</translation></message>
    <message><source>The import record cannot be read: %1</source><translation>Das Importprotokoll kann nicht gelesen werden: %1</translation></message>
    <message><source>Import of %1 on %2 taken back: %3 appointments removed</source><translation>Import von %1 am %2 zurückgenommen: %3 Termine entfernt</translation></message>
    <message><source>Already gone: %1 appointments</source><translation>Schon entfernt: %1 Termine</translation></message>
    <message><source>Left as they are: %1 appointments of an earlier import it had updated</source><translation>Unverändert gelassen: %1 Termine eines früheren Imports, die er aktualisiert hatte</translation></message>
    <message><source>Not removed: %1 appointments; the record stays for another try</source><translation>Nicht entfernt: %1 Termine; das Protokoll bleibt für einen weiteren Versuch</translation></message>
    <message><source>Stopped before the end; the record stays for another try</source><translation>Vor dem Ende angehalten; das Protokoll bleibt für einen weiteren Versuch</translation></message>
    <message><source>Looking for your last import ...</source><translation>Ihr letzter Import wird gesucht ...</translation></message>
    <message><source>Cancel</source><translation>Abbrechen</translation></message>
    <message><source>There is no import of yours to take back in %1.</source><translation>In %1 gibt es keinen Import von Ihnen, der sich zurücknehmen ließe.</translation></message>
    <message><source>Take back the import of %1 on %2? The %3 appointments it created are removed, unless changed since.</source><translation>Den Import von %1 am %2 zurücknehmen? Die %3 Termine, die er angelegt hat, werden entfernt, sofern sie seitdem nicht geändert wurden.</translation></message>
    <message><source>Taking back the import ...</source><translation>Der Import wird zurückgenommen ...</translation></message>
    <message><source>%1 is no directory of the data folder.</source><translation>%1 ist kein Verzeichnis des Datenordners.</translation></message>
    <message><source>It is no file inside the data folder %1.</source><translation>Sie ist keine Datei im Datenordner %1.</translation></message>
    <message><source>It is larger than %1 MiB.</source><translation>Sie ist größer als %1 MiB.</translation></message>
    <message><source> and %1 more</source><translation> und %1 weitere</translation></message>
    <message><source>1 appointment was changed since the import and was kept: %1</source><translation>1 Termin wurde seit dem Import geändert und bleibt erhalten: %1</translation></message>
    <message><source>%1 appointments were changed since the import and were kept: %2</source><translation>%1 Termine wurden seit dem Import geändert und bleiben erhalten: %2</translation></message>
    <message><source>Left alone, as a link leads them out of the data folder: %1</source><translation>Nicht angerührt, da ein Verweis sie aus dem Datenordner hinausführt: %1</translation></message>
    <message><source>Ignored, as they name no appointment of the data folder: %1</source><translation>Übergangen, da sie keinen Termin des Datenordners nennen: %1</translation></message>
</context>
<context>
    <name>form_export_ics</name>
    <message><source>Export to iCalendar</source><translation>Als iCalendar exportieren</translation></message>
    <message><source>From:</source><translation>Von:</translation></message>
    <message><source>To:</source><translation>Bis:</translation></message>
    <message><source>Shown week</source><translation>Angezeigte Woche</translation></message>
    <message><source>Shown month</source><translation>Angezeigter Monat</translation></message>
    <message><source>Export...</source><translation>Exportieren...</translation></message>
    <message><source>Cancel</source><translation>Abbrechen</translation></message>
    <message><source>The first day lies after the last day.</source><translation>Der erste Tag liegt nach dem letzten Tag.</translation></message>
    <message><source>iCalendar files (*.ics)</source><translation>iCalendar-Dateien (*.ics)</translation></message>
    <message><source>The file could not be written.</source><translation>Die Datei konnte nicht geschrieben werden.</translation></message>
    <message><source>%1 appointments exported.</source><translation>%1 Termine exportiert.</translation></message>
    <message><source>Choose from the calendar</source><translation>Aus dem Kalender wählen</translation></message>
    <message><source>Please type the dates as %1.</source><translation>Bitte geben Sie die Daten als %1 ein.</translation></message>
</context>
<context>
    <name>form_import_ics</name>
    <message><source>%1 cannot be imported.</source><translation>%1 kann nicht importiert werden.</translation></message>
    <message><source>Import iCalendar</source><translation>iCalendar importieren</translation></message>
    <message><source>%1 holds 1 event. It becomes an appointment of the active data source.</source><translation>%1 enthält 1 Ereignis. Es wird zu einem Termin der aktuellen Datenquelle.</translation></message>
    <message><source>%1 holds %2 events. They become appointments of the active data source.</source><translation>%1 enthält %2 Ereignisse. Sie werden zu Terminen der aktuellen Datenquelle.</translation></message>
    <message><source>Use color:</source><translation>Verwende Farbe:</translation></message>
    <message><source>Import</source><translation>Importieren</translation></message>
    <message><source>Cancel</source><translation>Abbrechen</translation></message>
    <message><source>Importing appointments ...</source><translation>Termine werden importiert ...</translation></message>
    <message><source>Reading %1 ...</source><translation>%1 wird gelesen ...</translation></message>
    <message><source>Cancelled: %1 of %2 appointments saved.</source><translation>Abgebrochen: %1 von %2 Terminen gespeichert.</translation></message>
    <message><source>Reading the events ...</source><translation>Ereignisse werden gelesen ...</translation></message>
    <message><source>%1 makes %2 appointments, more than %3 at once. Import them all?</source><translation>%1 ergibt %2 Termine, mehr als %3 auf einmal. Alle importieren?</translation></message>
    <message><source>Nothing was imported.</source><translation>Es wurde nichts importiert.</translation></message>
    <message><source>File &gt; Undo last import takes it back.</source><translation>Datei &gt; Letzten Import zurücknehmen nimmt ihn zurück.</translation></message>
    <message><source>Cancelled before anything was saved.</source><translation>Abgebrochen, bevor etwas gespeichert wurde.</translation></message>
    <message><source>iCalendar files (*.ics)</source><translation>iCalendar-Dateien (*.ics)</translation></message>
    <message><source>All files (*.*)</source><translation>Alle Dateien (*.*)</translation></message>
</context>
</TS>
