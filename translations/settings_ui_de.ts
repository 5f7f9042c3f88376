<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>form_settings</name>
    <message><source>From</source><translation>Von</translation></message>
    <message><source>To</source><translation>An</translation></message>
    <message><source>Name of color %1</source><translation>Name der Farbe %1</translation></message>
    <message><source>Choose color %1</source><translation>Farbe %1 wählen</translation></message>
    <message><source>Common</source><translation>Allgemeines</translation></message>
    <message><source>Data Sources</source><translation>Datenquellen</translation></message>
    <message><source>Display</source><translation>Anzeige</translation></message>
    <message><source>Reminder</source><translation>Erinnerungen</translation></message>
    <message><source>Colors</source><translation>Farben</translation></message>
    <message><source>Sync</source><translation>Abgleich</translation></message>
    <message><source>Team</source><translation>Team</translation></message>
    <message><source>Login name</source><translation>Anmeldename</translation></message>
    <message><source>Name</source><translation>Name</translation></message>
    <message><source>Colour</source><translation>Farbe</translation></message>
    <message><source>The team</source><translation>Das Team</translation></message>
    <message><source>Add</source><translation>Hinzufügen</translation></message>
    <message><source>Remove</source><translation>Entfernen</translation></message>
    <message><source>Room or equipment</source><translation>Raum oder Gerät</translation></message>
    <message><source>Note (capacity)</source><translation>Hinweis (Kapazität)</translation></message>
    <message><source>The team&apos;s rooms and equipment</source><translation>Räume und Geräte des Teams</translation></message>
    <message><source>Add room</source><translation>Raum hinzufügen</translation></message>
    <message><source>Remove room</source><translation>Raum entfernen</translation></message>
    <message><source>Category</source><translation>Kategorie</translation></message>
    <message><source>The team&apos;s categories</source><translation>Kategorien des Teams</translation></message>
    <message><source>Add category</source><translation>Kategorie hinzufügen</translation></message>
    <message><source>Remove category</source><translation>Kategorie entfernen</translation></message>
    <message><source>Add them</source><translation>Alle hinzufügen</translation></message>
    <message><source>none</source><translation>keine</translation></message>
    <message><source>Used but not in the list: %1</source><translation>Verwendet, aber nicht in der Liste: %1</translation></message>
    <message><source>Up</source><translation>Nach oben</translation></message>
    <message><source>Down</source><translation>Nach unten</translation></message>
    <message><source>by place</source><translation>nach Platz</translation></message>
    <message><source>Su</source><translation>So</translation></message>
    <message><source>Mo</source><translation>Mo</translation></message>
    <message><source>Tu</source><translation>Di</translation></message>
    <message><source>We</source><translation>Mi</translation></message>
    <message><source>Th</source><translation>Do</translation></message>
    <message><source>Fr</source><translation>Fr</translation></message>
    <message><source>Sa</source><translation>Sa</translation></message>
    <message><source>Sunday</source><translation>Sonntag</translation></message>
    <message><source>Monday</source><translation>Montag</translation></message>
    <message><source>Week with 1. January</source><translation>Woche mit 1. Jänner</translation></message>
    <message><source>Week with 4 days of new year</source><translation>Woche mit 4 Tagen des neuen Jahres</translation></message>
    <message><source>full week in next year</source><translation>Erste ganze Woche im neuen Jahr</translation></message>
    <message><source>YYYY-MM-DD</source><translation>JJJJ-MM-TT</translation></message>
    <message><source>MM/DD/YYYY</source><translation>MM/TT/JJJJ</translation></message>
    <message><source>DD.MM.YYYY</source><translation>TT.MM.JJJJ</translation></message>
    <message><source>Dayview every 05 sec., Monthview every 10 sec.</source><translation>Tag alle 05 Sekunden, Monat alle 10 Sekunden</translation></message>
    <message><source>Dayview every 10 sec., Monthview every 20 sec.</source><translation>Tag alle 10 Sekunden, Monat alle 20 Sekunden</translation></message>
    <message><source>Dayview every 30 sec., Monthview every 60 sec.</source><translation>Tag alle 30 Sekunden, Monat alle 60 Sekunden</translation></message>
    <message><source>30 minutes</source><translation>30 Minuten</translation></message>
    <message><source>15 minutes</source><translation>15 Minuten</translation></message>
    <message><source>Language:</source><translation>Sprache:</translation></message>
    <message><source>Week starts with:</source><translation>Woche beginnt mit:</translation></message>
    <message><source>First calendar week:</source><translation>Erste Kalenderwoche:</translation></message>
    <message><source>Time format:</source><translation>Zeitformat:</translation></message>
    <message><source>Date format:</source><translation>Datumsformat:</translation></message>
    <message><source>Minimize:</source><translation>Minimieren:</translation></message>
    <message><source>Settings - file:</source><translation>Einstellungsdatei:</translation></message>
    <message><source>DataSources:</source><translation>Datenquellen:</translation></message>
    <message><source>ends at:</source><translation>endet:</translation></message>
    <message><source>Dayview starts at:</source><translation>Tagesansicht beginnt:</translation></message>
    <message><source>Weekview shows:</source><translation>Wochenansicht zeigt:</translation></message>
    <message><source>Time grid:</source><translation>Zeitraster:</translation></message>
    <message><source>Position:</source><translation>Positionierung:</translation></message>
    <message><source>Refresh view:</source><translation>Ansicht aktualisieren:</translation></message>
    <message><source>Soundfile:</source><translation>Soundfile:</translation></message>
    <message><source>SMTP Server:</source><translation>SMTP Server:</translation></message>
    <message><source>From / To:</source><translation>Von / An:</translation></message>
    <message><source>Subject:</source><translation>Betreff:</translation></message>
    <message><source>Norvane4 Settings</source><translation>Norvane4 Einstellungen</translation></message>
    <message><source>minimize to symbol in system tray</source><translation>minimieren als Symbol neben der Uhr</translation></message>
    <message><source>Choose folder</source><translation>Verzeichnis auswählen</translation></message>
    <message><source>Add datasource</source><translation>Datenquelle hinzufügen</translation></message>
    <message><source>delete selected datasource</source><translation>markierte Datenquelle entfernen</translation></message>
    <message><source>Test performance of selected folder</source><translation>Geschwindigkeit des Zugriffs auf das markierte Verzeichnis testen</translation></message>
    <message><source>Weekview at startup</source><translation>Wochenansicht bei Programmstart</translation></message>
    <message><source>one row per color</source><translation>je Farbe eine Spalte</translation></message>
    <message><source>Show notification window</source><translation>Erinnerungsfenster anzeigen</translation></message>
    <message><source>Desktop notification</source><translation>Desktop-Benachrichtigung</translation></message>
    <message><source>Play sound</source><translation>Sound abspielen</translation></message>
    <message><source>Choose soundfile</source><translation>Soundfile auswählen</translation></message>
    <message><source>Test soundfile</source><translation>Soundfile testen</translation></message>
    <message><source>There is no audio device to play the sound on.</source><translation>Es gibt kein Audiogerät, auf dem der Sound gespielt werden kann.</translation></message>
    <message><source>The sound file cannot be found.</source><translation>Die Sound-Datei wurde nicht gefunden.</translation></message>
    <message><source>Send notification email</source><translation>Erinnerungsemail senden</translation></message>
    <message><source>Send test email</source><translation>Testemail versenden</translation></message>
    <message><source>Default Colors</source><translation>Standard Farben</translation></message>
    <message><source>Cancel</source><translation>Abbrechen</translation></message>
    <message><source>Select folder to save settings:</source><translation>Verzeichnis zum Speichern der Einstellungen:</translation></message>
    <message><source>Select data folder:</source><translation>Datenverzeichnis auswählen:</translation></message>
    <message><source>Sound files (*.WAV)</source><translation>Sound-Dateien (*.WAV)</translation></message>
    <message><source>Select sound file:</source><translation>Sound-Datei wählen:</translation></message>
    <message><source>The email was sent. Please check your email-account for the test message.</source><translation>Das Email wurde versendet. Prüfen Sie Ihr Postfach.</translation></message>
    <message><source>Email could not be sent.&#xd;&#xa;Please check your email-settings.</source><translation>Das Email konnte nicht gesendet werden. &#xd;&#xa;Überprüfen Sie die Einstellungen.</translation></message>
    <message><source>The start time of the day must be prior to the end time.</source><translation>Die Tages-Startzeit muss vor der Tages-Endzeit liegen.</translation></message>
    <message><source>The settings could not be saved.&#xd;&#xa;Check your privileges and the access to the settings-file.</source><translation>Die Einstellungen konnten nicht gespeichert werden&#xd;&#xa;Überpfüren Sie die Schreibrechte und die Verfügbarkeit der Einstellungsdatei.</translation></message>
    <message><source>%1 holds settings already, perhaps your team&apos;s.&#xd;&#xa;&#xd;&#xa;Use the settings stored there (the other changes in this window are dropped), or replace them with the settings of this window?</source><translation>%1 enthält bereits Einstellungen, vielleicht die Ihres Teams.&#xd;&#xa;&#xd;&#xa;Sollen die dort gespeicherten Einstellungen verwendet werden (die übrigen Änderungen in diesem Fenster entfallen) oder durch die Einstellungen dieses Fensters ersetzt werden?</translation></message>
    <message><source>Use stored settings</source><translation>Gespeicherte verwenden</translation></message>
    <message><source>Replace them</source><translation>Durch diese ersetzen</translation></message>
    <message><source>Back</source><translation>Zurück</translation></message>
</context>
<context>
    <name>SyncCalendarList</name>
    <message><source>Calendar</source><translation>Kalender</translation></message>
    <message><source>The account&apos;s calendars</source><translation>Die Kalender des Kontos</translation></message>
    <message><source>Only download %1</source><translation>%1 nur herunterladen</translation></message>
    <message><source>Data folder of %1</source><translation>Datenordner von %1</translation></message>
    <message><source>Data folder</source><translation>Datenordner</translation></message>
    <message><source>Only download</source><translation>Nur herunterladen</translation></message>
    <message><source>not synced</source><translation>nicht abgeglichen</translation></message>
    <message><source>the active data folder (%1)</source><translation>der aktive Datenordner (%1)</translation></message>
    <message><source>a new folder: %1</source><translation>ein neuer Ordner: %1</translation></message>
    <message><source>The server lets you only read this calendar.</source><translation>Der Server erlaubt Ihnen nur, diesen Kalender zu lesen.</translation></message>
</context>
<context>
    <name>SyncSettingsPage</name>
    <message><source>Server URL:</source><translation>Server-URL:</translation></message>
    <message><source>List the account&apos;s calendars</source><translation>Kalender des Kontos auflisten</translation></message>
    <message><source>User:</source><translation>Benutzer:</translation></message>
    <message><source>Password:</source><translation>Passwort:</translation></message>
    <message><source>Calendar's time zone:</source><translation>Zeitzone des Kalenders:</translation></message>
    <message><source>Sync automatically:</source><translation>Automatisch abgleichen:</translation></message>
    <message><source>Refresh subscriptions:</source><translation>Abonnements aktualisieren:</translation></message>
    <message><source>off</source><translation>nie</translation></message>
    <message><source>every %1 minutes</source><translation>alle %1 Minuten</translation></message>
    <message><source>Test connection</source><translation>Verbindung testen</translation></message>
    <message><source>Connecting...</source><translation>Verbinde...</translation></message>
    <message><source>Connected: %1</source><translation>Verbunden: %1</translation></message>
    <message><source>No connection: %1</source><translation>Keine Verbindung: %1</translation></message>
    <message><source>No password store of the desktop answered, so the password is kept in %1, which only you can read; never in the settings file.</source><translation>Kein Passwortspeicher des Desktops hat geantwortet, daher liegt das Passwort in %1, die nur Sie lesen können; nie in der Einstellungsdatei.</translation></message>
    <message><source>The password is kept in the desktop&apos;s password store, never in the settings file.</source><translation>Das Passwort liegt im Passwortspeicher des Desktops, nie in der Einstellungsdatei.</translation></message>
    <message><source>The password could not be stored: %1</source><translation>Das Passwort konnte nicht gespeichert werden: %1</translation></message>
</context>
</TS>
