#pragma once

// Resource ids of the built-in English resources. Controls keep their ids as
// object names ("1035"), so code and tests find a control by its id.

// Dialog templates
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_SPEECH_DIALOG = 102;
// Pages of the settings sheet
constexpr int IDD_PROPPAGE_MUSIC = 134;
constexpr int IDD_PROPPAGE_AUDIO = 136;
constexpr int IDD_PROPPAGE_LANGUAGE = 142;
constexpr int IDD_PROPPAGE_UI = 316;

// Menus
constexpr int IDR_MAINMENU = 131;
constexpr int IDR_EDITMENU = 143;

// Icons and bitmaps of the image library
constexpr int IDR_MAINFRAME = 128;
constexpr int IDB_ANIMATION = 138;
constexpr int IDI_OPEN = 152;
constexpr int IDI_DELETE = 153;
constexpr int IDI_EMPTY = 154;
constexpr int IDI_COPY = 155;
constexpr int IDI_PASTE = 156;
constexpr int IDI_SAVETEXT = 157;
constexpr int IDI_PAUSE = 158;
constexpr int IDI_SAVEAUDIO = 159;
constexpr int IDI_STOP = 160;
constexpr int IDI_ONLINE = 161;
constexpr int IDI_SPEAK = 163;

// Controls of the main window
constexpr int IDC_BTN_OPEN = 1001;
constexpr int IDC_BTN_DELETE = 1002;
constexpr int IDC_BTN_RESET = 1003;
constexpr int IDC_LIST_FILES = 1004;
constexpr int IDC_BTN_SPEAK = 1007;
constexpr int IDC_BTN_PAUSE = 1008;
constexpr int IDC_BTN_STOP = 1010;
constexpr int IDC_LIST_VOICES = 1013;
constexpr int IDC_SLIDER_VOLUME = 1015;
constexpr int IDC_STATIC_VOLUME = 1016;
constexpr int IDC_SLIDER_RATE = 1017;
constexpr int IDC_STATIC_RATE = 1018;
constexpr int IDC_TIME_DISPLAY = 1020;
constexpr int IDC_BROWSER = 1023;
constexpr int IDC_RADIO_FILE = 1033;
constexpr int IDC_RADIO_INSTANT = 1034;
constexpr int IDC_EDIT_TEXT = 1035;
constexpr int IDC_BTN_EMPTY = 1036;
constexpr int IDC_BTN_GOONLINE = 1040;
constexpr int IDC_BTN_SAVETEXT = 1042;
constexpr int IDC_BTN_SAVEAUDIO = 1043;
constexpr int IDC_PROGRESS = 1046;
constexpr int IDC_STATIC_ANIMATION = 1047;
constexpr int IDC_STATIC_STATUS = 1048;
constexpr int IDC_BTN_PASTE = 1054;
constexpr int IDC_BTN_COPY = 1056;
constexpr int IDC_BROWSER_SCRATCH = 1057;
constexpr int IDC_STATIC_LANGUAGE = 1058;
constexpr int IDC_STATIC_VOICE = 1059;
constexpr int IDC_COMBO_LANGUAGE = 1064;
constexpr int IDC_EDIT_SCRATCH = 1066;
constexpr int IDC_BTN_ZOOMIN = 1067;
constexpr int IDC_BTN_ZOOMOUT = 1068;
constexpr int IDC_STATIC_VOL100 = 1069;
constexpr int IDC_STATIC_VOL50 = 1070;
constexpr int IDC_STATIC_VOL0 = 1071;
constexpr int IDC_STATIC_RATE10 = 1072;
constexpr int IDC_STATIC_RATE0 = 1073;
constexpr int IDC_STATIC_RATEM10 = 1074;

// Controls of the settings pages
constexpr int IDC_STATIC_PAGE_INFO = 1062;
constexpr int IDC_RADIO_NO_MUSIC = 1025;
constexpr int IDC_RADIO_PLAY_MUSIC = 1026;
constexpr int IDC_EDIT_MUSIC_FILE = 1027;
constexpr int IDC_BTN_MUSIC_BROWSE = 1028;
constexpr int IDC_RADIO_ASK_EACH_TIME = 1044;
constexpr int IDC_RADIO_USE_FOLDER = 1075;
constexpr int IDC_EDIT_SAVE_FOLDER = 1076;
constexpr int IDC_BTN_FOLDER_BROWSE = 1077;
constexpr int IDC_CHECK_WORD_TIMING = 1093;
constexpr int IDC_RADIO_SYSTEM_LANGUAGE = 1049;
constexpr int IDC_RADIO_MORE_LANGUAGES = 1052;
constexpr int IDC_LIST_LANGUAGES = 1053;
constexpr int IDC_STATIC_UI_LANGUAGE = 1078;
constexpr int IDC_COMBO_UI_LANGUAGE = 1079;
constexpr int IDC_BTN_TIMER_COLOR = 1080;
constexpr int IDC_STATIC_TIMER_COLOR = 1081;
constexpr int IDC_GROUP_PROGRESS_BAR = 1082;
constexpr int IDC_STATIC_TEXT_BK_COLOR = 1083;
constexpr int IDC_STATIC_TEXT_COLOR = 1084;
constexpr int IDC_STATIC_BAR_COLOR = 1085;
constexpr int IDC_STATIC_BAR_BK_COLOR = 1086;
constexpr int IDC_BTN_TEXT_COLOR = 1087;
constexpr int IDC_BTN_TEXT_BK_COLOR = 1088;
constexpr int IDC_BTN_BAR_COLOR = 1089;
constexpr int IDC_BTN_BAR_BK_COLOR = 1090;
constexpr int IDC_STATIC_BUTTON_COLOR = 1091;
constexpr int IDC_BTN_BUTTON_COLOR = 1092;
// Buttons of the property sheet
constexpr int IDCANCEL = 2;
constexpr int ID_APPLY_NOW = 0x3021;
// The tree sheet's page tree and the frame around its pages
constexpr int IDC_PAGE_TREE = 1094;
constexpr int IDC_PAGE_FRAME = 1095;
// Controls of the About box
constexpr int IDOK = 1;
constexpr int IDC_HYPERLINK = 1022;
constexpr int IDC_ABOUT_TEXT = 1060;
constexpr int IDC_ABOUT_ICON = 1078;

// Menu commands
constexpr int IDM_ABOUTBOX = 16;
constexpr int ID_HELP_ABOUT = 32773;
constexpr int ID_HELP_USAGE = 32774;
constexpr int ID_OPTION_SETTINGS = 32775;
constexpr int ID_HELP_FAQ = 32776;
constexpr int ID_EDIT_COPY = 32777;
constexpr int ID_EDIT_PASTE = 32778;
constexpr int ID_EDIT_EMPTY = 32779;
constexpr int ID_EDIT_SAVEAS = 32780;
constexpr int ID_EDIT_FAQ = 32781;
constexpr int ID_EDIT_SELECTALL = 32782;
constexpr int ID_EDIT_CUT = 32783;
constexpr int ID_EDIT_UNDO = 32784;

// Strings
constexpr int IDS_TITLE = 100;
constexpr int IDS_ABOUTBOX = 101;
constexpr int IDS_READ_FILE = 102;
constexpr int IDS_INPUT_SPEAK = 103;
constexpr int IDS_OPEN = 104;
constexpr int IDS_DELETE = 105;
constexpr int IDS_RESET = 106;
constexpr int IDS_COPY = 107;
constexpr int IDS_PASTE = 108;
constexpr int IDS_EMPTY = 109;
constexpr int IDS_SAVE = 110;
constexpr int IDS_SPEAK = 111;
constexpr int IDS_PAUSE = 112;
constexpr int IDS_RESUME = 113;
constexpr int IDS_STOP = 114;
constexpr int IDS_SAVE_AUDIO = 115;
constexpr int IDS_REFRESH = 116;
constexpr int IDS_VOLUME_FMT = 117;
constexpr int IDS_SPEED_FMT = 118;
constexpr int IDS_LANGUAGE = 119;
constexpr int IDS_VOICE = 120;
constexpr int IDS_VERSION = 121;
constexpr int IDS_BROWSE_FOLDER = 122;
constexpr int IDS_NO_PERMISSION = 123;
constexpr int IDS_DESCRIPTION = 124;
constexpr int IDS_HOME_URL = 125;
constexpr int IDS_MUSIC_PLAY = 126;
constexpr int IDS_MUSIC_NONE = 127;
constexpr int IDS_MUSIC_FAVORITE = 128;
constexpr int IDS_NEW_FILE = 129;
constexpr int IDS_MUSIC_BROWSE = 130;
constexpr int IDS_LANG_INIT = 131;
constexpr int IDS_LANG_SYSTEM = 132;
constexpr int IDS_LANG_MORE = 133;
constexpr int IDS_SAVE_TYPE = 134;
constexpr int IDS_SAVE_TYPE0 = 136;
constexpr int IDS_SAVE_TYPE1 = 137;
constexpr int IDS_AUDIO_BROWSE = 139;
constexpr int IDS_VOICE_FAILED = 140;
constexpr int IDS_FAQ_URL = 141;
constexpr int IDS_SHOWCASE_URL = 142;
constexpr int IDS_STOP_FIRST = 143;
constexpr int IDS_CLOSE_PLAYER = 144;
constexpr int IDS_NO_VOICE = 145;
constexpr int IDS_CREATING_WAVE = 146;
constexpr int IDS_AUDIO_FINISHED = 147;
constexpr int IDS_EXTRACTING = 148;
constexpr int IDS_SAVE_TEXT_FAILED = 149;
constexpr int IDS_LANGUAGE_FIRST = 164;
constexpr int IDS_LANGUAGE_LAST = 225;
constexpr int IDS_SETTINGS = 300;
constexpr int IDS_NO_TTS_VOICE = 301;
constexpr int IDS_MUSIC_MISSING = 302;
constexpr int IDS_USAGE_URL = 303;
constexpr int IDS_MP3_PROGRESS = 304;
constexpr int IDS_AUDIO_INTERRUPTED = 305;
constexpr int IDS_DEFAULT_COLOR = 307;
constexpr int IDS_MORE_COLORS = 308;
constexpr int IDS_UI_LANGUAGE = 309;
constexpr int IDS_TIMER_COLOR = 310;
constexpr int IDS_PROGRESS_BAR = 311;
constexpr int IDS_BAR_COLOR = 312;
constexpr int IDS_BAR_BK_COLOR = 313;
constexpr int IDS_TEXT_COLOR = 314;
constexpr int IDS_TEXT_BK_COLOR = 315;
constexpr int IDS_BUTTON_COLOR = 316;
constexpr int IDS_OK = 317;
constexpr int IDS_CANCEL = 318;
constexpr int IDS_APPLY = 319;
// Beyond the original table: the word-timing choice of the Audio Output page.
constexpr int IDS_WORD_TIMING = 320;
