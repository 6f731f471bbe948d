<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name></name>
    <message id="100">
        <source>Kestrivane Basic</source>
        <translation>Kestrivane Basic</translation>
    </message>
    <message id="101">
        <source>&amp;About Kestrivane Basic...</source>
        <extracomment>The About box takes its title from this text without its first character: keep the &amp; first.</extracomment>
        <translation>&amp;关于 Kestrivane Basic...</translation>
    </message>
    <message id="102">
        <source>Read File</source>
        <translation>朗读文件</translation>
    </message>
    <message id="103">
        <source>Input and Speak</source>
        <translation>输入并朗读</translation>
    </message>
    <message id="104">
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message id="105">
        <source>Delete</source>
        <translation>移除</translation>
    </message>
    <message id="106">
        <source>Empty</source>
        <translation>清空</translation>
    </message>
    <message id="107">
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message id="108">
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message id="109">
        <source>Empty</source>
        <translation>清空</translation>
    </message>
    <message id="110">
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message id="111">
        <source>Speak</source>
        <translation>朗读</translation>
    </message>
    <message id="112">
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message id="113">
        <source>Resume</source>
        <translation>继续</translation>
    </message>
    <message id="114">
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message id="115">
        <source>Save as Audio</source>
        <translation>保存为音频</translation>
    </message>
    <message id="116">
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message id="117">
        <source>Volume: %d</source>
        <translation>音量：%d</translation>
    </message>
    <message id="118">
        <source>Speed: %d</source>
        <translation>语速：%d</translation>
    </message>
    <message id="119">
        <source>Language:</source>
        <translation>语言：</translation>
    </message>
    <message id="120">
        <source>Voice:</source>
        <translation>语音：</translation>
    </message>
    <message id="121">
        <source>Kestrivane Basic, version 1.0
Reads documents and typed text aloud and turns them into audio books.
Copyright (C) 2026 the Kestrivane developers.</source>
        <translation>Kestrivane Basic 1.0 版
朗读文档和输入的文字，并将其制作成有声读物。
版权所有 (C) 2026 Kestrivane 开发者。</translation>
    </message>
    <message id="122">
        <source>Browse For Folder</source>
        <translation>浏览文件夹</translation>
    </message>
    <message id="123">
        <source>You don't have permission to save in this location. Contact the administrator to obtain permission.</source>
        <translation>您没有在此位置保存文件的权限。请与管理员联系以获取权限。</translation>
    </message>
    <message id="124">
        <source>Kestrivane Basic reads your documents and typed text aloud and saves them as WAV and MP3 audio books.</source>
        <translation>Kestrivane Basic 可以朗读您的文档和输入的文字，并将其保存为 WAV 和 MP3 格式的有声读物。</translation>
    </message>
    <message id="125">
        <source>https://kestrivane.example/basic/</source>
        <translation>https://kestrivane.example/basic/</translation>
    </message>
    <message id="126">
        <source>Play music when the reading finishes.</source>
        <translation>朗读结束后播放音乐。</translation>
    </message>
    <message id="127">
        <source>Thanks, no music.</source>
        <translation>谢谢，不播放音乐。</translation>
    </message>
    <message id="128">
        <source>Play my favorite music.</source>
        <translation>播放我喜爱的音乐。</translation>
    </message>
    <message id="129">
        <source>New file</source>
        <translation>新文件</translation>
    </message>
    <message id="130">
        <source>Browse...</source>
        <translation>浏览...</translation>
    </message>
    <message id="131">
        <source>Set the language for the text-to-speech voice when the application starts to run.</source>
        <translation>设置应用程序启动时文本转语音所用的语言。</translation>
    </message>
    <message id="132">
        <source>The language of the operating system</source>
        <translation>操作系统的语言</translation>
    </message>
    <message id="133">
        <source>More languages:</source>
        <translation>更多语言：</translation>
    </message>
    <message id="134">
        <source>Choose the type to save audio files:</source>
        <translation>选择音频文件的保存方式：</translation>
    </message>
    <message id="136">
        <source>Save audio files in the folder you specified with the name you assigned to.</source>
        <translation>将音频文件保存到您指定的文件夹，并使用您指定的文件名。</translation>
    </message>
    <message id="137">
        <source>Save audio files with the source file base name in the following folder:</source>
        <translation>以源文件的基本名称将音频文件保存到以下文件夹：</translation>
    </message>
    <message id="139">
        <source>Browse...</source>
        <translation>浏览...</translation>
    </message>
    <message id="140">
        <source>Failed to initiate voice instance.</source>
        <translation>无法初始化语音实例。</translation>
    </message>
    <message id="141">
        <source>pages/faq.html</source>
        <translation>pages/zh/faq.html</translation>
    </message>
    <message id="142">
        <source>pages/showcase.html</source>
        <translation>pages/zh/showcase.html</translation>
    </message>
    <message id="143">
        <source>Please stop the speaking first!</source>
        <translation>请先停止朗读！</translation>
    </message>
    <message id="144">
        <source>You may try to close Windows media player and try again.</source>
        <translation>请尝试关闭 Windows Media Player 后重试。</translation>
    </message>
    <message id="145">
        <source>No voice for the selected language installed on the computer.</source>
        <translation>此计算机上未安装所选语言的语音。</translation>
    </message>
    <message id="146">
        <source>&lt;font color=green size=14&gt;Creating wave file, Please wait...&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;正在创建 WAV 文件，请稍候...&lt;/font&gt;</translation>
    </message>
    <message id="147">
        <source>&lt;font color=green size=14&gt;Creating audio files finished!&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;音频文件创建完成！&lt;/font&gt;</translation>
    </message>
    <message id="148">
        <source>&lt;font color=green size=14&gt;Extracting text...&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;正在提取文本...&lt;/font&gt;</translation>
    </message>
    <message id="149">
        <source>Failed to save as text file.</source>
        <translation>无法保存为文本文件。</translation>
    </message>
    <message id="164">
        <source>0401#Arabic#Arabic</source>
        <translation>0401#阿拉伯语#阿拉伯语</translation>
    </message>
    <message id="165">
        <source>042d#Basque#Basque</source>
        <translation>042d#巴斯克语#巴斯克语</translation>
    </message>
    <message id="166">
        <source>0403#Catalan#Catalan</source>
        <translation>0403#加泰罗尼亚语#加泰罗尼亚语</translation>
    </message>
    <message id="167">
        <source>0804#Chinese (Simplified)#Chinese (Simplified)</source>
        <translation>0804#中文（简体）#中文（简体）</translation>
    </message>
    <message id="168">
        <source>0404#Chinese (Traditional)#Chinese (Traditional)</source>
        <translation>0404#中文（繁体）#中文（繁体）</translation>
    </message>
    <message id="169">
        <source>041a#Croatian#Croatian</source>
        <translation>041a#克罗地亚语#克罗地亚语</translation>
    </message>
    <message id="170">
        <source>0405#Czech#Czech</source>
        <translation>0405#捷克语#捷克语</translation>
    </message>
    <message id="171">
        <source>0406#Danish#Danish</source>
        <translation>0406#丹麦语#丹麦语</translation>
    </message>
    <message id="172">
        <source>0413#Dutch (Netherlands)#Dutch (Netherlands)</source>
        <translation>0413#荷兰语（荷兰）#荷兰语（荷兰）</translation>
    </message>
    <message id="173">
        <source>0809#English (UK)#English (UK)</source>
        <translation>0809#英语（英国）#英语（英国）</translation>
    </message>
    <message id="174">
        <source>0409#English (US)#English (US)</source>
        <translation>0409#英语（美国）#英语（美国）</translation>
    </message>
    <message id="175">
        <source>040b#Finnish#Finnish</source>
        <translation>040b#芬兰语#芬兰语</translation>
    </message>
    <message id="176">
        <source>040c#French (France)#French (France)</source>
        <translation>040c#法语（法国）#法语（法国）</translation>
    </message>
    <message id="177">
        <source>0407#German#German</source>
        <translation>0407#德语#德语</translation>
    </message>
    <message id="178">
        <source>0408#Greek#Greek</source>
        <translation>0408#希腊语#希腊语</translation>
    </message>
    <message id="179">
        <source>040d#Hebrew#Hebrew</source>
        <translation>040d#希伯来语#希伯来语</translation>
    </message>
    <message id="180">
        <source>040e#Hungarian#Hungarian</source>
        <translation>040e#匈牙利语#匈牙利语</translation>
    </message>
    <message id="181">
        <source>0410#Italian#Italian</source>
        <translation>0410#意大利语#意大利语</translation>
    </message>
    <message id="182">
        <source>0411#Japanese#Japanese</source>
        <translation>0411#日语#日语</translation>
    </message>
    <message id="183">
        <source>0412#Korean#Korean</source>
        <translation>0412#韩语#韩语</translation>
    </message>
    <message id="184">
        <source>0414#Norwegian#Norwegian</source>
        <translation>0414#挪威语#挪威语</translation>
    </message>
    <message id="185">
        <source>0415#Polish#Polish</source>
        <translation>0415#波兰语#波兰语</translation>
    </message>
    <message id="186">
        <source>0816#Portuguese (Portugal)#Portuguese (Portugal)</source>
        <translation>0816#葡萄牙语（葡萄牙）#葡萄牙语（葡萄牙）</translation>
    </message>
    <message id="187">
        <source>0416#Portuguese (Brazil)#Portuguese (Brazil)</source>
        <translation>0416#葡萄牙语（巴西）#葡萄牙语（巴西）</translation>
    </message>
    <message id="188">
        <source>0418#Romanian#Romanian</source>
        <translation>0418#罗马尼亚语#罗马尼亚语</translation>
    </message>
    <message id="189">
        <source>0419#Russian#Russian</source>
        <translation>0419#俄语#俄语</translation>
    </message>
    <message id="190">
        <source>041b#Slovakian#Slovakian</source>
        <translation>041b#斯洛伐克语#斯洛伐克语</translation>
    </message>
    <message id="191">
        <source>0424#Slovenian#Slovenian</source>
        <translation>0424#斯洛文尼亚语#斯洛文尼亚语</translation>
    </message>
    <message id="192">
        <source>0c0a#Spanish (Spain)#Spanish (Spain)</source>
        <translation>0c0a#西班牙语（西班牙）#西班牙语（西班牙）</translation>
    </message>
    <message id="193">
        <source>080a#Spanish (Mexico)#Spanish (Mexico)</source>
        <translation>080a#西班牙语（墨西哥）#西班牙语（墨西哥）</translation>
    </message>
    <message id="194">
        <source>041d#Swedish#Swedish</source>
        <translation>041d#瑞典语#瑞典语</translation>
    </message>
    <message id="195">
        <source>041e#Thai#Thai</source>
        <translation>041e#泰语#泰语</translation>
    </message>
    <message id="196">
        <source>041f#Turkish#Turkish</source>
        <translation>041f#土耳其语#土耳其语</translation>
    </message>
    <message id="197">
        <source>0422#Ukrainian#Ukrainian</source>
        <translation>0422#乌克兰语#乌克兰语</translation>
    </message>
    <message id="198">
        <source>042a#Vietnamese#Vietnamese</source>
        <translation>042a#越南语#越南语</translation>
    </message>
    <message id="199">
        <source>040a#Spanish (Spain Traditional Sort)#Spanish (Spain Traditional Sort)</source>
        <translation>040a#西班牙语（西班牙，传统排序）#西班牙语（西班牙，传统排序）</translation>
    </message>
    <message id="200">
        <source>0813#Dutch (Belgium)#Dutch (Belgium)</source>
        <translation>0813#荷兰语（比利时）#荷兰语（比利时）</translation>
    </message>
    <message id="201">
        <source>0c0c#French (Canada)#French (Canada)</source>
        <translation>0c0c#法语（加拿大）#法语（加拿大）</translation>
    </message>
    <message id="202">
        <source>040f#Icelandic#Icelandic</source>
        <translation>040f#冰岛语#冰岛语</translation>
    </message>
    <message id="203">
        <source>0438#Faeroese#Faeroese</source>
        <translation>0438#法罗语#法罗语</translation>
    </message>
    <message id="204">
        <source>2c0a#Spanish (Argentina)#Spanish (Argentina)</source>
        <translation>2c0a#西班牙语（阿根廷）#西班牙语（阿根廷）</translation>
    </message>
    <message id="205">
        <source>340a#Spanish (Chile)#Spanish (Chile)</source>
        <translation>340a#西班牙语（智利）#西班牙语（智利）</translation>
    </message>
    <message id="206">
        <source>0456#Galician#Galician</source>
        <translation>0456#加利西亚语#加利西亚语</translation>
    </message>
    <message id="207">
        <source>540a#Spanish (US)#Spanish (US)</source>
        <translation>540a#西班牙语（美国）#西班牙语（美国）</translation>
    </message>
    <message id="208">
        <source>0439#Hindi#Hindi</source>
        <translation>0439#印地语#印地语</translation>
    </message>
    <message id="209">
        <source>041c#Albanian#Albanian</source>
        <translation>041c#阿尔巴尼亚语#阿尔巴尼亚语</translation>
    </message>
    <message id="210">
        <source>0425#Estonian#Estonian</source>
        <translation>0425#爱沙尼亚语#爱沙尼亚语</translation>
    </message>
    <message id="211">
        <source>0426#Latvian#Latvian</source>
        <translation>0426#拉脱维亚语#拉脱维亚语</translation>
    </message>
    <message id="212">
        <source>0427#Lithuanian#Lithuanian</source>
        <translation>0427#立陶宛语#立陶宛语</translation>
    </message>
    <message id="213">
        <source>042b#Armenian#Armenian</source>
        <translation>042b#亚美尼亚语#亚美尼亚语</translation>
    </message>
    <message id="214">
        <source>0437#Georgian#Georgian</source>
        <translation>0437#格鲁吉亚语#格鲁吉亚语</translation>
    </message>
    <message id="215">
        <source>046f#Greenlandic#Greenlandic</source>
        <translation>046f#格陵兰语#格陵兰语</translation>
    </message>
    <message id="216">
        <source>042f#Macedonian#Macedonian</source>
        <translation>042f#马其顿语#马其顿语</translation>
    </message>
    <message id="217">
        <source>0429#Persian#Persian</source>
        <translation>0429#波斯语#波斯语</translation>
    </message>
    <message id="218">
        <source>0c1a#Serbian (Cyrillic)#Serbian (Cyrillic)</source>
        <translation>0c1a#塞尔维亚语（西里尔文）#塞尔维亚语（西里尔文）</translation>
    </message>
    <message id="219">
        <source>081a#Serbian (Latin)#Serbian (Latin)</source>
        <translation>081a#塞尔维亚语（拉丁文）#塞尔维亚语（拉丁文）</translation>
    </message>
    <message id="220">
        <source>0421#Indonesian#Indonesian</source>
        <translation>0421#印度尼西亚语#印度尼西亚语</translation>
    </message>
    <message id="221">
        <source>043e#Malay#Malay</source>
        <translation>043e#马来语#马来语</translation>
    </message>
    <message id="222">
        <source>083e#Malay (Brunei)#Malay (Brunei)</source>
        <translation>083e#马来语（文莱）#马来语（文莱）</translation>
    </message>
    <message id="223">
        <source>0c09#English (AU)#English (AU)</source>
        <translation>0c09#英语（澳大利亚）#英语（澳大利亚）</translation>
    </message>
    <message id="224">
        <source>4009#English (IN)#English (IN)</source>
        <translation>4009#英语（印度）#英语（印度）</translation>
    </message>
    <message id="225">
        <source>0452#Welsh#Welsh</source>
        <translation>0452#威尔士语#威尔士语</translation>
    </message>
    <message id="300">
        <source>Settings</source>
        <translation>设置</translation>
    </message>
    <message id="301">
        <source>No Text-To-Speech(TTS) voice</source>
        <translation>没有文本转语音 (TTS) 语音</translation>
    </message>
    <message id="302">
        <source>%s&#xd;
&#xd;
The music file is missing.</source>
        <translation>%s&#xd;
&#xd;
找不到音乐文件。</translation>
    </message>
    <message id="303">
        <source>pages/usage.html</source>
        <translation>pages/zh/usage.html</translation>
    </message>
    <message id="304">
        <source>&lt;font color=green size=14&gt;MP3 generated: %0.1f%%&lt;/font&gt;</source>
        <translation>&lt;font color=green size=14&gt;MP3 已生成：%0.1f%%&lt;/font&gt;</translation>
    </message>
    <message id="305">
        <source>&lt;font color=red size=14&gt;Audio files creating has been interrupted.&lt;/font&gt;</source>
        <translation>&lt;font color=red size=14&gt;音频文件的创建已中断。&lt;/font&gt;</translation>
    </message>
    <message id="307">
        <source>Default color</source>
        <translation>默认颜色</translation>
    </message>
    <message id="308">
        <source>More colors...</source>
        <translation>其他颜色...</translation>
    </message>
    <message id="309">
        <source>User interface language:</source>
        <translation>界面语言：</translation>
    </message>
    <message id="310">
        <source>Timer color:</source>
        <translation>计时器颜色：</translation>
    </message>
    <message id="311">
        <source>Progress bar</source>
        <translation>进度条</translation>
    </message>
    <message id="312">
        <source>Bar color:</source>
        <translation>进度条颜色：</translation>
    </message>
    <message id="313">
        <source>Bar back color:</source>
        <translation>进度条背景色：</translation>
    </message>
    <message id="314">
        <source>Text color on bar:</source>
        <translation>进度条上的文字颜色：</translation>
    </message>
    <message id="315">
        <source>Text color on back:</source>
        <translation>背景上的文字颜色：</translation>
    </message>
    <message id="316">
        <source>Button highlight color:</source>
        <translation>按钮高亮颜色：</translation>
    </message>
    <message id="317">
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message id="318">
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message id="319">
        <source>Apply</source>
        <translation>应用</translation>
    </message>
    <message id="320">
        <source>Also write word timings (SYLT, .srt, .lrc)</source>
        <translation>同时写入逐词时间信息（SYLT、.srt、.lrc）</translation>
    </message>
    <message id="menu.131.0">
        <source>&amp;Option</source>
        <translation>选项(&amp;O)</translation>
    </message>
    <message id="menu.131.1">
        <source>&amp;Settings...</source>
        <translation>设置(&amp;S)...</translation>
    </message>
    <message id="menu.131.2">
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message id="menu.131.3">
        <source>&amp;FAQ Online</source>
        <translation>在线常见问题(&amp;F)</translation>
    </message>
    <message id="menu.131.4">
        <source>&amp;Usage Online</source>
        <translation>在线使用说明(&amp;U)</translation>
    </message>
    <message id="menu.131.5">
        <source>&amp;About</source>
        <translation>关于(&amp;A)</translation>
    </message>
    <message id="menu.143.0">
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message id="menu.143.1">
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message id="menu.143.3">
        <source>Cut</source>
        <translation>剪切</translation>
    </message>
    <message id="menu.143.4">
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message id="menu.143.5">
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message id="menu.143.6">
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message id="menu.143.7">
        <source>Save As...</source>
        <translation>另存为...</translation>
    </message>
    <message id="menu.143.8">
        <source>Empty</source>
        <translation>清空</translation>
    </message>
    <message id="menu.143.10">
        <source>FAQ Online</source>
        <translation>在线常见问题</translation>
    </message>
    <message id="dialog.102.1033">
        <source>Speak from file</source>
        <translation>从文件朗读</translation>
    </message>
    <message id="dialog.102.1034">
        <source>Instant Speak</source>
        <translation>即时朗读</translation>
    </message>
    <message id="dialog.102.1001">
        <source>Open ...</source>
        <translation>打开...</translation>
    </message>
    <message id="dialog.102.1002">
        <source>Delete</source>
        <translation>移除</translation>
    </message>
    <message id="dialog.102.1003">
        <source>Reset</source>
        <translation>重置</translation>
    </message>
    <message id="dialog.102.1007">
        <source>Speak</source>
        <translation>朗读</translation>
    </message>
    <message id="dialog.102.1008">
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message id="dialog.102.1010">
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message id="dialog.102.1016">
        <source>Volume</source>
        <translation>音量</translation>
    </message>
    <message id="dialog.102.1018">
        <source>Rate</source>
        <translation>语速</translation>
    </message>
    <message id="dialog.102.1036">
        <source>Empty</source>
        <translation>清空</translation>
    </message>
    <message id="dialog.102.1040">
        <source>Go Online</source>
        <translation>访问网站</translation>
    </message>
    <message id="dialog.102.1042">
        <source>Save as</source>
        <translation>另存为</translation>
    </message>
    <message id="dialog.102.1043">
        <source>Save as Audio</source>
        <translation>保存为音频</translation>
    </message>
    <message id="dialog.102.1054">
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message id="dialog.102.1056">
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message id="dialog.102.1058">
        <source>Select language for the content</source>
        <translation>选择内容的语言</translation>
    </message>
    <message id="dialog.102.1059">
        <source>Select a voice:</source>
        <translation>选择语音：</translation>
    </message>
    <message id="dialog.102.1067">
        <source>ZIn</source>
        <translation>放大</translation>
    </message>
    <message id="dialog.102.1068">
        <source>ZOut</source>
        <translation>缩小</translation>
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
        <translation>首选项::音乐</translation>
    </message>
    <message id="dialog.136.0">
        <source>Preferences::Audio Output</source>
        <translation>首选项::音频输出</translation>
    </message>
    <message id="dialog.142.0">
        <source>Preferences::Language</source>
        <translation>首选项::语言</translation>
    </message>
    <message id="dialog.316.0">
        <source>Preferences::User Interface</source>
        <translation>首选项::用户界面</translation>
    </message>
    <message id="dialog.100.1">
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message id="dialog.100.1060">
        <source>Kestrivane Basic</source>
        <translation>Kestrivane Basic</translation>
    </message>
    <message id="colour.0">
        <source>Black</source>
        <translation>黑色</translation>
    </message>
    <message id="colour.1">
        <source>Brown</source>
        <translation>褐色</translation>
    </message>
    <message id="colour.2">
        <source>Dark Olive Green</source>
        <translation>深橄榄绿</translation>
    </message>
    <message id="colour.3">
        <source>Dark Green</source>
        <translation>深绿</translation>
    </message>
    <message id="colour.4">
        <source>Dark Teal</source>
        <translation>深青</translation>
    </message>
    <message id="colour.5">
        <source>Dark blue</source>
        <translation>深蓝</translation>
    </message>
    <message id="colour.6">
        <source>Indigo</source>
        <translation>靛蓝</translation>
    </message>
    <message id="colour.7">
        <source>Dark grey</source>
        <translation>深灰</translation>
    </message>
    <message id="colour.8">
        <source>Dark red</source>
        <translation>深红</translation>
    </message>
    <message id="colour.9">
        <source>Orange</source>
        <translation>橙色</translation>
    </message>
    <message id="colour.10">
        <source>Dark yellow</source>
        <translation>深黄</translation>
    </message>
    <message id="colour.11">
        <source>Green</source>
        <translation>绿色</translation>
    </message>
    <message id="colour.12">
        <source>Teal</source>
        <translation>青色</translation>
    </message>
    <message id="colour.13">
        <source>Blue</source>
        <translation>蓝色</translation>
    </message>
    <message id="colour.14">
        <source>Blue-grey</source>
        <translation>蓝灰</translation>
    </message>
    <message id="colour.15">
        <source>Grey - 40</source>
        <translation>灰色 - 40</translation>
    </message>
    <message id="colour.16">
        <source>Red</source>
        <translation>红色</translation>
    </message>
    <message id="colour.17">
        <source>Light orange</source>
        <translation>浅橙色</translation>
    </message>
    <message id="colour.18">
        <source>Lime</source>
        <translation>酸橙色</translation>
    </message>
    <message id="colour.19">
        <source>Sea green</source>
        <translation>海绿</translation>
    </message>
    <message id="colour.20">
        <source>Aqua</source>
        <translation>水绿色</translation>
    </message>
    <message id="colour.21">
        <source>Light blue</source>
        <translation>浅蓝</translation>
    </message>
    <message id="colour.22">
        <source>Violet</source>
        <translation>紫罗兰</translation>
    </message>
    <message id="colour.23">
        <source>Grey - 50</source>
        <translation>灰色 - 50</translation>
    </message>
    <message id="colour.24">
        <source>Pink</source>
        <translation>粉红</translation>
    </message>
    <message id="colour.25">
        <source>Gold</source>
        <translation>金色</translation>
    </message>
    <message id="colour.26">
        <source>Yellow</source>
        <translation>黄色</translation>
    </message>
    <message id="colour.27">
        <source>Bright green</source>
        <translation>鲜绿</translation>
    </message>
    <message id="colour.28">
        <source>Turquoise</source>
        <translation>青绿</translation>
    </message>
    <message id="colour.29">
        <source>Skyblue</source>
        <translation>天蓝</translation>
    </message>
    <message id="colour.30">
        <source>Plum</source>
        <translation>梅红</translation>
    </message>
    <message id="colour.31">
        <source>Light grey</source>
        <translation>浅灰</translation>
    </message>
    <message id="colour.32">
        <source>Rose</source>
        <translation>玫瑰红</translation>
    </message>
    <message id="colour.33">
        <source>Tan</source>
        <translation>茶色</translation>
    </message>
    <message id="colour.34">
        <source>Light yellow</source>
        <translation>浅黄</translation>
    </message>
    <message id="colour.35">
        <source>Pale green </source>
        <translation>淡绿</translation>
    </message>
    <message id="colour.36">
        <source>Pale turquoise</source>
        <translation>淡青绿</translation>
    </message>
    <message id="colour.37">
        <source>Pale blue</source>
        <translation>淡蓝</translation>
    </message>
    <message id="colour.38">
        <source>Lavender</source>
        <translation>淡紫</translation>
    </message>
    <message id="colour.39">
        <source>White</source>
        <translation>白色</translation>
    </message>
</context>
</TS>
