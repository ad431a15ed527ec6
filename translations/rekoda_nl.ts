<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="nl">
<context>
    <name>Rekoda</name>
    <message>
        <source>README.md in Rekoda&apos;s source</source>
        <translation>README.md in de broncode van Rekoda</translation>
    </message>
    <message>
        <source>About Rekoda</source>
        <translation>Over Rekoda</translation>
    </message>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Rekoda %1&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Gives data-logger export files a new location code.&lt;/p&gt;&lt;p&gt;Copyright &amp;copy; 2026 the Rekoda developers.&lt;br&gt;Released under the MIT licence.&lt;/p&gt;&lt;p&gt;Built with Qt %2, running on Qt %3 (LGPL-3.0).&lt;/p&gt;&lt;p&gt;The README: %4&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Rekoda %1&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Geeft exportbestanden van dataloggers een nieuwe locatiecode.&lt;/p&gt;&lt;p&gt;Copyright &amp;copy; 2026 de ontwikkelaars van Rekoda.&lt;br&gt;Uitgegeven onder de MIT-licentie.&lt;/p&gt;&lt;p&gt;Gebouwd met Qt %2, draait op Qt %3 (LGPL-3.0).&lt;/p&gt;&lt;p&gt;De README: %4&lt;/p&gt;</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.</source>
        <translation>De map %1 bestaat niet.</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Vervangen</translation>
    </message>
    <message>
        <source>S&amp;kip these</source>
        <translation>Deze &amp;overslaan</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Faild</source>
        <translation>Mislukt</translation>
    </message>
    <message>
        <source>not reached</source>
        <translation>niet bereikt</translation>
    </message>
    <message>
        <source>Error on reading Minilogger File!</source>
        <translation>Fout bij het lezen van het Minilogger-bestand!</translation>
    </message>
    <message>
        <source>Error on reading Minilogger File! (%1)</source>
        <translation>Fout bij het lezen van het Minilogger-bestand! (%1)</translation>
    </message>
    <message>
        <source>file too large (more than %1 MiB)</source>
        <translation>bestand te groot (meer dan %1 MiB)</translation>
    </message>
    <message>
        <source>cannot read: %1</source>
        <translation>kan niet lezen: %1</translation>
    </message>
    <message>
        <source>not a plain file</source>
        <translation>geen gewoon bestand</translation>
    </message>
    <message>
        <source>not a DF file (UTF-16 or UTF-32 text)</source>
        <translation>geen DF-bestand (UTF-16- of UTF-32-tekst)</translation>
    </message>
    <message>
        <source>not an MA file (UTF-16 or UTF-32 text)</source>
        <translation>geen MA-bestand (UTF-16- of UTF-32-tekst)</translation>
    </message>
    <message>
        <source>not a DF file (no MINI LOGGER or TREND MONITOR marker)</source>
        <translation>geen DF-bestand (geen kenmerk MINI LOGGER of TREND MONITOR)</translation>
    </message>
    <message>
        <source>not an MA file (no record has a location code field)</source>
        <translation>geen MA-bestand (geen record heeft een veld voor de locatiecode)</translation>
    </message>
    <message>
        <source>more than %1 lines</source>
        <translation>meer dan %1 regels</translation>
    </message>
    <message>
        <source>more than %1 fields on line %2</source>
        <translation>meer dan %1 velden op regel %2</translation>
    </message>
    <message>
        <source>the file changed while it was read</source>
        <translation>het bestand veranderde tijdens het lezen</translation>
    </message>
    <message>
        <source>empty file (no lines)</source>
        <translation>leeg bestand (geen regels)</translation>
    </message>
    <message>
        <source>the file holds %1 lines, more than %2</source>
        <translation>het bestand heeft %1 regels, meer dan %2</translation>
    </message>
    <message>
        <source>row %1 has no valid field count (&quot;%2&quot;)</source>
        <translation>regel %1 heeft geen geldig aantal velden (&quot;%2&quot;)</translation>
    </message>
    <message>
        <source>name has no dot</source>
        <translation>naam heeft geen punt</translation>
    </message>
    <message>
        <source>not enough memory for this file</source>
        <translation>niet genoeg geheugen voor dit bestand</translation>
    </message>
    <message>
        <source>Destination file already exists!</source>
        <translation>Doelbestand bestaat al!</translation>
    </message>
    <message>
        <source>cannot write to %1: %2</source>
        <translation>kan niet schrijven naar %1: %2</translation>
    </message>
    <message>
        <source>not put in place: the run&apos;s journal cannot be written</source>
        <translation>niet geplaatst: het logboek van de run kan niet worden geschreven</translation>
    </message>
    <message>
        <source>the file was not written</source>
        <translation>het bestand is niet geschreven</translation>
    </message>
    <message>
        <source>the file is in use by another program</source>
        <translation>het bestand is in gebruik door een ander programma</translation>
    </message>
    <message>
        <source>another file took the name meanwhile and could not be given it back: it is now %1: %2</source>
        <translation>een ander bestand nam intussen de naam en kon die niet terugkrijgen: het heet nu %1: %2</translation>
    </message>
    <message>
        <source>the earlier file cannot be moved to the trash: %1</source>
        <translation>het eerdere bestand kan niet naar de prullenbak: %1</translation>
    </message>
    <message>
        <source>the run&apos;s journal cannot record where the earlier file goes</source>
        <translation>het logboek van de run kan niet vastleggen waar het eerdere bestand heen gaat</translation>
    </message>
    <message>
        <source>Source datapath not found!</source>
        <translation>Bronmap niet gevonden!</translation>
    </message>
    <message>
        <source>Destination datapath not found!</source>
        <translation>Doelmap niet gevonden!</translation>
    </message>
    <message>
        <source>No new extension found!</source>
        <translation>Geen nieuwe extensie opgegeven!</translation>
    </message>
    <message>
        <source>Invalid new extension!</source>
        <translation>Ongeldige nieuwe extensie!</translation>
    </message>
    <message>
        <source>No rows found for conversion!</source>
        <translation>Geen regels gevonden om te converteren!</translation>
    </message>
    <message>
        <source>No rows select for conversion!</source>
        <translation>Geen regels geselecteerd om te converteren!</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be part of a file name</source>
        <translation>&apos;%1&apos; kan geen deel zijn van een bestandsnaam</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be part of a location code</source>
        <translation>&apos;%1&apos; kan geen deel zijn van een locatiecode</translation>
    </message>
    <message>
        <source>a control character cannot be part of a file name</source>
        <translation>een stuurteken kan geen deel zijn van een bestandsnaam</translation>
    </message>
    <message>
        <source>the code is only white space</source>
        <translation>de code bestaat alleen uit witruimte</translation>
    </message>
    <message>
        <source>a code cannot begin or end with a space</source>
        <translation>een code kan niet met een spatie beginnen of eindigen</translation>
    </message>
    <message>
        <source>a code cannot end with a dot</source>
        <translation>een code kan niet op een punt eindigen</translation>
    </message>
    <message>
        <source>the files&apos; character set cannot hold this code</source>
        <translation>de tekenset van de bestanden kan deze code niet bevatten</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %2 files failed.</source>
        <translation>
            <numerusform>%1 van %n bestand mislukt.</numerusform>
            <numerusform>%1 van %n bestanden mislukt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Stopped after %1 of %2 files; %3 failed.</source>
        <translation>
            <numerusform>Gestopt na %1 van %n bestand; %3 mislukt.</numerusform>
            <numerusform>Gestopt na %1 van %n bestanden; %3 mislukt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %2 files were skipped: they are in the destination folder already.</source>
        <translation>
            <numerusform>%1 van %n bestand overgeslagen: het staat al in de doelmap.</numerusform>
            <numerusform>%1 van %n bestanden overgeslagen: ze staan al in de doelmap.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1; stopped after %2 of %3 files.</source>
        <translation>
            <numerusform>%1; gestopt na %2 van %n bestand.</numerusform>
            <numerusform>%1; gestopt na %2 van %n bestanden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The run&apos;s journal cannot be written: %1; the %2 files put in place before that can be undone</source>
        <translation>
            <numerusform>Het logboek van de run kan niet worden geschreven: %1; het %n bestand dat daarvoor is geplaatst, kan ongedaan worden gemaakt</numerusform>
            <numerusform>Het logboek van de run kan niet worden geschreven: %1; de %n bestanden die daarvoor zijn geplaatst, kunnen ongedaan worden gemaakt</numerusform>
        </translation>
    </message>
    <message>
        <source>The source folder %1 is no longer there</source>
        <translation>De bronmap %1 is er niet meer</translation>
    </message>
    <message>
        <source>The destination folder %1 is no longer there</source>
        <translation>De doelmap %1 is er niet meer</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>Undo the run of %1 that wrote %2 %3 files with code %4 to %5?</source>
        <translation>
            <numerusform>De run van %1 ongedaan maken die %n %3-bestand met code %4 naar %5 schreef?</numerusform>
            <numerusform>De run van %1 ongedaan maken die %n %3-bestanden met code %4 naar %5 schreef?</numerusform>
        </translation>
    </message>
    <message>
        <source>The run&apos;s journal cannot be marked undone: %1</source>
        <translation>Het logboek van de run kan niet als ongedaan worden gemarkeerd: %1</translation>
    </message>
    <message>
        <source>kept: its source %1 is no longer there</source>
        <translation>behouden: de bron %1 is er niet meer</translation>
    </message>
    <message>
        <source>kept: its source %1 has changed since the run</source>
        <translation>behouden: de bron %1 is sinds de run veranderd</translation>
    </message>
    <message>
        <source>kept: changed since the run</source>
        <translation>behouden: sinds de run veranderd</translation>
    </message>
    <message>
        <source>kept: it cannot be read: %1</source>
        <translation>behouden: het kan niet worden gelezen: %1</translation>
    </message>
    <message>
        <source>kept: the file it replaced cannot come back (it was replaced without a trash)</source>
        <translation>behouden: het vervangen bestand kan niet terugkomen (het is vervangen zonder prullenbak)</translation>
    </message>
    <message>
        <source>kept: the file it replaced cannot come back (it is no longer in the trash)</source>
        <translation>behouden: het vervangen bestand kan niet terugkomen (het staat niet meer in de prullenbak)</translation>
    </message>
    <message>
        <source>cannot be removed: %1</source>
        <translation>kan niet worden verwijderd: %1</translation>
    </message>
    <message>
        <source>%1 (the file it replaced stays in the trash: %2)</source>
        <translation>%1 (het vervangen bestand blijft in de prullenbak: %2)</translation>
    </message>
    <message>
        <source>the file it replaced cannot come back from the trash (%1): %2</source>
        <translation>het vervangen bestand kan niet terugkomen uit de prullenbak (%1): %2</translation>
    </message>
    <message>
        <source>it is no longer in the trash</source>
        <translation>het staat niet meer in de prullenbak</translation>
    </message>
    <message>
        <source>its name is taken</source>
        <translation>de naam is bezet</translation>
    </message>
    <message>
        <source>Folder already exists</source>
        <translation>Map bestaat al</translation>
    </message>
    <message>
        <source>its journal cannot be written: %1</source>
        <translation>het logboek kan niet worden geschreven: %1</translation>
    </message>
    <message>
        <source>cannot make the folder %1</source>
        <translation>kan de map %1 niet maken</translation>
    </message>
    <message>
        <source>it is closed</source>
        <translation>het is gesloten</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Tijd</translation>
    </message>
    <message>
        <source>Source folder</source>
        <translation>Bronmap</translation>
    </message>
    <message>
        <source>Destination folder</source>
        <translation>Doelmap</translation>
    </message>
    <message>
        <source>Family</source>
        <translation>Soort</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>DF files</source>
        <translation>DF-bestanden</translation>
    </message>
    <message>
        <source>MA files</source>
        <translation>MA-bestanden</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Bestand</translation>
    </message>
    <message>
        <source>New name</source>
        <translation>Nieuwe naam</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Resultaat</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Reden</translation>
    </message>
    <message>
        <source>Replaced</source>
        <translation>Vervangen</translation>
    </message>
    <message>
        <source>the older file is in the trash: %1</source>
        <translation>het oudere bestand staat in de prullenbak: %1</translation>
    </message>
    <message>
        <source>the older file is gone (no trash)</source>
        <translation>het oudere bestand is weg (geen prullenbak)</translation>
    </message>
    <message>
        <source>another run holds the folder %1</source>
        <translation>een andere run houdt de map %1 vast</translation>
    </message>
    <message>
        <source>another file took its name meanwhile and is now in the trash: %1: %2</source>
        <translation>een ander bestand nam intussen de naam en staat nu in de prullenbak: %1: %2</translation>
    </message>
    <message>
        <source>it is back, but what took its place stays in the trash: %1</source>
        <translation>het is terug, maar wat zijn plaats innam blijft in de prullenbak: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n codes: %1</source>
        <translation>
            <numerusform>%n code: %1</numerusform>
            <numerusform>%n codes: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>the folder cannot be synced: %1; the file is in place under its name, not known to be on disk</source>
        <translation>de map kan niet worden gesynchroniseerd: %1; het bestand staat onder zijn naam, maar is niet zeker op schijf</translation>
    </message>
    <message>
        <source>%1 (the earlier file is back at its name)</source>
        <translation>%1 (het eerdere bestand staat weer onder zijn naam)</translation>
    </message>
    <message>
        <source>%1 (the earlier file stays in the trash: %2: %3)</source>
        <translation>%1 (het eerdere bestand blijft in de prullenbak: %2: %3)</translation>
    </message>
    <message>
        <source>The run cannot begin: %1</source>
        <translation>De run kan niet beginnen: %1</translation>
    </message>
    <message>
        <source>the file it replaced is back from the trash</source>
        <translation>het vervangen bestand is terug uit de prullenbak</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>niet gevonden</translation>
    </message>
    <message>
        <source>removed from the trash</source>
        <translation>uit de prullenbak verwijderd</translation>
    </message>
    <message>
        <source>not found; the file it replaced stays in the trash, its name is taken: %1</source>
        <translation>niet gevonden; het vervangen bestand blijft in de prullenbak, de naam is bezet: %1</translation>
    </message>
    <message>
        <source>another run wrote over it since: the file it replaced takes its place in the trash (%1), for that run&apos;s undo to bring back</source>
        <translation>een andere run heeft het sindsdien overschreven: het vervangen bestand neemt zijn plaats in de prullenbak in (%1), zodat het ongedaan maken van die run het terugzet</translation>
    </message>
    <message>
        <source>cannot take its place in the trash (%1): %2</source>
        <translation>kan zijn plaats in de prullenbak niet innemen (%1): %2</translation>
    </message>
    <message>
        <source>not known to be on disk: %1</source>
        <translation>niet zeker op schijf: %1</translation>
    </message>
    <message>
        <source>The run of %1 is still going: nothing was undone</source>
        <translation>De run van %1 loopt nog: er is niets ongedaan gemaakt</translation>
    </message>
    <message>
        <source>An undo of the run of %1 is going: nothing was done</source>
        <translation>De run van %1 wordt al ongedaan gemaakt: er is niets gedaan</translation>
    </message>
    <message>
        <source>The folder %1 that the run of %2 wrote into is not there: nothing was undone</source>
        <translation>De map %1 waarin de run van %2 schreef is er niet: er is niets ongedaan gemaakt</translation>
    </message>
    <message>
        <source>%1 is not the folder the run of %2 wrote into (moved or replaced): nothing was undone</source>
        <translation>%1 is niet de map waarin de run van %2 schreef (verplaatst of vervangen): er is niets ongedaan gemaakt</translation>
    </message>
    <message>
        <source>The run&apos;s journal cannot be written: %1; nothing was undone</source>
        <translation>Het logboek van de run kan niet worden geschreven: %1; er is niets ongedaan gemaakt</translation>
    </message>
    <message>
        <source>cannot undo in %1: %2</source>
        <translation>kan niet ongedaan maken in %1: %2</translation>
    </message>
    <message>
        <source>The run&apos;s journal cannot be read: %1</source>
        <translation>Het logboek van de run kan niet worden gelezen: %1</translation>
    </message>
    <message>
        <source>The run&apos;s journal cannot be written: %1</source>
        <translation>Het logboek van de run kan niet worden geschreven: %1</translation>
    </message>
    <message>
        <source>the run of %1 (%2 files, code %3, into %4)</source>
        <translation>de run van %1 (%2-bestanden, code %3, naar %4)</translation>
    </message>
    <message>
        <source>%1 removed</source>
        <translation>%1 verwijderd</translation>
    </message>
    <message>
        <source>%1 brought back from the trash</source>
        <translation>%1 teruggezet uit de prullenbak</translation>
    </message>
    <message>
        <source>%1 not found</source>
        <translation>%1 niet gevonden</translation>
    </message>
    <message>
        <source>%1 kept</source>
        <translation>%1 behouden</translation>
    </message>
    <message>
        <source>%1 Faild</source>
        <translation>%1 mislukt</translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1.</translation>
    </message>
    <message numerus="yes">
        <source>The undo of %1 stopped after %2 of %3 files: %4.</source>
        <translation>
            <numerusform>Het ongedaan maken van %1 stopte na %2 van %n bestand: %4.</numerusform>
            <numerusform>Het ongedaan maken van %1 stopte na %2 van %n bestanden: %4.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 is partly undone: %2.</source>
        <translation>%1 is gedeeltelijk ongedaan gemaakt: %2.</translation>
    </message>
    <message>
        <source>%1 is undone: %2.</source>
        <translation>%1 is ongedaan gemaakt: %2.</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <extracomment>a question&apos;s Cancel button; its letter differs from the other buttons&apos;</extracomment>
        <translation>&amp;Annuleren</translation>
    </message>
    <message>
        <source>a quote is not closed</source>
        <translation>een aanhalingsteken is niet gesloten</translation>
    </message>
    <message>
        <source>no code for &quot;%1&quot;</source>
        <translation>geen code voor &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 cannot be a code: %2</source>
        <translation>%1 kan geen code zijn: %2</translation>
    </message>
    <message>
        <source>%1 is given twice (first as &quot;%2&quot;)</source>
        <translation>%1 staat er twee keer in (eerst als &quot;%2&quot;)</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>regel %1: %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; cannot be part of a folder&apos;s name: Windows keeps it for a device</source>
        <translation>&apos;%1&apos; kan geen deel van de naam van een map zijn: Windows houdt het voor een apparaat</translation>
    </message>
</context>
<context>
    <name>ReportBox</name>
    <message>
        <source>Save report</source>
        <translation>Rapport opslaan</translation>
    </message>
    <message>
        <source>Save the report &amp;as:</source>
        <translation>Rapport opslaan &amp;als:</translation>
    </message>
    <message>
        <source>Report file</source>
        <translation>Rapportbestand</translation>
    </message>
    <message>
        <source>&amp;Browse…</source>
        <translation>&amp;Bladeren…</translation>
    </message>
    <message>
        <source>CSV files (*.csv);;All files (*)</source>
        <translation>CSV-bestanden (*.csv);;Alle bestanden (*)</translation>
    </message>
    <message>
        <source>%1 already exists. Replace it?</source>
        <translation>%1 bestaat al. Vervangen?</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Vervangen</translation>
    </message>
</context>
<context>
    <name>rekoda::DirTree</name>
    <message>
        <source>Folder</source>
        <translation>Map</translation>
    </message>
</context>
<context>
    <name>rekoda::FileListModel</name>
    <message>
        <source>A file of this name is in the destination folder and will be replaced (an earlier output; never another original of the source folder).</source>
        <translation>Een bestand met deze naam staat in de doelmap en wordt vervangen (een eerdere uitvoer; nooit een ander origineel uit de bronmap).</translation>
    </message>
    <message>
        <source>will be replaced</source>
        <translation>wordt vervangen</translation>
    </message>
    <message>
        <source>%1, will be replaced</source>
        <translation>%1, wordt vervangen</translation>
    </message>
    <message>
        <source>Filename</source>
        <extracomment>column header: the file&apos;s name as it is now</extracomment>
        <translation>Bestandsnaam</translation>
    </message>
    <message>
        <source>Result</source>
        <extracomment>column header: OK or Faild after a run</extracomment>
        <translation>Resultaat</translation>
    </message>
    <message>
        <source>New name</source>
        <extracomment>column header: the name the file gets</extracomment>
        <translation>Nieuwe naam</translation>
    </message>
    <message>
        <source>Reason</source>
        <extracomment>column header: why a file failed</extracomment>
        <translation>Reden</translation>
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
        <translation>Bestanden</translation>
    </message>
    <message>
        <source>Click a column, or press Ctrl+1 to Ctrl+5, to sort by it</source>
        <translation>Klik op een kolom, of druk op Ctrl+1 tot Ctrl+5, om erop te sorteren</translation>
    </message>
</context>
<context>
    <name>rekoda::FrmDirlist</name>
    <message>
        <source>Dirlist</source>
        <extracomment>the folder picker&apos;s title</extracomment>
        <translation>Mappenlijst</translation>
    </message>
    <message>
        <source>Chosen folder</source>
        <translation>Gekozen map</translation>
    </message>
    <message>
        <source>Drive</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>&amp;Drive:</source>
        <translation>S&amp;tation:</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Mappen</translation>
    </message>
    <message>
        <source>New folder name</source>
        <translation>Naam van de nieuwe map</translation>
    </message>
    <message>
        <source>&amp;Select</source>
        <extracomment>button: returns the highlighted folder</extracomment>
        <translation>&amp;Kiezen</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <extracomment>button: makes a new folder</extracomment>
        <translation>&amp;Nieuw</translation>
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
            <numerusform>Gestopt na %1 van %n bestand: %2 geconverteerd</numerusform>
            <numerusform>Gestopt na %1 van %n bestanden: %2 geconverteerd</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n converted</source>
        <translation>
            <numerusform>%1 van %n geconverteerd</numerusform>
            <numerusform>%1 van %n geconverteerd</numerusform>
        </translation>
    </message>
    <message>
        <source>, %1 failed</source>
        <translation>, %1 mislukt</translation>
    </message>
    <message>
        <source>, %1 skipped</source>
        <translation>, %1 overgeslagen</translation>
    </message>
    <message>
        <source>Change Extension       Omberlin</source>
        <extracomment>window title; Omberlin is a name and stays</extracomment>
        <translation>Extensie wijzigen       Omberlin</translation>
    </message>
    <message>
        <source>Select so&amp;urce path:</source>
        <translation>Kies &amp;bronmap:</translation>
    </message>
    <message>
        <source>Select dest&amp;ination path:</source>
        <translation>Kies d&amp;oelmap:</translation>
    </message>
    <message>
        <source>Source folder</source>
        <translation>Bronmap</translation>
    </message>
    <message>
        <source>Destination folder</source>
        <translation>Doelmap</translation>
    </message>
    <message>
        <source>Choose source folder</source>
        <translation>Bronmap kiezen</translation>
    </message>
    <message>
        <source>Choose destination folder</source>
        <translation>Doelmap kiezen</translation>
    </message>
    <message>
        <source>&amp;DF files</source>
        <translation>&amp;DF-bestanden</translation>
    </message>
    <message>
        <source>&amp;MA files</source>
        <translation>&amp;MA-bestanden</translation>
    </message>
    <message>
        <source>New e&amp;xtension/locationcode:</source>
        <translation>Nieuwe e&amp;xtensie/locatiecode:</translation>
    </message>
    <message>
        <source>New extension/location code</source>
        <translation>Nieuwe extensie/locatiecode</translation>
    </message>
    <message>
        <source>Note!!    Before click start, select the rows on the list above!</source>
        <translation>Let op!!    Selecteer eerst de regels in de lijst hierboven en klik dan op Start!</translation>
    </message>
    <message>
        <source>Save re&amp;port…</source>
        <translation>&amp;Rapport opslaan…</translation>
    </message>
    <message>
        <source>Save what the last run did as a CSV file for a spreadsheet</source>
        <translation>Sla op wat de laatste run deed, als CSV-bestand voor een rekenblad</translation>
    </message>
    <message>
        <source>&amp;Open destination folder</source>
        <translation>Doelmap o&amp;penen</translation>
    </message>
    <message>
        <source>Undo &amp;last run</source>
        <translation>&amp;Laatste run ongedaan maken</translation>
    </message>
    <message>
        <source>Remove what the last run wrote and bring back what it replaced (Ctrl+Z)</source>
        <translation>Verwijder wat de laatste run schreef en zet terug wat hij verving (Ctrl+Z)</translation>
    </message>
    <message>
        <source>Select &amp;all</source>
        <translation>&amp;Alles selecteren</translation>
    </message>
    <message>
        <source>Select &amp;None</source>
        <translation>&amp;Niets selecteren</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Voortgang</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <extracomment>button: begins the conversion</extracomment>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <extracomment>button: ends a run after the files in hand</extracomment>
        <translation>S&amp;top</translation>
    </message>
    <message>
        <source>Stop after the files in hand (Esc)</source>
        <translation>Stop na de bestanden die nu bezig zijn (Esc)</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <extracomment>button: closes the window</extracomment>
        <translation>Slu&amp;iten</translation>
    </message>
    <message>
        <source>About Rekoda (F1)</source>
        <translation>Over Rekoda (F1)</translation>
    </message>
    <message>
        <source>About Rekoda</source>
        <translation>Over Rekoda</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n selected</source>
        <translation>
            <numerusform>%1 van %n geselecteerd</numerusform>
            <numerusform>%1 van %n geselecteerd</numerusform>
        </translation>
    </message>
    <message>
        <source> (codes %1)</source>
        <translation> (codes %1)</translation>
    </message>
    <message>
        <source>The report cannot be saved as %1: %2</source>
        <translation>Het rapport kan niet worden opgeslagen als %1: %2</translation>
    </message>
    <message>
        <source>No program on this desktop opens folders; the destination folder is %1</source>
        <translation>Geen programma op dit bureaublad opent mappen; de doelmap is %1</translation>
    </message>
    <message>
        <source>The folder %1 cannot be listed: %2</source>
        <translation>De inhoud van de map %1 kan niet worden getoond: %2</translation>
    </message>
    <message>
        <source>Choose the source folder</source>
        <translation>Kies de bronmap</translation>
    </message>
    <message>
        <source>Choose the destination folder</source>
        <translation>Kies de doelmap</translation>
    </message>
    <message>
        <source>This run cannot be undone: %1.</source>
        <translation>Deze run kan niet ongedaan worden gemaakt: %1.</translation>
    </message>
    <message>
        <source>Show the destination folder in the desktop&apos;s file manager</source>
        <translation>De doelmap in het bestandsbeheer van het bureaublad tonen</translation>
    </message>
    <message>
        <source>Select every file of the list (Ctrl+A in the list)</source>
        <translation>Alle bestanden van de lijst selecteren (Ctrl+A in de lijst)</translation>
    </message>
    <message>
        <source>Select no file</source>
        <translation>Geen bestand selecteren</translation>
    </message>
    <message>
        <source>Convert the selected files with the new code into the destination folder</source>
        <translation>De geselecteerde bestanden met de nieuwe code naar de doelmap converteren</translation>
    </message>
    <message>
        <source>Close Rekoda; a run stops after the files in hand first</source>
        <translation>Rekoda sluiten; een lopende run stopt eerst na de bestanden die onder handen zijn</translation>
    </message>
    <message>
        <source>the remembered destination %1 is not there (a stick not plugged in?)</source>
        <translation>de onthouden doelmap %1 is er niet (een stick niet ingestoken?)</translation>
    </message>
    <message>
        <source>the remembered source %1 is not there (a stick not plugged in?)</source>
        <translation>de onthouden bronmap %1 is er niet (een stick niet ingestoken?)</translation>
    </message>
</context>
<context>
    <name>rekoda::KnownLocations</name>
    <message>
        <source>Locations…</source>
        <translation>Locaties…</translation>
    </message>
    <message>
        <source>The codes your team works with and the places they name (Ctrl+L)</source>
        <translation>De codes waarmee uw team werkt en de plaatsen die ze aanduiden (Ctrl+L)</translation>
    </message>
    <message>
        <source>Location: %1</source>
        <extracomment>the code box&apos;s hint: the place the typed code names</extracomment>
        <translation>Locatie: %1</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kan niet gelezen worden: %2</translation>
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
        <translation>CSV-bestanden (*.csv);;Alle bestanden (*)</translation>
    </message>
    <message>
        <source>Known locations</source>
        <translation>Bekende locaties</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Locatie</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Toevoegen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Verwijderen</translation>
    </message>
    <message>
        <source>&amp;Import…</source>
        <translation>&amp;Importeren…</translation>
    </message>
    <message>
        <source>Take the locations of a CSV file (code, location a row) in place of these</source>
        <translation>De locaties van een CSV-bestand (per regel een code en een locatie) in plaats van deze nemen</translation>
    </message>
    <message>
        <source>&amp;Export…</source>
        <translation>E&amp;xporteren…</translation>
    </message>
    <message>
        <source>Save these locations as a CSV file to share</source>
        <translation>Deze locaties als CSV-bestand opslaan om te delen</translation>
    </message>
    <message>
        <source>Row %1: %2</source>
        <translation>Rij %1: %2</translation>
    </message>
    <message>
        <source>These rows cannot be saved:
%1</source>
        <translation>Deze rijen kunnen niet opgeslagen worden:
%1</translation>
    </message>
    <message>
        <source>The locations cannot be saved in %1: %2</source>
        <translation>De locaties kunnen niet in %1 opgeslagen worden: %2</translation>
    </message>
    <message>
        <source>Import locations</source>
        <translation>Locaties importeren</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>%1 kan niet gelezen worden: %2</translation>
    </message>
    <message>
        <source>%1: these rows were not taken:
%2</source>
        <translation>%1: deze rijen zijn niet overgenomen:
%2</translation>
    </message>
    <message>
        <source>Export locations</source>
        <translation>Locaties exporteren</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Opslaan</translation>
    </message>
</context>
<context>
    <name>rekoda::WindowRun</name>
    <message>
        <source>1 file already exists in the destination folder and will be replaced.</source>
        <translation>1 bestand staat al in de doelmap en wordt vervangen.</translation>
    </message>
    <message>
        <source>%1 files already exist in the destination folder and will be replaced.</source>
        <translation>%1 bestanden staan al in de doelmap en worden vervangen.</translation>
    </message>
    <message>
        <source>Each file replaced goes to the trash first, from where it can be restored.</source>
        <translation>Elk vervangen bestand gaat eerst naar de prullenbak, waaruit het kan worden teruggezet.</translation>
    </message>
    <message>
        <source>This volume has no trash: the files replaced cannot be restored.</source>
        <translation>Dit volume heeft geen prullenbak: de vervangen bestanden kunnen niet worden teruggezet.</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>1 file</source>
        <translation>1 bestand</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 bestanden</translation>
    </message>
    <message>
        <source>The selected files carry %1 codes: %2. Convert them all to %3?</source>
        <translation>De geselecteerde bestanden hebben %1 codes: %2. Allemaal naar %3 converteren?</translation>
    </message>
    <message>
        <source>This run cannot be undone: %1.

Run anyway?</source>
        <translation>Deze run kan niet ongedaan worden gemaakt: %1.

Toch uitvoeren?</translation>
    </message>
    <message>
        <source>&amp;Run anyway</source>
        <translation>Toch &amp;uitvoeren</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Ongedaan maken</translation>
    </message>
    <message>
        <source>The run of %1 is still going: it cannot be undone until it ends.</source>
        <translation>De run van %1 loopt nog: hij kan pas ongedaan worden gemaakt als hij klaar is.</translation>
    </message>
    <message>
        <source>Con&amp;vert</source>
        <translation>&amp;Converteren</translation>
    </message>
    <message>
        <source>%1 is not your one known location.</source>
        <translation>%1 is niet uw enige bekende locatie.</translation>
    </message>
    <message>
        <source>%1 is not one of your %2 known locations.</source>
        <translation>%1 is niet een van uw %2 bekende locaties.</translation>
    </message>
    <message>
        <source>Convert the selected file to %1 anyway?</source>
        <translation>Het geselecteerde bestand toch naar %1 converteren?</translation>
    </message>
    <message>
        <source>Convert the %1 selected files to %2 anyway?</source>
        <translation>De %1 geselecteerde bestanden toch naar %2 converteren?</translation>
    </message>
</context>
</TS>
