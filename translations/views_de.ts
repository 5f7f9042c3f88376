<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>EditCoordinator</name>
    <message>
        <source>The appointment could not be deleted.
The data folder is not answering; nothing was changed. Please try again when it answers.</source>
        <translation>Der Termin konnte nicht gelöscht werden.
Der Datenordner antwortet nicht; es wurde nichts geändert. Bitte versuchen Sie es erneut, wenn er wieder antwortet.</translation>
    </message>
    <message>
        <source>The appointment could not be deleted.
Please ensure the accessibility of the datasource folder and check your privileges.</source>
        <translation>Der Termin konnte nicht gelöscht werden.
Bitte stellen Sie sicher, dass der Datenordner erreichbar ist, und prüfen Sie Ihre Berechtigungen.</translation>
    </message>
    <message>
        <source>The appointment was not moved: another user deleted it meanwhile.</source>
        <translation>Der Termin wurde nicht verschoben: Ein anderer Benutzer hat ihn inzwischen gelöscht.</translation>
    </message>
    <message>
        <source>The appointment was not moved: another user changed it meanwhile. Their version is shown now.</source>
        <translation>Der Termin wurde nicht verschoben: Ein anderer Benutzer hat ihn inzwischen geändert. Jetzt wird dessen Fassung angezeigt.</translation>
    </message>
    <message>
        <source>The appointment was not moved: %1 changed it meanwhile. Their version is shown now.</source>
        <translation>Der Termin wurde nicht verschoben: %1 hat ihn inzwischen geändert. Jetzt wird dessen Fassung angezeigt.</translation>
    </message>
    <message>
        <source>The appointment could not be deleted.
</source>
        <translation>Der Termin konnte nicht gelöscht werden.
</translation>
    </message>
    <message>
        <source>Nothing was undone or redone: the data folder is not answering. Please try again when it answers.</source>
        <translation>Es wurde nichts rückgängig gemacht oder wiederholt: Der Datenordner antwortet nicht. Bitte versuchen Sie es erneut, wenn er antwortet.</translation>
    </message>
</context>
<context>
    <name>AppointmentDrag</name>
    <message>
        <source>On release you choose which occurrences change.</source>
        <translation>Beim Loslassen wählen Sie, welche Termine der Serie sich ändern.</translation>
    </message>
</context>
<context>
    <name>CalendarAccessible</name>
    <message>
        <source>Week %1</source>
        <translation>Woche %1</translation>
    </message>
    <message>
        <source>today</source>
        <translation>heute</translation>
    </message>
    <message>
        <source>has appointments</source>
        <translation>hat Termine</translation>
    </message>
</context>
<context>
    <name>FindTimeDialog</name>
    <message>
        <source>Find a time</source>
        <translation>Termin finden</translation>
    </message>
    <message>
        <source> minutes</source>
        <translation> Minuten</translation>
    </message>
    <message>
        <source>to</source>
        <translation>bis</translation>
    </message>
    <message>
        <source>&amp;People:</source>
        <translation>&amp;Personen:</translation>
    </message>
    <message>
        <source>&amp;Rooms:</source>
        <translation>&amp;Räume:</translation>
    </message>
    <message>
        <source>&amp;Length:</source>
        <translation>&amp;Dauer:</translation>
    </message>
    <message>
        <source>&amp;Days:</source>
        <translation>&amp;Tage:</translation>
    </message>
    <message>
        <source>&amp;Hours:</source>
        <translation>&amp;Uhrzeit:</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>Free times</source>
        <translation>Freie Zeiten</translation>
    </message>
    <message><source>Last day</source><translation>Letzter Tag</translation></message>
    <message><source>Hours until</source><translation>Stunden bis</translation></message>
    <message>
        <source>&amp;New appointment</source>
        <translation>&amp;Neuer Termin</translation>
    </message>
    <message>
        <source>Tick a person or a room.</source>
        <translation>Bitte eine Person oder einen Raum ankreuzen.</translation>
    </message>
    <message>
        <source>The first day lies after the last.</source>
        <translation>Der erste Tag liegt nach dem letzten.</translation>
    </message>
    <message>
        <source>Look at %1 days at most.</source>
        <translation>Höchstens %1 Tage durchsuchen.</translation>
    </message>
    <message>
        <source>Looking at the days...</source>
        <translation>Die Tage werden gelesen...</translation>
    </message>
    <message>
        <source>Cannot read %1: no free time can be told.</source>
        <translation>%1 kann nicht gelesen werden: keine freie Zeit bestimmbar.</translation>
    </message>
    <message>
        <source>No free time found.</source>
        <translation>Keine freie Zeit gefunden.</translation>
    </message>
    <message>
        <source>The first free times:</source>
        <translation>Die ersten freien Zeiten:</translation>
    </message>
</context>
<context>
    <name>GoToDateDialog</name>
    <message>
        <source>Go to date</source>
        <translation>Gehe zu Datum</translation>
    </message>
    <message>
        <source>&amp;Date:</source>
        <translation>&amp;Datum:</translation>
    </message>
</context>
<context>
    <name>GridAccessible</name>
    <message>
        <source>at %1</source>
        <translation>Ort %1</translation>
    </message>
    <message>
        <source>rooms %1</source>
        <translation>Räume %1</translation>
    </message>
    <message>
        <source>categories %1</source>
        <translation>Kategorien %1</translation>
    </message>
    <message>
        <source>calendar %1</source>
        <translation>Kalender %1</translation>
    </message>
    <message>
        <source>repeats daily</source>
        <translation>wiederholt sich täglich</translation>
    </message>
    <message>
        <source>repeats weekly</source>
        <translation>wiederholt sich wöchentlich</translation>
    </message>
    <message>
        <source>repeats monthly</source>
        <translation>wiederholt sich monatlich</translation>
    </message>
    <message>
        <source>repeats yearly</source>
        <translation>wiederholt sich jährlich</translation>
    </message>
    <message>
        <source>repeats</source>
        <translation>wiederholt sich</translation>
    </message>
    <message>
        <source>owner %1</source>
        <translation>Besitzer %1</translation>
    </message>
    <message>
        <source>for %1</source>
        <translation>für %1</translation>
    </message>
    <message><source>private</source><translation>privat</translation></message>
    <message>
        <source>with reminder</source>
        <translation>mit Erinnerung</translation>
    </message>
    <message>
        <source>Appointments</source>
        <translation>Termine</translation>
    </message>
    <message>
        <source>today</source>
        <translation>heute</translation>
    </message>
    <message>
        <source>1 appointment</source>
        <translation>1 Termin</translation>
    </message>
    <message>
        <source>%1 appointments</source>
        <translation>%1 Termine</translation>
    </message>
    <message>
        <source>free</source>
        <translation>frei</translation>
    </message>
</context>
<context>
    <name>SearchPanel</name>
    <message>
        <source>Go to %1</source>
        <translation>Gehe zu %1</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Suche läuft...</translation>
    </message>
    <message>
        <source>The data folder is still being read for the search.</source>
        <translation>Der Datenordner wird für die Suche noch gelesen.</translation>
    </message>
    <message>
        <source>No appointments found.</source>
        <translation>Keine Termine gefunden.</translation>
    </message>
    <message>
        <source>The first %1 appointments found are shown.</source>
        <translation>Die ersten %1 gefundenen Termine werden gezeigt.</translation>
    </message>
    <message>
        <source>One appointment found.</source>
        <translation>Ein Termin gefunden.</translation>
    </message>
    <message numerus="yes">
        <source>%n appointments found.</source>
        <translation>
            <numerusform>%n Termin gefunden.</numerusform>
            <numerusform>%n Termine gefunden.</numerusform>
        </translation>
    </message>
    <message>
        <source>The data folder is still being read: more may be found.</source>
        <translation>Der Datenordner wird noch gelesen: weitere Treffer sind möglich.</translation>
    </message>
</context>
<context>
    <name>SeriesChangeFiler</name>
    <message>
        <source>another user</source>
        <translation>ein anderer Benutzer</translation>
    </message>
    <message>
        <source>%1 deleted this part of the series meanwhile.</source>
        <translation>%1 hat diesen Teil der Serie inzwischen gelöscht.</translation>
    </message>
    <message>
        <source>%1 changed this part of the series meanwhile.</source>
        <translation>%1 hat diesen Teil der Serie inzwischen geändert.</translation>
    </message>
</context>
<context>
    <name>form_info</name>
    <message>
        <source>About Norvane</source>
        <translation>Über Norvane</translation>
    </message>
    <message>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>A calendar for small teams who share their appointments through a network folder: every appointment is one small file, and every copy of the program shows what the others have changed.</source>
        <translation>Ein Kalender für kleine Teams, die ihre Termine über einen Netzwerkordner teilen: Jeder Termin ist eine kleine Datei, und jede Kopie des Programms zeigt, was die anderen geändert haben.</translation>
    </message>
    <message>
        <source>Logged on as: %1</source>
        <translation>Angemeldet als: %1</translation>
    </message>
    <message>
        <source>(unknown)</source>
        <translation>(unbekannt)</translation>
    </message>
    <message>
        <source>Questions and suggestions: &lt;a href=&quot;mailto:support@norvane.example&quot;&gt;support@norvane.example&lt;/a&gt;</source>
        <translation>Fragen und Anregungen: &lt;a href=&quot;mailto:support@norvane.example&quot;&gt;support@norvane.example&lt;/a&gt;</translation>
    </message>
</context>
<context>
    <name>form_main</name>
    <message>
        <source>&amp;Categories</source>
        <translation>&amp;Kategorien</translation>
    </message>
    <message>
        <source>All categories</source>
        <translation>Alle Kategorien</translation>
    </message>
    <message>
        <source>S&amp;hown beside the active one</source>
        <translation>&amp;Neben dem aktiven angezeigt</translation>
    </message>
    <message>
        <source>The choice of the data folders shown could not be saved.</source>
        <translation>Die Auswahl der angezeigten Datenordner konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>The data folder &quot;%1&quot; is not answering. Its appointments shown may be out of date.</source>
        <translation>Der Datenordner „%1“ antwortet nicht. Seine angezeigten Termine sind möglicherweise nicht aktuell.</translation>
    </message>
    <message>
        <source>The data folders &quot;%1&quot; are not answering. Their appointments shown may be out of date.</source>
        <translation>Die Datenordner „%1“ antworten nicht. Ihre angezeigten Termine sind möglicherweise nicht aktuell.</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Day</source>
        <translation>&amp;Tag</translation>
    </message>
    <message>
        <source>&amp;Week</source>
        <translation>&amp;Woche</translation>
    </message>
    <message>
        <source>&amp;Month</source>
        <translation>&amp;Monat</translation>
    </message>
    <message>
        <source>Show next month</source>
        <translation>Kommenden Monat anzeigen</translation>
    </message>
    <message>
        <source>Show last month</source>
        <translation>Vergangenen Monat anzeigen</translation>
    </message>
    <message>
        <source>Show actual month</source>
        <translation>Aktuellen Monat anzeigen</translation>
    </message>
    <message>
        <source>Previous month</source>
        <translation>Vorheriger Monat</translation>
    </message>
    <message>
        <source>Next month</source>
        <translation>Nächster Monat</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Import holidays</source>
        <translation>Feiertage &amp;importieren</translation>
    </message>
    <message>
        <source>Previous week</source>
        <translation>Vorherige Woche</translation>
    </message>
    <message>
        <source>Previous day</source>
        <translation>Vorheriger Tag</translation>
    </message>
    <message>
        <source>Next week</source>
        <translation>Nächste Woche</translation>
    </message>
    <message>
        <source>Next day</source>
        <translation>Nächster Tag</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>&amp;Drucken...</translation>
    </message>
    <message>
        <source>Import i&amp;Calendar...</source>
        <translation>i&amp;Calendar importieren...</translation>
    </message>
    <message>
        <source>Export to iCa&amp;lendar...</source>
        <translation>Als iCa&amp;lendar exportieren...</translation>
    </message>
    <message>
        <source>&amp;Undo last import...</source>
        <translation>Letzten Import &amp;zurücknehmen...</translation>
    </message>
    <message>
        <source>Su&amp;bscribe to calendar...</source>
        <translation>Kalender a&amp;bonnieren...</translation>
    </message>
    <message>
        <source>Work &amp;offline</source>
        <translation>&amp;Offline arbeiten</translation>
    </message>
    <message>
        <source>%1 (offline)</source>
        <translation>%1 (offline)</translation>
    </message>
    <message>
        <source>%1 (offline, changes not brought back yet)</source>
        <translation>%1 (offline, Änderungen noch nicht zurückgebracht)</translation>
    </message>
    <message>
        <source>The changes made offline cannot be brought back yet; the window stays offline: %1</source>
        <translation>Die offline gemachten Änderungen können noch nicht zurückgebracht werden; das Fenster bleibt offline: %1</translation>
    </message>
    <message>
        <source>The data folder cannot be taken along: %1</source>
        <translation>Der Datenordner kann nicht mitgenommen werden: %1</translation>
    </message>
    <message>
        <source>Export as P&amp;DF...</source>
        <translation>Als P&amp;DF exportieren...</translation>
    </message>
    <message>
        <source>&amp;Exit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Appointment</source>
        <translation>&amp;Termin</translation>
    </message>
    <message>
        <source>&amp;New appointment...</source>
        <translation>&amp;Neuer Termin...</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Programsettings</source>
        <translation>&amp;Programmeinstellungen</translation>
    </message>
    <message>
        <source>Data&amp;source</source>
        <translation>Daten&amp;quelle</translation>
    </message>
    <message>
        <source>&amp;?</source>
        <translation>&amp;?</translation>
    </message>
    <message>
        <source>Online &amp;Help...</source>
        <translation>&amp;Hilfe Online...</translation>
    </message>
    <message>
        <source>&amp;Info</source>
        <translation>&amp;Info</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Delete appointment...</source>
        <translation>Termin löschen...</translation>
    </message>
    <message>
        <source>Yes!</source>
        <translation>Ja!</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>Exit Norvane4</source>
        <translation>Norvane4 beenden</translation>
    </message>
    <message>
        <source>previous month</source>
        <translation>Ein Monat zurück</translation>
    </message>
    <message>
        <source>next month</source>
        <translation>Ein Monat weiter</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Tomorrow</source>
        <translation>Morgen</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>Gestern</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>Woche</translation>
    </message>
    <message>
        <source>Datasource: </source>
        <translation>Datenquelle: </translation>
    </message>
    <message>
        <source>Datasource: %1 (unreachable)</source>
        <translation>Datenquelle: %1 (nicht erreichbar)</translation>
    </message>
    <message>
        <source>Datasource: %1 (not answering)</source>
        <translation>Datenquelle: %1 (antwortet nicht)</translation>
    </message>
    <message>
        <source>The data folder is not answering. The appointments shown may be out of date.</source>
        <translation>Der Datenordner antwortet nicht. Die angezeigten Termine sind vielleicht nicht mehr aktuell.</translation>
    </message>
    <message>
        <source>User: </source>
        <translation>Benutzer: </translation>
    </message>
    <message>
        <source>S&amp;ync now</source>
        <translation>Jetzt &amp;abgleichen</translation>
    </message>
    <message>
        <source>Synced %1</source>
        <translation>Abgeglichen %1</translation>
    </message>
    <message>
        <source>Sync failed: %1</source>
        <translation>Abgleich fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>The sync would delete %1 of %2 appointments on the server.</source>
        <translation>Der Abgleich würde %1 von %2 Terminen auf dem Server löschen.</translation>
    </message>
    <message>
        <source>The sync would delete %1 of %2 appointments in the data folder.</source>
        <translation>Der Abgleich würde %1 von %2 Terminen im Datenordner löschen.</translation>
    </message>
    <message>
        <source>Delete them on the server</source>
        <translation>Auf dem Server löschen</translation>
    </message>
    <message>
        <source>Delete them in the data folder</source>
        <translation>Im Datenordner löschen</translation>
    </message>
    <message>
        <source>Bring them back from the server</source>
        <translation>Vom Server zurückholen</translation>
    </message>
    <message>
        <source>Send them to the server again</source>
        <translation>Erneut an den Server senden</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Show next week</source>
        <translation>Kommende Woche anzeigen</translation>
    </message>
    <message>
        <source>Show last week</source>
        <translation>Vergangene Woche anzeigen</translation>
    </message>
    <message>
        <source>Show actual week</source>
        <translation>Aktuelle Woche anzeigen</translation>
    </message>
    <message>
        <source>The choice of the data folder could not be saved.</source>
        <translation>Die Wahl des Datenordners konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>A file in the data folder cannot be read and is not shown: %1</source>
        <translation>Eine Datei im Datenordner kann nicht gelesen werden und wird nicht angezeigt: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n files in the data folder cannot be read and are not shown, among them %1</source>
        <translation>
            <numerusform>%n Datei im Datenordner kann nicht gelesen werden und wird nicht angezeigt: %1</numerusform>
            <numerusform>%n Dateien im Datenordner können nicht gelesen werden und werden nicht angezeigt, darunter %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Delete recurring appointment...</source>
        <translation>Wiederkehrenden Termin löschen...</translation>
    </message>
    <message>
        <source>&quot;%1&quot; repeats. Change only the appointment on %2, this and all following ones, or all appointments of the series?</source>
        <translation>„%1“ wiederholt sich. Nur den Termin am %2 ändern, diesen und alle folgenden oder alle Termine der Serie?</translation>
    </message>
    <message>
        <source>&quot;%1&quot; repeats. Move only the appointment on %2, this and all following ones, or all appointments of the series?</source>
        <translation>„%1“ wiederholt sich. Nur den Termin am %2 verschieben, diesen und alle folgenden oder alle Termine der Serie?</translation>
    </message>
    <message>
        <source>&quot;%1&quot; repeats. Delete only the appointment on %2, this and all following ones, or all appointments of the series?</source>
        <translation>„%1“ wiederholt sich. Nur den Termin am %2 löschen, diesen und alle folgenden oder alle Termine der Serie?</translation>
    </message>
    <message>
        <source>Only this appointment</source>
        <translation>Nur diesen Termin</translation>
    </message>
    <message>
        <source>This and all following</source>
        <translation>Diesen und alle folgenden</translation>
    </message>
    <message>
        <source>All appointments of the series</source>
        <translation>Alle Termine der Serie</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplizieren</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Redo creation of &apos;%1&apos;</source>
        <translation>Anlegen von „%1“ wiederholen</translation>
    </message>
    <message>
        <source>Undo creation of &apos;%1&apos;</source>
        <translation>Anlegen von „%1“ rückgängig machen</translation>
    </message>
    <message>
        <source>Redo change of &apos;%1&apos;</source>
        <translation>Änderung von „%1“ wiederholen</translation>
    </message>
    <message>
        <source>Undo change of &apos;%1&apos;</source>
        <translation>Änderung von „%1“ rückgängig machen</translation>
    </message>
    <message>
        <source>Redo move of &apos;%1&apos;</source>
        <translation>Verschieben von „%1“ wiederholen</translation>
    </message>
    <message>
        <source>Undo move of &apos;%1&apos;</source>
        <translation>Verschieben von „%1“ rückgängig machen</translation>
    </message>
    <message>
        <source>Redo resizing of &apos;%1&apos;</source>
        <translation>Längenänderung von „%1“ wiederholen</translation>
    </message>
    <message>
        <source>Undo resizing of &apos;%1&apos;</source>
        <translation>Längenänderung von „%1“ rückgängig machen</translation>
    </message>
    <message>
        <source>Redo deletion of &apos;%1&apos;</source>
        <translation>Löschen von „%1“ wiederholen</translation>
    </message>
    <message>
        <source>Undo deletion of &apos;%1&apos;</source>
        <translation>Löschen von „%1“ rückgängig machen</translation>
    </message>
    <message>
        <source>Redo paste of &apos;%1&apos;</source>
        <translation>Einfügen von „%1“ wiederholen</translation>
    </message>
    <message>
        <source>Undo paste of &apos;%1&apos;</source>
        <translation>Einfügen von „%1“ rückgängig machen</translation>
    </message>
    <message>
        <source>Redo duplicate of &apos;%1&apos;</source>
        <translation>Duplizieren von „%1“ wiederholen</translation>
    </message>
    <message>
        <source>Undo duplicate of &apos;%1&apos;</source>
        <translation>Duplizieren von „%1“ rückgängig machen</translation>
    </message>
    <message>
        <source>Redo change of the series &apos;%1&apos;</source>
        <translation>Änderung der Serie „%1“ wiederholen</translation>
    </message>
    <message>
        <source>Undo change of the series &apos;%1&apos;</source>
        <translation>Änderung der Serie „%1“ rückgängig machen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was deleted by another user since.</source>
        <translation>„%1“ wurde inzwischen von einem anderen Benutzer gelöscht.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was changed by another user since.</source>
        <translation>„%1“ wurde inzwischen von einem anderen Benutzer geändert.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was changed by %2 since.</source>
        <translation>„%1“ wurde inzwischen von %2 geändert.</translation>
    </message>
    <message>
        <source>Save my version again</source>
        <translation>Meine Fassung wieder speichern</translation>
    </message>
    <message>
        <source>Overwrite with my version</source>
        <translation>Mit meiner Fassung überschreiben</translation>
    </message>
    <message>
        <source>Leave it deleted</source>
        <translation>Gelöscht lassen</translation>
    </message>
    <message>
        <source>Keep the other version</source>
        <translation>Die andere Fassung behalten</translation>
    </message>
    <message>
        <source>The clipboard holds no appointment that can be pasted.</source>
        <translation>Die Zwischenablage enthält keinen Termin, der eingefügt werden kann.</translation>
    </message>
    <message>
        <source>&amp;List</source>
        <translation>&amp;Liste</translation>
    </message>
    <message>
        <source>By &amp;person</source>
        <translation>Nach &amp;Person</translation>
    </message>
    <message>
        <source>&amp;Go to date...</source>
        <translation>&amp;Gehe zu Datum...</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation>&amp;Suchen...</translation>
    </message>
    <message>
        <source>Find &amp;a time...</source>
        <translation>&amp;Termin finden...</translation>
    </message>
    <message>
        <source>Search (Ctrl+F)</source>
        <translation>Suchen (Strg+F)</translation>
    </message>
    <message>
        <source>Words of the text or the owner, or a date to go to</source>
        <translation>Wörter aus Text oder Besitzer, oder ein Datum, zu dem gesprungen wird</translation>
    </message>
    <message>
        <source>-1 to +2 years</source>
        <translation>-1 bis +2 Jahre</translation>
    </message>
    <message>
        <source>From today on</source>
        <translation>Ab heute</translation>
    </message>
    <message>
        <source>Everything</source>
        <translation>Alles</translation>
    </message>
    <message>
        <source>Which days the search looks at</source>
        <translation>Welche Tage die Suche durchsucht</translation>
    </message>
    <message>
        <source>Datasource: %1 (checking)</source>
        <translation>Datenquelle: %1 (wird geprüft)</translation>
    </message>
    <message>
        <source>Datasource: %1 (indexing, %2 %)</source>
        <translation>Datenquelle: %1 (wird indiziert, %2 %)</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suche</translation>
    </message>
    <message>
        <source>Search range</source>
        <translation>Suchbereich</translation>
    </message>
    <message>
        <source>Day headers</source>
        <translation>Tageköpfe</translation>
    </message>
    <message>
        <source>Delete the appointment &quot;%1&quot; on %2?</source>
        <translation>Den Termin &quot;%1&quot; am %2 löschen?</translation>
    </message>
    <message>
        <source>The data folder &quot;%1&quot; was added.

Show this data folder now? The Datasource menu switches between the data folders at any time.</source>
        <translation>Der Datenordner &quot;%1&quot; wurde hinzugefügt.

Diesen Datenordner jetzt anzeigen? Das Menü Datenquelle wechselt jederzeit zwischen den Datenordnern.</translation>
    </message>
    <message>
        <source>Show it</source>
        <translation>Anzeigen</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Jetzt nicht</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>form_tooltip</name>
    <message>
        <source>Rooms: %1</source>
        <translation>Räume: %1</translation>
    </message>
    <message>
        <source>Location: %1</source>
        <translation>Ort: %1</translation>
    </message>
    <message>
        <source>Categories: %1</source>
        <translation>Kategorien: %1</translation>
    </message>
    <message>
        <source>Single appointment</source>
        <translation>Einmaliger Termin</translation>
    </message>
    <message>
        <source>Appointment </source>
        <translation>Termin </translation>
    </message>
    <message>
        <source>recurring </source>
        <translation>wiederkehrend </translation>
    </message>
    <message>
        <source>with reminder</source>
        <translation>mit Erinnerung</translation>
    </message>
</context>
<context>
    <name>FolderLegend</name>
    <message>
        <source>%1 (not answering)</source>
        <translation>%1 (antwortet nicht)</translation>
    </message>
    <message>
        <source>%1 (unreachable)</source>
        <translation>%1 (nicht erreichbar)</translation>
    </message>
    <message>
        <source>The active data folder</source>
        <translation>Der aktive Datenordner</translation>
    </message>
    <message>
        <source>Hide the data folder &quot;%1&quot;</source>
        <translation>Datenordner „%1“ ausblenden</translation>
    </message>
</context>
<context>
    <name>FolderMarks</name>
    <message>
        <source>Calendar: %1</source>
        <translation>Kalender: %1</translation>
    </message>
</context>
<context>
    <name>PersonFilterPanel</name>
    <message>
        <source>People shown</source>
        <translation>Angezeigte Personen</translation>
    </message>
    <message>
        <source>You</source>
        <translation>Sie</translation>
    </message>
</context>
<context>
    <name>PersonLanesView</name>
    <message>
        <source>%1, %2 %3 %4 %5</source>
        <translation>%1, %2, %3. %4 %5</translation>
    </message>
    <message>
        <source>Appointments by person</source>
        <translation>Termine nach Personen</translation>
    </message>
</context>
</TS>
