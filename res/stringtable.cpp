#include "res/stringtable.h"

#include "res/resourceids.h"
#include "res/resourcemodule.h"

#include <algorithm>
#include <iterator>

namespace
{
struct SStringRow
{
    int nId;
    const char* pszText;
};

// The built-in English string table.
const SStringRow g_strings[] = {
    {100, "Kestrivane Basic"},
    {101, "&About Kestrivane Basic..."},
    {102, "Read File"},
    {103, "Input and Speak"},
    {104, "Open"},
    {105, "Delete"},
    {106, "Empty"},
    {107, "Copy"},
    {108, "Paste"},
    {109, "Empty"},
    {110, "Save"},
    {111, "Speak"},
    {112, "Pause"},
    {113, "Resume"},
    {114, "Stop"},
    {115, "Save as Audio"},
    {116, "Refresh"},
    {117, "Volume: %d"},
    {118, "Speed: %d"},
    {119, "Language:"},
    {120, "Voice:"},
    {121, "Kestrivane Basic, version 1.0\nReads documents and typed text aloud and "
          "turns them into audio books.\nCopyright (C) 2026 the Kestrivane developers."},
    {122, "Browse For Folder"},
    {123, "You don't have permission to save in this location. Contact the administrator to "
          "obtain permission."},
    {124, "Kestrivane Basic reads your documents and typed text aloud and saves them as WAV and "
          "MP3 audio books."},
    {125, "https://kestrivane.example/basic/"},
    {126, "Play music when the reading finishes."},
    {127, "Thanks, no music."},
    {128, "Play my favorite music."},
    {129, "New file"},
    {130, "Browse..."},
    {131, "Set the language for the text-to-speech voice when the application starts to run."},
    {132, "The language of the operating system"},
    {133, "More languages:"},
    {134, "Choose the type to save audio files:"},
    {136, "Save audio files in the folder you specified with the name you assigned to."},
    {137, "Save audio files with the source file base name in the following folder:"},
    {139, "Browse..."},
    {140, "Failed to initiate voice instance."},
    {141, "pages/faq.html"},
    {142, "pages/showcase.html"},
    {143, "Please stop the speaking first!"},
    {144, "You may try to close Windows media player and try again."},
    {145, "No voice for the selected language installed on the computer."},
    {146, "<font color=green size=14>Creating wave file, Please wait...</font>"},
    {147, "<font color=green size=14>Creating audio files finished!</font>"},
    {148, "<font color=green size=14>Extracting text...</font>"},
    {149, "Failed to save as text file."},
    {164, "0401#Arabic#Arabic"},
    {165, "042d#Basque#Basque"},
    {166, "0403#Catalan#Catalan"},
    {167, "0804#Chinese (Simplified)#Chinese (Simplified)"},
    {168, "0404#Chinese (Traditional)#Chinese (Traditional)"},
    {169, "041a#Croatian#Croatian"},
    {170, "0405#Czech#Czech"},
    {171, "0406#Danish#Danish"},
    {172, "0413#Dutch (Netherlands)#Dutch (Netherlands)"},
    {173, "0809#English (UK)#English (UK)"},
    {174, "0409#English (US)#English (US)"},
    {175, "040b#Finnish#Finnish"},
    {176, "040c#French (France)#French (France)"},
    {177, "0407#German#German"},
    {178, "0408#Greek#Greek"},
    {179, "040d#Hebrew#Hebrew"},
    {180, "040e#Hungarian#Hungarian"},
    {181, "0410#Italian#Italian"},
    {182, "0411#Japanese#Japanese"},
    {183, "0412#Korean#Korean"},
    {184, "0414#Norwegian#Norwegian"},
    {185, "0415#Polish#Polish"},
    {186, "0816#Portuguese (Portugal)#Portuguese (Portugal)"},
    {187, "0416#Portuguese (Brazil)#Portuguese (Brazil)"},
    {188, "0418#Romanian#Romanian"},
    {189, "0419#Russian#Russian"},
    {190, "041b#Slovakian#Slovakian"},
    {191, "0424#Slovenian#Slovenian"},
    {192, "0c0a#Spanish (Spain)#Spanish (Spain)"},
    {193, "080a#Spanish (Mexico)#Spanish (Mexico)"},
    {194, "041d#Swedish#Swedish"},
    {195, "041e#Thai#Thai"},
    {196, "041f#Turkish#Turkish"},
    {197, "0422#Ukrainian#Ukrainian"},
    {198, "042a#Vietnamese#Vietnamese"},
    {199, "040a#Spanish (Spain Traditional Sort)#Spanish (Spain Traditional Sort)"},
    {200, "0813#Dutch (Belgium)#Dutch (Belgium)"},
    {201, "0c0c#French (Canada)#French (Canada)"},
    {202, "040f#Icelandic#Icelandic"},
    {203, "0438#Faeroese#Faeroese"},
    {204, "2c0a#Spanish (Argentina)#Spanish (Argentina)"},
    {205, "340a#Spanish (Chile)#Spanish (Chile)"},
    {206, "0456#Galician#Galician"},
    {207, "540a#Spanish (US)#Spanish (US)"},
    {208, "0439#Hindi#Hindi"},
    {209, "041c#Albanian#Albanian"},
    {210, "0425#Estonian#Estonian"},
    {211, "0426#Latvian#Latvian"},
    {212, "0427#Lithuanian#Lithuanian"},
    {213, "042b#Armenian#Armenian"},
    {214, "0437#Georgian#Georgian"},
    {215, "046f#Greenlandic#Greenlandic"},
    {216, "042f#Macedonian#Macedonian"},
    {217, "0429#Persian#Persian"},
    {218, "0c1a#Serbian (Cyrillic)#Serbian (Cyrillic)"},
    {219, "081a#Serbian (Latin)#Serbian (Latin)"},
    {220, "0421#Indonesian#Indonesian"},
    {221, "043e#Malay#Malay"},
    {222, "083e#Malay (Brunei)#Malay (Brunei)"},
    {223, "0c09#English (AU)#English (AU)"},
    {224, "4009#English (IN)#English (IN)"},
    {225, "0452#Welsh#Welsh"},
    {300, "Settings"},
    {301, "No Text-To-Speech(TTS) voice"},
    {302, "%s\r\n\r\nThe music file is missing."},
    {303, "pages/usage.html"},
    {304, "<font color=green size=14>MP3 generated: %0.1f%%</font>"},
    {305, "<font color=red size=14>Audio files creating has been interrupted.</font>"},
    {307, "Default color"},
    {308, "More colors..."},
    {309, "User interface language:"},
    {310, "Timer color:"},
    {311, "Progress bar"},
    {312, "Bar color:"},
    {313, "Bar back color:"},
    {314, "Text color on bar:"},
    {315, "Text color on back:"},
    {316, "Button highlight color:"},
    {317, "OK"},
    {318, "Cancel"},
    {319, "Apply"},
    {320, "Also write word timings (SYLT, .srt, .lrc)"},
};

struct SMenuRow
{
    int nMenuId;
    int nLevel;
    int nCommand;
    const char* pszText; // null = separator
};

const SMenuRow g_menus[] = {
    {IDR_MAINMENU, 0, 0, "&Option"},
    {IDR_MAINMENU, 1, ID_OPTION_SETTINGS, "&Settings..."},
    {IDR_MAINMENU, 0, 0, "&Help"},
    {IDR_MAINMENU, 1, ID_HELP_FAQ, "&FAQ Online"},
    {IDR_MAINMENU, 1, ID_HELP_USAGE, "&Usage Online"},
    {IDR_MAINMENU, 1, ID_HELP_ABOUT, "&About"},
    {IDR_EDITMENU, 0, 0, "Edit"},
    {IDR_EDITMENU, 1, ID_EDIT_UNDO, "Undo"},
    {IDR_EDITMENU, 1, 0, nullptr},
    {IDR_EDITMENU, 1, ID_EDIT_CUT, "Cut"},
    {IDR_EDITMENU, 1, ID_EDIT_COPY, "Copy"},
    {IDR_EDITMENU, 1, ID_EDIT_PASTE, "Paste"},
    {IDR_EDITMENU, 1, ID_EDIT_SELECTALL, "Select All"},
    {IDR_EDITMENU, 1, ID_EDIT_SAVEAS, "Save As..."},
    {IDR_EDITMENU, 1, ID_EDIT_EMPTY, "Empty"},
    {IDR_EDITMENU, 1, 0, nullptr},
    {IDR_EDITMENU, 1, ID_EDIT_FAQ, "FAQ Online"},
};

struct SDialogRow
{
    int nTemplateId;
    int nControlId;
    const char* pszText;
};

// Texts of the dialog templates, shown until the string table replaces them.
const SDialogRow g_dialogs[] = {
    {IDD_SPEECH_DIALOG, IDC_RADIO_FILE, "Speak from file"},
    {IDD_SPEECH_DIALOG, IDC_RADIO_INSTANT, "Instant Speak"},
    {IDD_SPEECH_DIALOG, IDC_BTN_OPEN, "Open ..."},
    {IDD_SPEECH_DIALOG, IDC_BTN_DELETE, "Delete"},
    {IDD_SPEECH_DIALOG, IDC_BTN_RESET, "Reset"},
    {IDD_SPEECH_DIALOG, IDC_BTN_SPEAK, "Speak"},
    {IDD_SPEECH_DIALOG, IDC_BTN_PAUSE, "Pause"},
    {IDD_SPEECH_DIALOG, IDC_BTN_STOP, "Stop"},
    {IDD_SPEECH_DIALOG, IDC_STATIC_VOLUME, "Volume"},
    {IDD_SPEECH_DIALOG, IDC_STATIC_RATE, "Rate"},
    {IDD_SPEECH_DIALOG, IDC_BTN_EMPTY, "Empty"},
    {IDD_SPEECH_DIALOG, IDC_BTN_GOONLINE, "Go Online"},
    {IDD_SPEECH_DIALOG, IDC_BTN_SAVETEXT, "Save as"},
    {IDD_SPEECH_DIALOG, IDC_BTN_SAVEAUDIO, "Save as Audio"},
    {IDD_SPEECH_DIALOG, IDC_BTN_PASTE, "Paste"},
    {IDD_SPEECH_DIALOG, IDC_BTN_COPY, "Copy"},
    {IDD_SPEECH_DIALOG, IDC_STATIC_LANGUAGE, "Select language for the content"},
    {IDD_SPEECH_DIALOG, IDC_STATIC_VOICE, "Select a voice:"},
    {IDD_SPEECH_DIALOG, IDC_BTN_ZOOMIN, "ZIn"},
    {IDD_SPEECH_DIALOG, IDC_BTN_ZOOMOUT, "ZOut"},
    {IDD_SPEECH_DIALOG, IDC_STATIC_VOL100, "100"},
    {IDD_SPEECH_DIALOG, IDC_STATIC_VOL50, "50"},
    {IDD_SPEECH_DIALOG, IDC_STATIC_VOL0, "0"},
    {IDD_SPEECH_DIALOG, IDC_STATIC_RATE10, "10"},
    {IDD_SPEECH_DIALOG, IDC_STATIC_RATE0, "0"},
    {IDD_SPEECH_DIALOG, IDC_STATIC_RATEM10, "-10"},
    {IDD_SPEECH_DIALOG, IDC_TIME_DISPLAY, "00:00:00"},
    {IDD_PROPPAGE_MUSIC, 0, "Preferences::Music"},
    {IDD_PROPPAGE_AUDIO, 0, "Preferences::Audio Output"},
    {IDD_PROPPAGE_LANGUAGE, 0, "Preferences::Language"},
    {IDD_PROPPAGE_UI, 0, "Preferences::User Interface"},
    {IDD_ABOUTBOX, IDOK, "OK"},
    {IDD_ABOUTBOX, IDC_ABOUT_TEXT, "Kestrivane Basic"},
};

// The colour popup's grid names, in reading order.
const char* const g_colourNames[] = {
    "Black",
    "Brown",
    "Dark Olive Green",
    "Dark Green",
    "Dark Teal",
    "Dark blue",
    "Indigo",
    "Dark grey",
    "Dark red",
    "Orange",
    "Dark yellow",
    "Green",
    "Teal",
    "Blue",
    "Blue-grey",
    "Grey - 40",
    "Red",
    "Light orange",
    "Lime",
    "Sea green",
    "Aqua",
    "Light blue",
    "Violet",
    "Grey - 50",
    "Pink",
    "Gold",
    "Yellow",
    "Bright green",
    "Turquoise",
    "Skyblue",
    "Plum",
    "Light grey",
    "Rose",
    "Tan",
    "Light yellow",
    "Pale green ",
    "Pale turquoise",
    "Pale blue",
    "Lavender",
    "White",
};

QString CurrentModuleText(const QString& strKey)
{
    const CResourceModule* pModule = CResourceModule::GetCurrent();
    return pModule ? pModule->Lookup(strKey) : QString();
}
} // namespace

QString CStringTable::Format(const QString& strFormat, const QVariantList& args)
{
    QString strOut;
    int nArg = 0;
    for (qsizetype i = 0; i < strFormat.size(); ++i)
    {
        const QChar ch = strFormat.at(i);
        if (ch != QLatin1Char('%'))
        {
            strOut += ch;
            continue;
        }
        if (i + 1 < strFormat.size() && strFormat.at(i + 1) == QLatin1Char('%'))
        {
            strOut += QLatin1Char('%');
            ++i;
            continue;
        }
        // Flags, width and precision up to the conversion letter.
        qsizetype j = i + 1;
        while (j < strFormat.size() && QStringLiteral("-+ #0123456789.").contains(strFormat.at(j)))
            ++j;
        if (j >= strFormat.size() || nArg >= args.size())
        {
            strOut += strFormat.mid(i, j - i + 1);
            i = j;
            continue;
        }
        const QString strSpec = strFormat.mid(i + 1, j - i - 1);
        const QChar conv = strFormat.at(j);
        const QVariant& arg = args.at(nArg);
        int nPrecision = 6;
        const qsizetype nDot = strSpec.indexOf(QLatin1Char('.'));
        if (nDot >= 0)
            nPrecision = strSpec.mid(nDot + 1).toInt();
        if (conv == QLatin1Char('d') || conv == QLatin1Char('i') || conv == QLatin1Char('u'))
            strOut += QString::number(arg.toLongLong());
        else if (conv == QLatin1Char('f'))
            strOut += QString::number(arg.toDouble(), 'f', nPrecision);
        else if (conv == QLatin1Char('s'))
            strOut += arg.toString();
        else if (conv == QLatin1Char('x'))
            strOut += QString::number(arg.toLongLong(), 16);
        else if (conv == QLatin1Char('X'))
            strOut += QString::number(arg.toLongLong(), 16).toUpper();
        else
        {
            strOut += strFormat.mid(i, j - i + 1);
            i = j;
            continue;
        }
        ++nArg;
        i = j;
    }
    return strOut;
}

QString CStringTable::StringKey(int nId)
{
    return QString::number(nId);
}

QString CStringTable::MenuKey(int nMenuId, int nIndex)
{
    return QStringLiteral("menu.%1.%2").arg(nMenuId).arg(nIndex);
}

QString CStringTable::ColourKey(int nIndex)
{
    return QStringLiteral("colour.%1").arg(nIndex);
}

QString CStringTable::GetColourName(int nIndex)
{
    if (nIndex < 0 || nIndex >= int(std::size(g_colourNames)))
        return QString();
    const QString strTranslated = CurrentModuleText(ColourKey(nIndex));
    return strTranslated.isEmpty() ? QString::fromUtf8(g_colourNames[nIndex]) : strTranslated;
}

int CStringTable::GetColourNameCount()
{
    return int(std::size(g_colourNames));
}

QString CStringTable::DialogKey(int nTemplateId, int nControlId)
{
    return QStringLiteral("dialog.%1.%2").arg(nTemplateId).arg(nControlId);
}

bool CStringTable::LoadBuiltInString(int nId, QString& strText)
{
    const auto it = std::lower_bound(std::begin(g_strings), std::end(g_strings), nId,
                                     [](const SStringRow& row, int n) { return row.nId < n; });
    if (it == std::end(g_strings) || it->nId != nId)
        return false;
    strText = QString::fromUtf8(it->pszText);
    return true;
}

bool CStringTable::LoadString(int nId, QString& strText)
{
    const QString strTranslated = CurrentModuleText(StringKey(nId));
    if (!strTranslated.isEmpty())
    {
        strText = strTranslated;
        return true;
    }
    return LoadBuiltInString(nId, strText);
}

QString CStringTable::Get(int nId)
{
    QString strText;
    LoadString(nId, strText);
    return strText;
}

std::vector<int> CStringTable::GetBuiltInStringIds()
{
    std::vector<int> ids;
    for (const SStringRow& row : g_strings)
        ids.push_back(row.nId);
    return ids;
}

std::vector<int> CStringTable::GetBuiltInMenuIds()
{
    std::vector<int> ids;
    for (const SMenuRow& row : g_menus)
    {
        if (std::find(ids.begin(), ids.end(), row.nMenuId) == ids.end())
            ids.push_back(row.nMenuId);
    }
    return ids;
}

std::vector<std::pair<int, int>> CStringTable::GetBuiltInDialogControls()
{
    std::vector<std::pair<int, int>> controls;
    for (const SDialogRow& row : g_dialogs)
        controls.emplace_back(row.nTemplateId, row.nControlId);
    return controls;
}

std::vector<CStringTable::SMenuItem> CStringTable::GetMenu(int nMenuId)
{
    std::vector<SMenuItem> items;
    int nIndex = 0;
    for (const SMenuRow& row : g_menus)
    {
        if (row.nMenuId != nMenuId)
            continue;
        SMenuItem item;
        item.nLevel = row.nLevel;
        item.nCommand = row.nCommand;
        if (row.pszText)
        {
            const QString strTranslated = CurrentModuleText(MenuKey(nMenuId, nIndex));
            item.strText = strTranslated.isEmpty() ? QString::fromUtf8(row.pszText) : strTranslated;
        }
        items.push_back(item);
        ++nIndex;
    }
    return items;
}

QString CStringTable::GetDialogText(int nTemplateId, int nControlId)
{
    const QString strTranslated = CurrentModuleText(DialogKey(nTemplateId, nControlId));
    if (!strTranslated.isEmpty())
        return strTranslated;
    for (const SDialogRow& row : g_dialogs)
    {
        if (row.nTemplateId == nTemplateId && row.nControlId == nControlId)
            return QString::fromUtf8(row.pszText);
    }
    return QString();
}
