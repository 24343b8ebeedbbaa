<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>skyloom::config::AboutPage</name>
    <message>
        <source>%1 Bit Color</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Call-back support: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::config::Credits</name>
    <message>
        <source>Not Available.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not Available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No additional information is available for this image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image title:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image Credit:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Additional image information:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>For more information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Visit Corvenna Website</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::config::EditSetsPage</name>
    <message>
        <source>Exclude Images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exclude Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include Images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include Image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exclude Sets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exclude Set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include Sets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Include Set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>At least one image set must stay included, or the screen saver has no pictures to show.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::config::EditSetsWidget</name>
    <message>
        <source>Making the image set...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Photo Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to select an image set to edit.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image set:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Title Page</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use the right button to drag the selected images to the &apos;Excluded Images&apos; box.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use the right button to drag the selected images to the &apos;Included Images&apos; box.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Included Images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Excluded Images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use the right button to drag the selected sets to the &apos;Exluded Sets&apos; box.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use the right button to drag the selected sets to the &apos;Included Sets&apos; box.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Included Sets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Excluded Sets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add Photo Folder...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Make an image set from a folder of your photos.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image Sets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name of the image set:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>There is already an image set named &quot;%1&quot;. Please choose another name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No picture in %1 could be used.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No image set was made.

%1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::config::PageLists</name>
    <message>
        <source>Randomize From All Image Sets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No Transitions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Transitions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vertical Blinds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Horizontal Blinds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vertical Sweep</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Horizontal Sweep</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Boxed In</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Horizontal Center Sweep</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vertical Center Sweep</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Block Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fast Block Out</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>English</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>French</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>German</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Extra Large</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Large</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Medium</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Small</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Top-Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Top-Center</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Top-Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center-Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Center-Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bottom-Left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bottom-Center</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bottom-Right</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Manually</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every Half-hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every Hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every 2 Hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every 4 Hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every 8 Hours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every Day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every 2nd Day</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every Week</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmChangePassword</name>
    <message>
        <source>Change Screen Saver Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The screen saver now asks for your login password. Set a screen saver password to ask for that instead.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave the new password empty to use your login password again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Current password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Confirm new password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The current password is not correct.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged. Remove the file %1 to set a new one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The new passwords do not match.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The new password is too long.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The password could not be saved in %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmCredits</name>
    <message>
        <source>Image Credits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Thumbnail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> &amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmMoonfield</name>
    <message>
        <source>Moonfield Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Screen Saver</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wallpaper</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit Sets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
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
        <source>Apply</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This turns the screen saver on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This turns the screen saver off.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password protected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change password...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start After</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image set:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time between images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transition effects:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Size to fit screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Titles</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show info panel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Info panel language:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Info panel shows for:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>seconds</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Thumbnail</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Basic Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Size:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Position:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PanaMotion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Panoramic Speed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fast</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skyloom</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to turn Skyloom on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to turn Skyloom off.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The screen saver settings could not be saved to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click these to turn your wallpaper on and off.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to turn your wallpaper on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to turn your wallpaper off.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This selects the image set to use for the wallpaper.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to select a set of images  to get your wallpaper from.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Wallpaper Images</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to select the image to use for your wallpaper.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This is the image that will be set as your wallpaper.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image Info...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find out more about this image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Check this to make the image fill the screen.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change Wallpaper</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This controls how often the wallpaper changes.  If you select Manual,  the wallpaper calendar will still update.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to set how often your wallpaper changes.  If you select Manual,  the wallpaper calendar will still updates at midnight.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use these to control the wallpaper calendar.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to turn the wallpaper calendar on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to turn the wallpaper calendar off.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WallpaperControlsSetEnable Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Company</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Support:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click here to get information about a particular image set.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Visit web site</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The image-set choices could not be saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preparing your first pictures...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preparing your first pictures... %1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Screen Saver Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure you want to remove the Wallpaper?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wallpaper Configuration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmPleaseWait</name>
    <message>
        <source>Setting WallPaper,
One Moment Please</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::imagesets</name>
    <message>
        <source>Unable to find image sets. PATH = %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::platform</name>
    <message>
        <source>Unable to open registry key %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error getting Registry Data</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::saver::SaverGuard</name>
    <message>
        <source>Type your password to end the screen saver.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too many wrong passwords. Try again in %1 seconds.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong password. Try again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::saver::frmSaver</name>
    <message>
        <source>Initializing Screen Saver...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Screen Saver has not been set up.
Please select &apos;Settings&apos; from the
Properties Dialog.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No pictures found</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::tray</name>
    <message>
        <source>Wallpaper Changer</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::tray::SkyloomStarter</name>
    <message>
        <source>Cannot start skyloom %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::tray::frmPlaceHolder</name>
    <message>
        <source>Next Wallpaper</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wallpaper Auto Change Active</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close Wallpaper Auto Changer</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>skyloom::wallpaper</name>
    <message>
        <source>An Error occured while setting the wall paper.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
