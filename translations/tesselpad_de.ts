<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AtomicFile</name>
    <message>
        <source>The file may be written but not read, so no copy of its old content can be kept; it was not overwritten.</source>
        <translation>Die Datei darf geschrieben, aber nicht gelesen werden, daher kann keine Kopie ihres alten Inhalts aufbewahrt werden; sie wurde nicht überschrieben.</translation>
    </message>
    <message>
        <source>It is not a regular file (a device, pipe or socket).</source>
        <translation>Es ist keine gewöhnliche Datei (sondern ein Gerät, eine Pipe oder ein Socket).</translation>
    </message>
    <message>
        <source>No copy of its old content could be kept in %1 (%2), so it was not overwritten.</source>
        <translation>In %1 konnte keine Kopie ihres alten Inhalts aufbewahrt werden (%2), daher wurde sie nicht überschrieben.</translation>
    </message>
    <message>
        <source>. The file holds its old content again.</source>
        <translation>. Die Datei enthält wieder ihren alten Inhalt.</translation>
    </message>
    <message>
        <source>. The file could not be put back as it was: its old content is kept in %1.</source>
        <translation>. Die Datei konnte nicht wiederhergestellt werden: Ihr alter Inhalt ist in %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>No file name was given.</source>
        <translation>Es wurde kein Dateiname angegeben.</translation>
    </message>
    <message>
        <source>The file name is not valid.</source>
        <translation>Der Dateiname ist ungültig.</translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation>Es ist ein Ordner.</translation>
    </message>
    <message>
        <source>The folder does not exist.</source>
        <translation>Der Ordner existiert nicht.</translation>
    </message>
    <message>
        <source>The file is read-only: you have no permission to write to it.</source>
        <translation>Die Datei ist schreibgeschützt: Sie haben keine Berechtigung, in sie zu schreiben.</translation>
    </message>
    <message>
        <source>The new file could not be given the permissions of the old one: %1.</source>
        <translation>Die neue Datei konnte nicht die Berechtigungen der alten erhalten: %1.</translation>
    </message>
</context>
<context>
    <name>BrowserChoice</name>
    <message>
        <source>The browser command in %1 cannot be read: %2</source>
        <translation>Der Browser-Befehl in %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>No web browser was found: the desktop names none for web addresses (x-scheme-handler/https), and Debian&apos;s sensible-browser and x-www-browser have none to start. Install a browser, or name one in %1 as a line browser=firefox under [editor].</source>
        <translation>Es wurde kein Webbrowser gefunden: Die Arbeitsumgebung nennt keinen für Webadressen (x-scheme-handler/https), und Debians sensible-browser und x-www-browser haben keinen zu starten. Installieren Sie einen Browser oder geben Sie einen in %1 an, als Zeile browser=firefox unter [editor].</translation>
    </message>
    <message>
        <source>The browser %1 is not installed (no such program on PATH).</source>
        <translation>Der Browser %1 ist nicht installiert (kein solches Programm im PATH).</translation>
    </message>
</context>
<context>
    <name>Charsets</name>
    <message>
        <source>Unicode</source>
        <translation>Unicode</translation>
    </message>
    <message>
        <source>Western</source>
        <translation>Westeuropäisch</translation>
    </message>
    <message>
        <source>Central European</source>
        <translation>Mitteleuropäisch</translation>
    </message>
    <message>
        <source>Cyrillic</source>
        <translation>Kyrillisch</translation>
    </message>
    <message>
        <source>Greek</source>
        <translation>Griechisch</translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation>Türkisch</translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation>Hebräisch</translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation>Arabisch</translation>
    </message>
    <message>
        <source>Baltic</source>
        <translation>Baltisch</translation>
    </message>
    <message>
        <source>Vietnamese</source>
        <translation>Vietnamesisch</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japanisch</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>Chinesisch</translation>
    </message>
    <message>
        <source>Korean</source>
        <translation>Koreanisch</translation>
    </message>
    <message>
        <source>Thai</source>
        <translation>Thailändisch</translation>
    </message>
</context>
<context>
    <name>DiskChanges</name>
    <message>
        <source>has been deleted or moved by another program</source>
        <translation>wurde von einem anderen Programm gelöscht oder verschoben</translation>
    </message>
    <message>
        <source>has been changed on disk by a save from another window of Tesselpad</source>
        <translation>wurde auf dem Datenträger durch Speichern aus einem anderen Tesselpad-Fenster geändert</translation>
    </message>
    <message>
        <source>has been changed by another program</source>
        <translation>wurde von einem anderen Programm geändert</translation>
    </message>
    <message>
        <source> since it was opened or last saved.<byte value="xd"/>
<byte value="xd"/>
Do you want to write the text of this window to it again?</source>
        <translation>, seit sie geöffnet oder zuletzt gespeichert wurde.<byte value="xd"/>
<byte value="xd"/>
Möchten Sie den Text dieses Fensters erneut in die Datei schreiben?</translation>
    </message>
    <message>
        <source> since it was opened or last saved.<byte value="xd"/>
<byte value="xd"/>
Do you want to replace it with the text of this window?</source>
        <translation>, seit sie geöffnet oder zuletzt gespeichert wurde.<byte value="xd"/>
<byte value="xd"/>
Möchten Sie sie durch den Text dieses Fensters ersetzen?</translation>
    </message>
    <message>
        <source>The file </source>
        <translation>Die Datei </translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Yes writes the file; No saves the text under another name; Cancel writes nothing.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
„Ja“ schreibt die Datei; „Nein“ speichert den Text unter einem anderen Namen; „Abbrechen“ schreibt nichts.</translation>
    </message>
    <message>
        <source>.<byte value="xd"/>
<byte value="xd"/>
The text stays in this window; Save writes it to the file again.</source>
        <translation>.<byte value="xd"/>
<byte value="xd"/>
Der Text bleibt in diesem Fenster; „Speichern“ schreibt ihn erneut in die Datei.</translation>
    </message>
    <message>
        <source>.<byte value="xd"/>
<byte value="xd"/>
Do you want to reload it? Yes shows the file as it is now</source>
        <translation>.<byte value="xd"/>
<byte value="xd"/>
Möchten Sie sie neu laden? „Ja“ zeigt die Datei in ihrem jetzigen Zustand</translation>
    </message>
    <message>
        <source> and discards the changes made in this window</source>
        <translation> und verwirft die Änderungen in diesem Fenster</translation>
    </message>
    <message>
        <source>; No keeps the text of this window.</source>
        <translation>; „Nein“ behält den Text dieses Fensters.</translation>
    </message>
</context>
<context>
    <name>DocumentCommands</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation>Datei kann nicht geöffnet werden: </translation>
    </message>
    <message>
        <source>Can&apos;t open %1 files:<byte value="xd"/>
</source>
        <translation>%1 Dateien können nicht geöffnet werden:<byte value="xd"/>
</translation>
    </message>
    <message>
        <source><byte value="xd"/>
... and %1 more.</source>
        <translation><byte value="xd"/>
... und %1 weitere.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
There is not enough free memory to read it while this window holds its text.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Es ist nicht genug freier Speicher vorhanden, um sie zu lesen, solange dieses Fenster seinen Text hält.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
The window keeps its text.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Das Fenster behält seinen Text.</translation>
    </message>
</context>
<context>
    <name>DocumentFrame</name>
    <message>
        <source>No more document windows can be opened.<byte value="xd"/>
Close a document window and try again.</source>
        <translation>Es können keine weiteren Dokumentfenster geöffnet werden.<byte value="xd"/>
Schließen Sie ein Dokumentfenster und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>DocumentWriter</name>
    <message>
        <source>A character cannot be written in %1.</source>
        <translation>Ein Zeichen kann nicht in %1 geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>DragDrop</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation>Datei kann nicht geöffnet werden: </translation>
    </message>
</context>
<context>
    <name>Encoding</name>
    <message>
        <source>%1 declared; not exact, shown as %2</source>
        <translation>%1 angegeben; nicht genau, angezeigt als %2</translation>
    </message>
    <message>
        <source>UTF-8 with BOM</source>
        <translation>UTF-8 mit BOM</translation>
    </message>
    <message>
        <source>UTF-16 LE with BOM</source>
        <translation>UTF-16 LE mit BOM</translation>
    </message>
    <message>
        <source>UTF-16 BE with BOM</source>
        <translation>UTF-16 BE mit BOM</translation>
    </message>
</context>
<context>
    <name>EncodingCommands</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation>Datei kann nicht geöffnet werden: </translation>
    </message>
</context>
<context>
    <name>FileMenu</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation>Datei kann nicht geöffnet werden: </translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
It is no longer there, and has been taken off the list of recent files.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Sie ist nicht mehr vorhanden und wurde aus der Liste der zuletzt geöffneten Dateien entfernt.</translation>
    </message>
</context>
<context>
    <name>FileTypes</name>
    <message>
        <source>HTML Documents (*.htm; *.html) </source>
        <translation>HTML-Dokumente (*.htm; *.html) </translation>
    </message>
    <message>
        <source>Server-Side Includes (*.stm; *.shtm; *.shtml)</source>
        <translation>Server Side Includes (*.stm; *.shtm; *.shtml)</translation>
    </message>
    <message>
        <source>XML Files (*.xml)</source>
        <translation>XML-Dateien (*.xml)</translation>
    </message>
    <message>
        <source>Java Files (*.jav; *.java)</source>
        <translation>Java-Dateien (*.jav; *.java)</translation>
    </message>
    <message>
        <source>Style Sheets (*.css)</source>
        <translation>Stylesheets (*.css)</translation>
    </message>
    <message>
        <source>Active Server Pages (*.asp)</source>
        <translation>Active Server Pages (*.asp)</translation>
    </message>
    <message>
        <source>Cold Fusion Templates (*.cfm; *.cfml)</source>
        <translation>ColdFusion-Vorlagen (*.cfm; *.cfml)</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>PHP Files (*.php)</source>
        <translation>PHP-Dateien (*.php)</translation>
    </message>
    <message>
        <source>All files (*.*) | *.*</source>
        <translation>Alle Dateien (*.*) | *.*</translation>
    </message>
    <message>
        <source>All Documents | </source>
        <translation>Alle Dokumente | </translation>
    </message>
</context>
<context>
    <name>FindInDocument</name>
    <message>
        <source>Cannot find &quot;</source>
        <translation>Nicht gefunden: &quot;</translation>
    </message>
    <message>
        <source>The search for &quot;%1&quot; was stopped: the regular expression needs too much work on this text.</source>
        <translation>Die Suche nach „%1“ wurde abgebrochen: Der reguläre Ausdruck erfordert bei diesem Text zu viel Arbeit.</translation>
    </message>
</context>
<context>
    <name>FindInFiles</name>
    <message>
        <source>Choose a folder to search in.</source>
        <translation>Wählen Sie einen Ordner, in dem gesucht werden soll.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; cannot be searched: %2</source>
        <translation>Der Ordner „%1“ kann nicht durchsucht werden: %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a folder.</source>
        <translation>„%1“ ist kein Ordner.</translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; cannot be read: %2</source>
        <translation>Der Ordner „%1“ kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Its name is not UTF-8 text, so Tesselpad cannot open it.</source>
        <translation>Ihr Name ist kein UTF-8-Text, daher kann Tesselpad sie nicht öffnen.</translation>
    </message>
    <message>
        <source>The regular expression needed too much work on this file.</source>
        <translation>Der reguläre Ausdruck erforderte bei dieser Datei zu viel Arbeit.</translation>
    </message>
</context>
<context>
    <name>FindInFilesPanel</name>
    <message>
        <source>: cannot be read (%1)</source>
        <translation>: kann nicht gelesen werden (%1)</translation>
    </message>
    <message>
        <source>  (1 match</source>
        <translation>  (1 Treffer</translation>
    </message>
    <message>
        <source>  (%1 matches</source>
        <translation>  (%1 Treffer</translation>
    </message>
    <message>
        <source> in its window, unsaved changes included)</source>
        <translation> in ihrem Fenster, ungespeicherte Änderungen eingeschlossen)</translation>
    </message>
    <message>
        <source>Find in Files</source>
        <translation>In Dateien suchen</translation>
    </message>
    <message>
        <source>Fi&amp;nd what:</source>
        <translation>Su&amp;chen nach:</translation>
    </message>
    <message>
        <source>In f&amp;older:</source>
        <translation>In &amp;Ordner:</translation>
    </message>
    <message>
        <source>File t&amp;ypes:</source>
        <translation>Datei&amp;typen:</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>Suche läuft...</translation>
    </message>
    <message>
        <source>Searching... %1 of %2 files, %3</source>
        <translation>Suche läuft... %1 von %2 Dateien, %3</translation>
    </message>
    <message>
        <source>match</source>
        <translation>Treffer</translation>
    </message>
    <message>
        <source>matches</source>
        <translation>Treffer</translation>
    </message>
    <message>
        <source>Stopped: </source>
        <translation>Angehalten: </translation>
    </message>
    <message>
        <source> in </source>
        <translation> in </translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source> searched</source>
        <translation> durchsucht</translation>
    </message>
    <message>
        <source>binary file</source>
        <translation>Binärdatei</translation>
    </message>
    <message>
        <source>binary files</source>
        <translation>Binärdateien</translation>
    </message>
    <message>
        <source>file too large to open</source>
        <translation>Datei zu groß zum Öffnen</translation>
    </message>
    <message>
        <source>files too large to open</source>
        <translation>Dateien zu groß zum Öffnen</translation>
    </message>
    <message>
        <source>, skipped </source>
        <translation>, übersprungen: </translation>
    </message>
    <message>
        <source> and </source>
        <translation> und </translation>
    </message>
    <message>
        <source>could not be read</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>; %1 are listed</source>
        <translation>; %1 davon aufgeführt</translation>
    </message>
    <message>
        <source>; the regular expression needed too much work on some files</source>
        <translation>; der reguläre Ausdruck erforderte bei einigen Dateien zu viel Arbeit</translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation>&amp;Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>&amp;Whole word</source>
        <translation>Nur ganzes &amp;Wort</translation>
    </message>
    <message>
        <source>Regular e&amp;xpression</source>
        <translation>Regulärer &amp;Ausdruck</translation>
    </message>
    <message>
        <source>S&amp;ubfolders</source>
        <translation>&amp;Unterordner</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>Anha&amp;lten</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen...</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Ergebnisse</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation>Datei kann nicht geöffnet werden: </translation>
    </message>
    <message>
        <source>The file [</source>
        <translation>Die Datei [</translation>
    </message>
    <message>
        <source>] no longer exists on disk.<byte value="xd"/>
</source>
        <translation>] existiert nicht mehr auf dem Datenträger.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>Do you want to save it again?</source>
        <translation>Möchten Sie sie erneut speichern?</translation>
    </message>
    <message>
        <source>The text in [</source>
        <translation>Der Text in [</translation>
    </message>
    <message>
        <source>] has changed.<byte value="xd"/>
</source>
        <translation>] wurde geändert.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>Do you want to save the changes?</source>
        <translation>Möchten Sie die Änderungen speichern?</translation>
    </message>
</context>
<context>
    <name>FrameStatusBar</name>
    <message>
        <source>Line ends: %1</source>
        <translation>Zeilenenden: %1</translation>
    </message>
    <message>
        <source>Encoding: %1</source>
        <translation>Zeichenkodierung: %1</translation>
    </message>
</context>
<context>
    <name>GoToLine</name>
    <message>
        <source>&quot;%1&quot; is not a line number. Type a line number, or a line and a column as in 12:5.</source>
        <translation>„%1“ ist keine Zeilennummer. Geben Sie eine Zeilennummer ein oder eine Zeile und eine Spalte wie in 12:5.</translation>
    </message>
</context>
<context>
    <name>HelpCommands</name>
    <message>
        <source>Can&apos;t open </source>
        <translation>Kann nicht geöffnet werden: </translation>
    </message>
</context>
<context>
    <name>InterruptedSave</name>
    <message>
        <source>No such copy.</source>
        <translation>Diese Kopie gibt es nicht.</translation>
    </message>
    <message>
        <source>The copy of the old content cannot be read: %1</source>
        <translation>Die Kopie des alten Inhalts kann nicht gelesen werden: %1</translation>
    </message>
</context>
<context>
    <name>JournalFormat</name>
    <message>
        <source>It is not a recovery journal.</source>
        <translation>Es ist kein Wiederherstellungsprotokoll.</translation>
    </message>
    <message>
        <source>It was written by a newer version of Tesselpad.</source>
        <translation>Es wurde von einer neueren Version von Tesselpad geschrieben.</translation>
    </message>
    <message>
        <source>It was cut short before it held the whole text.</source>
        <translation>Es endet, bevor es den ganzen Text enthält.</translation>
    </message>
    <message>
        <source>Its text is too large.</source>
        <translation>Sein Text ist zu groß.</translation>
    </message>
    <message>
        <source>It holds too many scattered changes to rebuild its text.</source>
        <translation>Es enthält zu viele verstreute Änderungen, um seinen Text wiederherzustellen.</translation>
    </message>
    <message>
        <source>It cannot be read: %1</source>
        <translation>Es kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>a read failed</source>
        <translation>ein Lesevorgang ist fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>JournalStore</name>
    <message>
        <source>: the folder belongs to another user.</source>
        <translation>: Der Ordner gehört einem anderen Benutzer.</translation>
    </message>
    <message>
        <source>: the session lock is taken.</source>
        <translation>: Die Sitzungssperre ist bereits vergeben.</translation>
    </message>
    <message>
        <source>It is a symbolic link.</source>
        <translation>Es ist eine symbolische Verknüpfung.</translation>
    </message>
    <message>
        <source>It is not a regular file (a folder, pipe or device).</source>
        <translation>Es ist keine gewöhnliche Datei (sondern ein Ordner, eine Pipe oder ein Gerät).</translation>
    </message>
    <message>
        <source>It belongs to another user.</source>
        <translation>Es gehört einem anderen Benutzer.</translation>
    </message>
    <message>
        <source>It is too large (%1 MB).</source>
        <translation>Es ist zu groß (%1 MB).</translation>
    </message>
</context>
<context>
    <name>LineEnds</name>
    <message>
        <source>mixed</source>
        <translation>gemischt</translation>
    </message>
</context>
<context>
    <name>MDIForm1</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation>Datei kann nicht geöffnet werden: </translation>
    </message>
</context>
<context>
    <name>Matcher</name>
    <message>
        <source>error %1</source>
        <translation>Fehler %1</translation>
    </message>
    <message>
        <source>Invalid regular expression &quot;%1&quot;: %2</source>
        <translation>Ungültiger regulärer Ausdruck „%1“: %2</translation>
    </message>
    <message>
        <source> at position %1</source>
        <translation> an Position %1</translation>
    </message>
    <message>
        <source>there is nothing to find</source>
        <translation>es gibt nichts zu suchen</translation>
    </message>
</context>
<context>
    <name>MenuTree</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As</source>
        <translation>Speichern &amp;unter</translation>
    </message>
    <message>
        <source>Page Se&amp;tup...</source>
        <translation>Seite ein&amp;richten...</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>&amp;Drucken</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
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
        <source>De&amp;lete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Alles &amp;markieren</translation>
    </message>
    <message>
        <source>Time/&amp;Date</source>
        <translation>&amp;Zeit/Datum</translation>
    </message>
    <message>
        <source>&amp;HTML</source>
        <translation>&amp;HTML</translation>
    </message>
    <message>
        <source>Insert HTML &amp;Frame</source>
        <translation>HTML-&amp;Gerüst einfügen</translation>
    </message>
    <message>
        <source>&lt;H&amp;ead&gt;</source>
        <translation>&lt;H&amp;ead&gt;</translation>
    </message>
    <message>
        <source>&lt;&amp;Title&gt;</source>
        <translation>&lt;&amp;Title&gt;</translation>
    </message>
    <message>
        <source>&lt;Bo&amp;dy&gt;</source>
        <translation>&lt;Bo&amp;dy&gt;</translation>
    </message>
    <message>
        <source>&lt;&amp;Br&gt;</source>
        <translation>&lt;&amp;Br&gt;</translation>
    </message>
    <message>
        <source>&lt;&amp;Hr&gt;</source>
        <translation>&lt;&amp;Hr&gt;</translation>
    </message>
    <message>
        <source>&lt;Cente&amp;r&gt;</source>
        <translation>&lt;Cente&amp;r&gt;</translation>
    </message>
    <message>
        <source>Toggle Co&amp;mment</source>
        <translation>Kommentar &amp;umschalten</translation>
    </message>
    <message>
        <source>E&amp;xpand Abbreviation</source>
        <translation>Abkürzung e&amp;xpandieren</translation>
    </message>
    <message>
        <source>Select &amp;Element</source>
        <translation>Element aus&amp;wählen</translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>&amp;Weitersuchen</translation>
    </message>
    <message>
        <source>&amp;Replace...</source>
        <translation>&amp;Ersetzen...</translation>
    </message>
    <message>
        <source>Find in F&amp;iles...</source>
        <translation>In &amp;Dateien suchen...</translation>
    </message>
    <message>
        <source>&amp;Go to Line...</source>
        <translation>Gehe zu &amp;Zeile...</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>&amp;Reset Zoom</source>
        <translation>&amp;Originalgröße</translation>
    </message>
    <message>
        <source>&amp;Word Wrap</source>
        <translation>&amp;Zeilenumbruch</translation>
    </message>
    <message>
        <source>&amp;Colouring</source>
        <translation>&amp;Farbgebung</translation>
    </message>
    <message>
        <source>&amp;Plain Text</source>
        <translation>&amp;Nur Text</translation>
    </message>
    <message>
        <source>&amp;XML</source>
        <translation>&amp;XML</translation>
    </message>
    <message>
        <source>&amp;CSS</source>
        <translation>&amp;CSS</translation>
    </message>
    <message>
        <source>&amp;Java</source>
        <translation>&amp;Java</translation>
    </message>
    <message>
        <source>Java&amp;Script</source>
        <translation>Java&amp;Script</translation>
    </message>
    <message>
        <source>JS&amp;ON</source>
        <translation>JS&amp;ON</translation>
    </message>
    <message>
        <source>PHP</source>
        <translation>PHP</translation>
    </message>
    <message>
        <source>&amp;Markdown</source>
        <translation>&amp;Markdown</translation>
    </message>
    <message>
        <source>SCSS</source>
        <translation>SCSS</translation>
    </message>
    <message>
        <source>&amp;LESS</source>
        <translation>&amp;LESS</translation>
    </message>
    <message>
        <source>&amp;Fold Margin</source>
        <translation>Falt&amp;rand</translation>
    </message>
    <message>
        <source>Fold &amp;All</source>
        <translation>&amp;Alles falten</translation>
    </message>
    <message>
        <source>&amp;Unfold All</source>
        <translation>Alles a&amp;ufklappen</translation>
    </message>
    <message>
        <source>&amp;Tab Width</source>
        <translation>&amp;Tabulatorbreite</translation>
    </message>
    <message>
        <source>&amp;2 Columns</source>
        <translation>&amp;2 Spalten</translation>
    </message>
    <message>
        <source>&amp;4 Columns</source>
        <translation>&amp;4 Spalten</translation>
    </message>
    <message>
        <source>&amp;8 Columns</source>
        <translation>&amp;8 Spalten</translation>
    </message>
    <message>
        <source>Indent with &amp;Spaces</source>
        <translation>Mit &amp;Leerzeichen einrücken</translation>
    </message>
    <message>
        <source>View in &amp;Browser</source>
        <translation>Im &amp;Browser anzeigen</translation>
    </message>
    <message>
        <source>Close Ta&amp;gs</source>
        <translation>Tags &amp;schließen</translation>
    </message>
    <message>
        <source>&amp;Pair Brackets and Quotes</source>
        <translation>Klammern und Anführungszeichen &amp;paaren</translation>
    </message>
    <message>
        <source>&amp;Expand Abbreviations with Tab</source>
        <translation>Abkürzungen mit Tab &amp;expandieren</translation>
    </message>
    <message>
        <source>Complete as &amp;You Type</source>
        <translation>&amp;Während der Eingabe vervollständigen</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>Tile &amp;Horizontal</source>
        <translation>&amp;Horizontal anordnen</translation>
    </message>
    <message>
        <source>Tile Vertical</source>
        <translation>Vertikal anordnen</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>Ü&amp;berlappend</translation>
    </message>
    <message>
        <source>&amp;Arrange Icons</source>
        <translation>&amp;Symbole anordnen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>TSPD &amp;Help</source>
        <translation>TSPD-&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Read Me</source>
        <translation>&amp;Liesmich</translation>
    </message>
    <message>
        <source>Send &amp;Comments</source>
        <translation>&amp;Kommentare senden</translation>
    </message>
    <message>
        <source>Report &amp;Bugs</source>
        <translation>&amp;Fehler melden</translation>
    </message>
    <message>
        <source>TSPD on the &amp;Web</source>
        <translation>TSPD im &amp;Web</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Save A&amp;ll</source>
        <translation>A&amp;lles speichern</translation>
    </message>
    <message>
        <source>Reopen Last Sess&amp;ion</source>
        <translation>Letzte Sitzung &amp;wieder öffnen</translation>
    </message>
    <message>
        <source>Reopen Session at Sta&amp;rt</source>
        <translation>Sitzung beim S&amp;tart wieder öffnen</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>Wiederh&amp;olen</translation>
    </message>
    <message>
        <source>Find Pre&amp;vious</source>
        <translation>&amp;Rückwärts suchen</translation>
    </message>
    <message>
        <source>E&amp;ncoding</source>
        <translation>Zei&amp;chenkodierung</translation>
    </message>
    <message>
        <source>&amp;Line Ends</source>
        <translation>Zeile&amp;nenden</translation>
    </message>
    <message>
        <source>Tabbed &amp;Documents</source>
        <translation>&amp;Dokumente als Registerkarten</translation>
    </message>
    <message>
        <source>Check &amp;HTML and XML as You Type</source>
        <translation>&amp;HTML und XML beim Tippen prüfen</translation>
    </message>
    <message>
        <source>Chec&amp;k Spelling</source>
        <translation>Rechtschre&amp;ibung prüfen</translation>
    </message>
    <message>
        <source>The &amp;System&apos;s Language</source>
        <translation>&amp;Sprache des Systems</translation>
    </message>
    <message>
        <source>&amp;New Window</source>
        <translation>&amp;Neues Fenster</translation>
    </message>
    <message>
        <source>Show All HTML Tidy Reports</source>
        <translation>Alle Meldungen von HTML Tid&amp;y zeigen</translation>
    </message>
    <message>
        <source>Check Page Now</source>
        <translation>Seite &amp;jetzt prüfen</translation>
    </message>
    <message>
        <source>Problems Panel</source>
        <translation>Problem&amp;übersicht</translation>
    </message>
    <message>
        <source>Spelling Language</source>
        <translation>W&amp;örterbuch</translation>
    </message>
    <message>
        <source>Spelling in Code Comments and Strings</source>
        <translation>Rechtschreibung in Code-Ko&amp;mmentaren und Zeichenketten</translation>
    </message>
</context>
<context>
    <name>Printing</name>
    <message>
        <source>The printer &quot;%1&quot; did not take the document.</source>
        <translation>Der Drucker „%1“ hat das Dokument nicht angenommen.</translation>
    </message>
    <message>
        <source>It could not be written.</source>
        <translation>Sie konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Page Setup</source>
        <translation>Seite einrichten</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
    <message>
        <source>There is not enough memory.</source>
        <translation>Es ist nicht genug Speicher vorhanden.</translation>
    </message>
    <message>
        <source>Can&apos;t print </source>
        <translation>Drucken nicht möglich: </translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>Tesselpad cannot keep your unsaved work safe against a crash:<byte value="xd"/>
</source>
        <translation>Tesselpad kann Ihre ungespeicherte Arbeit nicht gegen einen Absturz sichern:<byte value="xd"/>
</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Your documents are not affected: save them to keep your changes.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Ihre Dokumente sind nicht betroffen: Speichern Sie sie, um Ihre Änderungen zu behalten.</translation>
    </message>
    <message>
        <source>character</source>
        <translation>Zeichen</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>Zeichen</translation>
    </message>
    <message>
        <source>line</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <source>lines</source>
        <translation>Zeilen</translation>
    </message>
    <message>
        <source>The file no longer exists.</source>
        <translation>Die Datei existiert nicht mehr.</translation>
    </message>
    <message>
        <source>The file has changed on disk since this work began.</source>
        <translation>Die Datei wurde auf dem Datenträger geändert, seit diese Arbeit begann.</translation>
    </message>
    <message>
        <source>The last changes were damaged: this is the text from before them.</source>
        <translation>Die letzten Änderungen waren beschädigt: Dies ist der Text von davor.</translation>
    </message>
    <message>
        <source>Some unsaved work kept from an earlier run cannot be recovered:<byte value="xd"/>
</source>
        <translation>Ungespeicherte Arbeit aus einem früheren Lauf kann teilweise nicht wiederhergestellt werden:<byte value="xd"/>
</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
The files were set aside in </source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Die Dateien wurden beiseitegelegt in </translation>
    </message>
</context>
<context>
    <name>ReplaceCommands</name>
    <message>
        <source>1 replacement</source>
        <translation>1 Ersetzung</translation>
    </message>
    <message>
        <source>%1 replacements</source>
        <translation>%1 Ersetzungen</translation>
    </message>
    <message>
        <source>%1 in 1 document</source>
        <translation>%1 in 1 Dokument</translation>
    </message>
    <message>
        <source>%1 in %2 documents</source>
        <translation>%1 in %2 Dokumenten</translation>
    </message>
    <message>
        <source>There is no selection to replace in.</source>
        <translation>Es gibt keine Markierung, in der ersetzt werden könnte.</translation>
    </message>
    <message>
        <source>Cannot find &quot;</source>
        <translation>Nicht gefunden: &quot;</translation>
    </message>
</context>
<context>
    <name>Replacement</name>
    <message>
        <source>The replacement refers to %1, which the regular expression does not have (it has 1 group).</source>
        <translation>Die Ersetzung verweist auf %1, das der reguläre Ausdruck nicht hat (er hat 1 Gruppe).</translation>
    </message>
    <message>
        <source>The replacement refers to %1, which the regular expression does not have (it has %2 groups).</source>
        <translation>Die Ersetzung verweist auf %1, das der reguläre Ausdruck nicht hat (er hat %2 Gruppen).</translation>
    </message>
</context>
<context>
    <name>SaveCommands</name>
    <message>
        <source>The byte %1 in line %2, column %3 is not UTF-8 text and cannot be written in %4. Nothing was written.</source>
        <translation>Das Byte %1 in Zeile %2, Spalte %3 ist kein UTF-8-Text und kann nicht in %4 geschrieben werden. Es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>The character %1 in line %2, column %3 cannot be written in %4. Nothing was written.</source>
        <translation>Das Zeichen %1 in Zeile %2, Spalte %3 kann nicht in %4 geschrieben werden. Es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>the Windows-1252 code page</source>
        <translation>der Codepage Windows-1252</translation>
    </message>
    <message>
        <source>The page declares its encoding as %1, but it is being saved as %2.<byte value="xd"/>
<byte value="xd"/>
Change the declaration to %3?</source>
        <translation>Die Seite gibt ihre Zeichenkodierung als %1 an, wird aber als %2 gespeichert.<byte value="xd"/>
<byte value="xd"/>
Die Angabe auf %3 ändern?</translation>
    </message>
    <message>
        <source> already exists.<byte value="xd"/>
Do you want to replace it?</source>
        <translation> existiert bereits.<byte value="xd"/>
Möchten Sie sie ersetzen?</translation>
    </message>
    <message>
        <source>Can&apos;t save file: </source>
        <translation>Datei kann nicht gespeichert werden: </translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Save the document as UTF-8 instead? No leaves it open with its changes.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Das Dokument stattdessen als UTF-8 speichern? „Nein“ lässt es mit seinen Änderungen geöffnet.</translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
The document stays open with its changes.</source>
        <translation><byte value="xd"/>
<byte value="xd"/>
Das Dokument bleibt mit seinen Änderungen geöffnet.</translation>
    </message>
</context>
<context>
    <name>SearchCommands</name>
    <message>
        <source>Go to Line</source>
        <translation>Gehe zu Zeile</translation>
    </message>
    <message>
        <source>Line number (1 - %1), or line:column:</source>
        <translation>Zeilennummer (1 – %1) oder Zeile:Spalte:</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>It is not a list of documents of this program.</source>
        <translation>Es ist keine Dokumentliste dieses Programms.</translation>
    </message>
    <message>
        <source>It is not a file that can be read.</source>
        <translation>Es ist keine lesbare Datei.</translation>
    </message>
    <message>
        <source>It is larger than %1 MB.</source>
        <translation>Es ist größer als %1 MB.</translation>
    </message>
    <message>
        <source>Its folder cannot be made.</source>
        <translation>Sein Ordner kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>There is no last session to reopen.</source>
        <translation>Es gibt keine letzte Sitzung, die wieder geöffnet werden könnte.</translation>
    </message>
    <message>
        <source>Can&apos;t reopen the last session: %1</source>
        <translation>Die letzte Sitzung kann nicht wieder geöffnet werden: %1</translation>
    </message>
</context>
<context>
    <name>Spelling</name>
    <message>
        <source>Spelling: no dictionary is installed (Debian&apos;s hunspell-en-us, hunspell-fr, hunspell-de-de ... packages have them).</source>
        <translation>Rechtschreibung: Es ist kein Wörterbuch installiert (Debians Pakete hunspell-en-us, hunspell-fr, hunspell-de-de ... enthalten welche).</translation>
    </message>
    <message>
        <source>Spelling: the dictionary %1 could not be read (%2).</source>
        <translation>Rechtschreibung: Das Wörterbuch %1 konnte nicht gelesen werden (%2).</translation>
    </message>
    <message>
        <source>The word was not added to %1: %2<byte value="xd"/>
It is known for this session only.</source>
        <translation>Das Wort wurde nicht zu %1 hinzugefügt: %2<byte value="xd"/>
Es ist nur für diese Sitzung bekannt.</translation>
    </message>
    <message>
        <source>(no suggestions)</source>
        <translation>(keine Vorschläge)</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorieren</translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation>Zum Wörterbuch hinzufügen</translation>
    </message>
    <message>
        <source>(no dictionary installed)</source>
        <translation>(kein Wörterbuch installiert)</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>keine Datei</translation>
    </message>
    <message>
        <source>not a dictionary (size)</source>
        <translation>kein Wörterbuch (Größe)</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>not a dictionary (binary)</source>
        <translation>kein Wörterbuch (binär)</translation>
    </message>
    <message>
        <source>not a dictionary (no word count)</source>
        <translation>kein Wörterbuch (keine Wortanzahl)</translation>
    </message>
</context>
<context>
    <name>StatusBar</name>
    <message>
        <source>Line ends: convert the document&apos;s, or choose how saves end</source>
        <translation>Zeilenenden: die des Dokuments umwandeln oder wählen, wie gespeicherte Zeilen enden</translation>
    </message>
    <message>
        <source>Encoding: read the file again in another, or choose the one Save writes</source>
        <translation>Zeichenkodierung: die Datei in einer anderen neu einlesen oder die zum Speichern wählen</translation>
    </message>
    <message>
        <source>Changed</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Ln %1, Col %2</source>
        <translation>Z %1, Sp %2</translation>
    </message>
    <message>
        <source>&amp;Reopen with Encoding</source>
        <translation>Mit Zeichenkodierung &amp;neu laden</translation>
    </message>
    <message>
        <source>&amp;Save with Encoding</source>
        <translation>Mit Zeichenkodierung &amp;speichern</translation>
    </message>
    <message>
        <source>Encoding of &amp;New Documents</source>
        <translation>Zeichenkodierung n&amp;euer Dokumente</translation>
    </message>
    <message>
        <source>Can&apos;t save the encoding of new documents: </source>
        <translation>Die Zeichenkodierung neuer Dokumente kann nicht gespeichert werden: </translation>
    </message>
    <message>
        <source>Convert to CR &amp;LF</source>
        <translation>In CR &amp;LF umwandeln</translation>
    </message>
    <message>
        <source>Convert to L&amp;F</source>
        <translation>In L&amp;F umwandeln</translation>
    </message>
    <message>
        <source>Convert to &amp;CR</source>
        <translation>In &amp;CR umwandeln</translation>
    </message>
    <message>
        <source>&amp;Final Line End on Save</source>
        <translation>Abschließendes &amp;Zeilenende beim Speichern</translation>
    </message>
    <message>
        <source>Long line not coloured</source>
        <translation>Lange Zeile nicht eingefärbt</translation>
    </message>
</context>
<context>
    <name>TextLoader</name>
    <message>
        <source>There is not enough free memory to open it: it needs about %1 MB, %2 MB are free.</source>
        <translation>Es ist nicht genug freier Speicher vorhanden, um sie zu öffnen: Sie braucht etwa %1 MB, frei sind %2 MB.</translation>
    </message>
    <message>
        <source>The file name is not valid.</source>
        <translation>Der Dateiname ist ungültig.</translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation>Es ist ein Ordner.</translation>
    </message>
    <message>
        <source>It is not a regular file (a device, pipe or socket).</source>
        <translation>Es ist keine gewöhnliche Datei (sondern ein Gerät, eine Pipe oder ein Socket).</translation>
    </message>
    <message>
        <source>There was not enough memory to hold its text.</source>
        <translation>Es war nicht genug Speicher für ihren Text vorhanden.</translation>
    </message>
    <message>
        <source>There is not enough free memory to hold its text (%1 MB free).</source>
        <translation>Es ist nicht genug freier Speicher für ihren Text vorhanden (%1 MB frei).</translation>
    </message>
    <message>
        <source>It cannot be read as %1 byte for byte: some of its bytes would not be written back as they are.</source>
        <translation>Sie kann nicht Byte für Byte als %1 gelesen werden: Einige ihrer Bytes würden nicht unverändert zurückgeschrieben.</translation>
    </message>
    <message>
        <source>It has a line of more than %1 million characters, longer than Tesselpad can show.</source>
        <translation>Sie hat eine Zeile mit mehr als %1 Millionen Zeichen, länger als Tesselpad anzeigen kann.</translation>
    </message>
    <message>
        <source>It cannot be read as %1: it has an odd number of bytes.</source>
        <translation>Sie kann nicht als %1 gelesen werden: Sie hat eine ungerade Anzahl Bytes.</translation>
    </message>
    <message>
        <source>There is not enough free memory to hold it (%1 MB free).</source>
        <translation>Es ist nicht genug freier Speicher vorhanden, um sie aufzunehmen (%1 MB frei).</translation>
    </message>
</context>
<context>
    <name>ViewCommands</name>
    <message>
        <source>This document has a line of more than %1 MB, too long to wrap.</source>
        <translation>Dieses Dokument hat eine Zeile mit mehr als %1 MB, zu lang für den Zeilenumbruch.</translation>
    </message>
    <message>
        <source>This document is larger than %1 MB: it is shown without colouring.</source>
        <translation>Dieses Dokument ist größer als %1 MB: Es wird ohne Einfärbung angezeigt.</translation>
    </message>
</context>
<context>
    <name>ViewInBrowser</name>
    <message>
        <source>Can&apos;t open the browser for </source>
        <translation>Der Browser kann nicht geöffnet werden für </translation>
    </message>
    <message>
        <source>The browser shows the file as it is saved. Save the document first?</source>
        <translation>Der Browser zeigt die Datei, wie sie gespeichert ist. Das Dokument zuerst speichern?</translation>
    </message>
</context>
<context>
    <name>editcmd::ProblemMarks</name>
    <message>
        <source>Not checked: the checks are off or the document is not HTML or XML.</source>
        <translation>Nicht geprüft: Die Prüfungen sind aus oder das Dokument ist kein HTML oder XML.</translation>
    </message>
    <message>
        <source>Not checked: the page is over 32 MB.</source>
        <translation>Nicht geprüft: Die Seite ist größer als 32 MB.</translation>
    </message>
    <message>
        <source>Not checked as you type: the page is over 5 MB. View &gt; Check Page Now checks it.</source>
        <translation>Beim Tippen nicht geprüft: Die Seite ist größer als 5 MB. Ansicht &gt; Seite jetzt prüfen prüft sie.</translation>
    </message>
    <message>
        <source>Checking...</source>
        <translation>Prüfung läuft...</translation>
    </message>
    <message>
        <source>Not checked as you type: %1 elements are left open at once, which would take the check minutes. View &gt; Check Page Now checks it.</source>
        <translation>Beim Tippen nicht geprüft: %1 Elemente sind zugleich offen, die Prüfung würde Minuten dauern. Ansicht &gt; Seite jetzt prüfen prüft sie.</translation>
    </message>
    <message>
        <source>1 problem</source>
        <translation>1 Problem</translation>
    </message>
    <message>
        <source>%1 problems</source>
        <translation>%1 Probleme</translation>
    </message>
    <message>
        <source> (the first %1 listed)</source>
        <translation> (die ersten %1 aufgeführt)</translation>
    </message>
    <message>
        <source>, checked in %1 ms</source>
        <translation>, geprüft in %1 ms</translation>
    </message>
</context>
<context>
    <name>editcmd::ProblemsPanel</name>
    <message>
        <source>Problems</source>
        <translation>Probleme</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Zeile</translation>
    </message>
    <message>
        <source>Column</source>
        <translation>Spalte</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>No document is open.</source>
        <translation>Es ist kein Dokument geöffnet.</translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>About </source>
        <translation>Über </translation>
    </message>
    <message>
        <source>Designed and Programmed by </source>
        <translation>Entwurf und Programmierung: </translation>
    </message>
    <message>
        <source>Send Comments and  Suggestions to </source>
        <translation>Kommentare und Vorschläge an </translation>
    </message>
    <message>
        <source>Version </source>
        <translation>Version </translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
</context>
<context>
    <name>frmFind</name>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>Find what:</source>
        <translation>Suchen nach:</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation>&amp;Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Richtung</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation>Au&amp;fwärts</translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation>A&amp;bwärts</translation>
    </message>
    <message>
        <source>Booooooooooooooh!</source>
        <translation>Buuuuuuuuuuuuuuh!</translation>
    </message>
    <message>
        <source>Easter Egg! ;o)</source>
        <translation>Osterei! ;o)</translation>
    </message>
</context>
<context>
    <name>frmInterruptedSave</name>
    <message>
        <source>A save of %1 was interrupted; the file may hold part of the new text.

Its old content (%2 bytes) was kept whole when the save began, %3.

Restore the Old Content writes it back to the file. Keep the File as It Is leaves the file as it is now and deletes the kept copy. Decide Later asks again at the next start.</source>
        <translation>Das Speichern von %1 wurde unterbrochen; die Datei enthält womöglich nur einen Teil des neuen Textes.

Ihr alter Inhalt (%2 Bytes) wurde zu Beginn des Speicherns vollständig aufbewahrt, %3.

„Alten Inhalt wiederherstellen“ schreibt ihn zurück in die Datei. „Datei belassen, wie sie ist“ lässt die Datei, wie sie jetzt ist, und löscht die aufbewahrte Kopie. „Später entscheiden“ fragt beim nächsten Start erneut.</translation>
    </message>
    <message>
        <source>&amp;Restore the Old Content</source>
        <translation>Alten Inhalt &amp;wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Keep the File as It Is</source>
        <translation>Datei &amp;belassen, wie sie ist</translation>
    </message>
    <message>
        <source>Decide &amp;Later</source>
        <translation>&amp;Später entscheiden</translation>
    </message>
    <message>
        <source>The old content of %1 could not be written back:<byte value="xd"/>
%2<byte value="xd"/>
<byte value="xd"/>
It is still kept in %3, and you will be asked again at the next start.</source>
        <translation>Der alte Inhalt von %1 konnte nicht zurückgeschrieben werden:<byte value="xd"/>
%2<byte value="xd"/>
<byte value="xd"/>
Er ist weiterhin in %3 aufbewahrt, und Sie werden beim nächsten Start erneut gefragt.</translation>
    </message>
</context>
<context>
    <name>frmOptions</name>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
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
        <source>When Starting</source>
        <translation>Beim Start</translation>
    </message>
    <message>
        <source>Display &amp;Splash Screen</source>
        <translation>&amp;Startbildschirm anzeigen</translation>
    </message>
    <message>
        <source>&amp;Maximize Document Windows</source>
        <translation>Dokumentfenster &amp;maximieren</translation>
    </message>
</context>
<context>
    <name>frmRecover</name>
    <message>
        <source>Tesselpad did not end properly the last time it ran. The unsaved work in these documents was kept.
Recovering opens each one as a changed window; nothing is written to your files until you save.</source>
        <translation>Tesselpad wurde beim letzten Mal nicht ordnungsgemäß beendet. Die ungespeicherte Arbeit in diesen Dokumenten wurde aufbewahrt.
Wiederherstellen öffnet jedes als geändertes Fenster; in Ihre Dateien wird nichts geschrieben, bis Sie speichern.</translation>
    </message>
    <message>
        <source>Document</source>
        <translation>Dokument</translation>
    </message>
    <message>
        <source>Last changed</source>
        <translation>Zuletzt geändert</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>&amp;Recover</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Verwerfen</translation>
    </message>
    <message>
        <source>Decide &amp;Later</source>
        <translation>&amp;Später entscheiden</translation>
    </message>
    <message>
        <source>Documents kept</source>
        <translation>Aufbewahrte Dokumente</translation>
    </message>
</context>
<context>
    <name>frmReplace</name>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Fi&amp;nd what:</source>
        <translation>Su&amp;chen nach:</translation>
    </message>
    <message>
        <source>Re&amp;place with:</source>
        <translation>&amp;Ersetzen durch:</translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation>&amp;Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>&amp;Whole word</source>
        <translation>Nur ganzes &amp;Wort</translation>
    </message>
    <message>
        <source>Regular e&amp;xpression</source>
        <translation>Regulärer &amp;Ausdruck</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Richtung</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation>Au&amp;fwärts</translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation>A&amp;bwärts</translation>
    </message>
    <message>
        <source>Replace All in</source>
        <translation>Alle ersetzen in</translation>
    </message>
    <message>
        <source>the &amp;selection</source>
        <translation>der &amp;Markierung</translation>
    </message>
    <message>
        <source>the documen&amp;t</source>
        <translation>dem &amp;Dokument</translation>
    </message>
    <message>
        <source>all &amp;open documents</source>
        <translation>allen &amp;offenen Dokumenten</translation>
    </message>
    <message>
        <source>&amp;Find Next</source>
        <translation>Weiter&amp;suchen</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>E&amp;rsetzen</translation>
    </message>
    <message>
        <source>Replace &amp;All</source>
        <translation>A&amp;lle ersetzen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>frmSplash</name>
    <message>
        <source>Designed and Programmed by &lt;b&gt;</source>
        <translation>Entwurf und Programmierung: &lt;b&gt;</translation>
    </message>
    <message>
        <source>Version </source>
        <translation>Version </translation>
    </message>
    <message>
        <source>Copyright © The Tesselpad developers. Free to use and to share.</source>
        <translation>Copyright © Die Tesselpad-Entwickler. Frei zu nutzen und weiterzugeben.</translation>
    </message>
</context>
</TS>
