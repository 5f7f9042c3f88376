<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Sync</name>
    <message><source>%1 was not sent: the calendar is read-only. The change stays here until the server changes its event.</source><translation>%1 wurde nicht gesendet: der Kalender ist schreibgeschützt. Die Änderung bleibt hier, bis der Server seinen Termin ändert.</translation></message>
    <message numerus="yes"><source>%n changes were not sent: the calendar is read-only.</source><translation><numerusform>%n Änderung wurde nicht gesendet: der Kalender ist schreibgeschützt.</numerusform><numerusform>%n Änderungen wurden nicht gesendet: der Kalender ist schreibgeschützt.</numerusform></translation></message>
    <message><source>%1: %2</source><translation>%1: %2</translation></message>
    <message><source>%1 (conflict copy)</source><translation>%1 (Konfliktkopie)</translation></message>
    <message><source>no server is set up in the settings</source><translation>in den Einstellungen ist kein Server eingerichtet</translation></message>
    <message><source>Cannot reach %1: %2</source><translation>%1 ist nicht erreichbar: %2</translation></message>
    <message><source>The server refused the login for %1.</source><translation>Der Server hat die Anmeldung für %1 abgelehnt.</translation></message>
    <message><source>The server answered %1 for %2.</source><translation>Der Server antwortete %1 für %2.</translation></message>
    <message><source>The server&apos;s answer for %1 is no calendar data.</source><translation>Die Antwort des Servers für %1 sind keine Kalenderdaten.</translation></message>
    <message><source>%1 is no calendar.</source><translation>%1 ist kein Kalender.</translation></message>
    <message><source>The server %1 tells its changes in parts that come to no end.</source><translation>Der Server %1 nennt seine Änderungen in Teilen, die kein Ende nehmen.</translation></message>
    <message><source>%1 names no calendar, and the server tells no user&apos;s calendars.</source><translation>%1 nennt keinen Kalender, und der Server nennt keine Kalender des Benutzers.</translation></message>
    <message><source>The server tells no calendar home for the user.</source><translation>Der Server nennt keinen Kalenderordner für den Benutzer.</translation></message>
    <message><source>The user has no calendar for events on the server.</source><translation>Der Benutzer hat auf dem Server keinen Kalender für Termine.</translation></message>
    <message><source>The server holds several calendars; name one with its URL.</source><translation>Der Server hat mehrere Kalender; geben Sie einen mit seiner URL an.</translation></message>
    <message numerus="yes"><source>Sent %1, received %2, deleted %3 here and %4 on the server; %n conflicts kept as copies.</source><translation><numerusform>%1 gesendet, %2 empfangen, %3 hier und %4 auf dem Server gelöscht; %n Konflikt als Kopie behalten.</numerusform><numerusform>%1 gesendet, %2 empfangen, %3 hier und %4 auf dem Server gelöscht; %n Konflikte als Kopien behalten.</numerusform></translation></message>
    <message numerus="yes"><source>%n events changed on the server during the sync: they follow at the next sync.</source><translation><numerusform>%n Termin wurde während des Abgleichs auf dem Server geändert: er folgt beim nächsten Abgleich.</numerusform><numerusform>%n Termine wurden während des Abgleichs auf dem Server geändert: sie folgen beim nächsten Abgleich.</numerusform></translation></message>
    <message><source>The sync was stopped.</source><translation>Der Abgleich wurde angehalten.</translation></message>
    <message><source>Cannot write the sync record: %1</source><translation>Der Abgleichsstand kann nicht geschrieben werden: %1</translation></message>
    <message><source>The data folder %1 cannot be reached.</source><translation>Der Datenordner %1 ist nicht erreichbar.</translation></message>
    <message><source>Cannot read the sync record: %1</source><translation>Der Abgleichsstand kann nicht gelesen werden: %1</translation></message>
    <message><source>it is cut short or no JSON (%1 at byte %2)</source><translation>er ist abgeschnitten oder kein JSON (%1 bei Byte %2)</translation></message>
    <message><source>it holds no JSON object</source><translation>er enthält kein JSON-Objekt</translation></message>
    <message><source>another version of the program wrote it (version %1); it was left as it is</source><translation>eine andere Version des Programms hat ihn geschrieben (Version %1); er bleibt, wie er ist</translation></message>
    <message><source>its calendar %1 lies on another server than its account %2</source><translation>sein Kalender %1 liegt auf einem anderen Server als sein Konto %2</translation></message>
    <message><source>%1 is no file inside the data folder</source><translation>%1 ist keine Datei innerhalb des Datenordners</translation></message>
    <message><source>it is larger than %1 MB</source><translation>er ist größer als %1 MB</translation></message>
    <message><source>%1 is a link or no directory; the sync keeps its state only in a directory of the data folder itself.</source><translation>%1 ist eine Verknüpfung oder kein Ordner; der Abgleich hält seinen Stand nur in einem Ordner des Datenordners selbst.</translation></message>
    <message><source>Cannot make %1: %2</source><translation>%1 kann nicht angelegt werden: %2</translation></message>
    <message><source>Cannot make the sync&apos;s lock in %1: %2</source><translation>Die Sperre des Abgleichs in %1 kann nicht angelegt werden: %2</translation></message>
    <message><source>%1 was not sent: it cannot be read whole inside the data folder.</source><translation>%1 wurde nicht gesendet: die Datei kann innerhalb des Datenordners nicht ganz gelesen werden.</translation></message>
    <message><source>%1 was not sent: it holds no text.</source><translation>%1 wurde nicht gesendet: die Datei enthält keinen Text.</translation></message>
    <message><source>%1 was not sent: it has no valid date.</source><translation>%1 wurde nicht gesendet: die Datei hat kein gültiges Datum.</translation></message>
    <message><source>The sync record cannot be trusted (%1): this sync pairs the folder&apos;s files and the server&apos;s events afresh.</source><translation>Dem Abgleichsstand ist nicht zu trauen (%1): dieser Abgleich ordnet die Dateien des Ordners und die Termine des Servers neu einander zu.</translation></message>
    <message><source>The sync record names entries outside the appointment tree or the calendar, or twice; they were ignored: %1</source><translation>Der Abgleichsstand nennt Einträge außerhalb des Terminbaums oder des Kalenders oder doppelt; sie wurden übergangen: %1</translation></message>
    <message><source>An event of the server would be written outside the appointment tree (%1); nothing was written.</source><translation>Ein Termin des Servers würde außerhalb des Terminbaums geschrieben (%1); nichts wurde geschrieben.</translation></message>
    <message><source>The sync stopped: %1</source><translation>Der Abgleich brach ab: %1</translation></message>
    <message><source>The sync would delete %1 of %2 appointments on the server; nothing was changed.</source><translation>Der Abgleich würde %1 von %2 Terminen auf dem Server löschen; nichts wurde geändert.</translation></message>
    <message><source>The sync would delete %1 of %2 appointments in the data folder; nothing was changed.</source><translation>Der Abgleich würde %1 von %2 Terminen im Datenordner löschen; nichts wurde geändert.</translation></message>
    <message><source>Cannot write %1: %2</source><translation>%1 kann nicht geschrieben werden: %2</translation></message>
    <message><source>Another sync of this data folder is running (%1).</source><translation>Ein anderer Abgleich dieses Datenordners läuft gerade (%1).</translation></message>
    <message><source>%1 is no http or https address.</source><translation>%1 ist keine http- oder https-Adresse.</translation></message>
    <message><source>The server sends the sync from %1 on to %2 without encryption; the sync does not continue over http.</source><translation>Der Server schickt den Abgleich von %1 unverschlüsselt weiter zu %2; der Abgleich geht nicht über http weiter.</translation></message>
    <message><source>The server sends the sync on to %1, another server than %2; the login goes only to the server set up. To sync with %1, enter it as the server address.</source><translation>Der Server schickt den Abgleich weiter zu %1, einem anderen Server als %2; die Anmeldung geht nur an den eingerichteten Server. Um mit %1 abzugleichen, geben Sie es als Serveradresse ein.</translation></message>
    <message><source>The server %1 answered more than %2 MB.</source><translation>Der Server %1 hat mit mehr als %2 MB geantwortet.</translation></message>
    <message><source>The server %1 did not finish its answer within %2 seconds.</source><translation>Der Server %1 hat seine Antwort nicht innerhalb von %2 Sekunden beendet.</translation></message>
    <message><source>The sync with %1 did not finish within %2 seconds; what was done is kept and the next sync goes on from there.</source><translation>Der Abgleich mit %1 wurde nicht innerhalb von %2 Sekunden fertig; was getan ist, bleibt, und der nächste Abgleich macht dort weiter.</translation></message>
    <message><source>The server %1 names an address the sync does not follow: %2</source><translation>Der Server %1 nennt eine Adresse, der der Abgleich nicht folgt: %2</translation></message>
    <message><source>The server %1 answered an ETag the sync cannot use: %2</source><translation>Der Server %1 hat ein ETag geschickt, das der Abgleich nicht verwenden kann: %2</translation></message>
</context>
<context>
    <name>Subscriptions</name>
    <message><source>The feed at %1 sends the request on more than %2 times.</source><translation>Der Kalender unter %1 leitet die Anfrage mehr als %2-mal weiter.</translation></message>
    <message><source>The feed at %1 sends the request on without encryption (%2); it is not followed.</source><translation>Der Kalender unter %1 leitet die Anfrage unverschlüsselt weiter (%2); dem wird nicht gefolgt.</translation></message>
    <message><source>The feed at %1 sends the request on to %2, which is no web address.</source><translation>Der Kalender unter %1 leitet die Anfrage an %2 weiter, das keine Webadresse ist.</translation></message>
    <message><source>%1 is no http, https or webcal address of a calendar.</source><translation>%1 ist keine http-, https- oder webcal-Adresse eines Kalenders.</translation></message>
    <message><source>The feed at %1 answers with HTTP status %2; nothing was changed.</source><translation>Der Kalender unter %1 antwortet mit HTTP-Status %2; nichts wurde geändert.</translation></message>
    <message><source>The feed at %1 is no calendar now (%2); nothing was changed.</source><translation>Der Kalender unter %1 ist jetzt kein Kalender (%2); nichts wurde geändert.</translation></message>
    <message><source>The feed at %1 holds no events now; what it brought before is kept.</source><translation>Der Kalender unter %1 enthält jetzt keine Termine; was er zuvor brachte, bleibt.</translation></message>
    <message><source>larger than %1 MB</source><translation>größer als %1 MB</translation></message>
    <message><source>%1 is unchanged.</source><translation>%1 ist unverändert.</translation></message>
    <message><source>The feed at %1 makes %2 appointments, more than a subscription takes; nothing was changed.</source><translation>Der Kalender unter %1 ergibt %2 Termine, mehr als ein Abonnement aufnimmt; nichts wurde geändert.</translation></message>
    <message><source>What %1 brought cannot be noted in %2: %3</source><translation>Was %1 brachte, kann nicht in %2 vermerkt werden: %3</translation></message>
    <message><source>%1 was refreshed in part: %2 of %3 appointments could not be written.</source><translation>%1 wurde nur teilweise aktualisiert: %2 von %3 Terminen konnten nicht geschrieben werden.</translation></message>
    <message><source>%1 refreshed: %2 appointments, %3 no longer in the feed removed.</source><translation>%1 aktualisiert: %2 Termine, %3 nicht mehr im Kalender enthaltene entfernt.</translation></message>
    <message><source>%1 has no subscription named %2.</source><translation>%1 hat kein Abonnement namens %2.</translation></message>
    <message><source>Another copy is writing this data folder (%1).</source><translation>Eine andere Kopie schreibt gerade in diesen Datenordner (%1).</translation></message>
    <message><source>%1 cannot be removed.</source><translation>%1 kann nicht entfernt werden.</translation></message>
    <message><source>This data folder already has a subscription named %1.</source><translation>Dieser Datenordner hat schon ein Abonnement namens %1.</translation></message>
    <message><source>%1 ended: %2 appointments removed.</source><translation>%1 beendet: %2 Termine entfernt.</translation></message>
</context>
</TS>
