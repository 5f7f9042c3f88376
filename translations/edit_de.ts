<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>ColorNames</name>
    <message><source>light red</source><translation>hellrot</translation></message>
    <message><source>red</source><translation>rot</translation></message>
    <message><source>dark red</source><translation>dunkelrot</translation></message>
    <message><source>light orange</source><translation>hellorange</translation></message>
    <message><source>orange</source><translation>orange</translation></message>
    <message><source>dark orange</source><translation>dunkelorange</translation></message>
    <message><source>light yellow</source><translation>hellgelb</translation></message>
    <message><source>yellow</source><translation>gelb</translation></message>
    <message><source>dark yellow</source><translation>dunkelgelb</translation></message>
    <message><source>light green</source><translation>hellgrün</translation></message>
    <message><source>green</source><translation>grün</translation></message>
    <message><source>dark green</source><translation>dunkelgrün</translation></message>
    <message><source>light turquoise</source><translation>helltürkis</translation></message>
    <message><source>turquoise</source><translation>türkis</translation></message>
    <message><source>dark turquoise</source><translation>dunkeltürkis</translation></message>
    <message><source>light blue</source><translation>hellblau</translation></message>
    <message><source>blue</source><translation>blau</translation></message>
    <message><source>dark blue</source><translation>dunkelblau</translation></message>
    <message><source>light purple</source><translation>helllila</translation></message>
    <message><source>purple</source><translation>lila</translation></message>
    <message><source>dark purple</source><translation>dunkellila</translation></message>
    <message><source>light pink</source><translation>hellrosa</translation></message>
    <message><source>pink</source><translation>rosa</translation></message>
    <message><source>dark pink</source><translation>dunkelrosa</translation></message>
    <message><source>white</source><translation>weiß</translation></message>
    <message><source>black</source><translation>schwarz</translation></message>
    <message><source>light grey</source><translation>hellgrau</translation></message>
    <message><source>grey</source><translation>grau</translation></message>
    <message><source>dark grey</source><translation>dunkelgrau</translation></message>
    <message><source>Color %1, %2</source><translation>Farbe %1, %2</translation></message>
</context>
<context>
    <name>form_edit</name>
    <message>
        <source>Ends:</source>
        <translation>Endet:</translation>
    </message>
    <message>
        <source>Last day</source>
        <translation>Letzter Tag</translation>
    </message>
    <message><source>Private</source><translation>Privat</translation></message>
    <message>
        <source>Everyone but its owner sees it as &quot;Busy&quot; with its times.
Discretion, not protection: its file in the data folder stays readable to anyone who opens it.</source>
        <translation>Alle außer seinem Besitzer sehen ihn als „Belegt“ mit seinen Zeiten.
Diskretion, kein Schutz: seine Datei im Datenordner bleibt für jeden lesbar, der sie öffnet.</translation>
    </message>
    <message>
        <source>Find a time...</source>
        <translation>Termin finden...</translation>
    </message>
    <message>
        <source>%1 is not in the team&apos;s list. Add it?</source>
        <translation>%1 steht nicht in der Liste des Teams. Hinzufügen?</translation>
    </message>
    <message>
        <source>%1 are not in the team&apos;s list. Add them?</source>
        <translation>%1 stehen nicht in der Liste des Teams. Hinzufügen?</translation>
    </message>
    <message>
        <source>Add to the list</source>
        <translation>Zur Liste hinzufügen</translation>
    </message>
    <message>
        <source>Not now</source>
        <translation>Jetzt nicht</translation>
    </message>
    <message>
        <source>Rooms:</source>
        <translation>Räume:</translation>
    </message>
    <message>
        <source>Categories:</source>
        <translation>Kategorien:</translation>
    </message>
    <message>
        <source>Categories</source>
        <translation>Kategorien</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Ort:</translation>
    </message>
    <message>
        <source>Zone:</source>
        <translation>Zone:</translation>
    </message>
    <message>
        <source>Team's time</source>
        <translation>Zeit des Teams</translation>
    </message>
    <message>
        <source>Time zone of the date and times</source>
        <translation>Zeitzone von Datum und Uhrzeiten</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Rooms and equipment (separated by semicolons)</source>
        <translation>Räume und Geräte (durch Semikolons getrennt)</translation>
    </message>
    <message>
        <source>Organizer and attendees</source>
        <translation>Organisator und Teilnehmer</translation>
    </message>
    <message>
        <source>People:</source>
        <translation>Personen:</translation>
    </message>
    <message>
        <source>Calendar:</source>
        <translation>Kalender:</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Kalender</translation>
    </message>
    <message><source>no end</source><translation>kein Ende</translation></message>
    <message><source>daily</source><translation>Termin täglich wiederholen</translation></message>
    <message><source>weekly</source><translation>Termin wöchentlich wiederholen</translation></message>
    <message><source>monthly</source><translation>Termin monatlich wiederholen</translation></message>
    <message><source>yearly</source><translation>Termin jährlich wiederholen</translation></message>
    <message><source>day</source><translation>Tag</translation></message>
    <message><source>days</source><translation>Tage</translation></message>
    <message><source>week</source><translation>Woche</translation></message>
    <message><source>weeks</source><translation>Wochen</translation></message>
    <message><source>month</source><translation>Monat</translation></message>
    <message><source>months</source><translation>Monate</translation></message>
    <message><source>year</source><translation>Jahr</translation></message>
    <message><source>years</source><translation>Jahre</translation></message>
    <message><source>Interval in days</source><translation>Abstand in Tagen</translation></message>
    <message><source>Interval in weeks</source><translation>Abstand in Wochen</translation></message>
    <message><source>Interval in months</source><translation>Abstand in Monaten</translation></message>
    <message><source>Interval in years</source><translation>Abstand in Jahren</translation></message>
    <message><source>first</source><translation>ersten</translation></message>
    <message><source>second</source><translation>zweiten</translation></message>
    <message><source>third</source><translation>dritten</translation></message>
    <message><source>fourth</source><translation>vierten</translation></message>
    <message><source>last</source><translation>letzten</translation></message>
    <message><source>fifth</source><translation>fünften</translation></message>
    <message><source>until</source><translation>bis</translation></message>
    <message><source>after</source><translation>nach</translation></message>
    <message><source>Every</source><translation>Alle</translation></message>
    <message><source>on the</source><translation>am</translation></message>
    <message><source>On a weekday of the month</source><translation>An einem Wochentag des Monats</translation></message>
    <message><source>Which one in the month</source><translation>Der wievielte im Monat</translation></message>
    <message><source>Weekday</source><translation>Wochentag</translation></message>
    <message><source>End of the recurrence</source><translation>Ende der Wiederholung</translation></message>
    <message><source>Number of times</source><translation>Anzahl der Termine</translation></message>
    <message><source>times</source><translation>Mal</translation></message>
    <message><source>on day %1</source><translation>am %1. des Monats</translation></message>
    <message><source>in %1</source><translation>im %1</translation></message>
    <message><source>of the month</source><translation>des Monats</translation></message>
    <message><source>The appointment must recur on at least one weekday.</source><translation>Der Termin muss an mindestens einem Wochentag wiederkehren.</translation></message>
    <message><source>The appointment must take place at least once.</source><translation>Der Termin muss mindestens einmal stattfinden.</translation></message>
    <message><source>The last day of the recurrence must not be before its first day.</source><translation>Der letzte Tag der Wiederholung darf nicht vor ihrem ersten Tag liegen.</translation></message>
    <message><source>The recurrence falls on no day from %1 to %2.</source><translation>Die Wiederholung fällt auf keinen Tag vom %1 bis %2.</translation></message>
    <message><source>on %1 %2</source><comment>day, month</comment><translation>am %1. %2</translation></message>
    <message><source>Saving...</source><translation>Speichern...</translation></message>
    <message><source>&quot;%1&quot; is not a time of day. Please type a time such as %2.</source><translation>„%1“ ist keine Uhrzeit. Bitte geben Sie eine Uhrzeit wie %2 ein.</translation></message>
    <message><source>This appointment was deleted by another user while you edited it.</source><translation>Dieser Termin wurde von einem anderen Benutzer gelöscht, während Sie ihn bearbeitet haben.</translation></message>
    <message><source>This appointment was changed by another user while you edited it.</source><translation>Dieser Termin wurde von einem anderen Benutzer geändert, während Sie ihn bearbeitet haben.</translation></message>
    <message><source>This appointment was changed by %1 while you edited it.</source><translation>Dieser Termin wurde von %1 geändert, während Sie ihn bearbeitet haben.</translation></message>
    <message><source>Save my version again</source><translation>Meine Fassung wieder speichern</translation></message>
    <message><source>Overwrite with my version</source><translation>Mit meiner Fassung überschreiben</translation></message>
    <message><source>Leave it deleted</source><translation>Gelöscht lassen</translation></message>
    <message><source>Keep the other version</source><translation>Die andere Fassung behalten</translation></message>
    <message><source>Back to the editor</source><translation>Zurück zum Bearbeiten</translation></message>
    <message>
        <source>Appointment</source>
        <translation>Termin</translation>
    </message>
    <message>
        <source>[!] Reminder</source>
        <translation>[!] Erinnerung</translation>
    </message>
    <message>
        <source>[»] Recurring</source>
        <translation>[»] Wiederkehrend</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>05 minutes before start</source>
        <translation>05 Minuten vor Beginn erinnern</translation>
    </message>
    <message>
        <source>10 minutes before start</source>
        <translation>10 Minuten vor Beginn erinnern</translation>
    </message>
    <message>
        <source>15 minutes before start</source>
        <translation>15 Minuten vor Beginn erinnern</translation>
    </message>
    <message>
        <source>20 minutes before start</source>
        <translation>20 Minuten vor Beginn erinnern</translation>
    </message>
    <message>
        <source>25 minutes before start</source>
        <translation>25 Minuten vor Beginn erinnern</translation>
    </message>
    <message>
        <source>30 minutes before start</source>
        <translation>30 Minuten vor Beginn erinnern</translation>
    </message>
    <message>
        <source>60 minutes before start</source>
        <translation>60 Minuten vor Beginn erinnern</translation>
    </message>
    <message>
        <source>1 day before start</source>
        <translation>1 Tag vor Beginn erinnern</translation>
    </message>
    <message>
        <source>%1 days before start</source>
        <translation>%1 Tage vor Beginn erinnern</translation>
    </message>
    <message>
        <source>%1 hours before start</source>
        <translation>%1 Stunden vor Beginn erinnern</translation>
    </message>
    <message>
        <source>1 minute before start</source>
        <translation>1 Minute vor Beginn erinnern</translation>
    </message>
    <message>
        <source>%1 minutes before start</source>
        <translation>%1 Minuten vor Beginn erinnern</translation>
    </message>
    <message>
        <source>Add appointment</source>
        <translation>Termin anlegen</translation>
    </message>
    <message>
        <source>Edit appointment</source>
        <translation>Termin bearbeiten</translation>
    </message>
    <message>
        <source>At:</source>
        <translation>Am:</translation>
    </message>
    <message>
        <source>From:</source>
        <translation>Von:</translation>
    </message>
    <message>
        <source>until:</source>
        <translation>Bis:</translation>
    </message>
    <message>
        <source>Color:</source>
        <translation>Farbe:</translation>
    </message>
    <message>
        <source>Text:</source>
        <translation>Text:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Reminder:</source>
        <translation>Erinnerung:</translation>
    </message>
    <message>
        <source>remind on this appointment</source>
        <translation>an diesen Termin erinnern</translation>
    </message>
    <message>
        <source>send email</source>
        <translation>Email als Erinnerung versenden</translation>
    </message>
    <message>
        <source>Recurring:</source>
        <translation>Wiederkehrend:</translation>
    </message>
    <message>
        <source>recurring appointment</source>
        <translation>wiederkehrender Termin</translation>
    </message>
    <message>
        <source>Appointment-file:</source>
        <translation>Termin-Datei:</translation>
    </message>
    <message>
        <source>Owner:</source>
        <translation>Ersteller:</translation>
    </message>
    <message>
        <source>Last change:</source>
        <translation>Letzte Änderung:</translation>
    </message>
    <message>
        <source>I am new owner</source>
        <translation>Besitz übernehmen</translation>
    </message>
    <message>
        <source>For:</source>
        <translation>Für:</translation>
    </message>
    <message>
        <source>remind only the owner of this appointment</source>
        <translation>Nur den Besitzer des Termines erinnern</translation>
    </message>
    <message>
        <source>remind all users</source>
        <translation>Alle Benutzer erinnern</translation>
    </message>
    <message>
        <source>every day</source>
        <translation>Termin täglich wiederholen</translation>
    </message>
    <message>
        <source>every %1</source>
        <translation>Termin jeden %1 wiederholen</translation>
    </message>
    <message>
        <source>every %1 day in month</source>
        <translation>Termin jeden %1 Tag in Monat wiederholen</translation>
    </message>
    <message>
        <source>every year (birthdays)</source>
        <translation>Termin einmal im Jahr wiederholen (Geburtstage)</translation>
    </message>
    <message>
        <source>The start time must be prior to the end time.</source>
        <translation>Die Startzeit des Termines muss vor der Endzeit liegen.</translation>
    </message>
    <message>
        <source>The text is longer than %1 KiB and was cut to that length. Please check its end and save again.</source>
        <translation>Der Text ist länger als %1 KiB und wurde auf diese Länge gekürzt. Bitte prüfen Sie sein Ende und speichern Sie erneut.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a date. Please type a date such as %2.</source>
        <translation>„%1“ ist kein Datum. Bitte geben Sie ein Datum wie %2 ein.</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Start time</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>End time</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Remind before the start</source>
        <translation>Erinnern vor Beginn</translation>
    </message>
    <message>
        <source>Whom to remind</source>
        <translation>Wen erinnern</translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>Wiederholung</translation>
    </message>
    <message>
        <source>First day of the recurrence</source>
        <translation>Erster Tag der Wiederholung</translation>
    </message>
    <message>
        <source>Last day of the recurrence</source>
        <translation>Letzter Tag der Wiederholung</translation>
    </message>
    <message>
        <source>For (login names, separated by commas)</source>
        <translation>Für (Anmeldenamen, durch Kommas getrennt)</translation>
    </message>
</context>
<context>
    <name>AppointmentEditing</name>
    <message><source>The appointment could not be saved.
The data folder %1 is not answering; nothing was written. Please try again when it answers.</source><translation>Der Termin konnte nicht gespeichert werden.
Der Datenordner %1 antwortet nicht; es wurde nichts geschrieben. Bitte versuchen Sie es erneut, wenn er wieder antwortet.</translation></message>
    <message>
        <source>The appointment could not be saved.
The data folder %1 cannot be reached.</source>
        <translation>Der Termin konnte nicht gespeichert werden.
Der Datenordner %1 ist nicht erreichbar.</translation>
    </message>
    <message>
        <source>The appointment could not be saved.
%1 is there but could not be read; it was left as it is.</source>
        <translation>Der Termin konnte nicht gespeichert werden.
%1 ist vorhanden, konnte aber nicht gelesen werden; die Datei bleibt, wie sie ist.</translation>
    </message>
    <message>
        <source>The appointment could not be saved.
%1 leads out of the data folder.</source>
        <translation>Der Termin konnte nicht gespeichert werden.
%1 führt aus dem Datenordner hinaus.</translation>
    </message>
    <message>
        <source>The appointment could not be saved.
Please ensure the accessibility of the datasource folder and check your privileges.</source>
        <translation>Der Termin konnte nicht gespeichert werden.
Bitte prüfen Sie die Verfügbarkeit des Datenordners und Ihre Zugriffsrechte.</translation>
    </message>
</context>
</TS>
