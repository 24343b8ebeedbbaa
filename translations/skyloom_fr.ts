<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>skyloom::config::AboutPage</name>
    <message>
        <source>%1 Bit Color</source>
        <translation>Couleurs %1 bits</translation>
    </message>
    <message>
        <source>Call-back support: %1</source>
        <translation>Assistance par rappel : %1</translation>
    </message>
</context>
<context>
    <name>skyloom::config::Credits</name>
    <message>
        <source>Not Available.</source>
        <translation>Non disponible.</translation>
    </message>
    <message>
        <source>Not Available</source>
        <translation>Non disponible</translation>
    </message>
    <message>
        <source>No additional information is available for this image.</source>
        <translation>Aucune information supplémentaire n’est disponible pour cette image.</translation>
    </message>
    <message>
        <source>Image title:</source>
        <translation>Titre de l’image :</translation>
    </message>
    <message>
        <source>Image Credit:</source>
        <translation>Crédit de l’image :</translation>
    </message>
    <message>
        <source>Additional image information:</source>
        <translation>Informations supplémentaires sur l’image :</translation>
    </message>
    <message>
        <source>For more information</source>
        <translation>Pour en savoir plus</translation>
    </message>
    <message>
        <source>Visit Corvenna Website</source>
        <translation>Visiter le site de Corvenna</translation>
    </message>
</context>
<context>
    <name>skyloom::config::EditSetsPage</name>
    <message>
        <source>Exclude Images</source>
        <translation>Exclure les images</translation>
    </message>
    <message>
        <source>Exclude Image</source>
        <translation>Exclure l’image</translation>
    </message>
    <message>
        <source>Include Images</source>
        <translation>Inclure les images</translation>
    </message>
    <message>
        <source>Include Image</source>
        <translation>Inclure l’image</translation>
    </message>
    <message>
        <source>Exclude Sets</source>
        <translation>Exclure les collections</translation>
    </message>
    <message>
        <source>Exclude Set</source>
        <translation>Exclure la collection</translation>
    </message>
    <message>
        <source>Include Sets</source>
        <translation>Inclure les collections</translation>
    </message>
    <message>
        <source>Include Set</source>
        <translation>Inclure la collection</translation>
    </message>
    <message>
        <source>At least one image set must stay included, or the screen saver has no pictures to show.</source>
        <translation>Au moins une collection d’images doit rester incluse, sinon l’économiseur d’écran n’a aucune image à montrer.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::EditSetsWidget</name>
    <message>
        <source>Making the image set...</source>
        <translation>Création de la collection d’images...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Add Photo Folder</source>
        <translation>Ajouter un dossier de photos</translation>
    </message>
    <message>
        <source>Click here to select an image set to edit.</source>
        <translation>Cliquez ici pour choisir la collection d’images à modifier.</translation>
    </message>
    <message>
        <source>Image set:</source>
        <translation>Collection d’images :</translation>
    </message>
    <message>
        <source>Show Title Page</source>
        <translation>Afficher la page de titre</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected images to the &apos;Excluded Images&apos; box.</source>
        <translation>Faites glisser les images choisies avec le bouton droit vers la liste « Images exclues ».</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected images to the &apos;Included Images&apos; box.</source>
        <translation>Faites glisser les images choisies avec le bouton droit vers la liste « Images incluses ».</translation>
    </message>
    <message>
        <source>Included Images</source>
        <translation>Images incluses</translation>
    </message>
    <message>
        <source>Excluded Images</source>
        <translation>Images exclues</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation>Aperçu de l’image</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Images</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected sets to the &apos;Exluded Sets&apos; box.</source>
        <translation>Faites glisser les collections choisies avec le bouton droit vers la liste « Collections exclues ».</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected sets to the &apos;Included Sets&apos; box.</source>
        <translation>Faites glisser les collections choisies avec le bouton droit vers la liste « Collections incluses ».</translation>
    </message>
    <message>
        <source>Included Sets</source>
        <translation>Collections incluses</translation>
    </message>
    <message>
        <source>Excluded Sets</source>
        <translation>Collections exclues</translation>
    </message>
    <message>
        <source>Set preview</source>
        <translation>Aperçu de la collection</translation>
    </message>
    <message>
        <source>Add Photo Folder...</source>
        <translation>Ajouter un dossier de photos...</translation>
    </message>
    <message>
        <source>Make an image set from a folder of your photos.</source>
        <translation>Créer une collection d’images à partir d’un dossier de vos photos.</translation>
    </message>
    <message>
        <source>Image Sets</source>
        <translation>Collections d’images</translation>
    </message>
    <message>
        <source>Name of the image set:</source>
        <translation>Nom de la collection d’images :</translation>
    </message>
    <message>
        <source>There is already an image set named &quot;%1&quot;. Please choose another name.</source>
        <translation>Une collection d’images nommée « %1 » existe déjà. Veuillez choisir un autre nom.</translation>
    </message>
    <message>
        <source>No picture in %1 could be used.</source>
        <translation>Aucune image de %1 n’a pu être utilisée.</translation>
    </message>
    <message>
        <source>No image set was made.

%1</source>
        <translation>Aucune collection d’images n’a été créée.

%1</translation>
    </message>
    <message>
        <source>A photo folder is made into an image set at once; Cancel does not take it back.</source>
        <translation>Un dossier de photos devient aussitôt une collection d’images ; « Annuler » ne l’annule pas.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::LockReadiness</name>
    <message>
        <source>The saver password file is damaged, so no password could end the lock.</source>
        <translation>Le fichier du mot de passe de l’économiseur d’écran est endommagé : aucun mot de passe ne pourrait mettre fin au verrouillage.</translation>
    </message>
    <message>
        <source>No password could end the lock: your login password cannot be checked (%1 is missing).</source>
        <translation>Aucun mot de passe ne pourrait mettre fin au verrouillage : votre mot de passe de session ne peut pas être vérifié (%1 est absent).</translation>
    </message>
    <message>
        <source>Change password...</source>
        <translation>Modifier le mot de passe...</translation>
    </message>
    <message>
        <source>Set a saver password...</source>
        <translation>Définir un mot de passe d’économiseur...</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged, so no password could end the saver. Enter your login password to set a new one.</source>
        <translation>Le mot de passe enregistré de l’économiseur d’écran est endommagé : aucun mot de passe ne pourrait quitter l’économiseur. Saisissez votre mot de passe de session pour en définir un nouveau.</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged, and your login password cannot be checked (%1 is missing). To set a new password, remove the damaged file with this command, then start &quot;skyloom /a&quot; again:
%2</source>
        <translation>Le mot de passe enregistré de l’économiseur d’écran est endommagé et votre mot de passe de session ne peut pas être vérifié (%1 est absent). Pour définir un nouveau mot de passe, supprimez le fichier endommagé avec cette commande, puis relancez « skyloom /a » :
%2</translation>
    </message>
    <message>
        <source>Enter the current password to change it. It cannot be removed: your login password cannot be checked (%1 is missing).</source>
        <translation>Saisissez le mot de passe actuel pour le modifier. Il ne peut pas être supprimé : votre mot de passe de session ne peut pas être vérifié (%1 est absent).</translation>
    </message>
    <message>
        <source>Leave the new password empty to use your login password again.</source>
        <translation>Laissez le nouveau mot de passe vide pour utiliser de nouveau votre mot de passe de session.</translation>
    </message>
    <message>
        <source>No screen saver password is set, and your login password cannot be checked (%1 is missing). Set a screen saver password so that the saver can be locked.</source>
        <translation>Aucun mot de passe d’économiseur d’écran n’est défini et votre mot de passe de session ne peut pas être vérifié (%1 est absent). Définissez un mot de passe d’économiseur d’écran pour que l’économiseur puisse être verrouillé.</translation>
    </message>
    <message>
        <source>Password protection is off, so the screen saver ends without a password. A password set here is asked for once &quot;Password protected&quot; is on; without one, your login password is asked for.</source>
        <translation>La protection par mot de passe est désactivée : l’économiseur d’écran se termine sans mot de passe. Un mot de passe défini ici est demandé dès que « Protégé par mot de passe » est activé ; sans lui, c’est votre mot de passe de session qui est demandé.</translation>
    </message>
    <message>
        <source>The screen saver asks for your login password. Set a screen saver password to ask for that instead.</source>
        <translation>L’économiseur d’écran demande votre mot de passe de session. Définissez un mot de passe d’économiseur d’écran pour qu’il demande celui-ci à la place.</translation>
    </message>
    <message>
        <source>Current password:</source>
        <translation>Mot de passe actuel :</translation>
    </message>
    <message>
        <source>Login password:</source>
        <translation>Mot de passe de session :</translation>
    </message>
    <message>
        <source>The current password is not correct.</source>
        <translation>Le mot de passe actuel n’est pas correct.</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged. Remove it with this command, then start &quot;skyloom /a&quot; again:
%1</source>
        <translation>Le mot de passe enregistré de l’économiseur d’écran est endommagé. Supprimez-le avec cette commande, puis relancez « skyloom /a » :
%1</translation>
    </message>
    <message>
        <source>The login password is not correct.</source>
        <translation>Le mot de passe de session n’est pas correct.</translation>
    </message>
    <message>
        <source>The new passwords do not match.</source>
        <translation>Les nouveaux mots de passe ne correspondent pas.</translation>
    </message>
    <message>
        <source>The new password is too long.</source>
        <translation>Le nouveau mot de passe est trop long.</translation>
    </message>
    <message>
        <source>The screen saver password cannot be removed while password protection is on: your login password cannot be checked (%1 is missing).</source>
        <translation>Le mot de passe de l’économiseur d’écran ne peut pas être supprimé tant que la protection par mot de passe est activée : votre mot de passe de session ne peut pas être vérifié (%1 est absent).</translation>
    </message>
    <message>
        <source>The password could not be saved in %1.</source>
        <translation>Le mot de passe n’a pas pu être enregistré dans %1.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::PageLists</name>
    <message>
        <source>Randomize From All Image Sets</source>
        <translation>Au hasard dans toutes les collections</translation>
    </message>
    <message>
        <source>No Transitions</source>
        <translation>Aucune transition</translation>
    </message>
    <message>
        <source>All Transitions</source>
        <translation>Toutes les transitions</translation>
    </message>
    <message>
        <source>Vertical Blinds</source>
        <translation>Stores verticaux</translation>
    </message>
    <message>
        <source>Horizontal Blinds</source>
        <translation>Stores horizontaux</translation>
    </message>
    <message>
        <source>Vertical Sweep</source>
        <translation>Balayage vertical</translation>
    </message>
    <message>
        <source>Horizontal Sweep</source>
        <translation>Balayage horizontal</translation>
    </message>
    <message>
        <source>Boxed In</source>
        <translation>Cadre vers l’intérieur</translation>
    </message>
    <message>
        <source>Horizontal Center Sweep</source>
        <translation>Balayage horizontal depuis le centre</translation>
    </message>
    <message>
        <source>Vertical Center Sweep</source>
        <translation>Balayage vertical depuis le centre</translation>
    </message>
    <message>
        <source>Block Out</source>
        <translation>Blocs</translation>
    </message>
    <message>
        <source>Fast Block Out</source>
        <translation>Blocs rapides</translation>
    </message>
    <message>
        <source>Cross Fade</source>
        <translation>Fondu enchaîné</translation>
    </message>
    <message>
        <source>Slide</source>
        <translation>Glissement</translation>
    </message>
    <message>
        <source>Slow Zoom</source>
        <translation>Zoom lent</translation>
    </message>
    <message>
        <source>All Transitions, Smooth</source>
        <translation>Toutes les transitions, en douceur</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Anglais</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Français</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Allemand</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Espagnol</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japonais</translation>
    </message>
    <message>
        <source>Extra Large</source>
        <translation>Très grand</translation>
    </message>
    <message>
        <source>Large</source>
        <translation>Grand</translation>
    </message>
    <message>
        <source>Medium</source>
        <translation>Moyen</translation>
    </message>
    <message>
        <source>Small</source>
        <translation>Petit</translation>
    </message>
    <message>
        <source>Top-Left</source>
        <translation>En haut à gauche</translation>
    </message>
    <message>
        <source>Top-Center</source>
        <translation>En haut au centre</translation>
    </message>
    <message>
        <source>Top-Right</source>
        <translation>En haut à droite</translation>
    </message>
    <message>
        <source>Center-Left</source>
        <translation>Au centre à gauche</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Au centre</translation>
    </message>
    <message>
        <source>Center-Right</source>
        <translation>Au centre à droite</translation>
    </message>
    <message>
        <source>Bottom-Left</source>
        <translation>En bas à gauche</translation>
    </message>
    <message>
        <source>Bottom-Center</source>
        <translation>En bas au centre</translation>
    </message>
    <message>
        <source>Bottom-Right</source>
        <translation>En bas à droite</translation>
    </message>
    <message>
        <source>Manually</source>
        <translation>Manuellement</translation>
    </message>
    <message>
        <source>Every Half-hour</source>
        <translation>Toutes les demi-heures</translation>
    </message>
    <message>
        <source>Every Hour</source>
        <translation>Toutes les heures</translation>
    </message>
    <message>
        <source>Every 2 Hours</source>
        <translation>Toutes les 2 heures</translation>
    </message>
    <message>
        <source>Every 4 Hours</source>
        <translation>Toutes les 4 heures</translation>
    </message>
    <message>
        <source>Every 8 Hours</source>
        <translation>Toutes les 8 heures</translation>
    </message>
    <message>
        <source>Every Day</source>
        <translation>Tous les jours</translation>
    </message>
    <message>
        <source>Every 2nd Day</source>
        <translation>Tous les 2 jours</translation>
    </message>
    <message>
        <source>Every Week</source>
        <translation>Toutes les semaines</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmChangePassword</name>
    <message>
        <source>Change Screen Saver Password</source>
        <translation>Modifier le mot de passe de l’économiseur d’écran</translation>
    </message>
    <message>
        <source>New password:</source>
        <translation>Nouveau mot de passe :</translation>
    </message>
    <message>
        <source>Confirm new password:</source>
        <translation>Confirmer le nouveau mot de passe :</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmCredits</name>
    <message>
        <source>Image Credits</source>
        <translation>Crédits de l’image</translation>
    </message>
    <message>
        <source>Thumbnail</source>
        <translation>Vignette</translation>
    </message>
    <message>
        <source> &amp;Close</source>
        <translation> &amp;Fermer</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmMoonfield</name>
    <message>
        <source>Moonfield Configuration</source>
        <translation>Configuration de Moonfield</translation>
    </message>
    <message>
        <source>Screen Saver</source>
        <translation>Économiseur d’écran</translation>
    </message>
    <message>
        <source>Wallpaper</source>
        <translation>Fond d’écran</translation>
    </message>
    <message>
        <source>Edit Sets</source>
        <translation>Collections</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Activé</translation>
    </message>
    <message>
        <source>This turns the screen saver on.</source>
        <translation>Active l’économiseur d’écran.</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Désactivé</translation>
    </message>
    <message>
        <source>This turns the screen saver off.</source>
        <translation>Désactive l’économiseur d’écran.</translation>
    </message>
    <message>
        <source>Password protected</source>
        <translation>Protégé par mot de passe</translation>
    </message>
    <message>
        <source>Change password...</source>
        <translation>Modifier le mot de passe...</translation>
    </message>
    <message>
        <source>Start After</source>
        <translation>Démarrer après</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>Image set:</source>
        <translation>Collection d’images :</translation>
    </message>
    <message>
        <source>Time between images</source>
        <translation>Temps entre les images</translation>
    </message>
    <message>
        <source>&amp;Minutes</source>
        <translation>&amp;Minutes</translation>
    </message>
    <message>
        <source>Transition effects:</source>
        <translation>Effets de transition :</translation>
    </message>
    <message>
        <source>&amp;Size to fit screen</source>
        <translation>&amp;Ajuster à l’écran</translation>
    </message>
    <message>
        <source>Same picture on every screen</source>
        <translation>Même image sur chaque écran</translation>
    </message>
    <message>
        <source>Image Information</source>
        <translation>Informations sur l’image</translation>
    </message>
    <message>
        <source>Show Titles</source>
        <translation>Afficher les titres</translation>
    </message>
    <message>
        <source>Show info panel</source>
        <translation>Afficher le panneau d’informations</translation>
    </message>
    <message>
        <source>Info panel language:</source>
        <translation>Langue du panneau :</translation>
    </message>
    <message>
        <source>Info panel shows for:</source>
        <translation>Durée du panneau :</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>secondes</translation>
    </message>
    <message>
        <source>Thumbnail</source>
        <translation>Vignette</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>A&amp;perçu</translation>
    </message>
    <message>
        <source>Basic Settings</source>
        <translation>Réglages de base</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Calendrier</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Taille :</translation>
    </message>
    <message>
        <source>Position:</source>
        <translation>Position :</translation>
    </message>
    <message>
        <source>PanaMotion</source>
        <translation>PanaMotion</translation>
    </message>
    <message>
        <source>Panoramic Speed</source>
        <translation>Vitesse panoramique</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>Lente</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>Rapide</translation>
    </message>
    <message>
        <source>Skyloom</source>
        <translation>Skyloom</translation>
    </message>
    <message>
        <source>Click here to turn Skyloom on.</source>
        <translation>Cliquez ici pour activer Skyloom.</translation>
    </message>
    <message>
        <source>Click here to turn Skyloom off.</source>
        <translation>Cliquez ici pour désactiver Skyloom.</translation>
    </message>
    <message>
        <source>The screen saver settings could not be saved to %1.</source>
        <translation>Les réglages de l’économiseur d’écran n’ont pas pu être enregistrés dans %1.</translation>
    </message>
    <message>
        <source>Click these to turn your wallpaper on and off.</source>
        <translation>Cliquez ici pour activer ou désactiver votre fond d’écran.</translation>
    </message>
    <message>
        <source>Click here to turn your wallpaper on.</source>
        <translation>Cliquez ici pour activer votre fond d’écran.</translation>
    </message>
    <message>
        <source>Click here to turn your wallpaper off.</source>
        <translation>Cliquez ici pour désactiver votre fond d’écran.</translation>
    </message>
    <message>
        <source>This selects the image set to use for the wallpaper.</source>
        <translation>Choisit la collection d’images du fond d’écran.</translation>
    </message>
    <message>
        <source>Click here to select a set of images  to get your wallpaper from.</source>
        <translation>Cliquez ici pour choisir la collection d’images d’où vient votre fond d’écran.</translation>
    </message>
    <message>
        <source>&amp;Wallpaper Images</source>
        <translation>Images de &amp;fond d’écran</translation>
    </message>
    <message>
        <source>Click here to select the image to use for your wallpaper.</source>
        <translation>Cliquez ici pour choisir l’image de votre fond d’écran.</translation>
    </message>
    <message>
        <source>This is the image that will be set as your wallpaper.</source>
        <translation>Cette image deviendra votre fond d’écran.</translation>
    </message>
    <message>
        <source>Image Info...</source>
        <translation>Infos sur l’image...</translation>
    </message>
    <message>
        <source>Find out more about this image.</source>
        <translation>En savoir plus sur cette image.</translation>
    </message>
    <message>
        <source>Check this to make the image fill the screen.</source>
        <translation>Cochez cette case pour que l’image remplisse l’écran.</translation>
    </message>
    <message>
        <source>Change Wallpaper</source>
        <translation>Changer le fond d’écran</translation>
    </message>
    <message>
        <source>This controls how often the wallpaper changes.  If you select Manual,  the wallpaper calendar will still update.</source>
        <translation>Règle la fréquence de changement du fond d’écran. Avec « Manuellement », le calendrier du fond d’écran est quand même mis à jour.</translation>
    </message>
    <message>
        <source>Click here to set how often your wallpaper changes.  If you select Manual,  the wallpaper calendar will still updates at midnight.</source>
        <translation>Cliquez ici pour régler la fréquence de changement de votre fond d’écran. Avec « Manuellement », le calendrier du fond d’écran est quand même mis à jour à minuit.</translation>
    </message>
    <message>
        <source>Use these to control the wallpaper calendar.</source>
        <translation>Réglages du calendrier du fond d’écran.</translation>
    </message>
    <message>
        <source>Click here to turn the wallpaper calendar on.</source>
        <translation>Cliquez ici pour activer le calendrier du fond d’écran.</translation>
    </message>
    <message>
        <source>Click here to turn the wallpaper calendar off.</source>
        <translation>Cliquez ici pour désactiver le calendrier du fond d’écran.</translation>
    </message>
    <message>
        <source>WallpaperControlsSetEnable Failed</source>
        <translation>L’aperçu du fond d’écran n’a pas pu être chargé.</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>Logo</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Société</translation>
    </message>
    <message>
        <source>Support:</source>
        <translation>Assistance :</translation>
    </message>
    <message>
        <source>Click here to get information about a particular image set.</source>
        <translation>Cliquez ici pour obtenir des informations sur une collection d’images.</translation>
    </message>
    <message>
        <source>Visit web site</source>
        <translation>Visiter le site web</translation>
    </message>
    <message>
        <source>The image-set choices could not be saved.</source>
        <translation>Le choix des collections d’images n’a pas pu être enregistré.</translation>
    </message>
    <message>
        <source>Preparing your first pictures...</source>
        <translation>Préparation de vos premières images...</translation>
    </message>
    <message>
        <source>Preparing your first pictures... %1 of %2</source>
        <translation>Préparation de vos premières images... %1 sur %2</translation>
    </message>
    <message>
        <source>Screen Saver Configuration</source>
        <translation>Configuration de l’économiseur d’écran</translation>
    </message>
    <message>
        <source>Are you sure you want to remove the Wallpaper?</source>
        <translation>Voulez-vous vraiment retirer le fond d’écran ?</translation>
    </message>
    <message>
        <source>Wallpaper Configuration</source>
        <translation>Configuration du fond d’écran</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>S&amp;econds</source>
        <translation>S&amp;econdes</translation>
    </message>
    <message>
        <source>Shows whether the installation lets the screen saver open web pages (Tab and Esc open the pages an image set offers). A change here is not saved.</source>
        <translation>Indique si l’installation permet à l’économiseur d’écran d’ouvrir des pages web (Tab et Échap ouvrent les pages proposées par une collection d’images). Une modification ici n’est pas enregistrée.</translation>
    </message>
    <message>
        <source>&quot;Password protected&quot; was not switched on. %1 Set a saver password first.</source>
        <translation>« Protégé par mot de passe » n’a pas été activé. %1 Définissez d’abord un mot de passe d’économiseur d’écran.</translation>
    </message>
    <message>
        <source>Different picture on each screen</source>
        <translation>Une image différente sur chaque écran</translation>
    </message>
    <message>
        <source>Check this to show another picture of the set on each of your monitors.</source>
        <translation>Cochez cette case pour afficher une autre image du jeu sur chacun de vos moniteurs.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmPleaseWait</name>
    <message>
        <source>Setting WallPaper,
One Moment Please</source>
        <translation>Mise en place du fond d’écran,
un instant s’il vous plaît</translation>
    </message>
</context>
<context>
    <name>skyloom::imagesets</name>
    <message>
        <source>Unable to find image sets. PATH = %1</source>
        <translation>Aucune collection d’images trouvée. CHEMIN = %1</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>ERREUR</translation>
    </message>
</context>
<context>
    <name>skyloom::platform</name>
    <message>
        <source>Unable to open registry key %1</source>
        <translation>Impossible d’ouvrir la clé de registre %1</translation>
    </message>
    <message>
        <source>Error getting Registry Data</source>
        <translation>Erreur à la lecture des données du registre</translation>
    </message>
</context>
<context>
    <name>skyloom::platform::Password</name>
    <message>
        <source>the saver password file %1 is damaged, so no password could end the saver; set a new password with &quot;skyloom /a&quot; or remove the file</source>
        <extracomment>Follows &quot;Password protection is on, but&quot;.</extracomment>
        <translation>le fichier du mot de passe de l’économiseur %1 est endommagé, aucun mot de passe ne pourrait donc quitter l’économiseur ; définissez un nouveau mot de passe avec « skyloom /a » ou supprimez le fichier</translation>
    </message>
    <message>
        <source>the PAM service file %1 is missing, so your login password cannot be checked; run ./demo (or the installer) as root, or set a saver password with &quot;skyloom /a&quot;</source>
        <extracomment>Follows &quot;Password protection is on, but&quot;.</extracomment>
        <translation>le fichier de service PAM %1 est absent, votre mot de passe de session ne peut donc pas être vérifié ; lancez ./demo (ou le programme d’installation) en tant que root, ou définissez un mot de passe d’économiseur avec « skyloom /a »</translation>
    </message>
</context>
<context>
    <name>skyloom::saver::SaverGuard</name>
    <message>
        <source>Type your password to end the screen saver.</source>
        <translation>Tapez votre mot de passe pour quitter l’économiseur d’écran.</translation>
    </message>
    <message>
        <source>Checking...</source>
        <translation>Vérification...</translation>
    </message>
    <message>
        <source>Wrong password. Try again.</source>
        <translation>Mot de passe erroné. Réessayez.</translation>
    </message>
    <message numerus="yes">
        <source>Too many wrong passwords. Try again in %n second(s).</source>
        <translation>
            <numerusform>Trop de mots de passe erronés. Réessayez dans %n seconde.</numerusform>
            <numerusform>Trop de mots de passe erronés. Réessayez dans %n secondes.</numerusform>
        </translation>
    </message>
    <message>
        <source>Password protection is on, but %1. The screen saver does not start, so the screen is not locked.</source>
        <extracomment>%1 is why no password could end the lock, a clause that follows &quot;but&quot;.</extracomment>
        <translation>La protection par mot de passe est activée, mais %1. L’économiseur d’écran ne démarre pas, l’écran n’est donc pas verrouillé.</translation>
    </message>
</context>
<context>
    <name>skyloom::saver::PictureChange</name>
    <message>
        <source>Initializing Screen Saver...</source>
        <translation>Démarrage de l’économiseur d’écran...</translation>
    </message>
    <message>
        <source>Screen Saver has not been set up.
Please select &apos;Settings&apos; from the
Properties Dialog.</source>
        <translation>L’économiseur d’écran n’est pas configuré.
Veuillez choisir « Paramètres » dans la
boîte de dialogue Propriétés.</translation>
    </message>
    <message>
        <source>No pictures found</source>
        <translation>Aucune image trouvée</translation>
    </message>
</context>
<context>
    <name>skyloom::tray</name>
    <message>
        <source>Wallpaper Changer</source>
        <translation>Changeur de fond d’écran</translation>
    </message>
    <message>
        <source>paperwheel changes the wallpaper on schedule, but this desktop has no system tray to show its icon and menu in. Control it from a terminal: paperwheel --next, --pause, --resume, --status or --quit.</source>
        <translation>paperwheel change le fond d’écran selon le calendrier, mais ce bureau n’a pas de zone de notification pour afficher son icône et son menu. Pilotez-le depuis un terminal : paperwheel --next, --pause, --resume, --status ou --quit.</translation>
    </message>
</context>
<context>
    <name>skyloom::tray::SkyloomStarter</name>
    <message>
        <source>Cannot start skyloom %1: %2</source>
        <translation>Impossible de lancer skyloom %1 : %2</translation>
    </message>
</context>
<context>
    <name>skyloom::tray::frmPlaceHolder</name>
    <message>
        <source>Next Wallpaper</source>
        <translation>Fond d’écran suivant</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Paramètres...</translation>
    </message>
    <message>
        <source>Wallpaper Auto Change Active</source>
        <translation>Changement automatique actif</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>Close Wallpaper Auto Changer</source>
        <translation>Quitter le changeur de fond d’écran</translation>
    </message>
</context>
<context>
    <name>skyloom::wallpaper</name>
    <message>
        <source>An Error occured while setting the wall paper.</source>
        <translation>Une erreur s’est produite lors de la mise en place du fond d’écran.</translation>
    </message>
</context>
</TS>
