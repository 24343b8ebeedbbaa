<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>skyloom::config::AboutPage</name>
    <message>
        <source>%1 Bit Color</source>
        <translation>Color de %1 bits</translation>
    </message>
    <message>
        <source>Call-back support: %1</source>
        <translation>Soporte telefónico: %1</translation>
    </message>
</context>
<context>
    <name>skyloom::config::Credits</name>
    <message>
        <source>Not Available.</source>
        <translation>No disponible.</translation>
    </message>
    <message>
        <source>Not Available</source>
        <translation>No disponible</translation>
    </message>
    <message>
        <source>No additional information is available for this image.</source>
        <translation>No hay información adicional sobre esta imagen.</translation>
    </message>
    <message>
        <source>Image title:</source>
        <translation>Título de la imagen:</translation>
    </message>
    <message>
        <source>Image Credit:</source>
        <translation>Crédito de la imagen:</translation>
    </message>
    <message>
        <source>Additional image information:</source>
        <translation>Información adicional de la imagen:</translation>
    </message>
    <message>
        <source>For more information</source>
        <translation>Más información</translation>
    </message>
    <message>
        <source>Visit Corvenna Website</source>
        <translation>Visitar el sitio web de Corvenna</translation>
    </message>
</context>
<context>
    <name>skyloom::config::EditSetsPage</name>
    <message>
        <source>Exclude Images</source>
        <translation>Excluir imágenes</translation>
    </message>
    <message>
        <source>Exclude Image</source>
        <translation>Excluir imagen</translation>
    </message>
    <message>
        <source>Include Images</source>
        <translation>Incluir imágenes</translation>
    </message>
    <message>
        <source>Include Image</source>
        <translation>Incluir imagen</translation>
    </message>
    <message>
        <source>Exclude Sets</source>
        <translation>Excluir colecciones</translation>
    </message>
    <message>
        <source>Exclude Set</source>
        <translation>Excluir colección</translation>
    </message>
    <message>
        <source>Include Sets</source>
        <translation>Incluir colecciones</translation>
    </message>
    <message>
        <source>Include Set</source>
        <translation>Incluir colección</translation>
    </message>
    <message>
        <source>At least one image set must stay included, or the screen saver has no pictures to show.</source>
        <translation>Debe quedar incluida al menos una colección de imágenes; si no, el salvapantallas no tendrá imágenes que mostrar.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::EditSetsWidget</name>
    <message>
        <source>Making the image set...</source>
        <translation>Creando la colección de imágenes...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Add Photo Folder</source>
        <translation>Añadir carpeta de fotos</translation>
    </message>
    <message>
        <source>Click here to select an image set to edit.</source>
        <translation>Haga clic aquí para elegir la colección de imágenes que desea editar.</translation>
    </message>
    <message>
        <source>Image set:</source>
        <translation>Colección de imágenes:</translation>
    </message>
    <message>
        <source>Show Title Page</source>
        <translation>Mostrar página de título</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected images to the &apos;Excluded Images&apos; box.</source>
        <translation>Use el botón derecho para arrastrar las imágenes seleccionadas al cuadro «Imágenes excluidas».</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected images to the &apos;Included Images&apos; box.</source>
        <translation>Use el botón derecho para arrastrar las imágenes seleccionadas al cuadro «Imágenes incluidas».</translation>
    </message>
    <message>
        <source>Included Images</source>
        <translation>Imágenes incluidas</translation>
    </message>
    <message>
        <source>Excluded Images</source>
        <translation>Imágenes excluidas</translation>
    </message>
    <message>
        <source>Picture preview</source>
        <translation>Vista previa de la imagen</translation>
    </message>
    <message>
        <source>Images</source>
        <translation>Imágenes</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected sets to the &apos;Exluded Sets&apos; box.</source>
        <translation>Use el botón derecho para arrastrar las colecciones seleccionadas al cuadro «Colecciones excluidas».</translation>
    </message>
    <message>
        <source>Use the right button to drag the selected sets to the &apos;Included Sets&apos; box.</source>
        <translation>Use el botón derecho para arrastrar las colecciones seleccionadas al cuadro «Colecciones incluidas».</translation>
    </message>
    <message>
        <source>Included Sets</source>
        <translation>Colecciones incluidas</translation>
    </message>
    <message>
        <source>Excluded Sets</source>
        <translation>Colecciones excluidas</translation>
    </message>
    <message>
        <source>Set preview</source>
        <translation>Vista previa de la colección</translation>
    </message>
    <message>
        <source>Add Photo Folder...</source>
        <translation>Añadir carpeta de fotos...</translation>
    </message>
    <message>
        <source>Make an image set from a folder of your photos.</source>
        <translation>Crea una colección de imágenes a partir de una carpeta de fotos.</translation>
    </message>
    <message>
        <source>Image Sets</source>
        <translation>Colecciones de imágenes</translation>
    </message>
    <message>
        <source>Name of the image set:</source>
        <translation>Nombre de la colección de imágenes:</translation>
    </message>
    <message>
        <source>There is already an image set named &quot;%1&quot;. Please choose another name.</source>
        <translation>Ya existe una colección de imágenes llamada &quot;%1&quot;. Elija otro nombre.</translation>
    </message>
    <message>
        <source>No picture in %1 could be used.</source>
        <translation>No se pudo usar ninguna imagen de %1.</translation>
    </message>
    <message>
        <source>No image set was made.

%1</source>
        <translation>No se creó ninguna colección de imágenes.

%1</translation>
    </message>
    <message>
        <source>A photo folder is made into an image set at once; Cancel does not take it back.</source>
        <translation>La carpeta de fotos se convierte en una colección de imágenes al instante; «Cancelar» no lo deshace.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::LockReadiness</name>
    <message>
        <source>The saver password file is damaged, so no password could end the lock.</source>
        <translation>El archivo de la contraseña del salvapantallas está dañado, así que ninguna contraseña podría terminar el bloqueo.</translation>
    </message>
    <message>
        <source>No password could end the lock: your login password cannot be checked (%1 is missing).</source>
        <translation>Ninguna contraseña podría terminar el bloqueo: no se puede comprobar su contraseña de inicio de sesión (falta %1).</translation>
    </message>
    <message>
        <source>Change password...</source>
        <translation>Cambiar la contraseña...</translation>
    </message>
    <message>
        <source>Set a saver password...</source>
        <translation>Establecer una contraseña del salvapantallas...</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged, so no password could end the saver. Enter your login password to set a new one.</source>
        <translation>La contraseña guardada del salvapantallas está dañada, así que ninguna contraseña podría salir del salvapantallas. Escriba su contraseña de inicio de sesión para establecer una nueva.</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged, and your login password cannot be checked (%1 is missing). To set a new password, remove the damaged file with this command, then start &quot;skyloom /a&quot; again:
%2</source>
        <translation>La contraseña guardada del salvapantallas está dañada y no se puede comprobar su contraseña de inicio de sesión (falta %1). Para establecer una contraseña nueva, elimine el archivo dañado con este comando y vuelva a iniciar «skyloom /a»:
%2</translation>
    </message>
    <message>
        <source>Enter the current password to change it. It cannot be removed: your login password cannot be checked (%1 is missing).</source>
        <translation>Escriba la contraseña actual para cambiarla. No se puede quitar: no se puede comprobar su contraseña de inicio de sesión (falta %1).</translation>
    </message>
    <message>
        <source>Leave the new password empty to use your login password again.</source>
        <translation>Deje vacía la nueva contraseña para volver a usar su contraseña de inicio de sesión.</translation>
    </message>
    <message>
        <source>No screen saver password is set, and your login password cannot be checked (%1 is missing). Set a screen saver password so that the saver can be locked.</source>
        <translation>No hay ninguna contraseña del salvapantallas y no se puede comprobar su contraseña de inicio de sesión (falta %1). Establezca una contraseña del salvapantallas para que se pueda bloquear.</translation>
    </message>
    <message>
        <source>Password protection is off, so the screen saver ends without a password. A password set here is asked for once &quot;Password protected&quot; is on; without one, your login password is asked for.</source>
        <translation>La protección con contraseña está desactivada, así que el salvapantallas termina sin contraseña. Una contraseña establecida aquí se pide en cuanto «Protegido con contraseña» esté activado; sin ella, se pide su contraseña de inicio de sesión.</translation>
    </message>
    <message>
        <source>The screen saver asks for your login password. Set a screen saver password to ask for that instead.</source>
        <translation>El salvapantallas pide su contraseña de inicio de sesión. Establezca una contraseña del salvapantallas para que pida esa en su lugar.</translation>
    </message>
    <message>
        <source>Current password:</source>
        <translation>Contraseña actual:</translation>
    </message>
    <message>
        <source>Login password:</source>
        <translation>Contraseña de inicio de sesión:</translation>
    </message>
    <message>
        <source>The current password is not correct.</source>
        <translation>La contraseña actual no es correcta.</translation>
    </message>
    <message>
        <source>The stored screen saver password is damaged. Remove it with this command, then start &quot;skyloom /a&quot; again:
%1</source>
        <translation>La contraseña guardada del salvapantallas está dañada. Elimínela con este comando y vuelva a iniciar «skyloom /a»:
%1</translation>
    </message>
    <message>
        <source>The login password is not correct.</source>
        <translation>La contraseña de inicio de sesión no es correcta.</translation>
    </message>
    <message>
        <source>The new passwords do not match.</source>
        <translation>Las contraseñas nuevas no coinciden.</translation>
    </message>
    <message>
        <source>The new password is too long.</source>
        <translation>La nueva contraseña es demasiado larga.</translation>
    </message>
    <message>
        <source>The screen saver password cannot be removed while password protection is on: your login password cannot be checked (%1 is missing).</source>
        <translation>No se puede quitar la contraseña del salvapantallas mientras la protección con contraseña esté activada: no se puede comprobar su contraseña de inicio de sesión (falta %1).</translation>
    </message>
    <message>
        <source>The password could not be saved in %1.</source>
        <translation>No se pudo guardar la contraseña en %1.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::PageLists</name>
    <message>
        <source>Randomize From All Image Sets</source>
        <translation>Aleatorio entre todas las colecciones</translation>
    </message>
    <message>
        <source>No Transitions</source>
        <translation>Sin transiciones</translation>
    </message>
    <message>
        <source>All Transitions</source>
        <translation>Todas las transiciones</translation>
    </message>
    <message>
        <source>Vertical Blinds</source>
        <translation>Persianas verticales</translation>
    </message>
    <message>
        <source>Horizontal Blinds</source>
        <translation>Persianas horizontales</translation>
    </message>
    <message>
        <source>Vertical Sweep</source>
        <translation>Barrido vertical</translation>
    </message>
    <message>
        <source>Horizontal Sweep</source>
        <translation>Barrido horizontal</translation>
    </message>
    <message>
        <source>Boxed In</source>
        <translation>Recuadro hacia dentro</translation>
    </message>
    <message>
        <source>Horizontal Center Sweep</source>
        <translation>Barrido horizontal desde el centro</translation>
    </message>
    <message>
        <source>Vertical Center Sweep</source>
        <translation>Barrido vertical desde el centro</translation>
    </message>
    <message>
        <source>Block Out</source>
        <translation>Disolución en bloques</translation>
    </message>
    <message>
        <source>Fast Block Out</source>
        <translation>Disolución rápida en bloques</translation>
    </message>
    <message>
        <source>Cross Fade</source>
        <translation>Fundido encadenado</translation>
    </message>
    <message>
        <source>Slide</source>
        <translation>Deslizamiento</translation>
    </message>
    <message>
        <source>Slow Zoom</source>
        <translation>Zoom lento</translation>
    </message>
    <message>
        <source>All Transitions, Smooth</source>
        <translation>Todas las transiciones, suaves</translation>
    </message>
    <message>
        <source>English</source>
        <translation>Inglés</translation>
    </message>
    <message>
        <source>French</source>
        <translation>Francés</translation>
    </message>
    <message>
        <source>German</source>
        <translation>Alemán</translation>
    </message>
    <message>
        <source>Spanish</source>
        <translation>Español</translation>
    </message>
    <message>
        <source>Japanese</source>
        <translation>Japonés</translation>
    </message>
    <message>
        <source>Extra Large</source>
        <translation>Muy grande</translation>
    </message>
    <message>
        <source>Large</source>
        <translation>Grande</translation>
    </message>
    <message>
        <source>Medium</source>
        <translation>Mediano</translation>
    </message>
    <message>
        <source>Small</source>
        <translation>Pequeño</translation>
    </message>
    <message>
        <source>Top-Left</source>
        <translation>Arriba a la izquierda</translation>
    </message>
    <message>
        <source>Top-Center</source>
        <translation>Arriba en el centro</translation>
    </message>
    <message>
        <source>Top-Right</source>
        <translation>Arriba a la derecha</translation>
    </message>
    <message>
        <source>Center-Left</source>
        <translation>Centro a la izquierda</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Centro</translation>
    </message>
    <message>
        <source>Center-Right</source>
        <translation>Centro a la derecha</translation>
    </message>
    <message>
        <source>Bottom-Left</source>
        <translation>Abajo a la izquierda</translation>
    </message>
    <message>
        <source>Bottom-Center</source>
        <translation>Abajo en el centro</translation>
    </message>
    <message>
        <source>Bottom-Right</source>
        <translation>Abajo a la derecha</translation>
    </message>
    <message>
        <source>Manually</source>
        <translation>Manualmente</translation>
    </message>
    <message>
        <source>Every Half-hour</source>
        <translation>Cada media hora</translation>
    </message>
    <message>
        <source>Every Hour</source>
        <translation>Cada hora</translation>
    </message>
    <message>
        <source>Every 2 Hours</source>
        <translation>Cada 2 horas</translation>
    </message>
    <message>
        <source>Every 4 Hours</source>
        <translation>Cada 4 horas</translation>
    </message>
    <message>
        <source>Every 8 Hours</source>
        <translation>Cada 8 horas</translation>
    </message>
    <message>
        <source>Every Day</source>
        <translation>Cada día</translation>
    </message>
    <message>
        <source>Every 2nd Day</source>
        <translation>Cada 2 días</translation>
    </message>
    <message>
        <source>Every Week</source>
        <translation>Cada semana</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmChangePassword</name>
    <message>
        <source>Change Screen Saver Password</source>
        <translation>Cambiar la contraseña del salvapantallas</translation>
    </message>
    <message>
        <source>New password:</source>
        <translation>Nueva contraseña:</translation>
    </message>
    <message>
        <source>Confirm new password:</source>
        <translation>Confirmar la nueva contraseña:</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmCredits</name>
    <message>
        <source>Image Credits</source>
        <translation>Créditos de la imagen</translation>
    </message>
    <message>
        <source>Thumbnail</source>
        <translation>Miniatura</translation>
    </message>
    <message>
        <source> &amp;Close</source>
        <translation> &amp;Cerrar</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmMoonfield</name>
    <message>
        <source>Moonfield Configuration</source>
        <translation>Configuración de Moonfield</translation>
    </message>
    <message>
        <source>Screen Saver</source>
        <translation>Salvapantallas</translation>
    </message>
    <message>
        <source>Wallpaper</source>
        <translation>Fondo de pantalla</translation>
    </message>
    <message>
        <source>Edit Sets</source>
        <translation>Editar colecciones</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Aplicar</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Activado</translation>
    </message>
    <message>
        <source>This turns the screen saver on.</source>
        <translation>Activa el salvapantallas.</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Desactivado</translation>
    </message>
    <message>
        <source>This turns the screen saver off.</source>
        <translation>Desactiva el salvapantallas.</translation>
    </message>
    <message>
        <source>Password protected</source>
        <translation>Protegido con contraseña</translation>
    </message>
    <message>
        <source>Change password...</source>
        <translation>Cambiar contraseña...</translation>
    </message>
    <message>
        <source>Start After</source>
        <translation>Iniciar tras</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>minutos</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Image set:</source>
        <translation>Colección de imágenes:</translation>
    </message>
    <message>
        <source>Time between images</source>
        <translation>Tiempo entre imágenes</translation>
    </message>
    <message>
        <source>&amp;Minutes</source>
        <translation>&amp;Minutos</translation>
    </message>
    <message>
        <source>Transition effects:</source>
        <translation>Efectos de transición:</translation>
    </message>
    <message>
        <source>&amp;Size to fit screen</source>
        <translation>A&amp;justar a la pantalla</translation>
    </message>
    <message>
        <source>Same picture on every screen</source>
        <translation>La misma imagen en todas las pantallas</translation>
    </message>
    <message>
        <source>Image Information</source>
        <translation>Información de la imagen</translation>
    </message>
    <message>
        <source>Show Titles</source>
        <translation>Mostrar títulos</translation>
    </message>
    <message>
        <source>Show info panel</source>
        <translation>Mostrar panel de información</translation>
    </message>
    <message>
        <source>Info panel language:</source>
        <translation>Idioma del panel de información:</translation>
    </message>
    <message>
        <source>Info panel shows for:</source>
        <translation>Mostrar el panel de información durante:</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>segundos</translation>
    </message>
    <message>
        <source>Thumbnail</source>
        <translation>Miniatura</translation>
    </message>
    <message>
        <source>&amp;Preview</source>
        <translation>&amp;Vista previa</translation>
    </message>
    <message>
        <source>Basic Settings</source>
        <translation>Configuración básica</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Calendario</translation>
    </message>
    <message>
        <source>Size:</source>
        <translation>Tamaño:</translation>
    </message>
    <message>
        <source>Position:</source>
        <translation>Posición:</translation>
    </message>
    <message>
        <source>PanaMotion</source>
        <translation>PanaMotion</translation>
    </message>
    <message>
        <source>Panoramic Speed</source>
        <translation>Velocidad panorámica</translation>
    </message>
    <message>
        <source>Slow</source>
        <translation>Lenta</translation>
    </message>
    <message>
        <source>Fast</source>
        <translation>Rápida</translation>
    </message>
    <message>
        <source>Skyloom</source>
        <translation>Skyloom</translation>
    </message>
    <message>
        <source>Click here to turn Skyloom on.</source>
        <translation>Haga clic aquí para activar Skyloom.</translation>
    </message>
    <message>
        <source>Click here to turn Skyloom off.</source>
        <translation>Haga clic aquí para desactivar Skyloom.</translation>
    </message>
    <message>
        <source>The screen saver settings could not be saved to %1.</source>
        <translation>No se pudo guardar la configuración del salvapantallas en %1.</translation>
    </message>
    <message>
        <source>Click these to turn your wallpaper on and off.</source>
        <translation>Use estas opciones para activar o desactivar el fondo de pantalla.</translation>
    </message>
    <message>
        <source>Click here to turn your wallpaper on.</source>
        <translation>Haga clic aquí para activar el fondo de pantalla.</translation>
    </message>
    <message>
        <source>Click here to turn your wallpaper off.</source>
        <translation>Haga clic aquí para desactivar el fondo de pantalla.</translation>
    </message>
    <message>
        <source>This selects the image set to use for the wallpaper.</source>
        <translation>Aquí se elige la colección de imágenes del fondo de pantalla.</translation>
    </message>
    <message>
        <source>Click here to select a set of images  to get your wallpaper from.</source>
        <translation>Haga clic aquí para elegir la colección de imágenes de la que se toma el fondo de pantalla.</translation>
    </message>
    <message>
        <source>&amp;Wallpaper Images</source>
        <translation>Imágenes de &amp;fondo</translation>
    </message>
    <message>
        <source>Click here to select the image to use for your wallpaper.</source>
        <translation>Haga clic aquí para elegir la imagen del fondo de pantalla.</translation>
    </message>
    <message>
        <source>This is the image that will be set as your wallpaper.</source>
        <translation>Esta es la imagen que se pondrá como fondo de pantalla.</translation>
    </message>
    <message>
        <source>Image Info...</source>
        <translation>Información de la imagen...</translation>
    </message>
    <message>
        <source>Find out more about this image.</source>
        <translation>Más información sobre esta imagen.</translation>
    </message>
    <message>
        <source>Check this to make the image fill the screen.</source>
        <translation>Marque esta casilla para que la imagen ocupe toda la pantalla.</translation>
    </message>
    <message>
        <source>Change Wallpaper</source>
        <translation>Cambiar el fondo de pantalla</translation>
    </message>
    <message>
        <source>This controls how often the wallpaper changes.  If you select Manual,  the wallpaper calendar will still update.</source>
        <translation>Indica cada cuánto cambia el fondo de pantalla. Si elige Manualmente, el calendario del fondo se seguirá actualizando.</translation>
    </message>
    <message>
        <source>Click here to set how often your wallpaper changes.  If you select Manual,  the wallpaper calendar will still updates at midnight.</source>
        <translation>Haga clic aquí para elegir cada cuánto cambia el fondo de pantalla. Si elige Manualmente, el calendario del fondo se seguirá actualizando a medianoche.</translation>
    </message>
    <message>
        <source>Use these to control the wallpaper calendar.</source>
        <translation>Use estas opciones para controlar el calendario del fondo de pantalla.</translation>
    </message>
    <message>
        <source>Click here to turn the wallpaper calendar on.</source>
        <translation>Haga clic aquí para activar el calendario del fondo de pantalla.</translation>
    </message>
    <message>
        <source>Click here to turn the wallpaper calendar off.</source>
        <translation>Haga clic aquí para desactivar el calendario del fondo de pantalla.</translation>
    </message>
    <message>
        <source>WallpaperControlsSetEnable Failed</source>
        <translation>Error en WallpaperControlsSetEnable</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>Logotipo</translation>
    </message>
    <message>
        <source>Company</source>
        <translation>Empresa</translation>
    </message>
    <message>
        <source>Support:</source>
        <translation>Soporte técnico:</translation>
    </message>
    <message>
        <source>Click here to get information about a particular image set.</source>
        <translation>Haga clic aquí para ver información sobre una colección de imágenes.</translation>
    </message>
    <message>
        <source>Visit web site</source>
        <translation>Visitar el sitio web</translation>
    </message>
    <message>
        <source>The image-set choices could not be saved.</source>
        <translation>No se pudo guardar la selección de colecciones de imágenes.</translation>
    </message>
    <message>
        <source>Preparing your first pictures...</source>
        <translation>Preparando sus primeras imágenes...</translation>
    </message>
    <message>
        <source>Preparing your first pictures... %1 of %2</source>
        <translation>Preparando sus primeras imágenes... %1 de %2</translation>
    </message>
    <message>
        <source>Screen Saver Configuration</source>
        <translation>Configuración del salvapantallas</translation>
    </message>
    <message>
        <source>Are you sure you want to remove the Wallpaper?</source>
        <translation>¿Seguro que desea quitar el fondo de pantalla?</translation>
    </message>
    <message>
        <source>Wallpaper Configuration</source>
        <translation>Configuración del fondo de pantalla</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>S&amp;econds</source>
        <translation>S&amp;egundos</translation>
    </message>
    <message>
        <source>Shows whether the installation lets the screen saver open web pages (Tab and Esc open the pages an image set offers). A change here is not saved.</source>
        <translation>Indica si la instalación permite que el salvapantallas abra páginas web (Tab y Esc abren las páginas que ofrece una colección de imágenes). Un cambio aquí no se guarda.</translation>
    </message>
    <message>
        <source>&quot;Password protected&quot; was not switched on. %1 Set a saver password first.</source>
        <translation>No se activó «Protegido con contraseña». %1 Establezca primero una contraseña del salvapantallas.</translation>
    </message>
    <message>
        <source>Different picture on each screen</source>
        <translation>Una imagen distinta en cada pantalla</translation>
    </message>
    <message>
        <source>Check this to show another picture of the set on each of your monitors.</source>
        <translation>Marque esta casilla para mostrar otra imagen del conjunto en cada uno de sus monitores.</translation>
    </message>
</context>
<context>
    <name>skyloom::config::frmPleaseWait</name>
    <message>
        <source>Setting WallPaper,
One Moment Please</source>
        <translation>Poniendo el fondo de pantalla,
espere un momento</translation>
    </message>
</context>
<context>
    <name>skyloom::imagesets</name>
    <message>
        <source>Unable to find image sets. PATH = %1</source>
        <translation>No se encuentran colecciones de imágenes. PATH = %1</translation>
    </message>
    <message>
        <source>ERROR</source>
        <translation>ERROR</translation>
    </message>
</context>
<context>
    <name>skyloom::platform</name>
    <message>
        <source>Unable to open registry key %1</source>
        <translation>No se puede abrir la clave de registro %1</translation>
    </message>
    <message>
        <source>Error getting Registry Data</source>
        <translation>Error al leer los datos del registro</translation>
    </message>
</context>
<context>
    <name>skyloom::platform::Password</name>
    <message>
        <source>the saver password file %1 is damaged, so no password could end the saver; set a new password with &quot;skyloom /a&quot; or remove the file</source>
        <extracomment>Follows &quot;Password protection is on, but&quot;.</extracomment>
        <translation>el archivo de la contraseña del salvapantallas %1 está dañado, así que ninguna contraseña podría salir del salvapantallas; establezca una contraseña nueva con «skyloom /a» o elimine el archivo</translation>
    </message>
    <message>
        <source>the PAM service file %1 is missing, so your login password cannot be checked; run ./demo (or the installer) as root, or set a saver password with &quot;skyloom /a&quot;</source>
        <extracomment>Follows &quot;Password protection is on, but&quot;.</extracomment>
        <translation>falta el archivo del servicio PAM %1, así que no se puede comprobar su contraseña de inicio de sesión; ejecute ./demo (o el instalador) como root, o establezca una contraseña del salvapantallas con «skyloom /a»</translation>
    </message>
</context>
<context>
    <name>skyloom::saver::SaverGuard</name>
    <message>
        <source>Type your password to end the screen saver.</source>
        <translation>Escriba su contraseña para salir del salvapantallas.</translation>
    </message>
    <message>
        <source>Checking...</source>
        <translation>Comprobando...</translation>
    </message>
    <message>
        <source>Wrong password. Try again.</source>
        <translation>Contraseña incorrecta. Vuelva a intentarlo.</translation>
    </message>
    <message numerus="yes">
        <source>Too many wrong passwords. Try again in %n second(s).</source>
        <translation>
            <numerusform>Demasiadas contraseñas incorrectas. Vuelva a intentarlo dentro de %n segundo.</numerusform>
            <numerusform>Demasiadas contraseñas incorrectas. Vuelva a intentarlo dentro de %n segundos.</numerusform>
        </translation>
    </message>
    <message>
        <source>Password protection is on, but %1. The screen saver does not start, so the screen is not locked.</source>
        <extracomment>%1 is why no password could end the lock, a clause that follows &quot;but&quot;.</extracomment>
        <translation>La protección con contraseña está activada, pero %1. El salvapantallas no se inicia, así que la pantalla no se bloquea.</translation>
    </message>
</context>
<context>
    <name>skyloom::saver::PictureChange</name>
    <message>
        <source>Initializing Screen Saver...</source>
        <translation>Iniciando el salvapantallas...</translation>
    </message>
    <message>
        <source>Screen Saver has not been set up.
Please select &apos;Settings&apos; from the
Properties Dialog.</source>
        <translation>El salvapantallas no se ha configurado.
Elija «Configuración» en el
cuadro de diálogo Propiedades.</translation>
    </message>
    <message>
        <source>No pictures found</source>
        <translation>No se encontraron imágenes</translation>
    </message>
</context>
<context>
    <name>skyloom::tray</name>
    <message>
        <source>Wallpaper Changer</source>
        <translation>Cambiador de fondos de pantalla</translation>
    </message>
    <message>
        <source>paperwheel changes the wallpaper on schedule, but this desktop has no system tray to show its icon and menu in. Control it from a terminal: paperwheel --next, --pause, --resume, --status or --quit.</source>
        <translation>paperwheel cambia el fondo de pantalla según lo programado, pero este escritorio no tiene bandeja del sistema donde mostrar su icono y su menú. Contrólelo desde un terminal: paperwheel --next, --pause, --resume, --status o --quit.</translation>
    </message>
</context>
<context>
    <name>skyloom::tray::SkyloomStarter</name>
    <message>
        <source>Cannot start skyloom %1: %2</source>
        <translation>No se puede iniciar skyloom %1: %2</translation>
    </message>
</context>
<context>
    <name>skyloom::tray::frmPlaceHolder</name>
    <message>
        <source>Next Wallpaper</source>
        <translation>Siguiente fondo de pantalla</translation>
    </message>
    <message>
        <source>Settings...</source>
        <translation>Configuración...</translation>
    </message>
    <message>
        <source>Wallpaper Auto Change Active</source>
        <translation>Cambio automático del fondo activado</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Close Wallpaper Auto Changer</source>
        <translation>Cerrar el cambiador automático de fondos</translation>
    </message>
</context>
<context>
    <name>skyloom::wallpaper</name>
    <message>
        <source>An Error occured while setting the wall paper.</source>
        <translation>Se produjo un error al poner el fondo de pantalla.</translation>
    </message>
</context>
</TS>
