<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>skyloom::config::AboutPage</name>
    <message>
        <source>%1 Bit Color</source>
        <translation>%1 Bit Farbtiefe</translation>
    </message>
    <message>
        <source>Call-back support: %1</source>
        <translation>Rückruf-Support: %1</translation>
    </message>
</context>
<context>
    <name>skyloom::config::Credits</name>
    <message>
        <source>Not Available.</source>
        <translation>Nicht verfügbar.</translation>
    </message>
    <message>
        <source>Not Available</source>
        <translation>Nicht verfügbar</translation>
    </message>
    <message>
        <source>No additional information is available for this image.</source>
        <translation>Zu diesem Bild gibt es keine weiteren Informationen.</translation>
    </message>
    <message>
        <source>Image title:</source>
        <translation>Bildtitel:</translation>
    </message>
    <message>
        <source>Image Credit:</source>
        <translation>Bildnachweis:</translation>
    </message>
    <message>
        <source>Additional image information:</source>
        <translation>Weitere Informationen zum Bild:</translation>
    </message>
    <message>
        <source>For more information</source>
        <translation>Weitere Informationen</translation>
    </message>
    <message>
        <source>Visit Corvenna Website</source>
        <translation>Website von Corvenna besuchen</translation>
    </message>
</context>
<context>
    <name>skyloom::config::EditSetsPage</name>
    <message>
        <source>Exclude Images</source>
        <translation>Bilder ausschließen</translation>
    </message>
    <message>
        <source>Exclude Image</source>
        <translation>Bild ausschließen</translation>
    </message>
    <message>
        <source>Include Images</source>
        <translation>Bilder aufnehmen</translation>
    </message>
    <message>
        <source>Include Image</source>
        <translation>Bild aufnehmen</translation>
    </message>
    <message>
        <source>Exclude Sets</source>
        <translation>Sammlungen ausschließen</translation>
    </message>
    <message>
        <source>Exclude Set</source>
        <translation>Sammlung ausschließen</translation>
    </message>
    <message>
        <source>Include Sets</source>
        <translation>Sammlungen aufnehmen</translation>
    </message>
    <message>
        <source>Include Set</source>
        <translation>Sammlung aufnehmen</translation>
    </message>
    <message>
        <source>At least one image set must stay included, or the screen saver has no pictures to show.</source>
        <translation>Mindestens eine Bildsammlung muss aufgenommen bleiben, sonst hat der Bildschirmschoner keine Bilder zu zeigen.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::EditSetsWidget</name>
    <message>
        <source>Making the image set...</source>
        <translation>Die Bildsammlung wird angelegt...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Add Photo Folder</source>
        <translation>Fotoordner hinzufügen</translation>
    </message>
    <message>
        <source>Click here to select an image set to edit.</source>
        <translation>Hier klicken, um die zu bearbeitende Bildsammlung zu wählen.</translation>
    </message>
    <message>
        <source>Image set:</source>
        <translation>Bildsammlung:</translation>
    </message>
    <message>
        <source>Show Title Page</source>
        <translation>Titelseite zeigen</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected images to the &apos;Excluded Images&apos; box.</source>
        <translation>Ziehen Sie die gewählten Bilder mit der rechten Maustaste in das Feld „Ausgeschlossene Bilder“.</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected images to the &apos;Included Images&apos; box.</source>
        <translation>Ziehen Sie die gewählten Bilder mit der rechten Maustaste in das Feld „Aufgenommene Bilder“.</translation>
    </message>
    <message>
        <source>Included Images</source>
        <translation>Aufgenommene Bilder</translation>
    </message>
    <message>
        <source>Excluded Images</source>
        <translation>Ausgeschlossene Bilder</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation>Bildvorschau</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Bilder</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected sets to the &apos;Exluded Sets&apos; box.</source>
        <translation>Ziehen Sie die gewählten Sammlungen mit der rechten Maustaste in das Feld „Ausgeschlossene Sammlungen“.</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected sets to the &apos;Included Sets&apos; box.</source>
        <translation>Ziehen Sie die gewählten Sammlungen mit der rechten Maustaste in das Feld „Aufgenommene Sammlungen“.</translation>
    </message>
    <message>
        <source>Included Sets</source>
        <translation>Aufgenommene Sammlungen</translation>
    </message>
    <message>
        <source>Excluded Sets</source>
        <translation>Ausgeschlossene Sammlungen</translation>
    </message>
    <message>
        <source>Set preview</source>
        <translation>Sammlungsvorschau</translation>
    </message>
    <message>
        <source>Add Photo Folder...</source>
        <translation>Fotoordner hinzufügen...</translation>
    </message>
    <message>
        <source>Make an image set from a folder of your photos.</source>
        <translation>Eine Bildsammlung aus einem Ordner mit Ihren Fotos anlegen.</translation>
    </message>
    <message>
        <source>Image Sets</source>
        <translation>Bildsammlungen</translation>
    </message>
    <message>
        <source>Name of the image set:</source>
        <translation>Name der Bildsammlung:</translation>
    </message>
    <message>
        <source>There is already an image set named &quot;%1&quot;. Please choose another name.</source>
        <translation>Es gibt schon eine Bildsammlung namens „%1“. Bitte wählen Sie einen anderen Namen.</translation>
    </message>
    <message>
        <source>No picture in %1 could be used.</source>
        <translation>Kein Bild in %1 war verwendbar.</translation>
    </message>
    <message>
        <source>No image set was made.

%1</source>
        <translation>Es wurde keine Bildsammlung angelegt.

%1</translation>
    </message>
    <message>
        <source>A photo folder is made into an image set at once; Cancel does not take it back.</source>
        <translation>Ein Fotoordner wird sofort zu einer Bildsammlung; „Abbrechen“ macht das nicht rückgängig.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::LockReadiness</name>
    <message>
        <source>The saver password file is damaged, so no password could end the lock.</source>
        <translation>Die Kennwortdatei des Bildschirmschoners ist beschädigt, daher könnte kein Kennwort die Sperre beenden.</translation>
    </message>
    <message>
        <source>No password could end the lock: your login password cannot be checked (%1 is missing).</source>
        <translation>Kein Kennwort könnte die Sperre beenden: Ihr Anmeldekennwort kann nicht geprüft werden (%1 fehlt).</translation>
    </message>
    <message>
        <source>Change password...</source>
        <translation>Kennwort ändern...</translation>
    </message>
    <message>
        <source>Set a saver password...</source>
        <translation>Kennwort für den Bildschirmschoner festlegen...</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged, so no password could end the saver. Enter your login password to set a new one.</source>
        <translation>Das gespeicherte Kennwort des Bildschirmschoners ist beschädigt, daher könnte kein Kennwort den Bildschirmschoner beenden. Geben Sie Ihr Anmeldekennwort ein, um ein neues festzulegen.</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged, and your login password cannot be checked (%1 is missing). To set a new password, remove the damaged file with this command, then start &quot;skyloom /a&quot; again:
%2</source>
        <translation>Das gespeicherte Kennwort des Bildschirmschoners ist beschädigt, und Ihr Anmeldekennwort kann nicht geprüft werden (%1 fehlt). Um ein neues Kennwort festzulegen, entfernen Sie die beschädigte Datei mit diesem Befehl und starten Sie dann „skyloom /a“ erneut:
%2</translation>
    </message>
    <message>
        <source>Enter the current password to change it. It cannot be removed: your login password cannot be checked (%1 is missing).</source>
        <translation>Geben Sie das aktuelle Kennwort ein, um es zu ändern. Es kann nicht entfernt werden: Ihr Anmeldekennwort kann nicht geprüft werden (%1 fehlt).</translation>
    </message>
    <message>
        <source>Leave the new password empty to use your login password again.</source>
        <translation>Lassen Sie das neue Kennwort leer, um wieder Ihr Anmeldekennwort zu verwenden.</translation>
    </message>
    <message>
        <source>No screen saver password is set, and your login password cannot be checked (%1 is missing). Set a screen saver password so that the saver can be locked.</source>
        <translation>Es ist kein Kennwort für den Bildschirmschoner festgelegt, und Ihr Anmeldekennwort kann nicht geprüft werden (%1 fehlt). Legen Sie ein Kennwort für den Bildschirmschoner fest, damit er gesperrt werden kann.</translation>
    </message>
    <message>
        <source>Password protection is off, so the screen saver ends without a password. A password set here is asked for once &quot;Password protected&quot; is on; without one, your login password is asked for.</source>
        <translation>Der Kennwortschutz ist aus, daher endet der Bildschirmschoner ohne Kennwort. Ein hier festgelegtes Kennwort wird abgefragt, sobald „Kennwortschutz“ eingeschaltet ist; ohne eines wird Ihr Anmeldekennwort abgefragt.</translation>
    </message>
    <message>
        <source>The screen saver asks for your login password. Set a screen saver password to ask for that instead.</source>
        <translation>Der Bildschirmschoner fragt nach Ihrem Anmeldekennwort. Legen Sie ein Kennwort für den Bildschirmschoner fest, damit er stattdessen danach fragt.</translation>
    </message>
    <message>
        <source>Current password:</source>
        <translation>Aktuelles Kennwort:</translation>
    </message>
    <message>
        <source>Login password:</source>
        <translation>Anmeldekennwort:</translation>
    </message>
    <message>
        <source>The current password is not correct.</source>
        <translation>Das aktuelle Kennwort ist nicht richtig.</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged. Remove it with this command, then start &quot;skyloom /a&quot; again:
%1</source>
        <translation>Das gespeicherte Kennwort des Bildschirmschoners ist beschädigt. Entfernen Sie es mit diesem Befehl und starten Sie dann „skyloom /a“ erneut:
%1</translation>
    </message>
    <message>
        <source>The login password is not correct.</source>
        <translation>Das Anmeldekennwort ist nicht richtig.</translation>
    </message>
    <message>
        <source>The new passwords do not match.</source>
        <translation>Die neuen Kennwörter stimmen nicht überein.</translation>
    </message>
    <message>
        <source>The new password is too long.</source>
        <translation>Das neue Kennwort ist zu lang.</translation>
    </message>
    <message>
        <source>The screen saver password cannot be removed while password protection is on: your login password cannot be checked (%1 is missing).</source>
        <translation>Das Kennwort des Bildschirmschoners kann nicht entfernt werden, solange der Kennwortschutz eingeschaltet ist: Ihr Anmeldekennwort kann nicht geprüft werden (%1 fehlt).</translation>
    </message>
    <message>
        <source>The password could not be saved in %1.</source>
        <translation>Das Kennwort konnte nicht in %1 gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::PageLists</name>
    <message>
        <source>Randomize From All Image Sets</source>
        <translation>Zufällig aus allen Bildsammlungen</translation>
    </message>
    <message>
        <source>No Transitions</source>
        <translation>Keine Übergänge</translation>
    </message>
    <message>
        <source>All Transitions</source>
        <translation>Alle Übergänge</translation>
    </message>
    <message>
        <source>Vertical Blinds</source>
        <translation>Senkrechte Jalousie</translation>
    </message>
    <message>
        <source>Horizontal Blinds</source>
        <translation>Waagrechte Jalousie</translation>
    </message>
    <message>
        <source>Vertical Sweep</source>
        <translation>Senkrechtes Wischen</translation>
    </message>
    <message>
        <source>Horizontal Sweep</source>
        <translation>Waagrechtes Wischen</translation>
    </message>
    <message>
        <source>Boxed In</source>
        <translation>Rechteck nach innen</translation>
    </message>
    <message>
        <source>Horizontal Center Sweep</source>
        <translation>Waagrecht von der Mitte</translation>
    </message>
    <message>
        <source>Vertical Center Sweep</source>
        <translation>Senkrecht von der Mitte</translation>
    </message>
    <message>
        <source>Block Out</source>
        <translation>Blöcke</translation>
    </message>
    <message>
        <source>Fast Block Out</source>
        <translation>Schnelle Blöcke</translation>
    </message>
    <message>
        <source>Cross Fade</source>
        <translation>Überblenden</translation>
    </message>
    <message>
        <source>Slide</source>
        <translation>Schieben</translation>
    </message>
    <message>
        <source>Slow Zoom</source>
        <translation>Langsamer Zoom</translation>
    </message>
    <message>
        <source>All Transitions, Smooth</source>
        <translation>Alle Übergänge, weich</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Englisch</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Französisch</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Spanisch</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japanisch</translation>
    </message>
    <message>
        <source>Extra Large</source>
        <translation>Sehr groß</translation>
    </message>
    <message>
        <source>Large</source>
        <translation>Groß</translation>
    </message>
    <message>
        <source>Medium</source>
        <translation>Mittel</translation>
    </message>
    <message>
        <source>Small</source>
        <translation>Klein</translation>
    </message>
    <message>
        <source>Top-Left</source>
        <translation>Oben links</translation>
    </message>
    <message>
        <source>Top-Center</source>
        <translation>Oben Mitte</translation>
    </message>
    <message>
        <source>Top-Right</source>
        <translation>Oben rechts</translation>
    </message>
    <message>
        <source>Center-Left</source>
        <translation>Mitte links</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Mitte</translation>
    </message>
    <message>
        <source>Center-Right</source>
        <translation>Mitte rechts</translation>
    </message>
    <message>
        <source>Bottom-Left</source>
        <translation>Unten links</translation>
    </message>
    <message>
        <source>Bottom-Center</source>
        <translation>Unten Mitte</translation>
    </message>
    <message>
        <source>Bottom-Right</source>
        <translation>Unten rechts</translation>
    </message>
    <message>
        <source>Manually</source>
        <translation>Von Hand</translation>
    </message>
    <message>
        <source>Every Half-hour</source>
        <translation>Jede halbe Stunde</translation>
    </message>
    <message>
        <source>Every Hour</source>
        <translation>Jede Stunde</translation>
    </message>
    <message>
        <source>Every 2 Hours</source>
        <translation>Alle 2 Stunden</translation>
    </message>
    <message>
        <source>Every 4 Hours</source>
        <translation>Alle 4 Stunden</translation>
    </message>
    <message>
        <source>Every 8 Hours</source>
        <translation>Alle 8 Stunden</translation>
    </message>
    <message>
        <source>Every Day</source>
        <translation>Jeden Tag</translation>
    </message>
    <message>
        <source>Every 2nd Day</source>
        <translation>Jeden 2. Tag</translation>
    </message>
    <message>
        <source>Every Week</source>
        <translation>Jede Woche</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmChangePassword</name>
    <message>
        <source>Change Screen Saver Password</source>
        <translation>Kennwort des Bildschirmschoners ändern</translation>
    </message>
    <message>
        <source>New password:</source>
        <translation>Neues Kennwort:</translation>
    </message>
    <message>
        <source>Confirm new password:</source>
        <translation>Neues Kennwort bestätigen:</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmCredits</name>
    <message>
        <source>Image Credits</source>
        <translation>Bildnachweis</translation>
    </message>
    <message>
        <source>Thumbnail</source>
        <translation>Miniatur</translation>
    </message>
    <message>
        <source> &amp;Close</source>
        <translation> &amp;Schließen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmMoonfield</name>
    <message>
        <source>Moonfield Configuration</source>
        <translation>Moonfield-Einstellungen</translation>
    </message>
    <message>
        <source>Screen Saver</source>
        <translation>Bildschirmschoner</translation>
    </message>
    <message>
        <source>Wallpaper</source>
        <translation>Hintergrundbild</translation>
    </message>
    <message>
        <source>Edit Sets</source>
        <translation>Sammlungen bearbeiten</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
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
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <source>This turns the screen saver on.</source>
        <translation>Schaltet den Bildschirmschoner ein.</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>This turns the screen saver off.</source>
        <translation>Schaltet den Bildschirmschoner aus.</translation>
    </message>
    <message>
        <source>Password protected</source>
        <translation>Kennwortschutz</translation>
    </message>
    <message>
        <source>Change password...</source>
        <translation>Kennwort ändern...</translation>
    </message>
    <message>
        <source>Start After</source>
        <translation>Start nach</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Image set:</source>
        <translation>Bildsammlung:</translation>
    </message>
    <message>
        <source>Time between images</source>
        <translation>Zeit zwischen den Bildern</translation>
    </message>
    <message>
        <source>&amp;Minutes</source>
        <translation>&amp;Minuten</translation>
    </message>
    <message>
        <source>Transition effects:</source>
        <translation>Übergangseffekte:</translation>
    </message>
    <message>
        <source>&amp;Size to fit screen</source>
        <translation>&amp;Größe an Bildschirm anpassen</translation>
    </message>
    <message>
        <source>Same picture on every screen</source>
        <translation>Auf jedem Bildschirm dasselbe Bild</translation>
    </message>
    <message>
        <source>Image Information</source>
        <translation>Bildinformationen</translation>
    </message>
    <message>
        <source>Show Titles</source>
        <translation>Titel zeigen</translation>
    </message>
    <message>
        <source>Show info panel</source>
        <translation>Infotafel zeigen</translation>
    </message>
    <message>
        <source>Info panel language:</source>
        <translation>Sprache der Infotafel:</translation>
    </message>
    <message>
        <source>Info panel shows for:</source>
        <translation>Infotafel zeigen für:</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>Sekunden</translation>
    </message>
    <message>
        <source>Thumbnail</source>
        <translation>Miniatur</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>&amp;Vorschau</translation>
    </message>
    <message>
        <source>Basic Settings</source>
        <translation>Grundeinstellungen</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Kalender</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Größe:</translation>
    </message>
    <message>
        <source>Position:</source>
        <translation>Position:</translation>
    </message>
    <message>
        <source>PanaMotion</source>
        <translation>PanaMotion</translation>
    </message>
    <message>
        <source>Panoramic Speed</source>
        <translation>Schwenkgeschwindigkeit</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>Langsam</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>Schnell</translation>
    </message>
    <message>
        <source>Skyloom</source>
        <translation>Skyloom</translation>
    </message>
    <message>
        <source>Click here to turn Skyloom on.</source>
        <translation>Hier klicken, um Skyloom einzuschalten.</translation>
    </message>
    <message>
        <source>Click here to turn Skyloom off.</source>
        <translation>Hier klicken, um Skyloom auszuschalten.</translation>
    </message>
    <message>
        <source>The screen saver settings could not be saved to %1.</source>
        <translation>Die Einstellungen des Bildschirmschoners konnten nicht in %1 gespeichert werden.</translation>
    </message>
    <message>
        <source>Click these to turn your wallpaper on and off.</source>
        <translation>Hiermit schalten Sie Ihr Hintergrundbild ein und aus.</translation>
    </message>
    <message>
        <source>Click here to turn your wallpaper on.</source>
        <translation>Hier klicken, um Ihr Hintergrundbild einzuschalten.</translation>
    </message>
    <message>
        <source>Click here to turn your wallpaper off.</source>
        <translation>Hier klicken, um Ihr Hintergrundbild auszuschalten.</translation>
    </message>
    <message>
        <source>This selects the image set to use for the wallpaper.</source>
        <translation>Wählt die Bildsammlung für das Hintergrundbild.</translation>
    </message>
    <message>
        <source>Click here to select a set of images  to get your wallpaper from.</source>
        <translation>Hier klicken, um die Bildsammlung zu wählen, aus der Ihr Hintergrundbild kommt.</translation>
    </message>
    <message>
        <source>&amp;Wallpaper Images</source>
        <translation>&amp;Hintergrundbilder</translation>
    </message>
    <message>
        <source>Click here to select the image to use for your wallpaper.</source>
        <translation>Hier klicken, um das Bild für Ihren Hintergrund zu wählen.</translation>
    </message>
    <message>
        <source>This is the image that will be set as your wallpaper.</source>
        <translation>Dieses Bild wird Ihr Hintergrundbild.</translation>
    </message>
    <message>
        <source>Image Info...</source>
        <translation>Bildinfo...</translation>
    </message>
    <message>
        <source>Find out more about this image.</source>
        <translation>Mehr über dieses Bild erfahren.</translation>
    </message>
    <message>
        <source>Check this to make the image fill the screen.</source>
        <translation>Ankreuzen, damit das Bild den Bildschirm füllt.</translation>
    </message>
    <message>
        <source>Change Wallpaper</source>
        <translation>Hintergrundbild wechseln</translation>
    </message>
    <message>
        <source>This controls how often the wallpaper changes.  If you select Manual,  the wallpaper calendar will still update.</source>
        <translation>Bestimmt, wie oft das Hintergrundbild wechselt. Auch bei „Von Hand“ wird der Kalender auf dem Hintergrundbild weiter aktualisiert.</translation>
    </message>
    <message>
        <source>Click here to set how often your wallpaper changes.  If you select Manual,  the wallpaper calendar will still updates at midnight.</source>
        <translation>Hier klicken, um festzulegen, wie oft Ihr Hintergrundbild wechselt. Auch bei „Von Hand“ wird der Kalender auf dem Hintergrundbild um Mitternacht aktualisiert.</translation>
    </message>
    <message>
        <source>Use these to control the wallpaper calendar.</source>
        <translation>Hiermit steuern Sie den Kalender auf dem Hintergrundbild.</translation>
    </message>
    <message>
        <source>Click here to turn the wallpaper calendar on.</source>
        <translation>Hier klicken, um den Kalender auf dem Hintergrundbild einzuschalten.</translation>
    </message>
    <message>
        <source>Click here to turn the wallpaper calendar off.</source>
        <translation>Hier klicken, um den Kalender auf dem Hintergrundbild auszuschalten.</translation>
    </message>
    <message>
        <source>WallpaperControlsSetEnable Failed</source>
        <translation>Die Vorschau des Hintergrundbilds konnte nicht geladen werden.</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>Logo</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Firma</translation>
    </message>
    <message>
        <source>Support:</source>
        <translation>Support:</translation>
    </message>
    <message>
        <source>Click here to get information about a particular image set.</source>
        <translation>Hier klicken, um Informationen zu einer bestimmten Bildsammlung zu erhalten.</translation>
    </message>
    <message>
        <source>Visit web site</source>
        <translation>Website besuchen</translation>
    </message>
    <message>
        <source>The image-set choices could not be saved.</source>
        <translation>Die Auswahl der Bildsammlungen konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Preparing your first pictures...</source>
        <translation>Ihre ersten Bilder werden vorbereitet...</translation>
    </message>
    <message>
        <source>Preparing your first pictures... %1 of %2</source>
        <translation>Ihre ersten Bilder werden vorbereitet... %1 von %2</translation>
    </message>
    <message>
        <source>Screen Saver Configuration</source>
        <translation>Bildschirmschoner-Einstellungen</translation>
    </message>
    <message>
        <source>Are you sure you want to remove the Wallpaper?</source>
        <translation>Möchten Sie das Hintergrundbild wirklich entfernen?</translation>
    </message>
    <message>
        <source>Wallpaper Configuration</source>
        <translation>Einstellungen des Hintergrundbilds</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>S&amp;econds</source>
        <translation>S&amp;ekunden</translation>
    </message>
    <message>
        <source>Shows whether the installation lets the screen saver open web pages (Tab and Esc open the pages an image set offers). A change here is not saved.</source>
        <translation>Zeigt, ob die Installation dem Bildschirmschoner erlaubt, Webseiten zu öffnen (Tab und Esc öffnen die Seiten, die eine Bildsammlung anbietet). Eine Änderung hier wird nicht gespeichert.</translation>
    </message>
    <message>
        <source>&quot;Password protected&quot; was not switched on. %1 Set a saver password first.</source>
        <translation>„Kennwortschutz“ wurde nicht eingeschaltet. %1 Legen Sie zuerst ein Kennwort für den Bildschirmschoner fest.</translation>
    </message>
    <message>
        <source>Different picture on each screen</source>
        <translation>Verschiedene Bilder auf jedem Bildschirm</translation>
    </message>
    <message>
        <source>Check this to show another picture of the set on each of your monitors.</source>
        <translation>Aktivieren Sie dies, um auf jedem Ihrer Monitore ein anderes Bild des Sets anzuzeigen.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmPleaseWait</name>
    <message>
        <source>Setting WallPaper,
One Moment Please</source>
        <translation>Hintergrundbild wird gesetzt,
bitte einen Moment Geduld</translation>
    </message>
</context>
<context>
    <name>skyloom::imagesets</name>
    <message>
        <source>Unable to find image sets. PATH = %1</source>
        <translation>Keine Bildsammlungen gefunden. PFAD = %1</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>FEHLER</translation>
    </message>
</context>
<context>
    <name>skyloom::platform</name>
    <message>
        <source>Unable to open registry key %1</source>
        <translation>Der Registrierungsschlüssel %1 lässt sich nicht öffnen</translation>
    </message>
    <message>
        <source>Error getting Registry Data</source>
        <translation>Fehler beim Lesen der Registrierungsdaten</translation>
    </message>
</context>
<context>
    <name>skyloom::platform::Password</name>
    <message>
        <source>the saver password file %1 is damaged, so no password could end the saver; set a new password with &quot;skyloom /a&quot; or remove the file</source>
        <extracomment>Follows &quot;Password protection is on, but&quot;.</extracomment>
        <translation>die Kennwortdatei %1 des Bildschirmschoners ist beschädigt, daher könnte kein Kennwort den Bildschirmschoner beenden; legen Sie mit „skyloom /a“ ein neues Kennwort fest oder entfernen Sie die Datei</translation>
    </message>
    <message>
        <source>the PAM service file %1 is missing, so your login password cannot be checked; run ./demo (or the installer) as root, or set a saver password with &quot;skyloom /a&quot;</source>
        <extracomment>Follows &quot;Password protection is on, but&quot;.</extracomment>
        <translation>die PAM-Dienstdatei %1 fehlt, daher kann Ihr Anmeldekennwort nicht geprüft werden; führen Sie ./demo (oder das Installationsprogramm) als root aus oder legen Sie mit „skyloom /a“ ein Kennwort für den Bildschirmschoner fest</translation>
    </message>
</context>
<context>
    <name>skyloom::saver::SaverGuard</name>
    <message>
        <source>Type your password to end the screen saver.</source>
        <translation>Geben Sie Ihr Kennwort ein, um den Bildschirmschoner zu beenden.</translation>
    </message>
    <message>
        <source>Checking...</source>
        <translation>Wird geprüft...</translation>
    </message>
    <message>
        <source>Wrong password. Try again.</source>
        <translation>Falsches Kennwort. Versuchen Sie es noch einmal.</translation>
    </message>
    <message numerus="yes">
        <source>Too many wrong passwords. Try again in %n second(s).</source>
        <translation>
            <numerusform>Zu viele falsche Kennwörter. Versuchen Sie es in %n Sekunde noch einmal.</numerusform>
            <numerusform>Zu viele falsche Kennwörter. Versuchen Sie es in %n Sekunden noch einmal.</numerusform>
        </translation>
    </message>
    <message>
        <source>Password protection is on, but %1. The screen saver does not start, so the screen is not locked.</source>
        <extracomment>%1 is why no password could end the lock, a clause that follows &quot;but&quot;.</extracomment>
        <translation>Der Kennwortschutz ist eingeschaltet, aber %1. Der Bildschirmschoner startet nicht, der Bildschirm wird also nicht gesperrt.</translation>
    </message>
</context>
<context>
    <name>skyloom::saver::PictureChange</name>
    <message>
        <source>Initializing Screen Saver...</source>
        <translation>Bildschirmschoner wird gestartet...</translation>
    </message>
    <message>
        <source>Screen Saver has not been set up.
Please select &apos;Settings&apos; from the
Properties Dialog.</source>
        <translation>Der Bildschirmschoner ist noch nicht eingerichtet.
Bitte wählen Sie „Einstellungen“ im
Eigenschaften-Dialog.</translation>
    </message>
    <message>
        <source>No pictures found</source>
        <translation>Keine Bilder gefunden</translation>
    </message>
</context>
<context>
    <name>skyloom::tray</name>
    <message>
        <source>Wallpaper Changer</source>
        <translation>Hintergrundwechsler</translation>
    </message>
    <message>
        <source>paperwheel changes the wallpaper on schedule, but this desktop has no system tray to show its icon and menu in. Control it from a terminal: paperwheel --next, --pause, --resume, --status or --quit.</source>
        <translation>paperwheel wechselt den Hintergrund nach Zeitplan, aber diese Arbeitsumgebung hat keinen Infobereich für sein Symbol und Menü. Steuern Sie es im Terminal: paperwheel --next, --pause, --resume, --status oder --quit.</translation>
    </message>
</context>
<context>
    <name>skyloom::tray::SkyloomStarter</name>
    <message>
        <source>Cannot start skyloom %1: %2</source>
        <translation>skyloom %1 lässt sich nicht starten: %2</translation>
    </message>
</context>
<context>
    <name>skyloom::tray::frmPlaceHolder</name>
    <message>
        <source>Next Wallpaper</source>
        <translation>Nächstes Hintergrundbild</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Einstellungen...</translation>
    </message>
    <message>
        <source>Wallpaper Auto Change Active</source>
        <translation>Automatischer Bildwechsel aktiv</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close Wallpaper Auto Changer</source>
        <translation>Hintergrundwechsler beenden</translation>
    </message>
</context>
<context>
    <name>skyloom::wallpaper</name>
    <message>
        <source>An Error occured while setting the wall paper.</source>
        <translation>Beim Setzen des Hintergrundbilds ist ein Fehler aufgetreten.</translation>
    </message>
</context>
</TS>
