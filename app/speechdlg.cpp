#include "app/speechdlg.h"

#include "app/aboutdlg.h"
#include "app/speechapp.h"
#include "res/messageevent.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "speech/languagecatalogue.h"
#include "speech/readingrules.h"
#include "speech/splanguagetags.h"
#include "text/normalizetext.h"
#include "text/textextractor.h"
#include "widgets/bitmaphandles.h"
#include "widgets/buttonst.h"
#include "widgets/digistatic.h"
#include "widgets/exlistbox.h"
#include "widgets/levelslider.h"
#include "widgets/messagebox.h"
#include "widgets/pphtmlstatic.h"
#include "widgets/textprogressctrl.h"
#include "widgets/urlopener.h"

#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QResource>
#include <QScreen>
#include <QSlider>
#include <QStyleOptionComboBox>
#include <QTextBrowser>
#include <QTimerEvent>
#include <QUrl>
#include <vector>

bool g_bConversionDone = false;
int g_nCurrentFileIndex = -1;
bool g_bFirstOpenDialog = true;
bool g_bFirstTextSaveDialog = true;

namespace
{
const QString g_strImageRoot = QStringLiteral("/imagelib");

// A pane of the layout tree: children take a share of its length in percent,
// keep their design size, or split what the shares leave. A child whose
// share is below its minimum size keeps the minimum and the others split the
// rest by their shares, so the pane is never smaller than its minimums.
class CPane
{
public:
    CPane(QBoxLayout::Direction dir) : m_pLayout(new QBoxLayout(dir))
    {
        m_pLayout->setContentsMargins(0, 0, 0, 0);
        m_pLayout->setSpacing(5);
    }

    QBoxLayout* Layout() const { return m_pLayout; }
    bool IsVertical() const { return m_pLayout->direction() == QBoxLayout::TopToBottom; }

    // A widget whose length is the share, bounded by its minimum size only,
    // not its size hint; its breadth fills the pane unless the widget keeps
    // a fixed breadth of its own.
    CPane& Relative(QWidget* pWidget, int nShare)
    {
        QSizePolicy policy = pWidget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        if (IsVertical())
            policy.setVerticalPolicy(QSizePolicy::Ignored);
        else
            policy.setHorizontalPolicy(QSizePolicy::Ignored);
        pWidget->setSizePolicy(policy);
        m_pLayout->addWidget(pWidget, nShare);
        m_nShares += nShare;
        return *this;
    }
    CPane& Relative(CPane& pane, int nShare)
    {
        m_pLayout->addLayout(pane.Layout(), nShare);
        m_nShares += nShare;
        return *this;
    }
    CPane& RelativeGap(int nShare)
    {
        m_pLayout->addStretch(nShare);
        m_nShares += nShare;
        return *this;
    }
    CPane& Fixed(QWidget* pWidget, Qt::Alignment align = Qt::Alignment())
    {
        QSizePolicy policy = pWidget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        pWidget->setSizePolicy(policy);
        m_pLayout->addWidget(pWidget, 0, align);
        return *this;
    }
    CPane& FixedGap(int nPixels)
    {
        m_pLayout->addSpacing(nPixels);
        return *this;
    }
    // What the shares leave is split among the growing gaps; call once all
    // children are in.
    CPane& GrowingGap()
    {
        m_growing.push_back(m_pLayout->count());
        m_pLayout->addStretch(1);
        return *this;
    }
    CPane& Done()
    {
        const int nLeft = qMax(0, 100 - m_nShares);
        for (int nIndex : m_growing)
            m_pLayout->setStretch(nIndex, qMax(1, nLeft / int(m_growing.size())));
        return *this;
    }

private:
    QBoxLayout* m_pLayout;
    int m_nShares = 0;
    std::vector<int> m_growing;
};

CPane Row()
{
    return CPane(QBoxLayout::LeftToRight);
}

CPane Column()
{
    return CPane(QBoxLayout::TopToBottom);
}

QPixmap LoadImageResource(const QString& strPath, int nSize)
{
    QImageReader reader(strPath);
    if (nSize > 0)
        reader.setScaledSize(QSize(nSize, nSize));
    return QPixmap::fromImage(reader.read());
}

QString IconPath(const QString& strRoot, int nId)
{
    return QStringLiteral(":%1/icons/%2.svg").arg(strRoot).arg(nId);
}
} // namespace

// The program's own icon is compiled into the static library; its resource
// must be registered by hand.
static void InitProgramResources()
{
    Q_INIT_RESOURCE(program);
}

CSpeechDlg::CSpeechDlg(QWidget* pParent) : QDialog(pParent)
{
    InitProgramResources();
    g_nCurrentFileIndex = -1;
    m_hIcon = QIcon(LoadImageResource(QStringLiteral(":/program/128.svg"), 32));
    CreateControls();
    CreateMenu();
    ConnectSignals();
    OnInitDialog();
}

CSpeechDlg::~CSpeechDlg()
{
    OnDestroy();
}

void CSpeechDlg::CreateControls()
{
    setObjectName(QString::number(IDD_SPEECH_DIALOG));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);

    auto named = [this](auto* pWidget, int nId)
    {
        pWidget->setObjectName(QString::number(nId));
        pWidget->setParent(this);
        return pWidget;
    };
    auto button = [&](int nId)
    {
        CButtonST* pButton = named(new CButtonST, nId);
        pButton->setText(CStringTable::GetDialogText(IDD_SPEECH_DIALOG, nId));
        pButton->setAutoDefault(false);
        return pButton;
    };
    auto label = [&](int nId)
    {
        QLabel* pLabel = named(new QLabel, nId);
        pLabel->setText(CStringTable::GetDialogText(IDD_SPEECH_DIALOG, nId));
        return pLabel;
    };

    m_cmbLanguage = named(new QComboBox, IDC_COMBO_LANGUAGE);
    m_editText = named(new QPlainTextEdit, IDC_EDIT_TEXT);
    // Tab leaves the pane, as it leaves every other control.
    m_editText->setTabChangesFocus(true);
    m_editScratch = named(new QPlainTextEdit, IDC_EDIT_SCRATCH);
    m_staticStatus = named(new CPPHtmlStatic, IDC_STATIC_STATUS);
    m_staticAnimation = named(new CPPHtmlStatic, IDC_STATIC_ANIMATION);
    m_progress = named(new CTextProgressCtrl, IDC_PROGRESS);
    m_listVoices = named(new QListWidget, IDC_LIST_VOICES);
    m_listVoices->setSortingEnabled(true);
    m_timeDisplay = named(new CDigiStatic, IDC_TIME_DISPLAY);
    m_timeDisplay->setText(CStringTable::GetDialogText(IDD_SPEECH_DIALOG, IDC_TIME_DISPLAY));
    m_sliderRate = named(new CLevelSlider, IDC_SLIDER_RATE);
    m_sliderVolume = named(new CLevelSlider, IDC_SLIDER_VOLUME);
    // Positions run from the top down, as the labels beside it do; the lit
    // part rises from the bottom with the level shown.
    for (QSlider* pSlider : {m_sliderRate, m_sliderVolume})
    {
        pSlider->setInvertedAppearance(true);
        pSlider->setInvertedControls(true);
        pSlider->setTickPosition(QSlider::TicksBothSides);
    }
    m_listFiles = named(new CExListBox, IDC_LIST_FILES);
    m_browser = named(new QTextBrowser, IDC_BROWSER);
    m_browserScratch = named(new QTextBrowser, IDC_BROWSER_SCRATCH);
    for (QTextBrowser* pBrowser : {m_browser, m_browserScratch})
    {
        pBrowser->setOpenLinks(false);
        pBrowser->setOpenExternalLinks(false);
    }

    m_btnOpen = button(IDC_BTN_OPEN);
    m_btnDelete = button(IDC_BTN_DELETE);
    m_btnReset = button(IDC_BTN_RESET);
    m_btnCopy = button(IDC_BTN_COPY);
    m_btnPaste = button(IDC_BTN_PASTE);
    m_btnEmpty = button(IDC_BTN_EMPTY);
    m_btnSaveText = button(IDC_BTN_SAVETEXT);
    m_btnZoomIn = button(IDC_BTN_ZOOMIN);
    m_btnZoomOut = button(IDC_BTN_ZOOMOUT);
    m_btnSpeak = button(IDC_BTN_SPEAK);
    m_btnPause = button(IDC_BTN_PAUSE);
    m_btnStop = button(IDC_BTN_STOP);
    m_btnSaveAudio = button(IDC_BTN_SAVEAUDIO);
    m_btnGoOnline = button(IDC_BTN_GOONLINE);
    m_btnZoomIn->hide();
    m_btnZoomOut->hide();

    m_radioFile = named(new QRadioButton, IDC_RADIO_FILE);
    m_radioFile->setText(CStringTable::GetDialogText(IDD_SPEECH_DIALOG, IDC_RADIO_FILE));
    m_radioInstant = named(new QRadioButton, IDC_RADIO_INSTANT);
    m_radioInstant->setText(CStringTable::GetDialogText(IDD_SPEECH_DIALOG, IDC_RADIO_INSTANT));
    m_groupMode = new QButtonGroup(this);
    m_groupMode->addButton(m_radioFile, IDC_RADIO_FILE);
    m_groupMode->addButton(m_radioInstant, IDC_RADIO_INSTANT);

    m_staticVolume = label(IDC_STATIC_VOLUME);
    m_staticRate = label(IDC_STATIC_RATE);
    m_staticLanguage = label(IDC_STATIC_LANGUAGE);
    m_staticVoice = label(IDC_STATIC_VOICE);
    for (int i = 0; i < 6; ++i)
        m_staticScale[i] = label(IDC_STATIC_VOL100 + i);
    // A translation may give these labels an access key.
    m_staticLanguage->setBuddy(m_cmbLanguage);
    m_staticVoice->setBuddy(m_listVoices);
    SetTabOrder();
}

// Down the left column, down the right one, then along the bottom row.
void CSpeechDlg::SetTabOrder()
{
    QWidget* const order[] = {
        m_radioFile,   m_btnOpen,      m_btnDelete,   m_btnReset,     m_listFiles, m_cmbLanguage,
        m_listVoices,  m_sliderVolume, m_sliderRate,  m_radioInstant, m_btnCopy,   m_btnPaste,
        m_btnSaveText, m_btnEmpty,     m_editText,    m_browser,      m_btnSpeak,  m_btnPause,
        m_btnStop,     m_btnSaveAudio, m_btnGoOnline,
    };
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void CSpeechDlg::CreateMenu()
{
    const std::vector<CStringTable::SMenuItem> items = CStringTable::GetMenu(IDR_MAINMENU);
    // Made once and renamed in place on a language switch: the switch may
    // come from the settings sheet, opened from one of these menus, and a
    // menu deleted under its own call crashed the program.
    if (m_pMenuBar)
    {
        for (size_t i = 0; i < items.size() && i < m_menuEntries.size(); ++i)
            if (m_menuEntries[i])
                m_menuEntries[i]->setText(items[i].strText);
        return;
    }
    m_pMenuBar = new QMenuBar(this);
    m_pMenuBar->setObjectName(QString::number(IDR_MAINMENU));
    QMenu* pPopup = nullptr;
    for (const CStringTable::SMenuItem& item : items)
    {
        QAction* pEntry = nullptr;
        if (item.nLevel == 0)
        {
            pPopup = new QMenu(item.strText, m_pMenuBar);
            m_pMenuBar->addMenu(pPopup);
            pEntry = pPopup->menuAction();
        }
        else if (pPopup && item.strText.isEmpty())
        {
            pPopup->addSeparator();
        }
        else if (pPopup)
        {
            pEntry = pPopup->addAction(item.strText);
            pEntry->setObjectName(QString::number(item.nCommand));
            pEntry->setData(item.nCommand);
        }
        m_menuEntries.push_back(pEntry);
    }
}

void CSpeechDlg::OnMenuCommand(QAction* pAction)
{
    switch (pAction->data().toInt())
    {
    case ID_OPTION_SETTINGS:
        OnSettings();
        break;
    case ID_HELP_FAQ:
        OnFaqOnline();
        break;
    case ID_HELP_USAGE:
        OnUsageOnline();
        break;
    case ID_HELP_ABOUT:
        OnAbout();
        break;
    default:
        break;
    }
}

// The window's message map.
void CSpeechDlg::ConnectSignals()
{
    connect(m_pMenuBar, &QMenuBar::triggered, this, &CSpeechDlg::OnMenuCommand);
    connect(m_btnGoOnline, &QPushButton::clicked, this, &CSpeechDlg::OnGoOnline);
    connect(m_sliderVolume, &QSlider::valueChanged, this, &CSpeechDlg::OnVolumeChanged);
    connect(m_sliderRate, &QSlider::valueChanged, this, &CSpeechDlg::OnRateChanged);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &CSpeechDlg::OnBrowserLinkClicked);
    connect(m_cmbLanguage, &QComboBox::activated, this, &CSpeechDlg::OnLanguageChanged);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &CSpeechDlg::OnDrawClipboard);

    connect(m_btnOpen, &QPushButton::clicked, this, &CSpeechDlg::OnOpenFile);
    connect(m_btnDelete, &QPushButton::clicked, this, &CSpeechDlg::OnDeleteFile);
    connect(m_btnReset, &QPushButton::clicked, this, &CSpeechDlg::OnResetList);
    connect(m_listFiles, &QListWidget::currentRowChanged, this, &CSpeechDlg::OnFileSelChange);
    m_listFiles->installEventFilter(this);
    m_listFiles->viewport()->installEventFilter(this);
    m_listFiles->setAcceptDrops(true);
    m_listFiles->viewport()->setAcceptDrops(true);

    connect(m_btnSaveAudio, &QPushButton::clicked, this, &CSpeechDlg::OnSaveAsAudio);
    connect(m_btnSpeak, &QPushButton::clicked, this, &CSpeechDlg::OnSpeak);
    connect(m_btnPause, &QPushButton::clicked, this, &CSpeechDlg::OnPause);
    connect(m_btnStop, &QPushButton::clicked, this, &CSpeechDlg::OnStop);
    connect(m_radioFile, &QRadioButton::clicked, this, &CSpeechDlg::OnSpeakFromFile);
    connect(m_radioInstant, &QRadioButton::clicked, this, &CSpeechDlg::OnInstantSpeak);

    connect(m_btnCopy, &QPushButton::clicked, this, &CSpeechDlg::OnCopyText);
    connect(m_btnPaste, &QPushButton::clicked, this, &CSpeechDlg::OnPasteText);
    connect(m_btnEmpty, &QPushButton::clicked, this, &CSpeechDlg::OnEmptyText);
    connect(m_btnSaveText, &QPushButton::clicked, this, &CSpeechDlg::OnSaveText);
    connect(m_editText, &QPlainTextEdit::selectionChanged, this, &CSpeechDlg::OnTextSelChange);
    connect(m_editText, &QPlainTextEdit::textChanged, this, &CSpeechDlg::OnTextChange);
    m_editText->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_editText, &QWidget::customContextMenuRequested, this, &CSpeechDlg::ShowTextMenu);
}

bool CSpeechDlg::OnInitDialog()
{
    CSpeechApp* pApp = App();

    // The About item of the window menu lives in the Help menu here: window
    // managers give programs no system menu of their own to extend.
    setWindowIcon(m_hIcon);

    const QString strImageLib = pApp->m_strAppDir + QStringLiteral("imagelib.rcc");
    const bool bImageLib = QResource::registerResource(strImageLib, g_strImageRoot);
    if (!bImageLib)
    {
        CMessageBox::Show(this, QStringLiteral("Failed to load image library!"), Title(),
                          CMessageBox::MB_ICONEXCLAMATION);
        RequestEnd();
    }
    if (bImageLib && pApp->m_bLangDllLoaded)
    {
        m_hIcon = QIcon(LoadImageResource(IconPath(g_strImageRoot, IDR_MAINFRAME), 32));
        setWindowIcon(m_hIcon);
    }

    SetupProgressBar();
    SetupTimerDisplay();

    // Start-up content language: the system's, a chosen one, or none.
    const int nLangInitType = pApp->GetSetting(QStringLiteral("Misc"),
                                               QStringLiteral("LangInitType"), QStringLiteral("1"))
                                  .toInt();
    QString strCode;
    if (nLangInitType == 0)
        strCode = QString::asprintf("%04x", unsigned(CSpLanguageTags::SystemLanguageId()));
    else if (nLangInitType == 1)
        strCode = pApp->GetSetting(QStringLiteral("Misc"), QStringLiteral("LangInitCode"),
                                   QStringLiteral("0409"));
    strCode = strCode.left(4);
    BuildLanguageCatalogue();
    FillLanguageCombo(strCode);
    m_szLangCode = strCode;
    FillVoiceList(CSpLanguageTags::WithoutLeadingZero(strCode));

    setWindowTitle(Title());

    m_browser->resize(465, 300);
    m_browserScratch->hide();
    m_editScratch->hide();

    m_sliderVolume->setRange(0, 100);
    m_sliderVolume->setTickInterval(10);
    m_sliderVolume->setPageStep(10);
    m_sliderVolume->setValue(0);
    m_sliderRate->setRange(-10, 10);
    m_sliderRate->setTickInterval(2);
    m_sliderRate->setPageStep(1);
    m_sliderRate->setValue(0);

    ApplyControlTexts();

    m_listFiles->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    if (!m_hLameDll.Load())
    {
        CMessageBox::Show(this, QStringLiteral("Failed to load MP3 library!"), Title(),
                          CMessageBox::MB_ICONEXCLAMATION);
        RequestEnd();
    }
    m_mp3Converter.Init(this);

    m_bBusy = false;
    m_bStreamStarted = false;
    m_bStreamEnded = false;
    m_bPaused = false;
    m_bAudioJob = false;
    m_bAudioBatch = false;

    if (bImageLib)
    {
        ApplyButtonStyle(g_strImageRoot);
        LoadAnimation(g_strImageRoot);
        QResource::unregisterResource(strImageLib, g_strImageRoot);
    }

    m_nSpeakMode = 1;
    m_editText->setEnabled(true);
    m_editText->setReadOnly(true);

    for (QWidget* pControl : std::initializer_list<QWidget*>{
             m_btnEmpty, m_btnCopy, m_btnPaste, m_btnZoomIn, m_btnZoomOut, m_btnDelete, m_btnReset,
             m_btnPause, m_btnStop, m_btnSpeak, m_btnSaveAudio, m_btnSaveText})
        pControl->setEnabled(false);
    m_listFiles->setEnabled(true);
    m_btnOpen->setEnabled(true);
    m_radioFile->setChecked(true);

    m_staticAnimation->hide();
    m_staticStatus->hide();

    CreateMusicWindow();

    if (!CreateVoice())
        return false;

    BuildLayout();
    FitToWorkArea();
    m_bFrameFitPending = true;
    m_listFiles->setFocus();

    QCoreApplication::postEvent(this, new CMessageEvent(WM_SHOW_SHOWCASE));

    pApp->SaveSettings();
    return true;
}

void CSpeechDlg::RequestEnd()
{
    m_bEndRequested = true;
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

QString CSpeechDlg::StringOrFail(int nId, bool& bFailed) const
{
    QString strText;
    if (!CStringTable::LoadString(nId, strText))
        bFailed = true;
    return strText;
}

void CSpeechDlg::ApplyControlTexts()
{
    struct SControlText
    {
        QAbstractButton* pButton;
        QLabel* pLabel;
        int nString;
    };
    const SControlText texts[] = {
        {m_radioFile, nullptr, IDS_READ_FILE},
        {m_radioInstant, nullptr, IDS_INPUT_SPEAK},
        {m_btnOpen, nullptr, IDS_OPEN},
        {m_btnDelete, nullptr, IDS_DELETE},
        {m_btnReset, nullptr, IDS_RESET},
        {m_btnCopy, nullptr, IDS_COPY},
        {m_btnPaste, nullptr, IDS_PASTE},
        {m_btnEmpty, nullptr, IDS_EMPTY},
        {m_btnSaveText, nullptr, IDS_SAVE},
        // A paused reading goes on reading Resume in the new language.
        {m_btnSpeak, nullptr, m_bPaused ? IDS_RESUME : IDS_SPEAK},
        {m_btnPause, nullptr, IDS_PAUSE},
        {m_btnStop, nullptr, IDS_STOP},
        {m_btnSaveAudio, nullptr, IDS_SAVE_AUDIO},
        {m_btnGoOnline, nullptr, IDS_REFRESH},
        {nullptr, m_staticLanguage, IDS_LANGUAGE},
        {nullptr, m_staticVoice, IDS_VOICE},
    };
    bool bFailed = false;
    for (const SControlText& text : texts)
    {
        const QString strText = StringOrFail(text.nString, bFailed);
        if (text.pButton)
            text.pButton->setText(strText);
        else
            text.pLabel->setText(strText);
    }
    UpdateSliderLabels();
    UpdateMinimumSizes();
    QString strProbe;
    if (!CStringTable::LoadString(IDS_VOLUME_FMT, strProbe) ||
        !CStringTable::LoadString(IDS_SPEED_FMT, strProbe))
        bFailed = true;
    if (bFailed)
        CMessageBox::Show(this, QStringLiteral("Loading string failed."), Title(),
                          CMessageBox::MB_ICONEXCLAMATION);
}

void CSpeechDlg::ApplyButtonStyle(const QString& strImageRoot)
{
    CSettingsStore& settings = App()->m_settings;
    const QString strColor =
        settings.GetValue(QStringLiteral("Button"), QStringLiteral("ColorBKIN"));
    COLORREF crHover = 0xFFFFFF;
    if (strColor.isEmpty())
        settings.SetValue(QStringLiteral("Button"), QStringLiteral("ColorBKIN"),
                          QStringLiteral("16777215"));
    else
        crHover = COLORREF(strColor.toLongLong());

    const std::pair<CButtonST*, int> icons[] = {
        {m_btnOpen, IDI_OPEN},         {m_btnDelete, IDI_DELETE},       {m_btnReset, IDI_EMPTY},
        {m_btnCopy, IDI_COPY},         {m_btnPaste, IDI_PASTE},         {m_btnEmpty, IDI_EMPTY},
        {m_btnSaveText, IDI_SAVETEXT}, {m_btnSpeak, IDI_SPEAK},         {m_btnPause, IDI_PAUSE},
        {m_btnStop, IDI_STOP},         {m_btnSaveAudio, IDI_SAVEAUDIO}, {m_btnGoOnline, IDI_ONLINE},
    };
    for (const auto& [pButton, nIcon] : icons)
    {
        pButton->SetButtonIcons(QIcon(LoadImageResource(IconPath(strImageRoot, nIcon), 16)));
        pButton->SetFlatLook(true, true);
        // Flat faces show no focus of their own; keyboard users need one.
        pButton->SetDrawFlatFocus(true, true);
        pButton->SetStateColour(CButtonST::BTNST_COLOR_BK_IN, crHover, true);
    }
}

void CSpeechDlg::SetButtonHoverColor(COLORREF cr)
{
    for (CButtonST* pButton :
         {m_btnOpen, m_btnDelete, m_btnReset, m_btnCopy, m_btnPaste, m_btnEmpty, m_btnSaveText,
          m_btnSpeak, m_btnPause, m_btnStop, m_btnSaveAudio, m_btnGoOnline})
        pButton->SetStateColour(CButtonST::BTNST_COLOR_BK_IN, cr, true);
}

void CSpeechDlg::LoadAnimation(const QString& strImageRoot)
{
    const QImage strip(QStringLiteral(":%1/bitmaps/%2.png").arg(strImageRoot).arg(IDB_ANIMATION));
    if (strip.isNull())
        return;
    if (m_nAnimationHandle)
        CBitmapHandles::Release(m_nAnimationHandle);
    m_nAnimationHandle = CBitmapHandles::Register(strip);
    m_staticAnimation->SetFrameStrip(m_nAnimationHandle, std::nullopt, 0xFF00FF);
}

void CSpeechDlg::SetupTimerDisplay()
{
    CSpeechApp* pApp = App();
    const QString strColor =
        pApp->GetSetting(QStringLiteral("Timer"), QStringLiteral("Color"), QString());
    COLORREF crOn = 0x32FF00;
    if (strColor.isEmpty())
        pApp->SetSetting(QStringLiteral("Timer"), QStringLiteral("Color"),
                         QStringLiteral("3342080"));
    else
        crOn = COLORREF(strColor.toLongLong());

    const COLORREF crFace = RefFromColor(palette().color(QPalette::Button));
    m_timeDisplay->SetColor(crFace, crOn);
    m_timeDisplay->SetBkColor(crFace);
    m_timeDisplay->hide();

    if (m_nTimerId)
        killTimer(m_nTimerId);
    m_nTimerId = startTimer(CReadingRules::ClockPeriodMs());
}

void CSpeechDlg::SetupProgressBar()
{
    CSpeechApp* pApp = App();
    m_progress->hide();
    m_progress->SetRange(0, 100);
    m_progress->SetWindowText(QString());

    auto colour = [pApp](const char* pszKey, COLORREF crDefault)
    {
        const QString strKey = QLatin1String(pszKey);
        const QString strValue = pApp->GetSetting(QStringLiteral("ProgressBar"), strKey, QString());
        if (!strValue.isEmpty())
            return COLORREF(strValue.toLongLong());
        pApp->SetSetting(QStringLiteral("ProgressBar"), strKey, QString::number(crDefault));
        return crDefault;
    };
    const COLORREF crFace = RefFromColor(palette().color(QPalette::Button));
    m_progress->SetBarColor(colour("BarColor", 0x32FF00));
    m_progress->SetBkColor(colour("BarBkColor", crFace));
    m_progress->SetTextColor(colour("TextColor", 0));
    m_progress->SetTextBkColor(colour("TextBkColor", 0));
    m_progress->update();
}

void CSpeechDlg::BuildLayout()
{
    UpdateMinimumSizes();
    CPane bottom = Row();
    for (CButtonST* pButton : {m_btnSpeak, m_btnPause, m_btnStop, m_btnSaveAudio, m_btnGoOnline})
        bottom.Relative(pButton, 16);
    bottom.GrowingGap().Done();

    CPane fileButtons = Row();
    for (CButtonST* pButton : {m_btnOpen, m_btnDelete, m_btnReset})
        fileButtons.Relative(pButton, 25);
    fileButtons.GrowingGap().Done();

    CPane fileRow = Row();
    fileRow.Relative(m_listFiles, 80).GrowingGap().Done();
    CPane languageRow = Row();
    m_cmbLanguage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    languageRow.Relative(m_cmbLanguage, 65).GrowingGap().Done();
    CPane voiceRow = Row();
    voiceRow.Relative(m_listVoices, 65).GrowingGap().Done();
    CPane progressRow = Row();
    m_progress->setFixedHeight(22);
    progressRow.Relative(m_progress, 65).GrowingGap().Done();

    auto sliderGroup =
        [&](QSlider* pSlider, QLabel* pLabel, QLabel* pTop, QLabel* pMiddle, QLabel* pBottom)
    {
        for (QLabel* pScaleLabel : {pTop, pMiddle, pBottom})
            pScaleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        CPane scale = Column();
        scale.FixedGap(2)
            .Fixed(pTop, Qt::AlignRight)
            .GrowingGap()
            .Fixed(pMiddle, Qt::AlignRight)
            .GrowingGap()
            .Fixed(pBottom, Qt::AlignRight)
            .FixedGap(2)
            .Done();
        CPane upper = Row();
        upper.Relative(scale, 25).Relative(pSlider, 75).Done();
        CPane lower = Row();
        pLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        lower.RelativeGap(5).Relative(pLabel, 95).Done();
        CPane group = Column();
        group.Relative(upper, 90).Relative(lower, 10).Done();
        return group;
    };
    CPane volumeGroup = sliderGroup(m_sliderVolume, m_staticVolume, m_staticScale[0],
                                    m_staticScale[1], m_staticScale[2]);
    CPane rateGroup = sliderGroup(m_sliderRate, m_staticRate, m_staticScale[3], m_staticScale[4],
                                  m_staticScale[5]);

    for (QWidget* pWidget :
         std::initializer_list<QWidget*>{m_staticAnimation, m_staticStatus, m_timeDisplay})
        pWidget->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    CPane statusGroup = Column();
    statusGroup.Relative(m_staticAnimation, 35)
        .Relative(m_staticStatus, 40)
        .GrowingGap()
        .Relative(m_timeDisplay, 12)
        .GrowingGap()
        .Done();

    CPane band = Row();
    band.Relative(volumeGroup, 20)
        .RelativeGap(5)
        .Relative(rateGroup, 20)
        .RelativeGap(10)
        .Relative(statusGroup, 30)
        .GrowingGap()
        .Done();

    CPane left = Column();
    m_radioFile->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_staticLanguage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_staticVoice->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    left.Relative(m_radioFile, 4)
        .Relative(fileButtons, 5)
        .Relative(fileRow, 18)
        .RelativeGap(1)
        .Relative(m_staticLanguage, 3)
        .Relative(languageRow, 3)
        .RelativeGap(1)
        .Relative(m_staticVoice, 4)
        .Relative(voiceRow, 12)
        .RelativeGap(1)
        .Relative(progressRow, 7)
        .RelativeGap(1)
        .Relative(band, 40)
        .Done();

    CPane editButtons = Row();
    for (CButtonST* pButton : {m_btnCopy, m_btnPaste, m_btnSaveText, m_btnEmpty})
        editButtons.Relative(pButton, 25);
    editButtons.Done();

    CPane right = Column();
    m_radioInstant->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    right.Relative(m_radioInstant, 4)
        .Relative(editButtons, 5)
        .Relative(m_editText, 46)
        .Relative(m_browser, 45)
        .Done();

    CPane main = Row();
    main.Relative(left, 50).Relative(right, 50).Done();

    CPane root = Column();
    root.Relative(main, 95).Relative(bottom, 5).Done();
    root.Layout()->setContentsMargins(5, 5, 5, 5);
    root.Layout()->setMenuBar(m_pMenuBar);
    delete layout();
    setLayout(root.Layout());
}

void CSpeechDlg::UpdateMinimumSizes()
{
    // The image buttons are at least 90 x 26; a longer caption widens them.
    const QSize buttonSize(90, 26);
    for (CButtonST* pButton :
         {m_btnOpen, m_btnDelete, m_btnReset, m_btnCopy, m_btnPaste, m_btnEmpty, m_btnSaveText,
          m_btnSpeak, m_btnPause, m_btnStop, m_btnSaveAudio, m_btnGoOnline})
        pButton->setMinimumSize(pButton->minimumSizeHint().expandedTo(buttonSize));

    std::vector<QWidget*> contents = {m_radioFile, m_radioInstant, m_staticLanguage, m_staticVoice,
                                      m_listFiles, m_listVoices,   m_editText,       m_browser,
                                      m_progress,  m_sliderVolume, m_sliderRate,     m_timeDisplay};
    contents.insert(contents.end(), std::begin(m_staticScale), std::end(m_staticScale));
    for (QWidget* pWidget : contents)
        pWidget->setMinimumSize(
            pWidget->minimumSizeHint().expandedTo(QSize(0, 0)).boundedTo(pWidget->maximumSize()));
    // Every language name fits, whichever is chosen. The combo box's own
    // hint is worked out once, before a language switch renames them.
    int nLanguages = 0;
    for (int i = 0; i < m_cmbLanguage->count(); ++i)
        nLanguages = qMax(
            nLanguages, m_cmbLanguage->fontMetrics().horizontalAdvance(m_cmbLanguage->itemText(i)));
    QStyleOptionComboBox comboOption;
    comboOption.initFrom(m_cmbLanguage);
    m_cmbLanguage->setMinimumSize(
        m_cmbLanguage->style()
            ->sizeFromContents(QStyle::CT_ComboBox, &comboOption,
                               QSize(nLanguages, m_cmbLanguage->fontMetrics().height()),
                               m_cmbLanguage)
            .expandedTo(m_cmbLanguage->minimumSizeHint()));

    // Voices of one language differ only at the ends of their names.
    const int nVoices = m_listVoices->sizeHintForColumn(0);
    if (nVoices > 0)
        m_listVoices->setMinimumWidth(
            qMax(m_listVoices->minimumWidth(),
                 nVoices + 2 * m_listVoices->frameWidth() +
                     m_listVoices->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr,
                                                        m_listVoices)));
    // One frame of the animation strip.
    m_staticAnimation->setMinimumSize(m_staticAnimation->sizeHint());

    // A slider's label keeps the width of its widest value.
    auto widest = [](QLabel* pLabel, int nFormatId, int nFrom, int nTo)
    {
        const QString strFormat = CStringTable::Get(nFormatId);
        QSize size;
        for (int nValue = nFrom; nValue <= nTo; ++nValue)
            size = size.expandedTo(pLabel->fontMetrics().size(
                Qt::TextShowMnemonic, CStringTable::Format(strFormat, {nValue})));
        const QMargins margins = pLabel->contentsMargins();
        pLabel->setMinimumSize(size +
                               QSize(margins.left() + margins.right() + 2 * pLabel->margin(),
                                     margins.top() + margins.bottom() + 2 * pLabel->margin()));
    };
    widest(m_staticVolume, IDS_VOLUME_FMT, 0, 100);
    widest(m_staticRate, IDS_SPEED_FMT, -10, 10);
}

void CSpeechDlg::FitToWorkArea()
{
    const QScreen* pScreen = screen();
    if (!pScreen)
        return;
    const QRect area = pScreen->availableGeometry();
    const QSize frame = frameGeometry().size() - geometry().size();
    resize((area.size() - frame).expandedTo(minimumSize()));
    move(area.topLeft());
}

bool CSpeechDlg::OpenUrl(const QString& strAddress)
{
    return CUrlOpener::Open(strAddress);
}

void CSpeechDlg::ShowShowcase()
{
    const QString strAddress =
        CUrlOpener::ResolveAddress(CStringTable::Get(IDS_SHOWCASE_URL), App()->m_strAppDir);
    const QUrl url(strAddress);
    if (url.isLocalFile())
    {
        m_browser->setSearchPaths({QFileInfo(url.toLocalFile()).absolutePath()});
        m_browser->setSource(url);
    }
    else
    {
        m_browser->clear();
    }
}

void CSpeechDlg::OnBrowserLinkClicked(const QUrl& url)
{
    OpenUrl(url.toString());
}

void CSpeechDlg::OnAbout()
{
    CAboutDlg dlg(this);
    dlg.exec();
}

void CSpeechDlg::OnFaqOnline()
{
    OpenUrl(CStringTable::Get(IDS_FAQ_URL));
}

void CSpeechDlg::OnUsageOnline()
{
    OpenUrl(CStringTable::Get(IDS_USAGE_URL));
}

void CSpeechDlg::OnGoOnline()
{
    ShowShowcase();
}

bool CSpeechDlg::event(QEvent* pEvent)
{
    if (m_bFrameFitPending && frameGeometry().size() != size() &&
        (pEvent->type() == QEvent::Move || pEvent->type() == QEvent::Resize ||
         pEvent->type() == QEvent::Show || pEvent->type() == QEvent::WindowActivate))
    {
        m_bFrameFitPending = false;
        FitToWorkArea();
    }
    // Cast only once the event is known to be one of ours.
    const auto payload = [pEvent]()
    { return static_cast<const CMessageEvent*>(pEvent)->GetPayload(); };
    switch (CMessageEvent::MessageOf(pEvent))
    {
    case WM_SHOW_SHOWCASE:
        ShowShowcase();
        return true;
    case WM_SPEECH_EVENT:
        OnSpeechEvent();
        return true;
    case WM_WORKER_ERROR:
        OnWorkerError(payload().toString());
        return true;
    case WM_MP3_PROGRESS:
        OnMp3Progress(payload().toDouble());
        return true;
    case WM_MP3_DONE:
        OnMp3Done(payload());
        return true;
    default:
        break;
    }
    return QDialog::event(pEvent);
}

void CSpeechDlg::changeEvent(QEvent* pEvent)
{
    QDialog::changeEvent(pEvent);
    if (pEvent->type() == QEvent::FontChange || pEvent->type() == QEvent::StyleChange)
        UpdateMinimumSizes();
}

void CSpeechDlg::timerEvent(QTimerEvent* pEvent)
{
    if (pEvent->timerId() == m_nTimerId)
        OnTimer();
    QDialog::timerEvent(pEvent);
}

void CSpeechDlg::closeEvent(QCloseEvent* pEvent)
{
    if (m_bWorking)
    {
        pEvent->ignore();
        return;
    }
    if (m_bBusy)
    {
        CMessageBox::Show(this, CStringTable::Get(IDS_STOP_FIRST), Title(),
                          CMessageBox::MB_ICONEXCLAMATION);
        pEvent->ignore();
        return;
    }
    StopMusic();
    QDialog::closeEvent(pEvent);
}

void CSpeechDlg::reject()
{
    // Closing during an extraction would leave the reading that waits for
    // it running on in a hidden window.
    if (m_bBusy || m_bWorking)
        return;
    StopMusic();
    QDialog::reject();
}

void CSpeechDlg::OnDestroy()
{
    if (m_bDestroyed)
        return;
    m_bDestroyed = true;
    if (m_nTimerId)
    {
        killTimer(m_nTimerId);
        m_nTimerId = 0;
    }
    CloseMusicWindow();
    if (m_pVoice)
    {
        m_pVoice->Speak(QString(), SPF_PURGEBEFORESPEAK);
        m_pVoice.reset();
    }
    m_pVoiceToken.reset();
    m_mp3Converter.Stop();
    m_hLameDll.Free();
    disconnect(QApplication::clipboard(), nullptr, this, nullptr);
    if (m_nAnimationHandle)
    {
        CBitmapHandles::Release(m_nAnimationHandle);
        m_nAnimationHandle = 0;
    }
}

QWidget* CSpeechDlg::GetDlgItem(int nId) const
{
    return findChild<QWidget*>(QString::number(nId));
}

CSpeechApp* CSpeechDlg::App()
{
    return CSpeechApp::GetApp();
}

QString CSpeechDlg::Title()
{
    return CStringTable::Get(IDS_TITLE);
}
