<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>CommandLine</name>
    <message>
        <source>not a folder or a file</source>
        <translation>no es una carpeta ni un archivo</translation>
    </message>
    <message>
        <source>Displays this help and exits.</source>
        <translation>Muestra esta ayuda y termina.</translation>
    </message>
    <message>
        <source>Displays the version and exits.</source>
        <translation>Muestra la versión y termina.</translation>
    </message>
    <message>
        <source>Chooses the resolution, colour depth and full screen mode of the renderer opengl.exe
and saves them, with the desktop&apos;s current mode, to config.txt in FOLDER, else in the
working directory (the home folder when started from the menu). Save and Start then
starts opengl.exe, looked up beside vexalo-config, then in that folder, then on PATH;
a Windows program runs through Wine.</source>
        <translation>Elige la resolución, la profundidad de color y el modo de pantalla completa del
renderizador opengl.exe y los guarda, con el modo actual del escritorio, en config.txt
en FOLDER o, si no, en el directorio de trabajo (la carpeta personal si se inicia desde
el menú). «Save and Start» inicia después opengl.exe, que se busca junto a
vexalo-config, luego en esa carpeta y luego en el PATH; un programa de Windows se
ejecuta con Wine.</translation>
    </message>
    <message>
        <source>The renderer&apos;s folder, or a file in it: config.txt is saved there, and the renderer looked for there.</source>
        <translation>La carpeta del renderizador, o un archivo dentro de ella: allí se guarda config.txt y allí se busca el renderizador.</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Argumento inesperado «%1».</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.</source>
        <translation>Pruebe «%1 --help» para más información.</translation>
    </message>
    <message>
        <source>Qt&apos;s own options, such as -display, -platform and -style, are accepted too.</source>
        <translation>También se aceptan las opciones propias de Qt, como -display, -platform y -style.</translation>
    </message>
</context>
<context>
    <name>Progress</name>
    <message>
        <source>Stop Waiting</source>
        <translation>Dejar de esperar</translation>
    </message>
    <message>
        <source>Starting %1 through Wine…

The first start sets Wine up and can take a minute.
Wine goes on when you stop waiting.</source>
        <translation>Iniciando %1 con Wine…

En el primer inicio Wine se configura, lo que puede tardar un minuto.
Wine sigue aunque usted deje de esperar.</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>cannot connect to a display</source>
        <translation>no se puede conectar a una pantalla</translation>
    </message>
    <message>
        <source>no screen to show the window on</source>
        <translation>no hay ninguna pantalla donde mostrar la ventana</translation>
    </message>
    <message>
        <source>cannot draw on a display of %1 bits per pixel; 15 or more are needed</source>
        <translation>no se puede dibujar en una pantalla de %1 bits por píxel; se necesitan 15 o más</translation>
    </message>
</context>
</TS>
