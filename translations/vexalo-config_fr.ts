<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>CommandLine</name>
    <message>
        <source>not a folder or a file</source>
        <translation>ni un dossier ni un fichier</translation>
    </message>
    <message>
        <source>Displays this help and exits.</source>
        <translation>Affiche cette aide et quitte.</translation>
    </message>
    <message>
        <source>Displays the version and exits.</source>
        <translation>Affiche la version et quitte.</translation>
    </message>
    <message>
        <source>Chooses the resolution, colour depth and full screen mode of the renderer opengl.exe
and saves them, with the desktop&apos;s current mode, to config.txt in FOLDER, else in the
working directory (the home folder when started from the menu). Save and Start then
starts opengl.exe, looked up beside vexalo-config, then in that folder, then on PATH;
a Windows program runs through Wine.</source>
        <translation>Choisit la résolution, la profondeur de couleur et le mode plein écran du moteur de
rendu opengl.exe et les enregistre, avec le mode actuel du bureau, dans config.txt
dans FOLDER, sinon dans le répertoire de travail (le dossier personnel si l’outil est
lancé depuis le menu). « Save and Start » démarre ensuite opengl.exe, cherché à côté
de vexalo-config, puis dans ce dossier, puis dans le PATH ; un programme Windows
s’exécute avec Wine.</translation>
    </message>
    <message>
        <source>The renderer&apos;s folder, or a file in it: config.txt is saved there, and the renderer looked for there.</source>
        <translation>Le dossier du moteur de rendu, ou un fichier qu’il contient : config.txt y est enregistré et le moteur de rendu y est cherché.</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Argument inattendu « %1 ».</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more information.</source>
        <translation>Essayez « %1 --help » pour plus d’informations.</translation>
    </message>
    <message>
        <source>Qt&apos;s own options, such as -display, -platform and -style, are accepted too.</source>
        <translation>Les options propres à Qt, comme -display, -platform et -style, sont aussi acceptées.</translation>
    </message>
    <message>
        <source>give the renderer&apos;s folder: check the path typed, or the command of the launcher that started the tool</source>
        <translation>indiquez le dossier du moteur de rendu : vérifiez le chemin saisi, ou la commande du lanceur qui a démarré l’outil</translation>
    </message>
</context>
<context>
    <name>Launch</name>
    <message>
        <source>the working directory has no name Wine could use</source>
        <translation>le répertoire de travail n’a pas de nom que Wine puisse utiliser</translation>
    </message>
    <message>
        <source>could not start a session: %1</source>
        <translation>impossible de démarrer une session : %1</translation>
    </message>
    <message>
        <source>could not fork: %1</source>
        <translation>impossible de créer un processus : %1</translation>
    </message>
    <message>
        <source>could not make a pipe: %1</source>
        <translation>impossible de créer un tube : %1</translation>
    </message>
    <message>
        <source>, and Wine loads DLLs from it</source>
        <translation>, et Wine y charge des DLL</translation>
    </message>
    <message>
        <source>owned by another user, not started</source>
        <translation>appartient à un autre utilisateur, non démarré</translation>
    </message>
    <message>
        <source>writable by other users, not started</source>
        <translation>modifiable par d’autres utilisateurs, non démarré</translation>
    </message>
    <message>
        <source>not a valid Windows program; copy or download it again</source>
        <translation>pas un programme Windows valide ; copiez-le ou téléchargez-le à nouveau</translation>
    </message>
    <message>
        <source>a Windows program; install Wine to start it: sudo apt update &amp;&amp; sudo apt install wine</source>
        <translation>un programme Windows ; installez Wine pour le démarrer : sudo apt update &amp;&amp; sudo apt install wine</translation>
    </message>
    <message>
        <source>not found beside vexalo-config, in the working directory or in PATH</source>
        <translation>introuvable ni à côté de vexalo-config, ni dans le répertoire de travail, ni dans le PATH</translation>
    </message>
    <message>
        <source>a Windows program for a processor that Wine on this machine cannot run; get the renderer&apos;s build for PCs (x86)</source>
        <translation>un programme Windows pour un processeur que Wine ne peut pas exécuter sur cette machine ; procurez-vous la version du moteur de rendu pour PC (x86)</translation>
    </message>
    <message>
        <source>a 32-bit Windows program; install Wine&apos;s 32-bit part: sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine32:i386</source>
        <translation>un programme Windows 32 bits ; installez la partie 32 bits de Wine : sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine32:i386</translation>
    </message>
    <message>
        <source>a 64-bit Windows program; install Wine&apos;s 64-bit part: sudo apt update &amp;&amp; sudo apt install wine64</source>
        <translation>un programme Windows 64 bits ; installez la partie 64 bits de Wine : sudo apt update &amp;&amp; sudo apt install wine64</translation>
    </message>
    <message>
        <source>Wine could not start it</source>
        <translation>Wine n’a pas pu le démarrer</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>pas un fichier ordinaire</translation>
    </message>
    <message>
        <source>on a file system that does not allow running programs (mounted noexec)</source>
        <translation>sur un système de fichiers qui n’autorise pas l’exécution de programmes (monté avec noexec)</translation>
    </message>
    <message>
        <source>its interpreter is missing</source>
        <translation>son interpréteur est absent</translation>
    </message>
    <message>
        <source>its first line ends with a carriage return (Windows line endings)</source>
        <translation>sa première ligne se termine par un retour chariot (fins de ligne Windows)</translation>
    </message>
    <message>
        <source>could not be checked, not started</source>
        <translation>n’a pas pu être vérifié, non démarré</translation>
    </message>
    <message>
        <source>several files of this name in different case, none started</source>
        <translation>plusieurs fichiers de ce nom avec une casse différente, aucun démarré</translation>
    </message>
    <message>
        <source>a name Wine would change, so it could start another file; not started</source>
        <translation>un nom que Wine modifierait, si bien qu’il pourrait démarrer un autre fichier ; non démarré</translation>
    </message>
    <message>
        <source>a program for UEFI firmware, not a Windows program that Wine runs; get the renderer&apos;s Windows build</source>
        <translation>un programme pour micrologiciel UEFI, pas un programme Windows que Wine exécute ; procurez-vous la version Windows du moteur de rendu</translation>
    </message>
    <message>
        <source>a 32-bit Windows program; install Wine with its 32-bit part: sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine wine32:i386</source>
        <translation>un programme Windows 32 bits ; installez Wine avec sa partie 32 bits : sudo dpkg --add-architecture i386 &amp;&amp; sudo apt update &amp;&amp; sudo apt install wine wine32:i386</translation>
    </message>
    <message>
        <source>Wine could not start it: its folder&apos;s path is longer than Windows programs can use (259 characters); move the folder higher up, as into ~/Games</source>
        <translation>Wine n’a pas pu le démarrer : le chemin de son dossier est plus long que ce que les programmes Windows peuvent utiliser (259 caractères) ; déplacez le dossier plus haut, par exemple dans ~/Games</translation>
    </message>
    <message>
        <source>Wine could not start it: the Wine prefix was made before Wine&apos;s 32-bit part was installed</source>
        <translation>Wine n’a pas pu le démarrer : le préfixe Wine a été créé avant l’installation de la partie 32 bits de Wine</translation>
    </message>
    <message>
        <source>%1 in %2; keep one</source>
        <translation>%1 dans %2 ; n’en gardez qu’un</translation>
    </message>
    <message>
        <source>the link %1</source>
        <translation>le lien %1</translation>
    </message>
    <message>
        <source>%1 has a name that is not UTF-8</source>
        <translation>%1 a un nom qui n’est pas en UTF-8</translation>
    </message>
    <message>
        <source>%1 has a name that ends with a dot or a space</source>
        <translation>%1 a un nom qui se termine par un point ou une espace</translation>
    </message>
    <message>
        <source>%1 has a backslash in its name</source>
        <translation>%1 a une barre oblique inverse dans son nom</translation>
    </message>
    <message>
        <source>%1; rename it</source>
        <translation>%1 ; renommez-le</translation>
    </message>
    <message>
        <source>not found beside vexalo-config (%1), in the working directory (%2) or in PATH (%3). Open the tool on the renderer&apos;s folder: vexalo-config FOLDER in a terminal, a launcher whose command names the folder, or the folder dropped on the tool&apos;s launcher</source>
        <translation>introuvable ni à côté de vexalo-config (%1), ni dans le répertoire de travail (%2), ni dans le PATH (%3). Ouvrez l’outil dans le dossier du moteur de rendu : avec vexalo-config FOLDER dans un terminal, avec un lanceur dont la commande nomme le dossier, ou en déposant le dossier sur le lanceur de l’outil</translation>
    </message>
    <message>
        <source>its interpreter %1 is missing</source>
        <translation>son interpréteur %1 est absent</translation>
    </message>
    <message>
        <source>ended by signal %1</source>
        <translation>terminé par le signal %1</translation>
    </message>
    <message>
        <source>exit status %1</source>
        <translation>code de sortie %1</translation>
    </message>
    <message>
        <source>move it aside and the next start makes a new one: mv %1 %2</source>
        <translation>mettez-le de côté et le prochain démarrage en créera un nouveau : mv %1 %2</translation>
    </message>
    <message>
        <source>is writable by all (mode %1)</source>
        <translation>est modifiable par tous (mode %1)</translation>
    </message>
    <message>
        <source>gives user %1 write access through an ACL</source>
        <translation>donne à l’utilisateur %1 le droit d’écriture par une ACL</translation>
    </message>
    <message>
        <source>gives group %1 write access through an ACL</source>
        <translation>donne au groupe %1 le droit d’écriture par une ACL</translation>
    </message>
    <message>
        <source>is writable by group %1 (mode %2)</source>
        <translation>est modifiable par le groupe %1 (mode %2)</translation>
    </message>
    <message>
        <source>%1 &apos;%2&apos; takes it away</source>
        <translation>%1 &apos;%2&apos; retire ce droit</translation>
    </message>
    <message>
        <source>%1: its ACL cannot be read (%2)</source>
        <translation>%1 : son ACL ne peut pas être lue (%2)</translation>
    </message>
    <message>
        <source>%1 has a character in its name that Windows does not allow (&quot; * ? &lt; &gt; | or a control character)</source>
        <translation>%1 a dans son nom un caractère que Windows n’accepte pas (&quot; * ? &lt; &gt; | ou un caractère de contrôle)</translation>
    </message>
    <message>
        <source>the drive keeps no modes of its own, so chmod cannot change this: mount it again with umask=022 (udisksctl unmount -b %1, then udisksctl mount -b %1 -o umask=022), or copy the folder into your home folder</source>
        <translation>le lecteur ne garde pas de droits propres, chmod ne peut donc rien y changer : remontez-le avec umask=022 (udisksctl unmount -b %1, puis udisksctl mount -b %1 -o umask=022) ou copiez le dossier dans votre dossier personnel</translation>
    </message>
    <message>
        <source>the drive keeps no modes of its own, so chmod cannot change this: add umask=022 to the options of the line for %1 in /etc/fstab and mount it again, or copy the folder into your home folder</source>
        <translation>le lecteur ne garde pas de droits propres, chmod ne peut donc rien y changer : ajoutez umask=022 aux options de la ligne de %1 dans /etc/fstab et remontez-le, ou copiez le dossier dans votre dossier personnel</translation>
    </message>
    <message>
        <source>the drive keeps no modes of its own, so chmod cannot change this: unmount %1 and mount %2 there again with -o umask=022, or copy the folder into your home folder</source>
        <translation>le lecteur ne garde pas de droits propres, chmod ne peut donc rien y changer : démontez %1 et remontez-y %2 avec -o umask=022, ou copiez le dossier dans votre dossier personnel</translation>
    </message>
    <message>
        <source>free some space on the drive of %1 (df -h %1 shows how much is left), then start it again</source>
        <translation>libérez de l’espace sur le disque de %1 (df -h %1 indique l’espace restant), puis relancez-le</translation>
    </message>
    <message>
        <source>Wine could not set itself up: the drive that holds the Wine prefix is full</source>
        <translation>Wine n’a pas pu se configurer : le disque qui contient le préfixe Wine est plein</translation>
    </message>
</context>
<context>
    <name>Owner</name>
    <message>
        <source>%1 belongs to user %2</source>
        <translation>%1 appartient à l’utilisateur %2</translation>
    </message>
</context>
<context>
    <name>Progress</name>
    <message>
        <source>Stop Waiting</source>
        <translation>Ne plus attendre</translation>
    </message>
    <message>
        <source>Starting %1 through Wine…

The first start sets Wine up and can take a minute.
Wine goes on when you stop waiting.</source>
        <translation>Démarrage de %1 avec Wine…

Au premier démarrage, Wine se configure, ce qui peut prendre une minute.
Wine continue même si vous n’attendez plus.</translation>
    </message>
    <message>
        <source>Wine has not shown %1 after a minute.

It may still be starting, and goes on when this tool closes. If it never appears, start vexalo-config in a terminal: what Wine prints shows there.</source>
        <translation>Wine n’a pas affiché %1 au bout d’une minute.

Le démarrage est peut-être encore en cours, et il se poursuit après la fermeture de cet outil. Si le moteur de rendu n’apparaît jamais, lancez vexalo-config dans un terminal : vous y verrez ce qu’affiche Wine.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>Save</name>
    <message>
        <source>a link owned by another user, not followed</source>
        <translation>un lien appartenant à un autre utilisateur, non suivi</translation>
    </message>
    <message>
        <source>a link to a file that does not exist, not created through</source>
        <translation>un lien vers un fichier qui n’existe pas, rien n’est créé à travers lui</translation>
    </message>
    <message>
        <source>you may not write here: open the tool on a folder you can write to, such as a copy of the game folder in your home folder</source>
        <translation>vous n’avez pas le droit d’écrire ici : ouvrez l’outil dans un dossier où vous pouvez écrire, par exemple une copie du dossier du jeu dans votre dossier personnel</translation>
    </message>
    <message>
        <source>free some space on this drive, then save again</source>
        <translation>libérez de l’espace sur ce disque, puis enregistrez à nouveau</translation>
    </message>
    <message>
        <source>your disk quota here is used up: delete some of your files on this drive, or ask its administrator for more space</source>
        <translation>votre quota de disque est épuisé ici : supprimez certains de vos fichiers sur ce disque, ou demandez plus d’espace à son administrateur</translation>
    </message>
    <message>
        <source>the drive is mounted read-only. A Windows drive is mounted so when Windows was hibernated or shut down with Fast Startup on: shut Windows down fully (shutdown /s /f /t 0) or turn Fast Startup off. Any other drive: mount it read-write, or copy the game folder into your home folder</source>
        <translation>le disque est monté en lecture seule. Un disque Windows l’est quand Windows a été mis en veille prolongée ou arrêté avec le démarrage rapide activé : arrêtez complètement Windows (shutdown /s /f /t 0) ou désactivez le démarrage rapide. Pour tout autre disque : montez-le en lecture-écriture, ou copiez le dossier du jeu dans votre dossier personnel</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>cannot connect to a display</source>
        <translation>impossible de se connecter à un affichage</translation>
    </message>
    <message>
        <source>no screen to show the window on</source>
        <translation>aucun écran où afficher la fenêtre</translation>
    </message>
    <message>
        <source>cannot draw on a display of %1 bits per pixel; 15 or more are needed</source>
        <translation>impossible de dessiner sur un affichage de %1 bits par pixel ; il en faut 15 ou plus</translation>
    </message>
</context>
</TS>
