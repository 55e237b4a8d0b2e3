<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CommandLine</name>
    <message>
        <source>not a folder or a file</source>
        <translation>weder ein Ordner noch eine Datei</translation>
    </message>
    <message>
        <source>Displays this help and exits.</source>
        <translation>Zeigt diese Hilfe an und beendet sich.</translation>
    </message>
    <message>
        <source>Displays the version and exits.</source>
        <translation>Zeigt die Version an und beendet sich.</translation>
    </message>
    <message>
        <source>Chooses the resolution, colour depth and full screen mode of the renderer opengl.exe
and saves them, with the desktop&apos;s current mode, to config.txt in FOLDER, else in the
working directory (the home folder when started from the menu). Save and Start then
starts opengl.exe, looked up beside vexalo-config, then in that folder, then on PATH;
a Windows program runs through Wine.</source>
        <translation>Wählt Auflösung, Farbtiefe und Vollbildmodus des Renderers opengl.exe
und speichert sie mit dem aktuellen Modus des Desktops in config.txt in FOLDER,
sonst im Arbeitsverzeichnis (dem persönlichen Ordner, wenn aus dem Menü gestartet).
„Save and Start“ startet dann opengl.exe, gesucht neben vexalo-config, dann in
diesem Ordner, dann im PATH; ein Windows-Programm läuft über Wine.</translation>
    </message>
    <message>
        <source>The renderer&apos;s folder, or a file in it: config.txt is saved there, and the renderer looked for there.</source>
        <translation>Der Ordner des Renderers oder eine Datei darin: Dort wird config.txt gespeichert und der Renderer gesucht.</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Unerwartetes Argument „%1“.</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.</source>
        <translation>„%1 --help“ liefert weitere Informationen.</translation>
    </message>
    <message>
        <source>Qt&apos;s own options, such as -display, -platform and -style, are accepted too.</source>
        <translation>Die Optionen von Qt selbst, etwa -display, -platform und -style, werden ebenfalls angenommen.</translation>
    </message>
    <message>
        <source>give the renderer&apos;s folder: check the path typed, or the command of the launcher that started the tool</source>
        <translation>geben Sie den Ordner des Renderers an: Prüfen Sie den eingegebenen Pfad oder den Befehl des Starters, der das Programm gestartet hat</translation>
    </message>
</context>
<context>
    <name>Launch</name>
    <message>
        <source>the working directory has no name Wine could use</source>
        <translation>das Arbeitsverzeichnis hat keinen Namen, den Wine verwenden kann</translation>
    </message>
    <message>
        <source>could not start a session: %1</source>
        <translation>konnte keine Sitzung starten: %1</translation>
    </message>
    <message>
        <source>could not fork: %1</source>
        <translation>konnte keinen Prozess erzeugen: %1</translation>
    </message>
    <message>
        <source>could not make a pipe: %1</source>
        <translation>konnte keine Pipe anlegen: %1</translation>
    </message>
    <message>
        <source>, and Wine loads DLLs from it</source>
        <translation>, und Wine lädt DLLs daraus</translation>
    </message>
    <message>
        <source>owned by another user, not started</source>
        <translation>gehört einem anderen Benutzer, nicht gestartet</translation>
    </message>
    <message>
        <source>writable by other users, not started</source>
        <translation>für andere Benutzer beschreibbar, nicht gestartet</translation>
    </message>
    <message>
        <source>not a valid Windows program; copy or download it again</source>
        <translation>kein gültiges Windows-Programm; kopieren oder laden Sie es erneut herunter</translation>
    </message>
    <message>
        <source>a Windows program; install Wine to start it: sudo apt update &amp;&amp; sudo apt install wine</source>
        <translation>ein Windows-Programm; installieren Sie Wine, um es zu starten: sudo apt update &amp;&amp; sudo apt install wine</translation>
    </message>
    <message>
        <source>not found beside vexalo-config, in the working directory or in PATH</source>
        <translation>weder neben vexalo-config noch im Arbeitsverzeichnis noch im PATH gefunden</translation>
    </message>
    <message>
        <source>a Windows program for a processor that Wine on this machine cannot run; get the renderer&apos;s build for PCs (x86)</source>
        <translation>ein Windows-Programm für einen Prozessor, den Wine auf diesem Rechner nicht ausführen kann; besorgen Sie die Fassung des Renderers für PCs (x86)</translation>
    </message>
    <message>
        <source>a 32-bit Windows program; install Wine&apos;s 32-bit part: sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine32:i386</source>
        <translation>ein 32-Bit-Windows-Programm; installieren Sie den 32-Bit-Teil von Wine: sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine32:i386</translation>
    </message>
    <message>
        <source>a 64-bit Windows program; install Wine&apos;s 64-bit part: sudo apt update &amp;&amp; sudo apt install wine64</source>
        <translation>ein 64-Bit-Windows-Programm; installieren Sie den 64-Bit-Teil von Wine: sudo apt update &amp;&amp; sudo apt install wine64</translation>
    </message>
    <message>
        <source>Wine could not start it</source>
        <translation>Wine konnte es nicht starten</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine reguläre Datei</translation>
    </message>
    <message>
        <source>on a file system that does not allow running programs (mounted noexec)</source>
        <translation>auf einem Dateisystem, das keine Programme ausführen lässt (mit noexec eingehängt)</translation>
    </message>
    <message>
        <source>its interpreter is missing</source>
        <translation>sein Interpreter fehlt</translation>
    </message>
    <message>
        <source>its first line ends with a carriage return (Windows line endings)</source>
        <translation>seine erste Zeile endet mit einem Wagenrücklauf (Windows-Zeilenenden)</translation>
    </message>
    <message>
        <source>could not be checked, not started</source>
        <translation>konnte nicht geprüft werden, nicht gestartet</translation>
    </message>
    <message>
        <source>several files of this name in different case, none started</source>
        <translation>mehrere Dateien dieses Namens in unterschiedlicher Groß-/Kleinschreibung; keine wurde gestartet</translation>
    </message>
    <message>
        <source>a name Wine would change, so it could start another file; not started</source>
        <translation>ein Name, den Wine verändern würde, sodass es eine andere Datei starten könnte; nicht gestartet</translation>
    </message>
    <message>
        <source>a program for UEFI firmware, not a Windows program that Wine runs; get the renderer&apos;s Windows build</source>
        <translation>ein Programm für UEFI-Firmware, kein Windows-Programm, das Wine ausführt; besorgen Sie die Windows-Fassung des Renderers</translation>
    </message>
    <message>
        <source>a 32-bit Windows program; install Wine with its 32-bit part: sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine wine32:i386</source>
        <translation>ein 32-Bit-Windows-Programm; installieren Sie Wine mit seinem 32-Bit-Teil: sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine wine32:i386</translation>
    </message>
    <message>
        <source>Wine could not start it: its folder&apos;s path is longer than Windows programs can use (259 characters); move the folder higher up, as into ~/Games</source>
        <translation>Wine konnte es nicht starten: Der Pfad seines Ordners ist länger, als Windows-Programme ihn verwenden können (259 Zeichen); verschieben Sie den Ordner weiter nach oben, etwa nach ~/Games</translation>
    </message>
    <message>
        <source>Wine could not start it: the Wine prefix was made before Wine&apos;s 32-bit part was installed</source>
        <translation>Wine konnte es nicht starten: Das Wine-Präfix wurde angelegt, bevor der 32-Bit-Teil von Wine installiert war</translation>
    </message>
    <message>
        <source>%1 in %2; keep one</source>
        <translation>%1 in %2; behalten Sie nur eine</translation>
    </message>
    <message>
        <source>the link %1</source>
        <translation>die Verknüpfung %1</translation>
    </message>
    <message>
        <source>%1 has a name that is not UTF-8</source>
        <translation>%1 hat einen Namen, der kein UTF-8 ist</translation>
    </message>
    <message>
        <source>%1 has a name that ends with a dot or a space</source>
        <translation>%1 hat einen Namen, der mit einem Punkt oder Leerzeichen endet</translation>
    </message>
    <message>
        <source>%1 has a backslash in its name</source>
        <translation>%1 hat einen Backslash im Namen</translation>
    </message>
    <message>
        <source>%1; rename it</source>
        <translation>%1; benennen Sie es um</translation>
    </message>
    <message>
        <source>not found beside vexalo-config (%1), in the working directory (%2) or in PATH (%3). Open the tool on the renderer&apos;s folder: vexalo-config FOLDER in a terminal, a launcher whose command names the folder, or the folder dropped on the tool&apos;s launcher</source>
        <translation>weder neben vexalo-config (%1) noch im Arbeitsverzeichnis (%2) noch im PATH (%3) gefunden. Öffnen Sie das Programm im Ordner des Renderers: mit vexalo-config FOLDER in einem Terminal, mit einem Starter, dessen Befehl den Ordner nennt, oder indem Sie den Ordner auf den Starter des Programms ziehen</translation>
    </message>
    <message>
        <source>its interpreter %1 is missing</source>
        <translation>sein Interpreter %1 fehlt</translation>
    </message>
    <message>
        <source>ended by signal %1</source>
        <translation>durch Signal %1 beendet</translation>
    </message>
    <message>
        <source>exit status %1</source>
        <translation>Exit-Status %1</translation>
    </message>
    <message>
        <source>move it aside and the next start makes a new one: mv %1 %2</source>
        <translation>verschieben Sie es, dann legt der nächste Start ein neues an: mv %1 %2</translation>
    </message>
    <message>
        <source>is writable by all (mode %1)</source>
        <translation>ist für alle beschreibbar (Modus %1)</translation>
    </message>
    <message>
        <source>gives user %1 write access through an ACL</source>
        <translation>gibt dem Benutzer %1 über eine ACL Schreibzugriff</translation>
    </message>
    <message>
        <source>gives group %1 write access through an ACL</source>
        <translation>gibt der Gruppe %1 über eine ACL Schreibzugriff</translation>
    </message>
    <message>
        <source>is writable by group %1 (mode %2)</source>
        <translation>ist für die Gruppe %1 beschreibbar (Modus %2)</translation>
    </message>
    <message>
        <source>%1 &apos;%2&apos; takes it away</source>
        <translation>%1 &apos;%2&apos; entzieht dieses Recht</translation>
    </message>
    <message>
        <source>%1: its ACL cannot be read (%2)</source>
        <translation>%1: seine ACL kann nicht gelesen werden (%2)</translation>
    </message>
    <message>
        <source>%1 has a character in its name that Windows does not allow (&quot; * ? &lt; &gt; | or a control character)</source>
        <translation>%1 hat ein Zeichen im Namen, das Windows nicht erlaubt (&quot; * ? &lt; &gt; | oder ein Steuerzeichen)</translation>
    </message>
    <message>
        <source>the drive keeps no modes of its own, so chmod cannot change this: mount it again with umask=022 (udisksctl unmount -b %1, then udisksctl mount -b %1 -o umask=022), or copy the folder into your home folder</source>
        <translation>das Laufwerk kennt keine eigenen Rechte, chmod kann das also nicht ändern: hängen Sie es mit umask=022 neu ein (udisksctl unmount -b %1, dann udisksctl mount -b %1 -o umask=022) oder kopieren Sie den Ordner in Ihren persönlichen Ordner</translation>
    </message>
    <message>
        <source>the drive keeps no modes of its own, so chmod cannot change this: add umask=022 to the options of the line for %1 in /etc/fstab and mount it again, or copy the folder into your home folder</source>
        <translation>das Laufwerk kennt keine eigenen Rechte, chmod kann das also nicht ändern: ergänzen Sie umask=022 in den Optionen der Zeile für %1 in /etc/fstab und hängen Sie es neu ein, oder kopieren Sie den Ordner in Ihren persönlichen Ordner</translation>
    </message>
    <message>
        <source>the drive keeps no modes of its own, so chmod cannot change this: unmount %1 and mount %2 there again with -o umask=022, or copy the folder into your home folder</source>
        <translation>das Laufwerk kennt keine eigenen Rechte, chmod kann das also nicht ändern: hängen Sie %1 aus und %2 dort mit -o umask=022 wieder ein, oder kopieren Sie den Ordner in Ihren persönlichen Ordner</translation>
    </message>
    <message>
        <source>free some space on the drive of %1 (df -h %1 shows how much is left), then start it again</source>
        <translation>schaffen Sie Platz auf dem Laufwerk von %1 (df -h %1 zeigt, wie viel noch frei ist), und starten Sie es dann erneut</translation>
    </message>
    <message>
        <source>Wine could not set itself up: the drive that holds the Wine prefix is full</source>
        <translation>Wine konnte sich nicht einrichten: Das Laufwerk mit dem Wine-Präfix ist voll</translation>
    </message>
</context>
<context>
    <name>Owner</name>
    <message>
        <source>%1 belongs to user %2</source>
        <translation>%1 gehört dem Benutzer %2</translation>
    </message>
</context>
<context>
    <name>Progress</name>
    <message>
        <source>Stop Waiting</source>
        <translation>Nicht mehr warten</translation>
    </message>
    <message>
        <source>Starting %1 through Wine…

The first start sets Wine up and can take a minute.
Wine goes on when you stop waiting.</source>
        <translation>%1 wird über Wine gestartet …

Beim ersten Start richtet sich Wine ein; das kann eine Minute dauern.
Wine läuft weiter, auch wenn Sie nicht mehr warten.</translation>
    </message>
    <message>
        <source>Wine has not shown %1 after a minute.

It may still be starting, and goes on when this tool closes. If it never appears, start vexalo-config in a terminal: what Wine prints shows there.</source>
        <translation>Wine hat %1 nach einer Minute noch nicht angezeigt.

Der Start kann noch andauern und läuft weiter, wenn dieses Programm geschlossen wird. Erscheint der Renderer nie, starten Sie vexalo-config in einem Terminal: Dort sehen Sie, was Wine ausgibt.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>Save</name>
    <message>
        <source>a link owned by another user, not followed</source>
        <translation>eine Verknüpfung, die einem anderen Benutzer gehört; ihr wird nicht gefolgt</translation>
    </message>
    <message>
        <source>a link to a file that does not exist, not created through</source>
        <translation>eine Verknüpfung auf eine Datei, die es nicht gibt; über sie wird nichts angelegt</translation>
    </message>
    <message>
        <source>you may not write here: open the tool on a folder you can write to, such as a copy of the game folder in your home folder</source>
        <translation>Sie dürfen hier nicht schreiben: Öffnen Sie das Programm in einem Ordner, in den Sie schreiben dürfen, etwa in einer Kopie des Spielordners in Ihrem persönlichen Ordner</translation>
    </message>
    <message>
        <source>free some space on this drive, then save again</source>
        <translation>schaffen Sie Platz auf diesem Laufwerk, und speichern Sie dann erneut</translation>
    </message>
    <message>
        <source>your disk quota here is used up: delete some of your files on this drive, or ask its administrator for more space</source>
        <translation>Ihr Speicherkontingent ist hier aufgebraucht: Löschen Sie einige Ihrer Dateien auf diesem Laufwerk, oder bitten Sie dessen Administrator um mehr Platz</translation>
    </message>
    <message>
        <source>the drive is mounted read-only. A Windows drive is mounted so when Windows was hibernated or shut down with Fast Startup on: shut Windows down fully (shutdown /s /f /t 0) or turn Fast Startup off. Any other drive: mount it read-write, or copy the game folder into your home folder</source>
        <translation>das Laufwerk ist schreibgeschützt eingehängt. Ein Windows-Laufwerk wird so eingehängt, wenn Windows im Ruhezustand ist oder mit aktiviertem Schnellstart heruntergefahren wurde: Fahren Sie Windows vollständig herunter (shutdown /s /f /t 0), oder schalten Sie den Schnellstart aus. Bei jedem anderen Laufwerk: Hängen Sie es beschreibbar ein, oder kopieren Sie den Spielordner in Ihren persönlichen Ordner</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>cannot connect to a display</source>
        <translation>keine Verbindung zu einer Anzeige möglich</translation>
    </message>
    <message>
        <source>no screen to show the window on</source>
        <translation>kein Bildschirm, auf dem das Fenster erscheinen kann</translation>
    </message>
    <message>
        <source>cannot draw on a display of %1 bits per pixel; 15 or more are needed</source>
        <translation>kann nicht auf einer Anzeige mit %1 Bit pro Pixel zeichnen; nötig sind 15 oder mehr</translation>
    </message>
</context>
</TS>
