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
s’exécute par Wine.</translation>
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
        <translation>Démarrage de %1 par Wine…

Au premier démarrage, Wine se configure, ce qui peut prendre une minute.
Wine continue même si vous n’attendez plus.</translation>
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
