<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>Rekoda</name>
    <message>
        <source>README.md in Rekoda&apos;s source</source>
        <translation>README.md im Quelltext von Rekoda</translation>
    </message>
    <message>
        <source>About Rekoda</source>
        <translation>Über Rekoda</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Rekoda %1&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Gives data-logger export files a new location code.&lt;/p&gt;&lt;p&gt;Copyright &amp;copy; 2026 the Rekoda developers.&lt;br&gt;Released under the MIT licence.&lt;/p&gt;&lt;p&gt;Built with Qt %2, running on Qt %3 (LGPL-3.0).&lt;/p&gt;&lt;p&gt;The README: %4&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Rekoda %1&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Gibt Exportdateien von Datenloggern einen neuen Standortcode.&lt;/p&gt;&lt;p&gt;Copyright &amp;copy; 2026 die Entwickler von Rekoda.&lt;br&gt;Veröffentlicht unter der MIT-Lizenz.&lt;/p&gt;&lt;p&gt;Erstellt mit Qt %2, läuft mit Qt %3 (LGPL-3.0).&lt;/p&gt;&lt;p&gt;Die README: %4&lt;/p&gt;</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>Der Ordner %1 existiert nicht.</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
    <message>
        <source>S&amp;kip these</source>
        <translation>Diese ü&amp;berspringen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Faild</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>not reached</source>
        <translation>nicht erreicht</translation>
    </message>
    <message>
        <source>Error on reading Minilogger File!</source>
        <translation>Fehler beim Lesen der Minilogger-Datei!</translation>
    </message>
    <message>
        <source>Error on reading Minilogger File! (%1)</source>
        <translation>Fehler beim Lesen der Minilogger-Datei! (%1)</translation>
    </message>
    <message>
        <source>file too large (more than %1 MiB)</source>
        <translation>Datei zu groß (mehr als %1 MiB)</translation>
    </message>
    <message>
        <source>cannot read: %1</source>
        <translation>kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>not a plain file</source>
        <translation>keine normale Datei</translation>
    </message>
    <message>
        <source>not a DF file (UTF-16 or UTF-32 text)</source>
        <translation>keine DF-Datei (UTF-16- oder UTF-32-Text)</translation>
    </message>
    <message>
        <source>not an MA file (UTF-16 or UTF-32 text)</source>
        <translation>keine MA-Datei (UTF-16- oder UTF-32-Text)</translation>
    </message>
    <message>
        <source>not a DF file (no MINI LOGGER or TREND MONITOR marker)</source>
        <translation>keine DF-Datei (keine Kennung MINI LOGGER oder TREND MONITOR)</translation>
    </message>
    <message>
        <source>not an MA file (no record has a location code field)</source>
        <translation>keine MA-Datei (kein Datensatz hat ein Feld für den Standortcode)</translation>
    </message>
    <message>
        <source>more than %1 lines</source>
        <translation>mehr als %1 Zeilen</translation>
    </message>
    <message>
        <source>more than %1 fields on line %2</source>
        <translation>mehr als %1 Felder in Zeile %2</translation>
    </message>
    <message>
        <source>the file changed while it was read</source>
        <translation>die Datei hat sich beim Lesen geändert</translation>
    </message>
    <message>
        <source>empty file (no lines)</source>
        <translation>leere Datei (keine Zeilen)</translation>
    </message>
    <message>
        <source>the file holds %1 lines, more than %2</source>
        <translation>die Datei hat %1 Zeilen, mehr als %2</translation>
    </message>
    <message>
        <source>row %1 has no valid field count (&quot;%2&quot;)</source>
        <translation>Zeile %1 hat keine gültige Feldanzahl („%2“)</translation>
    </message>
    <message>
        <source>name has no dot</source>
        <translation>Name hat keinen Punkt</translation>
    </message>
    <message>
        <source>not enough memory for this file</source>
        <translation>nicht genug Speicher für diese Datei</translation>
    </message>
    <message>
        <source>Destination file already exists!</source>
        <translation>Zieldatei existiert bereits!</translation>
    </message>
    <message>
        <source>cannot write to %1: %2</source>
        <translation>kann nicht in %1 schreiben: %2</translation>
    </message>
    <message>
        <source>not put in place: the run&apos;s journal cannot be written</source>
        <translation>nicht abgelegt: das Protokoll des Laufs kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>the file was not written</source>
        <translation>die Datei wurde nicht geschrieben</translation>
    </message>
    <message>
        <source>the file is in use by another program</source>
        <translation>die Datei wird von einem anderen Programm verwendet</translation>
    </message>
    <message>
        <source>another file took the name meanwhile and could not be given it back: it is now %1: %2</source>
        <translation>eine andere Datei hat inzwischen den Namen belegt und konnte ihn nicht zurückbekommen: sie heißt jetzt %1: %2</translation>
    </message>
    <message>
        <source>the earlier file cannot be moved to the trash: %1</source>
        <translation>die frühere Datei kann nicht in den Papierkorb: %1</translation>
    </message>
    <message>
        <source>the run&apos;s journal cannot record where the earlier file goes</source>
        <translation>das Protokoll des Laufs kann nicht festhalten, wohin die frühere Datei geht</translation>
    </message>
    <message>
        <source>Source datapath not found!</source>
        <translation>Quellordner nicht gefunden!</translation>
    </message>
    <message>
        <source>Destination datapath not found!</source>
        <translation>Zielordner nicht gefunden!</translation>
    </message>
    <message>
        <source>No new extension found!</source>
        <translation>Keine neue Extension angegeben!</translation>
    </message>
    <message>
        <source>Invalid new extension!</source>
        <translation>Ungültige neue Extension!</translation>
    </message>
    <message>
        <source>No rows found for conversion!</source>
        <translation>Keine Zeilen zum Umwandeln gefunden!</translation>
    </message>
    <message>
        <source>No rows select for conversion!</source>
        <translation>Keine Zeilen zum Umwandeln ausgewählt!</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be part of a file name</source>
        <translation>„%1“ darf nicht in einem Dateinamen stehen</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be part of a location code</source>
        <translation>„%1“ darf nicht in einem Standortcode stehen</translation>
    </message>
    <message>
        <source>a control character cannot be part of a file name</source>
        <translation>ein Steuerzeichen darf nicht in einem Dateinamen stehen</translation>
    </message>
    <message>
        <source>the code is only white space</source>
        <translation>der Code besteht nur aus Leerraum</translation>
    </message>
    <message>
        <source>a code cannot begin or end with a space</source>
        <translation>ein Code darf nicht mit einem Leerzeichen beginnen oder enden</translation>
    </message>
    <message>
        <source>a code cannot end with a dot</source>
        <translation>ein Code darf nicht auf einen Punkt enden</translation>
    </message>
    <message>
        <source>the files&apos; character set cannot hold this code</source>
        <translation>der Zeichensatz der Dateien kann diesen Code nicht darstellen</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %2 files failed.</source>
        <translation>
            <numerusform>%1 von %n Datei fehlgeschlagen.</numerusform>
            <numerusform>%1 von %n Dateien fehlgeschlagen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Stopped after %1 of %2 files; %3 failed.</source>
        <translation>
            <numerusform>Angehalten nach %1 von %n Datei; %3 fehlgeschlagen.</numerusform>
            <numerusform>Angehalten nach %1 von %n Dateien; %3 fehlgeschlagen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %2 files were skipped: they are in the destination folder already.</source>
        <translation>
            <numerusform>%1 von %n Datei übersprungen: sie ist schon im Zielordner.</numerusform>
            <numerusform>%1 von %n Dateien übersprungen: sie sind schon im Zielordner.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; stopped after %2 of %3 files.</source>
        <translation>
            <numerusform>%1; angehalten nach %2 von %n Datei.</numerusform>
            <numerusform>%1; angehalten nach %2 von %n Dateien.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The run&apos;s journal cannot be written: %1; the %2 files put in place before that can be undone</source>
        <translation>
            <numerusform>Das Protokoll des Laufs kann nicht geschrieben werden: %1; die %n Datei, die davor abgelegt wurde, kann rückgängig gemacht werden</numerusform>
            <numerusform>Das Protokoll des Laufs kann nicht geschrieben werden: %1; die %n Dateien, die davor abgelegt wurden, können rückgängig gemacht werden</numerusform>
        </translation>
    </message>
    <message>
        <source>The source folder %1 is no longer there</source>
        <translation>Der Quellordner %1 ist nicht mehr da</translation>
    </message>
    <message>
        <source>The destination folder %1 is no longer there</source>
        <translation>Der Zielordner %1 ist nicht mehr da</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>Undo the run of %1 that wrote %2 %3 files with code %4 to %5?</source>
        <translation>
            <numerusform>Den Lauf von %1 rückgängig machen, der %n %3-Datei mit Code %4 nach %5 geschrieben hat?</numerusform>
            <numerusform>Den Lauf von %1 rückgängig machen, der %n %3-Dateien mit Code %4 nach %5 geschrieben hat?</numerusform>
        </translation>
    </message>
    <message>
        <source>The run&apos;s journal cannot be marked undone: %1</source>
        <translation>Das Protokoll des Laufs kann nicht als rückgängig gemacht markiert werden: %1</translation>
    </message>
    <message>
        <source>kept: its source %1 is no longer there</source>
        <translation>behalten: die Quelle %1 ist nicht mehr da</translation>
    </message>
    <message>
        <source>kept: its source %1 has changed since the run</source>
        <translation>behalten: die Quelle %1 wurde seit dem Lauf geändert</translation>
    </message>
    <message>
        <source>kept: changed since the run</source>
        <translation>behalten: seit dem Lauf geändert</translation>
    </message>
    <message>
        <source>kept: it cannot be read: %1</source>
        <translation>behalten: sie kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>kept: the file it replaced cannot come back (it was replaced without a trash)</source>
        <translation>behalten: die ersetzte Datei kann nicht zurückkommen (sie wurde ohne Papierkorb ersetzt)</translation>
    </message>
    <message>
        <source>kept: the file it replaced cannot come back (it is no longer in the trash)</source>
        <translation>behalten: die ersetzte Datei kann nicht zurückkommen (sie ist nicht mehr im Papierkorb)</translation>
    </message>
    <message>
        <source>cannot be removed: %1</source>
        <translation>kann nicht entfernt werden: %1</translation>
    </message>
    <message>
        <source>%1 (the file it replaced stays in the trash: %2)</source>
        <translation>%1 (die ersetzte Datei bleibt im Papierkorb: %2)</translation>
    </message>
    <message>
        <source>the file it replaced cannot come back from the trash (%1): %2</source>
        <translation>die ersetzte Datei kann nicht aus dem Papierkorb zurückkommen (%1): %2</translation>
    </message>
    <message>
        <source>it is no longer in the trash</source>
        <translation>sie ist nicht mehr im Papierkorb</translation>
    </message>
    <message>
        <source>its name is taken</source>
        <translation>der Name ist vergeben</translation>
    </message>
    <message>
        <source>Folder already exists</source>
        <translation>Ordner existiert bereits</translation>
    </message>
    <message>
        <source>its journal cannot be written: %1</source>
        <translation>das Protokoll kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>cannot make the folder %1</source>
        <translation>kann den Ordner %1 nicht anlegen</translation>
    </message>
    <message>
        <source>it is closed</source>
        <translation>es ist geschlossen</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Source folder</source>
        <translation>Quellordner</translation>
    </message>
    <message>
        <source>Destination folder</source>
        <translation>Zielordner</translation>
    </message>
    <message>
        <source>Family</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>DF files</source>
        <translation>DF-Dateien</translation>
    </message>
    <message>
        <source>MA files</source>
        <translation>MA-Dateien</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>New name</source>
        <translation>Neuer Name</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>Replaced</source>
        <translation>Ersetzt</translation>
    </message>
    <message>
        <source>the older file is in the trash: %1</source>
        <translation>die ältere Datei ist im Papierkorb: %1</translation>
    </message>
    <message>
        <source>the older file is gone (no trash)</source>
        <translation>die ältere Datei ist weg (kein Papierkorb)</translation>
    </message>
    <message>
        <source>another run holds the folder %1</source>
        <translation>ein anderer Lauf hält den Ordner %1</translation>
    </message>
    <message>
        <source>another file took its name meanwhile and is now in the trash: %1: %2</source>
        <translation>eine andere Datei nahm inzwischen den Namen und liegt nun im Papierkorb: %1: %2</translation>
    </message>
    <message>
        <source>it is back, but what took its place stays in the trash: %1</source>
        <translation>sie ist zurück, aber was ihren Platz einnahm, bleibt im Papierkorb: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n codes: %1</source>
        <translation>
            <numerusform>%n Code: %1</numerusform>
            <numerusform>%n Codes: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>the folder cannot be synced: %1; the file is in place under its name, not known to be on disk</source>
        <translation>der Ordner lässt sich nicht synchronisieren: %1; die Datei steht unter ihrem Namen, ist aber nicht sicher auf dem Datenträger</translation>
    </message>
    <message>
        <source>%1 (the earlier file is back at its name)</source>
        <translation>%1 (die frühere Datei steht wieder unter ihrem Namen)</translation>
    </message>
    <message>
        <source>%1 (the earlier file stays in the trash: %2: %3)</source>
        <translation>%1 (die frühere Datei bleibt im Papierkorb: %2: %3)</translation>
    </message>
    <message>
        <source>The run cannot begin: %1</source>
        <translation>Der Lauf kann nicht beginnen: %1</translation>
    </message>
    <message>
        <source>the file it replaced is back from the trash</source>
        <translation>die ersetzte Datei ist aus dem Papierkorb zurück</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>nicht gefunden</translation>
    </message>
    <message>
        <source>removed from the trash</source>
        <translation>aus dem Papierkorb entfernt</translation>
    </message>
    <message>
        <source>not found; the file it replaced stays in the trash, its name is taken: %1</source>
        <translation>nicht gefunden; die ersetzte Datei bleibt im Papierkorb, ihr Name ist vergeben: %1</translation>
    </message>
    <message>
        <source>another run wrote over it since: the file it replaced takes its place in the trash (%1), for that run&apos;s undo to bring back</source>
        <translation>ein anderer Lauf hat sie seither überschrieben: die ersetzte Datei nimmt ihren Platz im Papierkorb ein (%1), damit das Rückgängigmachen jenes Laufs sie zurückholt</translation>
    </message>
    <message>
        <source>cannot take its place in the trash (%1): %2</source>
        <translation>kann ihren Platz im Papierkorb nicht einnehmen (%1): %2</translation>
    </message>
    <message>
        <source>not known to be on disk: %1</source>
        <translation>nicht sicher auf dem Datenträger: %1</translation>
    </message>
    <message>
        <source>The run of %1 is still going: nothing was undone</source>
        <translation>Der Lauf von %1 läuft noch: nichts wurde rückgängig gemacht</translation>
    </message>
    <message>
        <source>An undo of the run of %1 is going: nothing was done</source>
        <translation>Der Lauf von %1 wird bereits rückgängig gemacht: nichts wurde getan</translation>
    </message>
    <message>
        <source>The folder %1 that the run of %2 wrote into is not there: nothing was undone</source>
        <translation>Der Ordner %1, in den der Lauf von %2 schrieb, ist nicht da: nichts wurde rückgängig gemacht</translation>
    </message>
    <message>
        <source>%1 is not the folder the run of %2 wrote into (moved or replaced): nothing was undone</source>
        <translation>%1 ist nicht der Ordner, in den der Lauf von %2 schrieb (verschoben oder ersetzt): nichts wurde rückgängig gemacht</translation>
    </message>
    <message>
        <source>The run&apos;s journal cannot be written: %1; nothing was undone</source>
        <translation>Das Protokoll des Laufs lässt sich nicht schreiben: %1; nichts wurde rückgängig gemacht</translation>
    </message>
    <message>
        <source>cannot undo in %1: %2</source>
        <translation>kann in %1 nicht rückgängig machen: %2</translation>
    </message>
    <message>
        <source>The run&apos;s journal cannot be read: %1</source>
        <translation>Das Protokoll des Laufs lässt sich nicht lesen: %1</translation>
    </message>
    <message>
        <source>The run&apos;s journal cannot be written: %1</source>
        <translation>Das Protokoll des Laufs lässt sich nicht schreiben: %1</translation>
    </message>
    <message>
        <source>the run of %1 (%2 files, code %3, into %4)</source>
        <translation>der Lauf von %1 (%2-Dateien, Code %3, nach %4)</translation>
    </message>
    <message>
        <source>%1 removed</source>
        <translation>%1 entfernt</translation>
    </message>
    <message>
        <source>%1 brought back from the trash</source>
        <translation>%1 aus dem Papierkorb zurückgeholt</translation>
    </message>
    <message>
        <source>%1 not found</source>
        <translation>%1 nicht gefunden</translation>
    </message>
    <message>
        <source>%1 kept</source>
        <translation>%1 behalten</translation>
    </message>
    <message>
        <source>%1 Faild</source>
        <translation>%1 fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1.</translation>
    </message>
    <message numerus="yes">
        <source>The undo of %1 stopped after %2 of %3 files: %4.</source>
        <translation>
            <numerusform>Das Rückgängigmachen von %1 hielt nach %2 von %n Datei an: %4.</numerusform>
            <numerusform>Das Rückgängigmachen von %1 hielt nach %2 von %n Dateien an: %4.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 is partly undone: %2.</source>
        <translation>%1 ist teilweise rückgängig gemacht: %2.</translation>
    </message>
    <message>
        <source>%1 is undone: %2.</source>
        <translation>%1 ist rückgängig gemacht: %2.</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <extracomment>a question&apos;s Cancel button; its letter differs from the other buttons&apos;</extracomment>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>a quote is not closed</source>
        <translation>ein Anführungszeichen ist nicht geschlossen</translation>
    </message>
    <message>
        <source>no code for &quot;%1&quot;</source>
        <translation>kein Code für &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 cannot be a code: %2</source>
        <translation>%1 kann kein Code sein: %2</translation>
    </message>
    <message>
        <source>%1 is given twice (first as &quot;%2&quot;)</source>
        <translation>%1 steht zweimal darin (zuerst als &quot;%2&quot;)</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be part of a folder&apos;s name: Windows keeps it for a device</source>
        <translation>&apos;%1&apos; kann nicht Teil des Namens eines Ordners sein: Windows hält ihn für ein Gerät frei</translation>
    </message>
</context>
<context>
    <name>ReportBox</name>
    <message>
        <source>Save report</source>
        <translation>Bericht speichern</translation>
    </message>
    <message>
        <source>Save the report &amp;as:</source>
        <translation>Bericht speichern &amp;unter:</translation>
    </message>
    <message>
        <source>Report file</source>
        <translation>Berichtsdatei</translation>
    </message>
    <message>
        <source>&amp;Browse…</source>
        <translation>&amp;Durchsuchen…</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>CSV-Dateien (*.csv);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>%1 already exists. Replace it?</source>
        <translation>%1 existiert bereits. Ersetzen?</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
</context>
<context>
    <name>rekoda::DirTree</name>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
</context>
<context>
    <name>rekoda::FileListModel</name>
    <message>
        <source>A file of this name is in the destination folder and will be replaced (an earlier output; never another original of the source folder).</source>
        <translation>Eine Datei dieses Namens ist im Zielordner und wird ersetzt (eine frühere Ausgabe; nie ein anderes Original des Quellordners).</translation>
    </message>
    <message>
        <source>will be replaced</source>
        <translation>wird ersetzt</translation>
    </message>
    <message>
        <source>%1, will be replaced</source>
        <translation>%1, wird ersetzt</translation>
    </message>
    <message>
        <source>Filename</source>
        <extracomment>column header: the file&apos;s name as it is now</extracomment>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>Result</source>
        <extracomment>column header: OK or Faild after a run</extracomment>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>New name</source>
        <extracomment>column header: the name the file gets</extracomment>
        <translation>Neuer Name</translation>
    </message>
    <message>
        <source>Reason</source>
        <extracomment>column header: why a file failed</extracomment>
        <translation>Grund</translation>
    </message>
    <message>
        <source>Code</source>
        <extracomment>column header: the location code the file carries now</extracomment>
        <translation>Code</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>rekoda::FileListView</name>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Click a column, or press Ctrl+1 to Ctrl+5, to sort by it</source>
        <translation>Klicken Sie auf eine Spalte oder drücken Sie Strg+1 bis Strg+5, um danach zu sortieren</translation>
    </message>
</context>
<context>
    <name>rekoda::FrmDirlist</name>
    <message>
        <source>Dirlist</source>
        <extracomment>the folder picker&apos;s title</extracomment>
        <translation>Ordnerliste</translation>
    </message>
    <message>
        <source>Chosen folder</source>
        <translation>Gewählter Ordner</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Laufwerk</translation>
    </message>
    <message>
        <source>&amp;Drive:</source>
        <translation>&amp;Laufwerk:</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>New folder name</source>
        <translation>Name des neuen Ordners</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <extracomment>button: returns the highlighted folder</extracomment>
        <translation>&amp;Auswählen</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <extracomment>button: makes a new folder</extracomment>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <extracomment>button: makes the folder whose name was typed</extracomment>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>rekoda::FrmRekoda</name>
    <message numerus="yes">
        <source>Stopped after %1 of %n files: %2 converted</source>
        <translation>
            <numerusform>Angehalten nach %1 von %n Datei: %2 umgewandelt</numerusform>
            <numerusform>Angehalten nach %1 von %n Dateien: %2 umgewandelt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n converted</source>
        <translation>
            <numerusform>%1 von %n umgewandelt</numerusform>
            <numerusform>%1 von %n umgewandelt</numerusform>
        </translation>
    </message>
    <message>
        <source>, %1 failed</source>
        <translation>, %1 fehlgeschlagen</translation>
    </message>
    <message>
        <source>, %1 skipped</source>
        <translation>, %1 übersprungen</translation>
    </message>
    <message>
        <source>Change Extension       Omberlin</source>
        <extracomment>window title; Omberlin is a name and stays</extracomment>
        <translation>Extension ändern       Omberlin</translation>
    </message>
    <message>
        <source>Select so&amp;urce path:</source>
        <translation>&amp;Quellordner wählen:</translation>
    </message>
    <message>
        <source>Select dest&amp;ination path:</source>
        <translation>&amp;Zielordner wählen:</translation>
    </message>
    <message>
        <source>Source folder</source>
        <translation>Quellordner</translation>
    </message>
    <message>
        <source>Destination folder</source>
        <translation>Zielordner</translation>
    </message>
    <message>
        <source>Choose source folder</source>
        <translation>Quellordner wählen</translation>
    </message>
    <message>
        <source>Choose destination folder</source>
        <translation>Zielordner wählen</translation>
    </message>
    <message>
        <source>&amp;DF files</source>
        <translation>&amp;DF-Dateien</translation>
    </message>
    <message>
        <source>&amp;MA files</source>
        <translation>&amp;MA-Dateien</translation>
    </message>
    <message>
        <source>New e&amp;xtension/locationcode:</source>
        <translation>Neue E&amp;xtension/Standortcode:</translation>
    </message>
    <message>
        <source>New extension/location code</source>
        <translation>Neue Extension/Standortcode</translation>
    </message>
    <message>
        <source>Note!!    Before click start, select the rows on the list above!</source>
        <translation>Achtung!!    Vor dem Klick auf Start die Zeilen in der Liste oben auswählen!</translation>
    </message>
    <message>
        <source>Save re&amp;port…</source>
        <translation>&amp;Bericht speichern…</translation>
    </message>
    <message>
        <source>Save what the last run did as a CSV file for a spreadsheet</source>
        <translation>Speichert, was der letzte Lauf getan hat, als CSV-Datei für eine Tabellenkalkulation</translation>
    </message>
    <message>
        <source>&amp;Open destination folder</source>
        <translation>Zielordner ö&amp;ffnen</translation>
    </message>
    <message>
        <source>Undo &amp;last run</source>
        <translation>&amp;Letzten Lauf rückgängig machen</translation>
    </message>
    <message>
        <source>Remove what the last run wrote and bring back what it replaced (Ctrl+Z)</source>
        <translation>Entfernt, was der letzte Lauf geschrieben hat, und holt zurück, was er ersetzt hat (Strg+Z)</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>&amp;Alle auswählen</translation>
    </message>
    <message>
        <source>Select &amp;None</source>
        <translation>&amp;Keine auswählen</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <extracomment>button: begins the conversion</extracomment>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <extracomment>button: ends a run after the files in hand</extracomment>
        <translation>S&amp;topp</translation>
    </message>
    <message>
        <source>Stop after the files in hand (Esc)</source>
        <translation>Anhalten nach den Dateien in Arbeit (Esc)</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <extracomment>button: closes the window</extracomment>
        <translation>Schl&amp;ießen</translation>
    </message>
    <message>
        <source>About Rekoda (F1)</source>
        <translation>Über Rekoda (F1)</translation>
    </message>
    <message>
        <source>About Rekoda</source>
        <translation>Über Rekoda</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n selected</source>
        <translation>
            <numerusform>%1 von %n ausgewählt</numerusform>
            <numerusform>%1 von %n ausgewählt</numerusform>
        </translation>
    </message>
    <message>
        <source> (codes %1)</source>
        <translation> (Codes %1)</translation>
    </message>
    <message>
        <source>The report cannot be saved as %1: %2</source>
        <translation>Der Bericht kann nicht als %1 gespeichert werden: %2</translation>
    </message>
    <message>
        <source>No program on this desktop opens folders; the destination folder is %1</source>
        <translation>Kein Programm auf diesem Desktop öffnet Ordner; der Zielordner ist %1</translation>
    </message>
    <message>
        <source>The folder %1 cannot be listed: %2</source>
        <translation>Der Inhalt des Ordners %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Choose the source folder</source>
        <translation>Wählen Sie den Quellordner</translation>
    </message>
    <message>
        <source>Choose the destination folder</source>
        <translation>Wählen Sie den Zielordner</translation>
    </message>
    <message>
        <source>This run cannot be undone: %1.</source>
        <translation>Dieser Lauf kann nicht rückgängig gemacht werden: %1.</translation>
    </message>
    <message>
        <source>Show the destination folder in the desktop&apos;s file manager</source>
        <translation>Den Zielordner in der Dateiverwaltung des Desktops zeigen</translation>
    </message>
    <message>
        <source>Select every file of the list (Ctrl+A in the list)</source>
        <translation>Alle Dateien der Liste auswählen (Strg+A in der Liste)</translation>
    </message>
    <message>
        <source>Select no file</source>
        <translation>Keine Datei auswählen</translation>
    </message>
    <message>
        <source>Convert the selected files with the new code into the destination folder</source>
        <translation>Die ausgewählten Dateien mit dem neuen Code in den Zielordner umwandeln</translation>
    </message>
    <message>
        <source>Close Rekoda; a run stops after the files in hand first</source>
        <translation>Rekoda schließen; ein laufender Lauf endet zuvor nach den Dateien in Arbeit</translation>
    </message>
    <message>
        <source>the remembered destination %1 is not there (a stick not plugged in?)</source>
        <translation>der gemerkte Zielordner %1 ist nicht da (ein Stick nicht eingesteckt?)</translation>
    </message>
    <message>
        <source>the remembered source %1 is not there (a stick not plugged in?)</source>
        <translation>der gemerkte Quellordner %1 ist nicht da (ein Stick nicht eingesteckt?)</translation>
    </message>
</context>
<context>
    <name>rekoda::KnownLocations</name>
    <message>
        <source>Locations…</source>
        <translation>Standorte…</translation>
    </message>
    <message>
        <source>The codes your team works with and the places they name (Ctrl+L)</source>
        <translation>Die Codes, mit denen Ihr Team arbeitet, und die Orte, die sie bezeichnen (Strg+L)</translation>
    </message>
    <message>
        <source>Location: %1</source>
        <extracomment>the code box&apos;s hint: the place the typed code names</extracomment>
        <translation>Standort: %1</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <extracomment>a code offered in the code box, with the place it names</extracomment>
        <translation>%1 — %2</translation>
    </message>
</context>
<context>
    <name>rekoda::LocationsDialog</name>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>CSV-Dateien (*.csv);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Known locations</source>
        <translation>Bekannte Standorte</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Standort</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;Import…</source>
        <translation>&amp;Importieren…</translation>
    </message>
    <message>
        <source>Take the locations of a CSV file (code, location a row) in place of these</source>
        <translation>Die Standorte einer CSV-Datei (je Zeile Code und Standort) statt dieser übernehmen</translation>
    </message>
    <message>
        <source>&amp;Export…</source>
        <translation>E&amp;xportieren…</translation>
    </message>
    <message>
        <source>Save these locations as a CSV file to share</source>
        <translation>Diese Standorte als CSV-Datei zum Weitergeben speichern</translation>
    </message>
    <message>
        <source>Row %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>These rows cannot be saved:
%1</source>
        <translation>Diese Zeilen können nicht gespeichert werden:
%1</translation>
    </message>
    <message>
        <source>The locations cannot be saved in %1: %2</source>
        <translation>Die Standorte können nicht in %1 gespeichert werden: %2</translation>
    </message>
    <message>
        <source>Import locations</source>
        <translation>Standorte importieren</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>%1: these rows were not taken:
%2</source>
        <translation>%1: diese Zeilen wurden nicht übernommen:
%2</translation>
    </message>
    <message>
        <source>Export locations</source>
        <translation>Standorte exportieren</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
</context>
<context>
    <name>rekoda::WindowRun</name>
    <message>
        <source>1 file already exists in the destination folder and will be replaced.</source>
        <translation>1 Datei ist schon im Zielordner und wird ersetzt.</translation>
    </message>
    <message>
        <source>%1 files already exist in the destination folder and will be replaced.</source>
        <translation>%1 Dateien sind schon im Zielordner und werden ersetzt.</translation>
    </message>
    <message>
        <source>Each file replaced goes to the trash first, from where it can be restored.</source>
        <translation>Jede ersetzte Datei kommt zuerst in den Papierkorb, aus dem sie wiederhergestellt werden kann.</translation>
    </message>
    <message>
        <source>This volume has no trash: the files replaced cannot be restored.</source>
        <translation>Dieses Laufwerk hat keinen Papierkorb: die ersetzten Dateien können nicht wiederhergestellt werden.</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 Datei</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 Dateien</translation>
    </message>
    <message>
        <source>The selected files carry %1 codes: %2. Convert them all to %3?</source>
        <translation>Die ausgewählten Dateien tragen %1 Codes: %2. Alle in %3 umwandeln?</translation>
    </message>
    <message>
        <source>This run cannot be undone: %1.

Run anyway?</source>
        <translation>Dieser Lauf kann nicht rückgängig gemacht werden: %1.

Trotzdem ausführen?</translation>
    </message>
    <message>
        <source>&amp;Run anyway</source>
        <translation>&amp;Trotzdem ausführen</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig machen</translation>
    </message>
    <message>
        <source>The run of %1 is still going: it cannot be undone until it ends.</source>
        <translation>Der Lauf von %1 läuft noch: er kann erst nach seinem Ende rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>Con&amp;vert</source>
        <translation>&amp;Umwandeln</translation>
    </message>
    <message>
        <source>%1 is not your one known location.</source>
        <translation>%1 ist nicht Ihr einziger bekannter Standort.</translation>
    </message>
    <message>
        <source>%1 is not one of your %2 known locations.</source>
        <translation>%1 ist keiner Ihrer %2 bekannten Standorte.</translation>
    </message>
    <message>
        <source>Convert the selected file to %1 anyway?</source>
        <translation>Die ausgewählte Datei trotzdem in %1 umwandeln?</translation>
    </message>
    <message>
        <source>Convert the %1 selected files to %2 anyway?</source>
        <translation>Die %1 ausgewählten Dateien trotzdem in %2 umwandeln?</translation>
    </message>
</context>
</TS>
