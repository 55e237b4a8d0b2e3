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
    <message>
        <source>give the renderer&apos;s folder: check the path typed, or the command of the launcher that started the tool</source>
        <translation>indique la carpeta del renderizador: compruebe la ruta escrita o la orden del lanzador que inició la herramienta</translation>
    </message>
</context>
<context>
    <name>Launch</name>
    <message>
        <source>the working directory has no name Wine could use</source>
        <translation>el directorio de trabajo no tiene un nombre que Wine pueda usar</translation>
    </message>
    <message>
        <source>could not start a session: %1</source>
        <translation>no se pudo iniciar una sesión: %1</translation>
    </message>
    <message>
        <source>could not fork: %1</source>
        <translation>no se pudo crear un proceso: %1</translation>
    </message>
    <message>
        <source>could not make a pipe: %1</source>
        <translation>no se pudo crear una tubería: %1</translation>
    </message>
    <message>
        <source>, and Wine loads DLLs from it</source>
        <translation>, y Wine carga DLL desde ella</translation>
    </message>
    <message>
        <source>owned by another user, not started</source>
        <translation>pertenece a otro usuario, no se ha iniciado</translation>
    </message>
    <message>
        <source>writable by other users, not started</source>
        <translation>otros usuarios pueden modificarlo, no se ha iniciado</translation>
    </message>
    <message>
        <source>not a valid Windows program; copy or download it again</source>
        <translation>no es un programa de Windows válido; cópielo o descárguelo de nuevo</translation>
    </message>
    <message>
        <source>a Windows program; install Wine to start it: sudo apt update &amp;&amp; sudo apt install wine</source>
        <translation>un programa de Windows; instale Wine para iniciarlo: sudo apt update &amp;&amp; sudo apt install wine</translation>
    </message>
    <message>
        <source>not found beside vexalo-config, in the working directory or in PATH</source>
        <translation>no se encuentra ni junto a vexalo-config ni en el directorio de trabajo ni en el PATH</translation>
    </message>
    <message>
        <source>a Windows program for a processor that Wine on this machine cannot run; get the renderer&apos;s build for PCs (x86)</source>
        <translation>un programa de Windows para un procesador que Wine no puede ejecutar en esta máquina; consiga la versión del renderizador para PC (x86)</translation>
    </message>
    <message>
        <source>a 32-bit Windows program; install Wine&apos;s 32-bit part: sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine32:i386</source>
        <translation>un programa de Windows de 32 bits; instale la parte de 32 bits de Wine: sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine32:i386</translation>
    </message>
    <message>
        <source>a 64-bit Windows program; install Wine&apos;s 64-bit part: sudo apt update &amp;&amp; sudo apt install wine64</source>
        <translation>un programa de Windows de 64 bits; instale la parte de 64 bits de Wine: sudo apt update &amp;&amp; sudo apt install wine64</translation>
    </message>
    <message>
        <source>Wine could not start it</source>
        <translation>Wine no pudo iniciarlo</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>no es un archivo regular</translation>
    </message>
    <message>
        <source>on a file system that does not allow running programs (mounted noexec)</source>
        <translation>en un sistema de archivos que no permite ejecutar programas (montado con noexec)</translation>
    </message>
    <message>
        <source>its interpreter is missing</source>
        <translation>falta su intérprete</translation>
    </message>
    <message>
        <source>its first line ends with a carriage return (Windows line endings)</source>
        <translation>su primera línea termina con un retorno de carro (finales de línea de Windows)</translation>
    </message>
    <message>
        <source>could not be checked, not started</source>
        <translation>no se pudo comprobar, no se ha iniciado</translation>
    </message>
    <message>
        <source>several files of this name in different case, none started</source>
        <translation>varios archivos con este nombre que solo difieren en mayúsculas y minúsculas; no se ha iniciado ninguno</translation>
    </message>
    <message>
        <source>a name Wine would change, so it could start another file; not started</source>
        <translation>un nombre que Wine cambiaría, de modo que podría iniciar otro archivo; no se ha iniciado</translation>
    </message>
    <message>
        <source>a program for UEFI firmware, not a Windows program that Wine runs; get the renderer&apos;s Windows build</source>
        <translation>un programa para firmware UEFI, no un programa de Windows que Wine ejecute; consiga la versión para Windows del renderizador</translation>
    </message>
    <message>
        <source>a 32-bit Windows program; install Wine with its 32-bit part: sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine wine32:i386</source>
        <translation>un programa de Windows de 32 bits; instale Wine con su parte de 32 bits: sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine wine32:i386</translation>
    </message>
    <message>
        <source>Wine could not start it: its folder&apos;s path is longer than Windows programs can use (259 characters); move the folder higher up, as into ~/Games</source>
        <translation>Wine no pudo iniciarlo: la ruta de su carpeta es más larga de lo que los programas de Windows pueden usar (259 caracteres); mueva la carpeta más arriba, por ejemplo a ~/Games</translation>
    </message>
    <message>
        <source>Wine could not start it: the Wine prefix was made before Wine&apos;s 32-bit part was installed</source>
        <translation>Wine no pudo iniciarlo: el prefijo de Wine se creó antes de instalar la parte de 32 bits de Wine</translation>
    </message>
    <message>
        <source>%1 in %2; keep one</source>
        <translation>%1 en %2; conserve solo uno</translation>
    </message>
    <message>
        <source>the link %1</source>
        <translation>el enlace %1</translation>
    </message>
    <message>
        <source>%1 has a name that is not UTF-8</source>
        <translation>%1 tiene un nombre que no es UTF-8</translation>
    </message>
    <message>
        <source>%1 has a name that ends with a dot or a space</source>
        <translation>%1 tiene un nombre que termina en punto o en espacio</translation>
    </message>
    <message>
        <source>%1 has a backslash in its name</source>
        <translation>%1 tiene una barra invertida en su nombre</translation>
    </message>
    <message>
        <source>%1; rename it</source>
        <translation>%1; cámbielo de nombre</translation>
    </message>
    <message>
        <source>not found beside vexalo-config (%1), in the working directory (%2) or in PATH (%3). Open the tool on the renderer&apos;s folder: vexalo-config FOLDER in a terminal, a launcher whose command names the folder, or the folder dropped on the tool&apos;s launcher</source>
        <translation>no se encuentra ni junto a vexalo-config (%1) ni en el directorio de trabajo (%2) ni en el PATH (%3). Abra la herramienta en la carpeta del renderizador: con vexalo-config FOLDER en una terminal, con un lanzador cuya orden nombre la carpeta, o soltando la carpeta sobre el lanzador de la herramienta</translation>
    </message>
    <message>
        <source>its interpreter %1 is missing</source>
        <translation>falta su intérprete %1</translation>
    </message>
    <message>
        <source>ended by signal %1</source>
        <translation>terminado por la señal %1</translation>
    </message>
    <message>
        <source>exit status %1</source>
        <translation>estado de salida %1</translation>
    </message>
    <message>
        <source>move it aside and the next start makes a new one: mv %1 %2</source>
        <translation>muévalo a otro sitio y el próximo inicio creará uno nuevo: mv %1 %2</translation>
    </message>
    <message>
        <source>is writable by all (mode %1)</source>
        <translation>es modificable por todos (modo %1)</translation>
    </message>
    <message>
        <source>gives user %1 write access through an ACL</source>
        <translation>da al usuario %1 permiso de escritura mediante una ACL</translation>
    </message>
    <message>
        <source>gives group %1 write access through an ACL</source>
        <translation>da al grupo %1 permiso de escritura mediante una ACL</translation>
    </message>
    <message>
        <source>is writable by group %1 (mode %2)</source>
        <translation>es modificable por el grupo %1 (modo %2)</translation>
    </message>
    <message>
        <source>%1 &apos;%2&apos; takes it away</source>
        <translation>%1 &apos;%2&apos; retira ese permiso</translation>
    </message>
    <message>
        <source>%1: its ACL cannot be read (%2)</source>
        <translation>%1: no se puede leer su ACL (%2)</translation>
    </message>
    <message>
        <source>%1 has a character in its name that Windows does not allow (&quot; * ? &lt; &gt; | or a control character)</source>
        <translation>%1 tiene en su nombre un carácter que Windows no admite (&quot; * ? &lt; &gt; | o un carácter de control)</translation>
    </message>
    <message>
        <source>the drive keeps no modes of its own, so chmod cannot change this: mount it again with umask=022 (udisksctl unmount -b %1, then udisksctl mount -b %1 -o umask=022), or copy the folder into your home folder</source>
        <translation>la unidad no guarda permisos propios, así que chmod no puede cambiarlo: vuelva a montarla con umask=022 (udisksctl unmount -b %1 y después udisksctl mount -b %1 -o umask=022) o copie la carpeta a su carpeta personal</translation>
    </message>
    <message>
        <source>the drive keeps no modes of its own, so chmod cannot change this: add umask=022 to the options of the line for %1 in /etc/fstab and mount it again, or copy the folder into your home folder</source>
        <translation>la unidad no guarda permisos propios, así que chmod no puede cambiarlo: añada umask=022 a las opciones de la línea de %1 en /etc/fstab y vuelva a montarla, o copie la carpeta a su carpeta personal</translation>
    </message>
    <message>
        <source>the drive keeps no modes of its own, so chmod cannot change this: unmount %1 and mount %2 there again with -o umask=022, or copy the folder into your home folder</source>
        <translation>la unidad no guarda permisos propios, así que chmod no puede cambiarlo: desmonte %1 y vuelva a montar allí %2 con -o umask=022, o copie la carpeta a su carpeta personal</translation>
    </message>
    <message>
        <source>free some space on the drive of %1 (df -h %1 shows how much is left), then start it again</source>
        <translation>libere espacio en la unidad de %1 (df -h %1 muestra cuánto queda) y vuelva a iniciarlo</translation>
    </message>
    <message>
        <source>Wine could not set itself up: the drive that holds the Wine prefix is full</source>
        <translation>Wine no ha podido configurarse: la unidad que contiene el prefijo de Wine está llena</translation>
    </message>
</context>
<context>
    <name>Owner</name>
    <message>
        <source>%1 belongs to user %2</source>
        <translation>%1 pertenece al usuario %2</translation>
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
Wine seguirá aunque deje de esperar.</translation>
    </message>
    <message>
        <source>Wine has not shown %1 after a minute.

It may still be starting, and goes on when this tool closes. If it never appears, start vexalo-config in a terminal: what Wine prints shows there.</source>
        <translation>Wine no ha mostrado %1 después de un minuto.

Puede que aún se esté iniciando, y seguirá cuando se cierre esta herramienta. Si el renderizador nunca aparece, inicie vexalo-config en una terminal: allí verá lo que escribe Wine.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>Save</name>
    <message>
        <source>a link owned by another user, not followed</source>
        <translation>un enlace que pertenece a otro usuario; no se ha seguido</translation>
    </message>
    <message>
        <source>a link to a file that does not exist, not created through</source>
        <translation>un enlace a un archivo que no existe, no se crea nada a través de él</translation>
    </message>
    <message>
        <source>you may not write here: open the tool on a folder you can write to, such as a copy of the game folder in your home folder</source>
        <translation>no tiene permiso para escribir aquí: abra la herramienta en una carpeta en la que pueda escribir, por ejemplo una copia de la carpeta del juego en su carpeta personal</translation>
    </message>
    <message>
        <source>free some space on this drive, then save again</source>
        <translation>libere espacio en esta unidad y vuelva a guardar</translation>
    </message>
    <message>
        <source>your disk quota here is used up: delete some of your files on this drive, or ask its administrator for more space</source>
        <translation>su cuota de disco aquí está agotada: borre algunos de sus archivos en esta unidad o pida más espacio a su administrador</translation>
    </message>
    <message>
        <source>the drive is mounted read-only. A Windows drive is mounted so when Windows was hibernated or shut down with Fast Startup on: shut Windows down fully (shutdown /s /f /t 0) or turn Fast Startup off. Any other drive: mount it read-write, or copy the game folder into your home folder</source>
        <translation>la unidad está montada en modo de solo lectura. Una unidad de Windows se monta así cuando Windows se hibernó o se apagó con el inicio rápido activado: apague Windows por completo (shutdown /s /f /t 0) o desactive el inicio rápido. Con cualquier otra unidad: móntela en modo de lectura y escritura, o copie la carpeta del juego en su carpeta personal</translation>
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
