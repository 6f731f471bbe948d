<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name></name>
    <message id="100">
        <source>Kestrivane Basic</source>
        <translation>Kestrivane Basic</translation>
    </message>
    <message id="101">
        <source>&amp;About Kestrivane Basic...</source>
        <extracomment>The About box takes its title from this text without its first character: keep the &amp; first.</extracomment>
        <translation>&amp;Sobre o Kestrivane Basic...</translation>
    </message>
    <message id="102">
        <source>Read File</source>
        <translation>Ler arquivo</translation>
    </message>
    <message id="103">
        <source>Input and Speak</source>
        <translation>Digitar e ler</translation>
    </message>
    <message id="104">
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message id="105">
        <source>Delete</source>
        <translation>Remover</translation>
    </message>
    <message id="106">
        <source>Empty</source>
        <translation>Limpar</translation>
    </message>
    <message id="107">
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message id="108">
        <source>Paste</source>
        <translation>Colar</translation>
    </message>
    <message id="109">
        <source>Empty</source>
        <translation>Limpar</translation>
    </message>
    <message id="110">
        <source>Save</source>
        <translation>Salvar</translation>
    </message>
    <message id="111">
        <source>Speak</source>
        <translation>Ler</translation>
    </message>
    <message id="112">
        <source>Pause</source>
        <translation>Pausar</translation>
    </message>
    <message id="113">
        <source>Resume</source>
        <translation>Retomar</translation>
    </message>
    <message id="114">
        <source>Stop</source>
        <translation>Parar</translation>
    </message>
    <message id="115">
        <source>Save as Audio</source>
        <translation>Salvar como áudio</translation>
    </message>
    <message id="116">
        <source>Refresh</source>
        <translation>Atualizar</translation>
    </message>
    <message id="117">
        <source>Volume: %d</source>
        <translation>Volume: %d</translation>
    </message>
    <message id="118">
        <source>Speed: %d</source>
        <translation>Velocidade: %d</translation>
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
        <translation>Kestrivane Basic, versão 1.0
Lê em voz alta documentos e textos digitados e os transforma em audiolivros.
Copyright (C) 2026 os desenvolvedores do Kestrivane.</translation>
    </message>
    <message id="122">
        <source>Browse For Folder</source>
        <translation>Procurar pasta</translation>
    </message>
    <message id="123">
        <source>You don't have permission to save in this location. Contact the administrator to obtain permission.</source>
        <translation>Você não tem permissão para salvar neste local. Entre em contato com o administrador para obter permissão.</translation>
    </message>
    <message id="124">
        <source>Kestrivane Basic reads your documents and typed text aloud and saves them as WAV and MP3 audio books.</source>
        <translation>O Kestrivane Basic lê em voz alta seus documentos e textos digitados e os salva como audiolivros em WAV e MP3.</translation>
    </message>
    <message id="125">
        <source>https://kestrivane.example/basic/</source>
        <translation>https://kestrivane.example/basic/</translation>
    </message>
    <message id="126">
        <source>Play music when the reading finishes.</source>
        <translation>Tocar música quando a leitura terminar.</translation>
    </message>
    <message id="127">
        <source>Thanks, no music.</source>
        <translation>Obrigado, sem música.</translation>
    </message>
    <message id="128">
        <source>Play my favorite music.</source>
        <translation>Tocar minha música favorita.</translation>
    </message>
    <message id="129">
        <source>New file</source>
        <translation>Novo arquivo</translation>
    </message>
    <message id="130">
        <source>Browse...</source>
        <translation>Procurar...</translation>
    </message>
    <message id="131">
        <source>Set the language for the text-to-speech voice when the application starts to run.</source>
        <translation>Defina o idioma da voz de conversão de texto em fala usado quando o aplicativo é iniciado.</translation>
    </message>
    <message id="132">
        <source>The language of the operating system</source>
        <translation>O idioma do sistema operacional</translation>
    </message>
    <message id="133">
        <source>More languages:</source>
        <translation>Mais idiomas:</translation>
    </message>
    <message id="134">
        <source>Choose the type to save audio files:</source>
        <translation>Escolha como salvar os arquivos de áudio:</translation>
    </message>
    <message id="136">
        <source>Save audio files in the folder you specified with the name you assigned to.</source>
        <translation>Salvar os arquivos de áudio na pasta que você indicar, com o nome que você atribuir.</translation>
    </message>
    <message id="137">
        <source>Save audio files with the source file base name in the following folder:</source>
        <translation>Salvar os arquivos de áudio com o nome base do arquivo de origem na seguinte pasta:</translation>
    </message>
    <message id="139">
        <source>Browse...</source>
        <translation>Procurar...</translation>
    </message>
    <message id="140">
        <source>Failed to initiate voice instance.</source>
        <translation>Falha ao iniciar a instância de voz.</translation>
    </message>
    <message id="141">
        <source>pages/faq.html</source>
        <translation>pages/pt/faq.html</translation>
    </message>
    <message id="142">
        <source>pages/showcase.html</source>
        <translation>pages/pt/showcase.html</translation>
    </message>
    <message id="143">
        <source>Please stop the speaking first!</source>
        <translation>Pare a leitura primeiro!</translation>
    </message>
    <message id="144">
        <source>You may try to close Windows media player and try again.</source>
        <translation>Feche o Windows Media Player e tente novamente.</translation>
    </message>
    <message id="145">
        <source>No voice for the selected language installed on the computer.</source>
        <translation>Não há nenhuma voz instalada no computador para o idioma selecionado.</translation>
    </message>
    <message id="146">
        <source>&lt;font color=green size=14&gt;Creating wave file, Please wait...&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;Criando o arquivo WAV, aguarde...&lt;/font&gt;</translation>
    </message>
    <message id="147">
        <source>&lt;font color=green size=14&gt;Creating audio files finished!&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;Arquivos de áudio criados!&lt;/font&gt;</translation>
    </message>
    <message id="148">
        <source>&lt;font color=green size=14&gt;Extracting text...&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;Extraindo o texto...&lt;/font&gt;</translation>
    </message>
    <message id="149">
        <source>Failed to save as text file.</source>
        <translation>Não foi possível salvar como arquivo de texto.</translation>
    </message>
    <message id="164">
        <source>0401#Arabic#Arabic</source>
        <translation>0401#Árabe#Árabe</translation>
    </message>
    <message id="165">
        <source>042d#Basque#Basque</source>
        <translation>042d#Basco#Basco</translation>
    </message>
    <message id="166">
        <source>0403#Catalan#Catalan</source>
        <translation>0403#Catalão#Catalão</translation>
    </message>
    <message id="167">
        <source>0804#Chinese (Simplified)#Chinese (Simplified)</source>
        <translation>0804#Chinês (simplificado)#Chinês (simplificado)</translation>
    </message>
    <message id="168">
        <source>0404#Chinese (Traditional)#Chinese (Traditional)</source>
        <translation>0404#Chinês (tradicional)#Chinês (tradicional)</translation>
    </message>
    <message id="169">
        <source>041a#Croatian#Croatian</source>
        <translation>041a#Croata#Croata</translation>
    </message>
    <message id="170">
        <source>0405#Czech#Czech</source>
        <translation>0405#Tcheco#Tcheco</translation>
    </message>
    <message id="171">
        <source>0406#Danish#Danish</source>
        <translation>0406#Dinamarquês#Dinamarquês</translation>
    </message>
    <message id="172">
        <source>0413#Dutch (Netherlands)#Dutch (Netherlands)</source>
        <translation>0413#Holandês (Países Baixos)#Holandês (Países Baixos)</translation>
    </message>
    <message id="173">
        <source>0809#English (UK)#English (UK)</source>
        <translation>0809#Inglês (Reino Unido)#Inglês (Reino Unido)</translation>
    </message>
    <message id="174">
        <source>0409#English (US)#English (US)</source>
        <translation>0409#Inglês (EUA)#Inglês (EUA)</translation>
    </message>
    <message id="175">
        <source>040b#Finnish#Finnish</source>
        <translation>040b#Finlandês#Finlandês</translation>
    </message>
    <message id="176">
        <source>040c#French (France)#French (France)</source>
        <translation>040c#Francês (França)#Francês (França)</translation>
    </message>
    <message id="177">
        <source>0407#German#German</source>
        <translation>0407#Alemão#Alemão</translation>
    </message>
    <message id="178">
        <source>0408#Greek#Greek</source>
        <translation>0408#Grego#Grego</translation>
    </message>
    <message id="179">
        <source>040d#Hebrew#Hebrew</source>
        <translation>040d#Hebraico#Hebraico</translation>
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
        <translation>0411#Japonês#Japonês</translation>
    </message>
    <message id="183">
        <source>0412#Korean#Korean</source>
        <translation>0412#Coreano#Coreano</translation>
    </message>
    <message id="184">
        <source>0414#Norwegian#Norwegian</source>
        <translation>0414#Norueguês#Norueguês</translation>
    </message>
    <message id="185">
        <source>0415#Polish#Polish</source>
        <translation>0415#Polonês#Polonês</translation>
    </message>
    <message id="186">
        <source>0816#Portuguese (Portugal)#Portuguese (Portugal)</source>
        <translation>0816#Português (Portugal)#Português (Portugal)</translation>
    </message>
    <message id="187">
        <source>0416#Portuguese (Brazil)#Portuguese (Brazil)</source>
        <translation>0416#Português (Brasil)#Português (Brasil)</translation>
    </message>
    <message id="188">
        <source>0418#Romanian#Romanian</source>
        <translation>0418#Romeno#Romeno</translation>
    </message>
    <message id="189">
        <source>0419#Russian#Russian</source>
        <translation>0419#Russo#Russo</translation>
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
        <translation>0c0a#Espanhol (Espanha)#Espanhol (Espanha)</translation>
    </message>
    <message id="193">
        <source>080a#Spanish (Mexico)#Spanish (Mexico)</source>
        <translation>080a#Espanhol (México)#Espanhol (México)</translation>
    </message>
    <message id="194">
        <source>041d#Swedish#Swedish</source>
        <translation>041d#Sueco#Sueco</translation>
    </message>
    <message id="195">
        <source>041e#Thai#Thai</source>
        <translation>041e#Tailandês#Tailandês</translation>
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
        <translation>040a#Espanhol (Espanha, ordenação tradicional)#Espanhol (Espanha, ordenação tradicional)</translation>
    </message>
    <message id="200">
        <source>0813#Dutch (Belgium)#Dutch (Belgium)</source>
        <translation>0813#Holandês (Bélgica)#Holandês (Bélgica)</translation>
    </message>
    <message id="201">
        <source>0c0c#French (Canada)#French (Canada)</source>
        <translation>0c0c#Francês (Canadá)#Francês (Canadá)</translation>
    </message>
    <message id="202">
        <source>040f#Icelandic#Icelandic</source>
        <translation>040f#Islandês#Islandês</translation>
    </message>
    <message id="203">
        <source>0438#Faeroese#Faeroese</source>
        <translation>0438#Feroês#Feroês</translation>
    </message>
    <message id="204">
        <source>2c0a#Spanish (Argentina)#Spanish (Argentina)</source>
        <translation>2c0a#Espanhol (Argentina)#Espanhol (Argentina)</translation>
    </message>
    <message id="205">
        <source>340a#Spanish (Chile)#Spanish (Chile)</source>
        <translation>340a#Espanhol (Chile)#Espanhol (Chile)</translation>
    </message>
    <message id="206">
        <source>0456#Galician#Galician</source>
        <translation>0456#Galego#Galego</translation>
    </message>
    <message id="207">
        <source>540a#Spanish (US)#Spanish (US)</source>
        <translation>540a#Espanhol (EUA)#Espanhol (EUA)</translation>
    </message>
    <message id="208">
        <source>0439#Hindi#Hindi</source>
        <translation>0439#Híndi#Híndi</translation>
    </message>
    <message id="209">
        <source>041c#Albanian#Albanian</source>
        <translation>041c#Albanês#Albanês</translation>
    </message>
    <message id="210">
        <source>0425#Estonian#Estonian</source>
        <translation>0425#Estoniano#Estoniano</translation>
    </message>
    <message id="211">
        <source>0426#Latvian#Latvian</source>
        <translation>0426#Letão#Letão</translation>
    </message>
    <message id="212">
        <source>0427#Lithuanian#Lithuanian</source>
        <translation>0427#Lituano#Lituano</translation>
    </message>
    <message id="213">
        <source>042b#Armenian#Armenian</source>
        <translation>042b#Armênio#Armênio</translation>
    </message>
    <message id="214">
        <source>0437#Georgian#Georgian</source>
        <translation>0437#Georgiano#Georgiano</translation>
    </message>
    <message id="215">
        <source>046f#Greenlandic#Greenlandic</source>
        <translation>046f#Groenlandês#Groenlandês</translation>
    </message>
    <message id="216">
        <source>042f#Macedonian#Macedonian</source>
        <translation>042f#Macedônio#Macedônio</translation>
    </message>
    <message id="217">
        <source>0429#Persian#Persian</source>
        <translation>0429#Persa#Persa</translation>
    </message>
    <message id="218">
        <source>0c1a#Serbian (Cyrillic)#Serbian (Cyrillic)</source>
        <translation>0c1a#Sérvio (cirílico)#Sérvio (cirílico)</translation>
    </message>
    <message id="219">
        <source>081a#Serbian (Latin)#Serbian (Latin)</source>
        <translation>081a#Sérvio (latino)#Sérvio (latino)</translation>
    </message>
    <message id="220">
        <source>0421#Indonesian#Indonesian</source>
        <translation>0421#Indonésio#Indonésio</translation>
    </message>
    <message id="221">
        <source>043e#Malay#Malay</source>
        <translation>043e#Malaio#Malaio</translation>
    </message>
    <message id="222">
        <source>083e#Malay (Brunei)#Malay (Brunei)</source>
        <translation>083e#Malaio (Brunei)#Malaio (Brunei)</translation>
    </message>
    <message id="223">
        <source>0c09#English (AU)#English (AU)</source>
        <translation>0c09#Inglês (Austrália)#Inglês (Austrália)</translation>
    </message>
    <message id="224">
        <source>4009#English (IN)#English (IN)</source>
        <translation>4009#Inglês (Índia)#Inglês (Índia)</translation>
    </message>
    <message id="225">
        <source>0452#Welsh#Welsh</source>
        <translation>0452#Galês#Galês</translation>
    </message>
    <message id="300">
        <source>Settings</source>
        <translation>Configurações</translation>
    </message>
    <message id="301">
        <source>No Text-To-Speech(TTS) voice</source>
        <translation>Nenhuma voz de conversão de texto em fala (TTS)</translation>
    </message>
    <message id="302">
        <source>%s&#xd;
&#xd;
The music file is missing.</source>
        <translation>%s&#xd;
&#xd;
O arquivo de música não foi encontrado.</translation>
    </message>
    <message id="303">
        <source>pages/usage.html</source>
        <translation>pages/pt/usage.html</translation>
    </message>
    <message id="304">
        <source>&lt;font color=green size=14&gt;MP3 generated: %0.1f%%&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;MP3 gerado: %0.1f%%&lt;/font&gt;</translation>
    </message>
    <message id="305">
        <source>&lt;font color=red size=14&gt;Audio files creating has been interrupted.&lt;/font&gt;</source>
        <translation>&lt;font color=red size=14&gt;A criação dos arquivos de áudio foi interrompida.&lt;/font&gt;</translation>
    </message>
    <message id="307">
        <source>Default color</source>
        <translation>Cor padrão</translation>
    </message>
    <message id="308">
        <source>More colors...</source>
        <translation>Mais cores...</translation>
    </message>
    <message id="309">
        <source>User interface language:</source>
        <translation>Idioma da interface:</translation>
    </message>
    <message id="310">
        <source>Timer color:</source>
        <translation>Cor do cronômetro:</translation>
    </message>
    <message id="311">
        <source>Progress bar</source>
        <translation>Barra de progresso</translation>
    </message>
    <message id="312">
        <source>Bar color:</source>
        <translation>Cor da barra:</translation>
    </message>
    <message id="313">
        <source>Bar back color:</source>
        <translation>Cor de fundo da barra:</translation>
    </message>
    <message id="314">
        <source>Text color on bar:</source>
        <translation>Cor do texto sobre a barra:</translation>
    </message>
    <message id="315">
        <source>Text color on back:</source>
        <translation>Cor do texto sobre o fundo:</translation>
    </message>
    <message id="316">
        <source>Button highlight color:</source>
        <translation>Cor de destaque dos botões:</translation>
    </message>
    <message id="317">
        <source>OK</source>
        <translation>OK</translation>
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
        <translation>Gravar também os tempos das palavras (SYLT, .srt, .lrc)</translation>
    </message>
    <message id="menu.131.0">
        <source>&amp;Option</source>
        <translation>&amp;Opções</translation>
    </message>
    <message id="menu.131.1">
        <source>&amp;Settings...</source>
        <translation>&amp;Configurações...</translation>
    </message>
    <message id="menu.131.2">
        <source>&amp;Help</source>
        <translation>Aj&amp;uda</translation>
    </message>
    <message id="menu.131.3">
        <source>&amp;FAQ Online</source>
        <translation>&amp;Perguntas frequentes online</translation>
    </message>
    <message id="menu.131.4">
        <source>&amp;Usage Online</source>
        <translation>&amp;Instruções de uso online</translation>
    </message>
    <message id="menu.131.5">
        <source>&amp;About</source>
        <translation>&amp;Sobre</translation>
    </message>
    <message id="menu.143.0">
        <source>Edit</source>
        <translation>Editar</translation>
    </message>
    <message id="menu.143.1">
        <source>Undo</source>
        <translation>Desfazer</translation>
    </message>
    <message id="menu.143.3">
        <source>Cut</source>
        <translation>Recortar</translation>
    </message>
    <message id="menu.143.4">
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message id="menu.143.5">
        <source>Paste</source>
        <translation>Colar</translation>
    </message>
    <message id="menu.143.6">
        <source>Select All</source>
        <translation>Selecionar tudo</translation>
    </message>
    <message id="menu.143.7">
        <source>Save As...</source>
        <translation>Salvar como...</translation>
    </message>
    <message id="menu.143.8">
        <source>Empty</source>
        <translation>Limpar</translation>
    </message>
    <message id="menu.143.10">
        <source>FAQ Online</source>
        <translation>Perguntas frequentes online</translation>
    </message>
    <message id="dialog.102.1033">
        <source>Speak from file</source>
        <translation>Ler de arquivo</translation>
    </message>
    <message id="dialog.102.1034">
        <source>Instant Speak</source>
        <translation>Leitura instantânea</translation>
    </message>
    <message id="dialog.102.1001">
        <source>Open ...</source>
        <translation>Abrir...</translation>
    </message>
    <message id="dialog.102.1002">
        <source>Delete</source>
        <translation>Remover</translation>
    </message>
    <message id="dialog.102.1003">
        <source>Reset</source>
        <translation>Redefinir</translation>
    </message>
    <message id="dialog.102.1007">
        <source>Speak</source>
        <translation>Ler</translation>
    </message>
    <message id="dialog.102.1008">
        <source>Pause</source>
        <translation>Pausar</translation>
    </message>
    <message id="dialog.102.1010">
        <source>Stop</source>
        <translation>Parar</translation>
    </message>
    <message id="dialog.102.1016">
        <source>Volume</source>
        <translation>Volume</translation>
    </message>
    <message id="dialog.102.1018">
        <source>Rate</source>
        <translation>Velocidade</translation>
    </message>
    <message id="dialog.102.1036">
        <source>Empty</source>
        <translation>Limpar</translation>
    </message>
    <message id="dialog.102.1040">
        <source>Go Online</source>
        <translation>Acessar o site</translation>
    </message>
    <message id="dialog.102.1042">
        <source>Save as</source>
        <translation>Salvar como</translation>
    </message>
    <message id="dialog.102.1043">
        <source>Save as Audio</source>
        <translation>Salvar como áudio</translation>
    </message>
    <message id="dialog.102.1054">
        <source>Paste</source>
        <translation>Colar</translation>
    </message>
    <message id="dialog.102.1056">
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message id="dialog.102.1058">
        <source>Select language for the content</source>
        <translation>Selecione o idioma do conteúdo</translation>
    </message>
    <message id="dialog.102.1059">
        <source>Select a voice:</source>
        <translation>Selecione uma voz:</translation>
    </message>
    <message id="dialog.102.1067">
        <source>ZIn</source>
        <translation>Ampliar</translation>
    </message>
    <message id="dialog.102.1068">
        <source>ZOut</source>
        <translation>Reduzir</translation>
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
        <translation>Preferências::Música</translation>
    </message>
    <message id="dialog.136.0">
        <source>Preferences::Audio Output</source>
        <translation>Preferências::Saída de áudio</translation>
    </message>
    <message id="dialog.142.0">
        <source>Preferences::Language</source>
        <translation>Preferências::Idioma</translation>
    </message>
    <message id="dialog.316.0">
        <source>Preferences::User Interface</source>
        <translation>Preferências::Interface do usuário</translation>
    </message>
    <message id="dialog.100.1">
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message id="dialog.100.1060">
        <source>Kestrivane Basic</source>
        <translation>Kestrivane Basic</translation>
    </message>
    <message id="colour.0">
        <source>Black</source>
        <translation>Preto</translation>
    </message>
    <message id="colour.1">
        <source>Brown</source>
        <translation>Marrom</translation>
    </message>
    <message id="colour.2">
        <source>Dark Olive Green</source>
        <translation>Verde-oliva escuro</translation>
    </message>
    <message id="colour.3">
        <source>Dark Green</source>
        <translation>Verde-escuro</translation>
    </message>
    <message id="colour.4">
        <source>Dark Teal</source>
        <translation>Azul-petróleo escuro</translation>
    </message>
    <message id="colour.5">
        <source>Dark blue</source>
        <translation>Azul-escuro</translation>
    </message>
    <message id="colour.6">
        <source>Indigo</source>
        <translation>Índigo</translation>
    </message>
    <message id="colour.7">
        <source>Dark grey</source>
        <translation>Cinza-escuro</translation>
    </message>
    <message id="colour.8">
        <source>Dark red</source>
        <translation>Vermelho-escuro</translation>
    </message>
    <message id="colour.9">
        <source>Orange</source>
        <translation>Laranja</translation>
    </message>
    <message id="colour.10">
        <source>Dark yellow</source>
        <translation>Amarelo-escuro</translation>
    </message>
    <message id="colour.11">
        <source>Green</source>
        <translation>Verde</translation>
    </message>
    <message id="colour.12">
        <source>Teal</source>
        <translation>Azul-petróleo</translation>
    </message>
    <message id="colour.13">
        <source>Blue</source>
        <translation>Azul</translation>
    </message>
    <message id="colour.14">
        <source>Blue-grey</source>
        <translation>Cinza-azulado</translation>
    </message>
    <message id="colour.15">
        <source>Grey - 40</source>
        <translation>Cinza - 40</translation>
    </message>
    <message id="colour.16">
        <source>Red</source>
        <translation>Vermelho</translation>
    </message>
    <message id="colour.17">
        <source>Light orange</source>
        <translation>Laranja-claro</translation>
    </message>
    <message id="colour.18">
        <source>Lime</source>
        <translation>Verde-limão</translation>
    </message>
    <message id="colour.19">
        <source>Sea green</source>
        <translation>Verde-mar</translation>
    </message>
    <message id="colour.20">
        <source>Aqua</source>
        <translation>Água-marinha</translation>
    </message>
    <message id="colour.21">
        <source>Light blue</source>
        <translation>Azul-claro</translation>
    </message>
    <message id="colour.22">
        <source>Violet</source>
        <translation>Violeta</translation>
    </message>
    <message id="colour.23">
        <source>Grey - 50</source>
        <translation>Cinza - 50</translation>
    </message>
    <message id="colour.24">
        <source>Pink</source>
        <translation>Rosa</translation>
    </message>
    <message id="colour.25">
        <source>Gold</source>
        <translation>Dourado</translation>
    </message>
    <message id="colour.26">
        <source>Yellow</source>
        <translation>Amarelo</translation>
    </message>
    <message id="colour.27">
        <source>Bright green</source>
        <translation>Verde-vivo</translation>
    </message>
    <message id="colour.28">
        <source>Turquoise</source>
        <translation>Turquesa</translation>
    </message>
    <message id="colour.29">
        <source>Skyblue</source>
        <translation>Azul-celeste</translation>
    </message>
    <message id="colour.30">
        <source>Plum</source>
        <translation>Ameixa</translation>
    </message>
    <message id="colour.31">
        <source>Light grey</source>
        <translation>Cinza-claro</translation>
    </message>
    <message id="colour.32">
        <source>Rose</source>
        <translation>Rosa-claro</translation>
    </message>
    <message id="colour.33">
        <source>Tan</source>
        <translation>Castanho-claro</translation>
    </message>
    <message id="colour.34">
        <source>Light yellow</source>
        <translation>Amarelo-claro</translation>
    </message>
    <message id="colour.35">
        <source>Pale green </source>
        <translation>Verde-pálido</translation>
    </message>
    <message id="colour.36">
        <source>Pale turquoise</source>
        <translation>Turquesa-pálido</translation>
    </message>
    <message id="colour.37">
        <source>Pale blue</source>
        <translation>Azul-pálido</translation>
    </message>
    <message id="colour.38">
        <source>Lavender</source>
        <translation>Lavanda</translation>
    </message>
    <message id="colour.39">
        <source>White</source>
        <translation>Branco</translation>
    </message>
</context>
</TS>
