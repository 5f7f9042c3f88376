<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>IcsImport</name>
    <message><source>The file is empty.</source><translation>Die Datei ist leer.</translation></message>
    <message><source>The file is not an iCalendar file.</source><translation>Die Datei ist keine iCalendar-Datei.</translation></message>
    <message><source>The file cannot be read as an iCalendar file.</source><translation>Die Datei lässt sich nicht als iCalendar-Datei lesen.</translation></message>
    <message><source>The file nests components more than %1 deep.</source><translation>Die Datei verschachtelt Komponenten mehr als %1 Ebenen tief.</translation></message>
    <message><source>Not kept of &quot;%1&quot;: %2</source><translation>Nicht übernommen von &quot;%1&quot;: %2</translation></message>
    <message><source>the end of its location</source><translation>das Ende seines Ortes</translation></message>
    <message><source>attachment</source><translation>Anhang</translation></message>
    <message><source>organizer</source><translation>Organisator</translation></message>
    <message><source>attendees</source><translation>Teilnehmer</translation></message>
    <message><source>web address</source><translation>Webadresse</translation></message>
    <message><source>comment</source><translation>Kommentar</translation></message>
    <message><source>contact</source><translation>Kontakt</translation></message>
    <message><source>resources</source><translation>Ressourcen</translation></message>
    <message><source>geographic position</source><translation>geografische Position</translation></message>
    <message><source>priority</source><translation>Priorität</translation></message>
    <message><source>related events</source><translation>verknüpfte Ereignisse</translation></message>
    <message><source>shown as free</source><translation>als frei angezeigt</translation></message>
    <message><source>tentative</source><translation>vorläufig</translation></message>
    <message><source>reminders</source><translation>Erinnerungen</translation></message>
    <message><source>to-do</source><translation>Aufgabe</translation></message>
    <message><source>journal entry</source><translation>Journaleintrag</translation></message>
    <message><source>event %1</source><translation>Ereignis %1</translation></message>
    <message><source>The data folder %1 cannot be reached.</source><translation>Der Datenordner %1 ist nicht erreichbar.</translation></message>
    <message><source>%1 is there but could not be read.</source><translation>%1 ist vorhanden, konnte aber nicht gelesen werden.</translation></message>
    <message><source>%1 leads out of the data folder.</source><translation>%1 führt aus dem Datenordner hinaus.</translation></message>
    <message numerus="yes"><source>Older versions left out: %n events</source><translation><numerusform>Ältere Fassungen ausgelassen: %n Ereignis</numerusform><numerusform>Ältere Fassungen ausgelassen: %n Ereignisse</numerusform></translation></message>
    <message><source>a repeat rule that cannot be read was left out</source><translation>eine unlesbare Wiederholungsregel wurde ausgelassen</translation></message>
    <message><source>an excluded date that cannot be read was left out</source><translation>ein unlesbares ausgenommenes Datum wurde ausgelassen</translation></message>
    <message><source>an extra date that cannot be read was left out</source><translation>ein unlesbares zusätzliches Datum wurde ausgelassen</translation></message>
    <message><source>a repeat rule that matches no date was left out</source><translation>eine Wiederholungsregel, die auf kein Datum passt, wurde ausgelassen</translation></message>
    <message numerus="yes"><source>Not imported: the file makes %n appointments, more than %1 at once. Nothing was written.</source><translation><numerusform>Nicht importiert: Die Datei ergibt %n Termin, mehr als %1 auf einmal. Es wurde nichts geschrieben.</numerusform><numerusform>Nicht importiert: Die Datei ergibt %n Termine, mehr als %1 auf einmal. Es wurde nichts geschrieben.</numerusform></translation></message>
    <message><source>every date of it is excluded or changed</source><translation>jedes seiner Daten ist ausgenommen oder geändert</translation></message>
    <message><source>its repeat rule ends before it starts</source><translation>seine Wiederholungsregel endet vor seinem Beginn</translation></message>
    <message numerus="yes"><source>Left out, outside a calendar or inside another component: %n events</source><translation><numerusform>Ausgelassen, außerhalb eines Kalenders oder innerhalb einer anderen Komponente: %n Ereignis</numerusform><numerusform>Ausgelassen, außerhalb eines Kalenders oder innerhalb einer anderen Komponente: %n Ereignisse</numerusform></translation></message>
    <message><source>event at line %1</source><translation>Ereignis in Zeile %1</translation></message>
    <message numerus="yes"><source>Over several days: %n events, as %1 appointments, one a day</source><translation><numerusform>Über mehrere Tage: %n Ereignis, als %1 Termine, einer je Tag</numerusform><numerusform>Über mehrere Tage: %n Ereignisse, als %1 Termine, einer je Tag</numerusform></translation></message>
    <message><source>Warnings: %1</source><translation>Warnungen: %1</translation></message>
    <message numerus="yes"><source>Imported: %n events, %1 of them recurring</source><translation><numerusform>Importiert: %n Ereignis, davon %1 wiederkehrend</numerusform><numerusform>Importiert: %n Ereignisse, davon %1 wiederkehrend</numerusform></translation></message>
    <message numerus="yes"><source>Expanded: %n events into %1 appointments</source><translation><numerusform>Aufgelöst: %n Ereignis in %1 Einzeltermine</numerusform><numerusform>Aufgelöst: %n Ereignisse in %1 Einzeltermine</numerusform></translation></message>
    <message numerus="yes"><source>  &quot;%1&quot;: only the first %n occurrences</source><translation><numerusform>  &quot;%1&quot;: nur der erste %n Termin</numerusform><numerusform>  &quot;%1&quot;: nur die ersten %n Termine</numerusform></translation></message>
    <message numerus="yes"><source>Skipped: %n events</source><translation><numerusform>Übersprungen: %n Ereignis</numerusform><numerusform>Übersprungen: %n Ereignisse</numerusform></translation></message>
    <message><source>no start</source><translation>kein Beginn</translation></message>
    <message><source>cancelled</source><translation>abgesagt</translation></message>
    <message><source>no date from 1900 to 2200</source><translation>kein Datum von 1900 bis 2200</translation></message>
    <message><source>more appointments than one import writes</source><translation>mehr Termine, als ein Import schreibt</translation></message>
    <message><source>  and %1 more</source><translation>  und %1 weitere</translation></message>
    <message><source>it repeats too often to be followed</source><translation>wiederholt sich zu oft, um ihm zu folgen</translation></message>
    <message><source>working out its dates took too long</source><translation>Berechnung der Termine dauerte zu lange</translation></message>
    <message><source>a time no appointment can hold</source><translation>eine Uhrzeit, die kein Termin fassen kann</translation></message>
    <message numerus="yes"><source>Updated: %n appointments of an earlier import</source><translation><numerusform>Aktualisiert: %n Termin eines früheren Imports</numerusform><numerusform>Aktualisiert: %n Termine eines früheren Imports</numerusform></translation></message>
    <message numerus="yes"><source>Removed: %n appointments of an earlier import that the file no longer holds</source><translation><numerusform>Entfernt: %n Termin eines früheren Imports, den die Datei nicht mehr enthält</numerusform><numerusform>Entfernt: %n Termine eines früheren Imports, die die Datei nicht mehr enthält</numerusform></translation></message>
    <message numerus="yes"><source>Texts cut to 64 KiB: %n events</source><translation><numerusform>Texte auf 64 KiB gekürzt: %n Ereignis</numerusform><numerusform>Texte auf 64 KiB gekürzt: %n Ereignisse</numerusform></translation></message>
    <message numerus="yes"><source>Not saved: %n events, %1 of %2 appointments: %3</source><translation><numerusform>Nicht gespeichert: %n Ereignis, %1 von %2 Terminen: %3</numerusform><numerusform>Nicht gespeichert: %n Ereignisse, %1 von %2 Terminen: %3</numerusform></translation></message>
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
    <message numerus="yes"><source>Import of %1 on %2 taken back: %n appointments removed</source><translation><numerusform>Import von %1 am %2 zurückgenommen: %n Termin entfernt</numerusform><numerusform>Import von %1 am %2 zurückgenommen: %n Termine entfernt</numerusform></translation></message>
    <message numerus="yes"><source>Already gone: %n appointments</source><translation><numerusform>Schon entfernt: %n Termin</numerusform><numerusform>Schon entfernt: %n Termine</numerusform></translation></message>
    <message numerus="yes"><source>Left as they are: %n appointments of an earlier import it had updated</source><translation><numerusform>Unverändert gelassen: %n Termin eines früheren Imports, den er aktualisiert hatte</numerusform><numerusform>Unverändert gelassen: %n Termine eines früheren Imports, die er aktualisiert hatte</numerusform></translation></message>
    <message numerus="yes"><source>Not removed: %n appointments; the record stays for another try</source><translation><numerusform>Nicht entfernt: %n Termin; das Protokoll bleibt für einen weiteren Versuch</numerusform><numerusform>Nicht entfernt: %n Termine; das Protokoll bleibt für einen weiteren Versuch</numerusform></translation></message>
    <message><source>Stopped before the end; the record stays for another try</source><translation>Vor dem Ende angehalten; das Protokoll bleibt für einen weiteren Versuch</translation></message>
    <message><source>Looking for your last import ...</source><translation>Ihr letzter Import wird gesucht ...</translation></message>
    <message><source>Cancel</source><translation>Abbrechen</translation></message>
    <message><source>There is no import of yours to take back in %1.</source><translation>In %1 gibt es keinen Import von Ihnen, der sich zurücknehmen ließe.</translation></message>
    <message numerus="yes"><source>Take back the import of %1 on %2? The %n appointments it created are removed, unless changed since.</source><translation><numerusform>Den Import von %1 am %2 zurücknehmen? Der %n Termin, den er angelegt hat, wird entfernt, sofern er seitdem nicht geändert wurde.</numerusform><numerusform>Den Import von %1 am %2 zurücknehmen? Die %n Termine, die er angelegt hat, werden entfernt, sofern sie seitdem nicht geändert wurden.</numerusform></translation></message>
    <message><source>Taking back the import ...</source><translation>Der Import wird zurückgenommen ...</translation></message>
    <message><source>%1 is no directory of the data folder.</source><translation>%1 ist kein Verzeichnis des Datenordners.</translation></message>
    <message><source>It is no file inside the data folder %1.</source><translation>Sie ist keine Datei im Datenordner %1.</translation></message>
    <message><source>It is larger than %1 MiB.</source><translation>Sie ist größer als %1 MiB.</translation></message>
    <message><source> and %1 more</source><translation> und %1 weitere</translation></message>
    <message numerus="yes"><source>%n appointments were changed since the import and were kept: %1</source><translation><numerusform>%n Termin wurde seit dem Import geändert und bleibt erhalten: %1</numerusform><numerusform>%n Termine wurden seit dem Import geändert und bleiben erhalten: %1</numerusform></translation></message>
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
    <message numerus="yes"><source>%n appointments exported.</source><translation><numerusform>%n Termin exportiert.</numerusform><numerusform>%n Termine exportiert.</numerusform></translation></message>
    <message><source>Choose from the calendar</source><translation>Aus dem Kalender wählen</translation></message>
    <message><source>Please type the dates as %1.</source><translation>Bitte geben Sie die Daten als %1 ein.</translation></message>
</context>
<context>
    <name>form_import_ics</name>
    <message><source>%1 cannot be imported.</source><translation>%1 kann nicht importiert werden.</translation></message>
    <message><source>Import iCalendar</source><translation>iCalendar importieren</translation></message>
    <message numerus="yes"><source>%1 holds %n events. They become appointments of the active data source.</source><translation><numerusform>%1 enthält %n Ereignis. Es wird zu einem Termin der aktuellen Datenquelle.</numerusform><numerusform>%1 enthält %n Ereignisse. Sie werden zu Terminen der aktuellen Datenquelle.</numerusform></translation></message>
    <message><source>Use color:</source><translation>Verwende Farbe:</translation></message>
    <message><source>Import</source><translation>Importieren</translation></message>
    <message><source>Cancel</source><translation>Abbrechen</translation></message>
    <message><source>Importing appointments ...</source><translation>Termine werden importiert ...</translation></message>
    <message><source>Reading %1 ...</source><translation>%1 wird gelesen ...</translation></message>
    <message numerus="yes"><source>Cancelled: %1 of %n appointments saved.</source><translation><numerusform>Abgebrochen: %1 von %n Termin gespeichert.</numerusform><numerusform>Abgebrochen: %1 von %n Terminen gespeichert.</numerusform></translation></message>
    <message><source>Reading the events ...</source><translation>Ereignisse werden gelesen ...</translation></message>
    <message><source>%1 makes %2 appointments, more than %3 at once. Import them all?</source><translation>%1 ergibt %2 Termine, mehr als %3 auf einmal. Alle importieren?</translation></message>
    <message><source>Nothing was imported.</source><translation>Es wurde nichts importiert.</translation></message>
    <message><source>File &gt; Undo last import takes it back.</source><translation>Datei &gt; Letzten Import zurücknehmen nimmt ihn zurück.</translation></message>
    <message><source>Cancelled before anything was saved.</source><translation>Abgebrochen, bevor etwas gespeichert wurde.</translation></message>
    <message><source>iCalendar files (*.ics)</source><translation>iCalendar-Dateien (*.ics)</translation></message>
    <message><source>All files (*.*)</source><translation>Alle Dateien (*.*)</translation></message>
</context>
<context>
    <name>form_subscribe</name>
    <message><source>Subscribe to calendar</source><translation>Kalender abonnieren</translation></message>
    <message><source>Address of the calendar</source><translation>Adresse des Kalenders</translation></message>
    <message><source>Name of the subscription</source><translation>Name des Abonnements</translation></message>
    <message><source>Colour of its appointments</source><translation>Farbe seiner Termine</translation></message>
    <message><source>&amp;Address:</source><translation>&amp;Adresse:</translation></message>
    <message><source>&amp;Name:</source><translation>&amp;Name:</translation></message>
    <message><source>&amp;Colour:</source><translation>&amp;Farbe:</translation></message>
    <message><source>&amp;Subscribe</source><translation>A&amp;bonnieren</translation></message>
    <message><source>Every copy of the team shows what the calendar holds, brought into the data folder and refreshed as often as the settings&apos; Sync page says.</source><translation>Jede Kopie im Team zeigt, was der Kalender enthält: er wird in den Datenordner gebracht und so oft aktualisiert, wie es die Seite Abgleich der Einstellungen sagt.</translation></message>
    <message><source>Give the subscription a name with letters or digits.</source><translation>Geben Sie dem Abonnement einen Namen mit Buchstaben oder Ziffern.</translation></message>
    <message><source>Bringing the calendar...</source><translation>Der Kalender wird geholt...</translation></message>
</context>
</TS>
