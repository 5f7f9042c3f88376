<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>PrintJob</name>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>form_print</name>
    <message>
        <source>Norvane4 Print</source>
        <translation>Norvane4 Druck</translation>
    </message>
    <message>
        <source>Norvane4 Export as PDF</source>
        <translation>Norvane4 Als PDF exportieren</translation>
    </message>
    <message>
        <source>Dayprint</source>
        <translation>Tagesdruck</translation>
    </message>
    <message>
        <source>Weekprint</source>
        <translation>Wochendruck</translation>
    </message>
    <message>
        <source>Planner</source>
        <translation>Planer</translation>
    </message>
    <message>
        <source>Print Dayview</source>
        <translation>Tagesansicht drucken</translation>
    </message>
    <message>
        <source>Print Weekview</source>
        <translation>Wochenansicht drucken</translation>
    </message>
    <message>
        <source>Print month planner</source>
        <translation>Monatsplaner drucken</translation>
    </message>
    <message>
        <source>Recommended: Portrait</source>
        <translation>Empfohlen: Hochformat</translation>
    </message>
    <message>
        <source>Recommended: Landscape</source>
        <translation>Empfohlen: Querformat</translation>
    </message>
    <message>
        <source>display 2 months (incl. next month)</source>
        <translation>2 Monate darstellen (inkl. Folgemonat)</translation>
    </message>
    <message>
        <source>Print the view of the actually displayed day: </source>
        <translation>Drucken Sie die Ansicht des aktuell dargestellten Tages: </translation>
    </message>
    <message>
        <source>Print the view of the actually displayed week: </source>
        <translation>Drucken Sie die Ansicht der aktuell dargestellten Woche: </translation>
    </message>
    <message>
        <source>Print an empty month planner for your project management.</source>
        <translation>Drucken Sie einen leeren Monatsraster für Ihre Projektplanung.</translation>
    </message>
    <message>
        <source>Please select the date for your planner:</source>
        <translation>Bitte wählen Sie Jahr und Monat für den Druck:</translation>
    </message>
    <message>
        <source>Print ...</source>
        <translation>Drucken ...</translation>
    </message>
    <message>
        <source>Export ...</source>
        <translation>Exportieren ...</translation>
    </message>
    <message>
        <source>Preview...</source>
        <translation>Vorschau...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>You have selected paper orientation Landscape.</source>
        <translation>Sie haben Querformat gewählt.</translation>
    </message>
    <message>
        <source>This is not recommended when printing the day print.</source>
        <translation>Das ist für den Ausdruck des Tages nicht optimal.</translation>
    </message>
    <message>
        <source>Change to orientation Portrait?</source>
        <translation>Auf Hochformat wechseln?</translation>
    </message>
    <message>
        <source>You have selected paper orientation Portrait.</source>
        <translation>Sie haben Hochformat gewählt.</translation>
    </message>
    <message>
        <source>This is not recommended when printing the planner.</source>
        <translation>Das ist für den Ausdruck des Planers nicht optimal.</translation>
    </message>
    <message>
        <source>This is not recommended when printing the week print.</source>
        <translation>Das ist für den Ausdruck der Woche nicht optimal.</translation>
    </message>
    <message>
        <source>This is not recommended when printing the month.</source>
        <translation>Das ist für den Ausdruck des Monats nicht optimal.</translation>
    </message>
    <message>
        <source>print the month with its appointments</source>
        <translation>den Monat mit seinen Terminen drucken</translation>
    </message>
    <message>
        <source>Change to orientation Landscape?</source>
        <translation>Auf Querformat wechseln?</translation>
    </message>
    <message>
        <source>Printer Settings</source>
        <translation>Druckereinstellung</translation>
    </message>
    <message>
        <source>There is no printer installed.</source>
        <translation>Sie haben keinen Drucker installiert.</translation>
    </message>
    <message>
        <source>The printout could not be printed on %1.</source>
        <translation>Der Ausdruck konnte auf %1 nicht gedruckt werden.</translation>
    </message>
    <message>
        <source>The PDF file could not be written:</source>
        <translation>Die PDF-Datei konnte nicht geschrieben werden:</translation>
    </message>
    <message>
        <source>PDF documents</source>
        <translation>PDF-Dokumente</translation>
    </message>
    <message>
        <source>Export as PDF</source>
        <translation>Als PDF exportieren</translation>
    </message>
    <message>
        <source>Appointment list</source>
        <translation>Terminliste</translation>
    </message>
    <message>
        <source>Print appointment list</source>
        <translation>Terminliste drucken</translation>
    </message>
    <message>
        <source>Print the appointments of the days from the first to the last date as a list:</source>
        <translation>Die Termine der Tage vom ersten bis zum letzten Datum als Liste drucken:</translation>
    </message>
    <message>
        <source>This is not recommended when printing the list.</source>
        <translation>Das ist für den Ausdruck der Terminliste nicht optimal.</translation>
    </message>
    <message>
        <source>First day of the list</source>
        <translation>Erster Tag der Liste</translation>
    </message>
    <message>
        <source>Last day of the list</source>
        <translation>Letzter Tag der Liste</translation>
    </message>
    <message>
        <source>one lane per person, side by side</source>
        <translation>eine Spalte je Person, nebeneinander</translation>
    </message>
    <message>
        <source>a row per person, a column per day</source>
        <translation>eine Zeile je Person, eine Spalte je Tag</translation>
    </message>
    <message>
        <source>This is not recommended when printing by person.</source>
        <translation>Das ist für den Ausdruck nach Personen nicht optimal.</translation>
    </message>
</context>
</TS>
