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
        <translation>Starte %1 über Wine …

Beim ersten Start richtet sich Wine ein; das kann eine Minute dauern.
Wine macht weiter, auch wenn Sie nicht mehr warten.</translation>
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
