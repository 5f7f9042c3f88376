<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>form_import</name>
    <message><source>Import holidays</source><translation>Feiertage importieren</translation></message>
    <message><source>Select, which holidays to import into the active data source:</source><translation>Markieren Sie alle Rubriken, deren Feiertage Sie in die aktuelle Datenquelle importieren möchten:</translation></message>
    <message><source>Use color:</source><translation>Verwende Farbe:</translation></message>
    <message><source>Import</source><translation>Importieren</translation></message>
    <message><source>Cancel</source><translation>Abbrechen</translation></message>
    <message><source>Importing holidays ...</source><translation>Feiertage werden importiert ...</translation></message>
    <message numerus="yes"><source>%n holidays imported.</source><translation><numerusform>%n Feiertag importiert.</numerusform><numerusform>%n Feiertage importiert.</numerusform></translation></message>
    <message numerus="yes"><source>Import cancelled: %1 of %n holidays imported.</source><translation><numerusform>Import abgebrochen: %1 von %n Feiertag importiert.</numerusform><numerusform>Import abgebrochen: %1 von %n Feiertagen importiert.</numerusform></translation></message>
    <message numerus="yes"><source>%1 of %n holidays imported.</source><translation><numerusform>%1 von %n Feiertag importiert.</numerusform><numerusform>%1 von %n Feiertagen importiert.</numerusform></translation></message>
    <message numerus="yes"><source>%n holidays skipped: they are dated before 1900 or after 2200, where no view shows them.</source><translation><numerusform>%n Feiertag übersprungen: sein Datum liegt vor 1900 oder nach 2200, wo keine Ansicht ihn zeigt.</numerusform><numerusform>%n Feiertage übersprungen: ihr Datum liegt vor 1900 oder nach 2200, wo keine Ansicht sie zeigt.</numerusform></translation></message>
    <message><source>%1 is not a text file: line %2 holds a control character. It cannot be imported.</source><translation>%1 ist keine Textdatei: Zeile %2 enthält ein Steuerzeichen. Sie kann nicht importiert werden.</translation></message>
    <message><source>%1 cannot be read: %2</source><translation>%1 kann nicht gelesen werden: %2</translation></message>
    <message><source>These sections appear more than once in the list; their holidays are imported together: %1</source><translation>Diese Rubriken stehen mehrmals in der Liste; ihre Feiertage werden zusammen importiert: %1</translation></message>
    <message><source> and %1 more</source><translation> und %1 weitere</translation></message>
    <message numerus="yes"><source>%1 of %n holidays could not be saved.</source><translation><numerusform>%1 von %n Feiertag konnte nicht gespeichert werden.</numerusform><numerusform>%1 von %n Feiertagen konnten nicht gespeichert werden.</numerusform></translation></message>
    <message><source>The data folder %1 cannot be reached.</source><translation>Der Datenordner %1 ist nicht erreichbar.</translation></message>
    <message><source>%1 is there but could not be read; it was left as it is.</source><translation>%1 ist vorhanden, konnte aber nicht gelesen werden; die Datei bleibt, wie sie ist.</translation></message>
    <message><source>%1 leads out of the data folder.</source><translation>%1 führt aus dem Datenordner hinaus.</translation></message>
    <message><source>Please ensure the accessibility of the datasource folder and check your privileges.</source><translation>Bitte prüfen Sie die Verfügbarkeit des Datenordners und Ihre Zugriffsrechte.</translation></message>
    <message><source>Holiday Definitions (*.TXT)</source><translation>Feiertage Datei (*.TXT)</translation></message>
    <message><source>Import holidays:</source><translation>Feiertage importieren:</translation></message>
</context>
<context>
    <name>form_performance</name>
    <message><source>Progress</source><translation>Fortschritt</translation></message>
    <message><source>Testing performance of folder...</source><translation>Performance des Verzeichniszugriffs wird überprüft...</translation></message>
    <message><source>Performancetest running ...</source><translation>Performanceprüfung läuft ...</translation></message>
    <message><source>Access to the selected folder is fast enough.</source><translation>Die Zugriffsgeschwindigkeit für das Verzeichnis ist ausreichend.</translation></message>
    <message><source>Access to the selected folder is rather slow.</source><translation>Die Zugriffsgeschwindigkeit für das Verzeichnis bedarf einer Verbesserung.</translation></message>
    <message><source>An error occured when accessing the folder.</source><translation>Beim Zugriff auf das Verzeichnis ist ein Fehler aufgetreten.</translation></message>
    <message><source>Result:</source><translation>Ergebnis:</translation></message>
    <message><source>The performance of the selected folder is ok. Norvane can use this folder. </source><translation>Die Zugriffsgeschwindigkeit für das gewählte Verzeichnis ist ausreichend. Norvane kann mit diesem Verzeichnis arbeiten. </translation></message>
    <message><source>The performance of the folder should be increased. Norvane will need more time to display days and weeks. Access speed to the selected folder should be increased.</source><translation>Die Zugriffsgeschwindigkeit für das gewählte Verzeichnis ist eher langsam. Norvane wird für den Aufbau von Tages- und vorallem Wochenansicht merklich Zeit benötigen.</translation></message>
    <message><source>To increase the access speed for this folder:</source><translation>Um die Geschwindigkeit zu erhöhen, haben Sie mehrere Möglichkeiten:</translation></message>
    <message><source>Network:</source><translation>Netzwerk:</translation></message>
    <message><source>If your network is rather slow, check your network-settings.</source><translation>Ist der Netzwerkzugriff generell langsam, überprüfen Sie die Netzwerkeinstellungen</translation></message>
    <message><source>Virus scanners:</source><translation>Virenscanner Programme:</translation></message>
    <message><source>When using virus-programs exclude the selected folder from virus-protection und exclude the files with extension *.NV3 from the scan process. These files are textfiles, they cannot be infected.</source><translation>Bei Verwendung eines Virenprogrammes, schließen Sie das Verzeichnis von der Virenprüfung aus und deaktivieren Sie die Virenprüfung für *.NV3 Dateien. Diese Dateien sind reine Textdateien und stellen kein Virenrisiko dar.</translation></message>
    <message><source>Windows XP:</source><translation>Windows XP:</translation></message>
    <message><source>When using Windows XP: Install the latest service pack for Windows XP to get rid of XP specific network problems.</source><translation>Bei Verwendung unter Windows XP: Installieren Sie den letzten ServicePack für XP, um die Netzwerkprobleme von Windows XP auszuschließen.</translation></message>
    <message><source>Your Norvane Team</source><translation>Ihr Norvane Team</translation></message>
</context>
</TS>
