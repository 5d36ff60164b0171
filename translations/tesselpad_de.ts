<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AtomicFile</name>
    <message>
        <source>The file may be written but not read, so no copy of its old content can be kept; it was not overwritten.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is not a regular file (a device, pipe or socket).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No copy of its old content could be kept in %1 (%2), so it was not overwritten.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>. The file holds its old content again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>. The file could not be put back as it was: its old content is kept in %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No file name was given.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file name is not valid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder does not exist.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is read-only: you have no permission to write to it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The new file could not be given the permissions of the old one: %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BrowserChoice</name>
    <message>
        <source>The browser command in %1 cannot be read: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No web browser was found: the desktop names none for web addresses (x-scheme-handler/https), and Debian&apos;s sensible-browser and x-www-browser have none to start. Install a browser, or name one in %1 as a line browser=firefox under [editor].</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The browser %1 is not installed (no such program on PATH).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Charsets</name>
    <message>
        <source>Unicode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Western</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Central European</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cyrillic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Greek</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Turkish</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hebrew</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Arabic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Baltic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vietnamese</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Korean</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Thai</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DiskChanges</name>
    <message>
        <source>has been deleted or moved by another program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>has been changed on disk by a save from another window of Tesselpad</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>has been changed by another program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> since it was opened or last saved.<byte value="xd"/>
<byte value="xd"/>
Do you want to write the text of this window to it again?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> since it was opened or last saved.<byte value="xd"/>
<byte value="xd"/>
Do you want to replace it with the text of this window?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Yes writes the file; No saves the text under another name; Cancel writes nothing.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>.<byte value="xd"/>
<byte value="xd"/>
The text stays in this window; Save writes it to the file again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>.<byte value="xd"/>
<byte value="xd"/>
Do you want to reload it? Yes shows the file as it is now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> and discards the changes made in this window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; No keeps the text of this window.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DocumentCommands</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t open %1 files:<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
... and %1 more.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
There is not enough free memory to read it while this window holds its text.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
The window keeps its text.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DocumentFrame</name>
    <message>
        <source>No more document windows can be opened.<byte value="xd"/>
Close a document window and try again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DocumentWriter</name>
    <message>
        <source>A character cannot be written in %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DragDrop</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Encoding</name>
    <message>
        <source>%1 declared; not exact, shown as %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>EncodingCommands</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileMenu</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
It is no longer there, and has been taken off the list of recent files.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileTypes</name>
    <message>
        <source>HTML Documents (*.htm; *.html) </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Server-Side Includes (*.stm; *.shtm; *.shtml)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>XML Files (*.xml)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Java Files (*.jav; *.java)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Style Sheets (*.css)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Active Server Pages (*.asp)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cold Fusion Templates (*.cfm; *.cfml)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PHP Files (*.php)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All files (*.*) | *.*</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Documents | </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FindInDocument</name>
    <message>
        <source>Cannot find &quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The search for &quot;%1&quot; was stopped: the regular expression needs too much work on this text.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FindInFiles</name>
    <message>
        <source>Choose a folder to search in.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; cannot be searched: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The folder &quot;%1&quot; cannot be read: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its name is not UTF-8 text, so Tesselpad cannot open it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The regular expression needed too much work on this file.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FindInFilesPanel</name>
    <message>
        <source>: cannot be read (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  (1 match</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>  (%1 matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> in its window, unsaved changes included)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find in Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fi&amp;nd what:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In f&amp;older:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File t&amp;ypes:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Searching... %1 of %2 files, %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>match</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> in </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> searched</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>binary file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>binary files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>file too large to open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>files too large to open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, skipped </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> and </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>could not be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; %1 are listed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; the regular expression needed too much work on some files</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file [</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>] no longer exists on disk.<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to save it again?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The text in [</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>] has changed.<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Do you want to save the changes?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GoToLine</name>
    <message>
        <source>&quot;%1&quot; is not a line number. Type a line number, or a line and a column as in 12:5.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HelpCommands</name>
    <message>
        <source>Can&apos;t open </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>InterruptedSave</name>
    <message>
        <source>No such copy.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The copy of the old content cannot be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>JournalFormat</name>
    <message>
        <source>It is not a recovery journal.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It was written by a newer version of Tesselpad.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It was cut short before it held the whole text.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its text is too large.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It holds too many scattered changes to rebuild its text.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It cannot be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a read failed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>JournalStore</name>
    <message>
        <source>: the folder belongs to another user.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>: the session lock is taken.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a symbolic link.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is not a regular file (a folder, pipe or device).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It belongs to another user.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is too large (%1 MB).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LineEnds</name>
    <message>
        <source>mixed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MDIForm1</name>
    <message>
        <source>Can&apos;t open file: </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Matcher</name>
    <message>
        <source>error %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid regular expression &quot;%1&quot;: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> at position %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>there is nothing to find</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MenuTree</name>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;As</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page Se&amp;tup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>De&amp;lete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time/&amp;Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;HTML</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insert HTML &amp;Frame</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;H&amp;ead&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;&amp;Title&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Bo&amp;dy&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;&amp;Br&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;&amp;Hr&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;Cente&amp;r&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toggle Co&amp;mment</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xpand Abbreviation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;Element</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Replace...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find in F&amp;iles...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Go to Line...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Reset Zoom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Word Wrap</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Colouring</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Plain Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;XML</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;CSS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Java</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Java&amp;Script</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>JS&amp;ON</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PHP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Markdown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SCSS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;LESS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Fold Margin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fold &amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Unfold All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Tab Width</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;2 Columns</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;4 Columns</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;8 Columns</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Indent with &amp;Spaces</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View in &amp;Browser</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close Ta&amp;gs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Pair Brackets and Quotes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Expand Abbreviations with Tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Complete as &amp;You Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tile &amp;Horizontal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tile Vertical</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Arrange Icons</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TSPD &amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Read Me</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send &amp;Comments</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Report &amp;Bugs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TSPD on the &amp;Web</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Printing</name>
    <message>
        <source>The printer &quot;%1&quot; did not take the document.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It could not be written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page Setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is not enough memory.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t print </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Recovery</name>
    <message>
        <source>Tesselpad cannot keep your unsaved work safe against a crash:<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Your documents are not affected: save them to keep your changes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>character</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>characters</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file no longer exists.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file has changed on disk since this work began.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The last changes were damaged: this is the text from before them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Some unsaved work kept from an earlier run cannot be recovered:<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
The files were set aside in </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReplaceCommands</name>
    <message>
        <source>1 replacement</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 replacements</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in 1 document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in %2 documents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is no selection to replace in.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot find &quot;</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Replacement</name>
    <message>
        <source>The replacement refers to %1, which the regular expression does not have (it has 1 group).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The replacement refers to %1, which the regular expression does not have (it has %2 groups).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SaveCommands</name>
    <message>
        <source>The byte %1 in line %2, column %3 is not UTF-8 text and cannot be written in %4. Nothing was written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The character %1 in line %2, column %3 cannot be written in %4. Nothing was written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the Windows-1252 code page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The page declares its encoding as %1, but it is being saved as %2.<byte value="xd"/>
<byte value="xd"/>
Change the declaration to %3?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> already exists.<byte value="xd"/>
Do you want to replace it?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t save file: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
Save the document as UTF-8 instead? No leaves it open with its changes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
<byte value="xd"/>
The document stays open with its changes.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SearchCommands</name>
    <message>
        <source>Go to Line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line number (1 - %1), or line:column:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StatusBar</name>
    <message>
        <source>Line ends: convert the document&apos;s, or choose how saves end</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encoding: read the file again in another, or choose the one Save writes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ln %1, Col %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Reopen with Encoding</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save with Encoding</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encoding of &amp;New Documents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t save the encoding of new documents: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Convert to CR &amp;LF</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Convert to L&amp;F</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Convert to &amp;CR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Final Line End on Save</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TextLoader</name>
    <message>
        <source>The file is too large (%1 MB); Tesselpad opens files of up to %2 MB.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is not enough free memory to open it: it needs about %1 MB, %2 MB are free.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file name is not valid.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is a folder.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is not a regular file (a device, pipe or socket).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There was not enough memory to hold its text.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is not enough free memory to hold its text (%1 MB free).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It cannot be read as %1 byte for byte: some of its bytes would not be written back as they are.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is too large.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It has a line of more than %1 million characters, longer than Tesselpad can show.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It cannot be read as %1: it has an odd number of bytes.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ViewCommands</name>
    <message>
        <source>This document has a line of more than %1 MB, too long to wrap.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ViewInBrowser</name>
    <message>
        <source>Can&apos;t open the browser for </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The browser shows the file as it is saved. Save the document first?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmAbout</name>
    <message>
        <source>About </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Designed and Programmed by </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send Comments and  Suggestions to </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmFind</name>
    <message>
        <source>Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find what:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Direction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Booooooooooooooh!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Easter Egg! ;o)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmInterruptedSave</name>
    <message>
        <source>A save of %1 was interrupted; the file may hold part of the new text.

Its old content (%2 bytes) was kept whole when the save began, %3.

Restore the Old Content writes it back to the file. Keep the File as It Is leaves the file as it is now and deletes the kept copy. Decide Later asks again at the next start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Restore the Old Content</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Keep the File as It Is</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decide &amp;Later</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The old content of %1 could not be written back:<byte value="xd"/>
%2<byte value="xd"/>
<byte value="xd"/>
It is still kept in %3, and you will be asked again at the next start.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmOptions</name>
    <message>
        <source>Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>When Starting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display &amp;Splash Screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Maximize Document Windows</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmRecover</name>
    <message>
        <source>Tesselpad did not end properly the last time it ran. The unsaved work in these documents was kept.
Recovering opens each one as a changed window; nothing is written to your files until you save.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last changed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Note</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Recover</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decide &amp;Later</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmReplace</name>
    <message>
        <source>Replace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fi&amp;nd what:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Re&amp;place with:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Whole word</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Regular e&amp;xpression</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Direction</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace All in</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the &amp;selection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the documen&amp;t</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>all &amp;open documents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace &amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>frmSplash</name>
    <message>
        <source>Designed and Programmed by &lt;b&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copyright © The Tesselpad developers. Free to use and to share.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
