<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name></name>
    <message id="100">
        <source>Kestrivane Basic</source>
        <translation>Kestrivane Basic</translation>
    </message>
    <message id="101">
        <source>&amp;About Kestrivane Basic...</source>
        <extracomment>The About box takes its title from this text without its first character: keep the &amp; first.</extracomment>
        <translation>&amp;Acerca de Kestrivane Basic...</translation>
    </message>
    <message id="102">
        <source>Read File</source>
        <translation>Leer archivo</translation>
    </message>
    <message id="103">
        <source>Input and Speak</source>
        <translation>Escribir y leer</translation>
    </message>
    <message id="104">
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message id="105">
        <source>Delete</source>
        <translation>Quitar</translation>
    </message>
    <message id="106">
        <source>Empty</source>
        <translation>Vaciar</translation>
    </message>
    <message id="107">
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message id="108">
        <source>Paste</source>
        <translation>Pegar</translation>
    </message>
    <message id="109">
        <source>Empty</source>
        <translation>Vaciar</translation>
    </message>
    <message id="110">
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
    <message id="111">
        <source>Speak</source>
        <translation>Leer</translation>
    </message>
    <message id="112">
        <source>Pause</source>
        <translation>Pausar</translation>
    </message>
    <message id="113">
        <source>Resume</source>
        <translation>Reanudar</translation>
    </message>
    <message id="114">
        <source>Stop</source>
        <translation>Detener</translation>
    </message>
    <message id="115">
        <source>Save as Audio</source>
        <translation>Guardar como audio</translation>
    </message>
    <message id="116">
        <source>Refresh</source>
        <translation>Actualizar</translation>
    </message>
    <message id="117">
        <source>Volume: %d</source>
        <translation>Volumen: %d</translation>
    </message>
    <message id="118">
        <source>Speed: %d</source>
        <translation>Velocidad: %d</translation>
    </message>
    <message id="119">
        <source>Language:</source>
        <translation>Idioma:</translation>
    </message>
    <message id="120">
        <source>Voice:</source>
        <translation>Voz:</translation>
    </message>
    <message id="121">
        <source>Kestrivane Basic, version 1.0
Reads documents and typed text aloud and turns them into audio books.
Copyright (C) 2026 the Kestrivane developers.</source>
        <translation>Kestrivane Basic, versión 1.0
Lee en voz alta documentos y textos escritos y los convierte en audiolibros.
Copyright (C) 2026 los desarrolladores de Kestrivane.</translation>
    </message>
    <message id="122">
        <source>Browse For Folder</source>
        <translation>Buscar carpeta</translation>
    </message>
    <message id="123">
        <source>You don't have permission to save in this location. Contact the administrator to obtain permission.</source>
        <translation>No tiene permiso para guardar en esta ubicación. Póngase en contacto con el administrador para obtenerlo.</translation>
    </message>
    <message id="124">
        <source>Kestrivane Basic reads your documents and typed text aloud and saves them as WAV and MP3 audio books.</source>
        <translation>Kestrivane Basic lee en voz alta sus documentos y los textos que escriba, y los guarda como audiolibros WAV y MP3.</translation>
    </message>
    <message id="125">
        <source>https://kestrivane.example/basic/</source>
        <translation>https://kestrivane.example/basic/</translation>
    </message>
    <message id="126">
        <source>Play music when the reading finishes.</source>
        <translation>Reproducir música al terminar la lectura.</translation>
    </message>
    <message id="127">
        <source>Thanks, no music.</source>
        <translation>Gracias, sin música.</translation>
    </message>
    <message id="128">
        <source>Play my favorite music.</source>
        <translation>Reproducir mi música favorita.</translation>
    </message>
    <message id="129">
        <source>New file</source>
        <translation>Archivo nuevo</translation>
    </message>
    <message id="130">
        <source>Browse...</source>
        <translation>Examinar...</translation>
    </message>
    <message id="131">
        <source>Set the language for the text-to-speech voice when the application starts to run.</source>
        <translation>Establezca el idioma de la voz de texto a voz que se usará al iniciar la aplicación.</translation>
    </message>
    <message id="132">
        <source>The language of the operating system</source>
        <translation>El idioma del sistema operativo</translation>
    </message>
    <message id="133">
        <source>More languages:</source>
        <translation>Más idiomas:</translation>
    </message>
    <message id="134">
        <source>Choose the type to save audio files:</source>
        <translation>Elija cómo guardar los archivos de audio:</translation>
    </message>
    <message id="136">
        <source>Save audio files in the folder you specified with the name you assigned to.</source>
        <translation>Guardar los archivos de audio en la carpeta que indique y con el nombre que les asigne.</translation>
    </message>
    <message id="137">
        <source>Save audio files with the source file base name in the following folder:</source>
        <translation>Guardar los archivos de audio con el nombre base del archivo de origen en la siguiente carpeta:</translation>
    </message>
    <message id="139">
        <source>Browse...</source>
        <translation>Examinar...</translation>
    </message>
    <message id="140">
        <source>Failed to initiate voice instance.</source>
        <translation>No se pudo iniciar la instancia de voz.</translation>
    </message>
    <message id="141">
        <source>pages/faq.html</source>
        <translation>pages/es/faq.html</translation>
    </message>
    <message id="142">
        <source>pages/showcase.html</source>
        <translation>pages/es/showcase.html</translation>
    </message>
    <message id="143">
        <source>Please stop the speaking first!</source>
        <translation>¡Detenga primero la lectura!</translation>
    </message>
    <message id="144">
        <source>You may try to close Windows media player and try again.</source>
        <translation>Pruebe a cerrar el Reproductor de Windows Media y vuelva a intentarlo.</translation>
    </message>
    <message id="145">
        <source>No voice for the selected language installed on the computer.</source>
        <translation>No hay ninguna voz instalada en el equipo para el idioma seleccionado.</translation>
    </message>
    <message id="146">
        <source>&lt;font color=green size=14&gt;Creating wave file, Please wait...&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;Creando el archivo WAV, espere...&lt;/font&gt;</translation>
    </message>
    <message id="147">
        <source>&lt;font color=green size=14&gt;Creating audio files finished!&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;¡Archivos de audio creados!&lt;/font&gt;</translation>
    </message>
    <message id="148">
        <source>&lt;font color=green size=14&gt;Extracting text...&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;Extrayendo el texto...&lt;/font&gt;</translation>
    </message>
    <message id="149">
        <source>Failed to save as text file.</source>
        <translation>No se pudo guardar como archivo de texto.</translation>
    </message>
    <message id="164">
        <source>0401#Arabic#Arabic</source>
        <translation>0401#Árabe#Árabe</translation>
    </message>
    <message id="165">
        <source>042d#Basque#Basque</source>
        <translation>042d#Euskera#Euskera</translation>
    </message>
    <message id="166">
        <source>0403#Catalan#Catalan</source>
        <translation>0403#Catalán#Catalán</translation>
    </message>
    <message id="167">
        <source>0804#Chinese (Simplified)#Chinese (Simplified)</source>
        <translation>0804#Chino (simplificado)#Chino (simplificado)</translation>
    </message>
    <message id="168">
        <source>0404#Chinese (Traditional)#Chinese (Traditional)</source>
        <translation>0404#Chino (tradicional)#Chino (tradicional)</translation>
    </message>
    <message id="169">
        <source>041a#Croatian#Croatian</source>
        <translation>041a#Croata#Croata</translation>
    </message>
    <message id="170">
        <source>0405#Czech#Czech</source>
        <translation>0405#Checo#Checo</translation>
    </message>
    <message id="171">
        <source>0406#Danish#Danish</source>
        <translation>0406#Danés#Danés</translation>
    </message>
    <message id="172">
        <source>0413#Dutch (Netherlands)#Dutch (Netherlands)</source>
        <translation>0413#Neerlandés (Países Bajos)#Neerlandés (Países Bajos)</translation>
    </message>
    <message id="173">
        <source>0809#English (UK)#English (UK)</source>
        <translation>0809#Inglés (Reino Unido)#Inglés (Reino Unido)</translation>
    </message>
    <message id="174">
        <source>0409#English (US)#English (US)</source>
        <translation>0409#Inglés (EE. UU.)#Inglés (EE. UU.)</translation>
    </message>
    <message id="175">
        <source>040b#Finnish#Finnish</source>
        <translation>040b#Finés#Finés</translation>
    </message>
    <message id="176">
        <source>040c#French (France)#French (France)</source>
        <translation>040c#Francés (Francia)#Francés (Francia)</translation>
    </message>
    <message id="177">
        <source>0407#German#German</source>
        <translation>0407#Alemán#Alemán</translation>
    </message>
    <message id="178">
        <source>0408#Greek#Greek</source>
        <translation>0408#Griego#Griego</translation>
    </message>
    <message id="179">
        <source>040d#Hebrew#Hebrew</source>
        <translation>040d#Hebreo#Hebreo</translation>
    </message>
    <message id="180">
        <source>040e#Hungarian#Hungarian</source>
        <translation>040e#Húngaro#Húngaro</translation>
    </message>
    <message id="181">
        <source>0410#Italian#Italian</source>
        <translation>0410#Italiano#Italiano</translation>
    </message>
    <message id="182">
        <source>0411#Japanese#Japanese</source>
        <translation>0411#Japonés#Japonés</translation>
    </message>
    <message id="183">
        <source>0412#Korean#Korean</source>
        <translation>0412#Coreano#Coreano</translation>
    </message>
    <message id="184">
        <source>0414#Norwegian#Norwegian</source>
        <translation>0414#Noruego#Noruego</translation>
    </message>
    <message id="185">
        <source>0415#Polish#Polish</source>
        <translation>0415#Polaco#Polaco</translation>
    </message>
    <message id="186">
        <source>0816#Portuguese (Portugal)#Portuguese (Portugal)</source>
        <translation>0816#Portugués (Portugal)#Portugués (Portugal)</translation>
    </message>
    <message id="187">
        <source>0416#Portuguese (Brazil)#Portuguese (Brazil)</source>
        <translation>0416#Portugués (Brasil)#Portugués (Brasil)</translation>
    </message>
    <message id="188">
        <source>0418#Romanian#Romanian</source>
        <translation>0418#Rumano#Rumano</translation>
    </message>
    <message id="189">
        <source>0419#Russian#Russian</source>
        <translation>0419#Ruso#Ruso</translation>
    </message>
    <message id="190">
        <source>041b#Slovakian#Slovakian</source>
        <translation>041b#Eslovaco#Eslovaco</translation>
    </message>
    <message id="191">
        <source>0424#Slovenian#Slovenian</source>
        <translation>0424#Esloveno#Esloveno</translation>
    </message>
    <message id="192">
        <source>0c0a#Spanish (Spain)#Spanish (Spain)</source>
        <translation>0c0a#Español (España)#Español (España)</translation>
    </message>
    <message id="193">
        <source>080a#Spanish (Mexico)#Spanish (Mexico)</source>
        <translation>080a#Español (México)#Español (México)</translation>
    </message>
    <message id="194">
        <source>041d#Swedish#Swedish</source>
        <translation>041d#Sueco#Sueco</translation>
    </message>
    <message id="195">
        <source>041e#Thai#Thai</source>
        <translation>041e#Tailandés#Tailandés</translation>
    </message>
    <message id="196">
        <source>041f#Turkish#Turkish</source>
        <translation>041f#Turco#Turco</translation>
    </message>
    <message id="197">
        <source>0422#Ukrainian#Ukrainian</source>
        <translation>0422#Ucraniano#Ucraniano</translation>
    </message>
    <message id="198">
        <source>042a#Vietnamese#Vietnamese</source>
        <translation>042a#Vietnamita#Vietnamita</translation>
    </message>
    <message id="199">
        <source>040a#Spanish (Spain Traditional Sort)#Spanish (Spain Traditional Sort)</source>
        <translation>040a#Español (España, alfabetización tradicional)#Español (España, alfabetización tradicional)</translation>
    </message>
    <message id="200">
        <source>0813#Dutch (Belgium)#Dutch (Belgium)</source>
        <translation>0813#Neerlandés (Bélgica)#Neerlandés (Bélgica)</translation>
    </message>
    <message id="201">
        <source>0c0c#French (Canada)#French (Canada)</source>
        <translation>0c0c#Francés (Canadá)#Francés (Canadá)</translation>
    </message>
    <message id="202">
        <source>040f#Icelandic#Icelandic</source>
        <translation>040f#Islandés#Islandés</translation>
    </message>
    <message id="203">
        <source>0438#Faeroese#Faeroese</source>
        <translation>0438#Feroés#Feroés</translation>
    </message>
    <message id="204">
        <source>2c0a#Spanish (Argentina)#Spanish (Argentina)</source>
        <translation>2c0a#Español (Argentina)#Español (Argentina)</translation>
    </message>
    <message id="205">
        <source>340a#Spanish (Chile)#Spanish (Chile)</source>
        <translation>340a#Español (Chile)#Español (Chile)</translation>
    </message>
    <message id="206">
        <source>0456#Galician#Galician</source>
        <translation>0456#Gallego#Gallego</translation>
    </message>
    <message id="207">
        <source>540a#Spanish (US)#Spanish (US)</source>
        <translation>540a#Español (EE. UU.)#Español (EE. UU.)</translation>
    </message>
    <message id="208">
        <source>0439#Hindi#Hindi</source>
        <translation>0439#Hindi#Hindi</translation>
    </message>
    <message id="209">
        <source>041c#Albanian#Albanian</source>
        <translation>041c#Albanés#Albanés</translation>
    </message>
    <message id="210">
        <source>0425#Estonian#Estonian</source>
        <translation>0425#Estonio#Estonio</translation>
    </message>
    <message id="211">
        <source>0426#Latvian#Latvian</source>
        <translation>0426#Letón#Letón</translation>
    </message>
    <message id="212">
        <source>0427#Lithuanian#Lithuanian</source>
        <translation>0427#Lituano#Lituano</translation>
    </message>
    <message id="213">
        <source>042b#Armenian#Armenian</source>
        <translation>042b#Armenio#Armenio</translation>
    </message>
    <message id="214">
        <source>0437#Georgian#Georgian</source>
        <translation>0437#Georgiano#Georgiano</translation>
    </message>
    <message id="215">
        <source>046f#Greenlandic#Greenlandic</source>
        <translation>046f#Groenlandés#Groenlandés</translation>
    </message>
    <message id="216">
        <source>042f#Macedonian#Macedonian</source>
        <translation>042f#Macedonio#Macedonio</translation>
    </message>
    <message id="217">
        <source>0429#Persian#Persian</source>
        <translation>0429#Persa#Persa</translation>
    </message>
    <message id="218">
        <source>0c1a#Serbian (Cyrillic)#Serbian (Cyrillic)</source>
        <translation>0c1a#Serbio (cirílico)#Serbio (cirílico)</translation>
    </message>
    <message id="219">
        <source>081a#Serbian (Latin)#Serbian (Latin)</source>
        <translation>081a#Serbio (latino)#Serbio (latino)</translation>
    </message>
    <message id="220">
        <source>0421#Indonesian#Indonesian</source>
        <translation>0421#Indonesio#Indonesio</translation>
    </message>
    <message id="221">
        <source>043e#Malay#Malay</source>
        <translation>043e#Malayo#Malayo</translation>
    </message>
    <message id="222">
        <source>083e#Malay (Brunei)#Malay (Brunei)</source>
        <translation>083e#Malayo (Brunéi)#Malayo (Brunéi)</translation>
    </message>
    <message id="223">
        <source>0c09#English (AU)#English (AU)</source>
        <translation>0c09#Inglés (Australia)#Inglés (Australia)</translation>
    </message>
    <message id="224">
        <source>4009#English (IN)#English (IN)</source>
        <translation>4009#Inglés (India)#Inglés (India)</translation>
    </message>
    <message id="225">
        <source>0452#Welsh#Welsh</source>
        <translation>0452#Galés#Galés</translation>
    </message>
    <message id="300">
        <source>Settings</source>
        <translation>Configuración</translation>
    </message>
    <message id="301">
        <source>No Text-To-Speech(TTS) voice</source>
        <translation>No hay voz de texto a voz (TTS)</translation>
    </message>
    <message id="302">
        <source>%s&#xd;
&#xd;
The music file is missing.</source>
        <translation>%s&#xd;
&#xd;
Falta el archivo de música.</translation>
    </message>
    <message id="303">
        <source>pages/usage.html</source>
        <translation>pages/es/usage.html</translation>
    </message>
    <message id="304">
        <source>&lt;font color=green size=14&gt;MP3 generated: %0.1f%%&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;MP3 generado: %0.1f%%&lt;/font&gt;</translation>
    </message>
    <message id="305">
        <source>&lt;font color=red size=14&gt;Audio files creating has been interrupted.&lt;/font&gt;</source>
        <translation>&lt;font color=red size=14&gt;Se ha interrumpido la creación de los archivos de audio.&lt;/font&gt;</translation>
    </message>
    <message id="307">
        <source>Default color</source>
        <translation>Color predeterminado</translation>
    </message>
    <message id="308">
        <source>More colors...</source>
        <translation>Más colores...</translation>
    </message>
    <message id="309">
        <source>User interface language:</source>
        <translation>Idioma de la interfaz:</translation>
    </message>
    <message id="310">
        <source>Timer color:</source>
        <translation>Color del cronómetro:</translation>
    </message>
    <message id="311">
        <source>Progress bar</source>
        <translation>Barra de progreso</translation>
    </message>
    <message id="312">
        <source>Bar color:</source>
        <translation>Color de la barra:</translation>
    </message>
    <message id="313">
        <source>Bar back color:</source>
        <translation>Color de fondo de la barra:</translation>
    </message>
    <message id="314">
        <source>Text color on bar:</source>
        <translation>Color del texto sobre la barra:</translation>
    </message>
    <message id="315">
        <source>Text color on back:</source>
        <translation>Color del texto sobre el fondo:</translation>
    </message>
    <message id="316">
        <source>Button highlight color:</source>
        <translation>Color de resaltado de los botones:</translation>
    </message>
    <message id="317">
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message id="318">
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message id="319">
        <source>Apply</source>
        <translation>Aplicar</translation>
    </message>
    <message id="320">
        <source>Also write word timings (SYLT, .srt, .lrc)</source>
        <translation>Guardar también los tiempos de las palabras (SYLT, .srt, .lrc)</translation>
    </message>
    <message id="menu.131.0">
        <source>&amp;Option</source>
        <translation>&amp;Opciones</translation>
    </message>
    <message id="menu.131.1">
        <source>&amp;Settings...</source>
        <translation>&amp;Configuración...</translation>
    </message>
    <message id="menu.131.2">
        <source>&amp;Help</source>
        <translation>Ay&amp;uda</translation>
    </message>
    <message id="menu.131.3">
        <source>&amp;FAQ Online</source>
        <translation>&amp;Preguntas frecuentes en línea</translation>
    </message>
    <message id="menu.131.4">
        <source>&amp;Usage Online</source>
        <translation>Guía de &amp;uso en línea</translation>
    </message>
    <message id="menu.131.5">
        <source>&amp;About</source>
        <translation>&amp;Acerca de</translation>
    </message>
    <message id="menu.143.0">
        <source>Edit</source>
        <translation>Edición</translation>
    </message>
    <message id="menu.143.1">
        <source>Undo</source>
        <translation>Deshacer</translation>
    </message>
    <message id="menu.143.3">
        <source>Cut</source>
        <translation>Cortar</translation>
    </message>
    <message id="menu.143.4">
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message id="menu.143.5">
        <source>Paste</source>
        <translation>Pegar</translation>
    </message>
    <message id="menu.143.6">
        <source>Select All</source>
        <translation>Seleccionar todo</translation>
    </message>
    <message id="menu.143.7">
        <source>Save As...</source>
        <translation>Guardar como...</translation>
    </message>
    <message id="menu.143.8">
        <source>Empty</source>
        <translation>Vaciar</translation>
    </message>
    <message id="menu.143.10">
        <source>FAQ Online</source>
        <translation>Preguntas frecuentes en línea</translation>
    </message>
    <message id="dialog.102.1033">
        <source>Speak from file</source>
        <translation>Leer desde archivo</translation>
    </message>
    <message id="dialog.102.1034">
        <source>Instant Speak</source>
        <translation>Lectura instantánea</translation>
    </message>
    <message id="dialog.102.1001">
        <source>Open ...</source>
        <translation>Abrir...</translation>
    </message>
    <message id="dialog.102.1002">
        <source>Delete</source>
        <translation>Quitar</translation>
    </message>
    <message id="dialog.102.1003">
        <source>Reset</source>
        <translation>Restablecer</translation>
    </message>
    <message id="dialog.102.1007">
        <source>Speak</source>
        <translation>Leer</translation>
    </message>
    <message id="dialog.102.1008">
        <source>Pause</source>
        <translation>Pausar</translation>
    </message>
    <message id="dialog.102.1010">
        <source>Stop</source>
        <translation>Detener</translation>
    </message>
    <message id="dialog.102.1016">
        <source>Volume</source>
        <translation>Volumen</translation>
    </message>
    <message id="dialog.102.1018">
        <source>Rate</source>
        <translation>Velocidad</translation>
    </message>
    <message id="dialog.102.1036">
        <source>Empty</source>
        <translation>Vaciar</translation>
    </message>
    <message id="dialog.102.1040">
        <source>Go Online</source>
        <translation>Ir a la web</translation>
    </message>
    <message id="dialog.102.1042">
        <source>Save as</source>
        <translation>Guardar como</translation>
    </message>
    <message id="dialog.102.1043">
        <source>Save as Audio</source>
        <translation>Guardar como audio</translation>
    </message>
    <message id="dialog.102.1054">
        <source>Paste</source>
        <translation>Pegar</translation>
    </message>
    <message id="dialog.102.1056">
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message id="dialog.102.1058">
        <source>Select language for the content</source>
        <translation>Seleccione el idioma del contenido</translation>
    </message>
    <message id="dialog.102.1059">
        <source>Select a voice:</source>
        <translation>Seleccione una voz:</translation>
    </message>
    <message id="dialog.102.1067">
        <source>ZIn</source>
        <translation>Acercar</translation>
    </message>
    <message id="dialog.102.1068">
        <source>ZOut</source>
        <translation>Alejar</translation>
    </message>
    <message id="dialog.102.1069">
        <source>100</source>
        <translation>100</translation>
    </message>
    <message id="dialog.102.1070">
        <source>50</source>
        <translation>50</translation>
    </message>
    <message id="dialog.102.1071">
        <source>0</source>
        <translation>0</translation>
    </message>
    <message id="dialog.102.1072">
        <source>10</source>
        <translation>10</translation>
    </message>
    <message id="dialog.102.1073">
        <source>0</source>
        <translation>0</translation>
    </message>
    <message id="dialog.102.1074">
        <source>-10</source>
        <translation>-10</translation>
    </message>
    <message id="dialog.102.1020">
        <source>00:00:00</source>
        <translation>00:00:00</translation>
    </message>
    <message id="dialog.134.0">
        <source>Preferences::Music</source>
        <translation>Preferencias::Música</translation>
    </message>
    <message id="dialog.136.0">
        <source>Preferences::Audio Output</source>
        <translation>Preferencias::Salida de audio</translation>
    </message>
    <message id="dialog.142.0">
        <source>Preferences::Language</source>
        <translation>Preferencias::Idioma</translation>
    </message>
    <message id="dialog.316.0">
        <source>Preferences::User Interface</source>
        <translation>Preferencias::Interfaz de usuario</translation>
    </message>
    <message id="dialog.100.1">
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message id="dialog.100.1060">
        <source>Kestrivane Basic</source>
        <translation>Kestrivane Basic</translation>
    </message>
    <message id="colour.0">
        <source>Black</source>
        <translation>Negro</translation>
    </message>
    <message id="colour.1">
        <source>Brown</source>
        <translation>Marrón</translation>
    </message>
    <message id="colour.2">
        <source>Dark Olive Green</source>
        <translation>Verde oliva oscuro</translation>
    </message>
    <message id="colour.3">
        <source>Dark Green</source>
        <translation>Verde oscuro</translation>
    </message>
    <message id="colour.4">
        <source>Dark Teal</source>
        <translation>Verde azulado oscuro</translation>
    </message>
    <message id="colour.5">
        <source>Dark blue</source>
        <translation>Azul oscuro</translation>
    </message>
    <message id="colour.6">
        <source>Indigo</source>
        <translation>Índigo</translation>
    </message>
    <message id="colour.7">
        <source>Dark grey</source>
        <translation>Gris oscuro</translation>
    </message>
    <message id="colour.8">
        <source>Dark red</source>
        <translation>Rojo oscuro</translation>
    </message>
    <message id="colour.9">
        <source>Orange</source>
        <translation>Naranja</translation>
    </message>
    <message id="colour.10">
        <source>Dark yellow</source>
        <translation>Amarillo oscuro</translation>
    </message>
    <message id="colour.11">
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message id="colour.12">
        <source>Teal</source>
        <translation>Verde azulado</translation>
    </message>
    <message id="colour.13">
        <source>Blue</source>
        <translation>Azul</translation>
    </message>
    <message id="colour.14">
        <source>Blue-grey</source>
        <translation>Gris azulado</translation>
    </message>
    <message id="colour.15">
        <source>Grey - 40</source>
        <translation>Gris - 40</translation>
    </message>
    <message id="colour.16">
        <source>Red</source>
        <translation>Rojo</translation>
    </message>
    <message id="colour.17">
        <source>Light orange</source>
        <translation>Naranja claro</translation>
    </message>
    <message id="colour.18">
        <source>Lime</source>
        <translation>Lima</translation>
    </message>
    <message id="colour.19">
        <source>Sea green</source>
        <translation>Verde mar</translation>
    </message>
    <message id="colour.20">
        <source>Aqua</source>
        <translation>Aguamarina</translation>
    </message>
    <message id="colour.21">
        <source>Light blue</source>
        <translation>Azul claro</translation>
    </message>
    <message id="colour.22">
        <source>Violet</source>
        <translation>Violeta</translation>
    </message>
    <message id="colour.23">
        <source>Grey - 50</source>
        <translation>Gris - 50</translation>
    </message>
    <message id="colour.24">
        <source>Pink</source>
        <translation>Rosa</translation>
    </message>
    <message id="colour.25">
        <source>Gold</source>
        <translation>Dorado</translation>
    </message>
    <message id="colour.26">
        <source>Yellow</source>
        <translation>Amarillo</translation>
    </message>
    <message id="colour.27">
        <source>Bright green</source>
        <translation>Verde brillante</translation>
    </message>
    <message id="colour.28">
        <source>Turquoise</source>
        <translation>Turquesa</translation>
    </message>
    <message id="colour.29">
        <source>Skyblue</source>
        <translation>Celeste</translation>
    </message>
    <message id="colour.30">
        <source>Plum</source>
        <translation>Ciruela</translation>
    </message>
    <message id="colour.31">
        <source>Light grey</source>
        <translation>Gris claro</translation>
    </message>
    <message id="colour.32">
        <source>Rose</source>
        <translation>Rosa palo</translation>
    </message>
    <message id="colour.33">
        <source>Tan</source>
        <translation>Canela</translation>
    </message>
    <message id="colour.34">
        <source>Light yellow</source>
        <translation>Amarillo claro</translation>
    </message>
    <message id="colour.35">
        <source>Pale green </source>
        <translation>Verde pálido</translation>
    </message>
    <message id="colour.36">
        <source>Pale turquoise</source>
        <translation>Turquesa pálido</translation>
    </message>
    <message id="colour.37">
        <source>Pale blue</source>
        <translation>Azul pálido</translation>
    </message>
    <message id="colour.38">
        <source>Lavender</source>
        <translation>Lavanda</translation>
    </message>
    <message id="colour.39">
        <source>White</source>
        <translation>Blanco</translation>
    </message>
</context>
</TS>
