// The settings commands of the main window: the settings sheet and the
// switch of the interface language it asks for.
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "res/resourcemodule.h"
#include "res/stringtable.h"
#include "settings/audiosavingconfpage.h"
#include "settings/langprefer.h"
#include "settings/mytreepropsheet.h"
#include "settings/optionmusicpage.h"
#include "settings/uioptiondlg.h"
#include "speech/splanguagetags.h"

void CSpeechDlg::OnSettings()
{
    // The pages in the tree's order: Language, Audio Output, Music, User
    // Interface.
    CLangPrefer pageLanguage(this);
    CAudioSavingConfPage pageAudio;
    COptionMusicPage pageMusic(this);
    CUIOptionDLG pageInterface;

    CMyTreePropSheet sheet(CStringTable::Get(IDS_SETTINGS), this, 0);
    sheet.SetEmptyPageText(CStringTable::Get(IDS_DESCRIPTION));
    sheet.SetTreeViewMode(true, true, true);
    sheet.SetTreeWidth(180);
    sheet.AddPage(&pageLanguage);
    sheet.AddPage(&pageAudio);
    sheet.AddPage(&pageMusic);
    sheet.AddPage(&pageInterface);
    sheet.exec();
}

void CSpeechDlg::ApplyUILanguage(const QString& strCode)
{
    CSpeechApp* pApp = App();
    if (strCode.compare(QLatin1String("0409"), Qt::CaseInsensitive) != 0)
    {
        const QString strLibrary = CSpeechApp::LanguageLibraryName(strCode);
        auto pModule = std::make_unique<CResourceModule>();
        if (strLibrary.isEmpty() ||
            !pModule->Load(pApp->m_strAppDir + QStringLiteral("Languages/") + strLibrary))
            return;
        CResourceModule::SetCurrent(pModule.get());
        pApp->m_hLangDll = std::move(pModule);
    }
    else
    {
        CResourceModule::SetCurrent(pApp->m_hDefaultResource);
    }

    BuildLanguageCatalogue();
    FillLanguageCombo(m_szLangCode);
    FillVoiceList(CSpLanguageTags::WithoutLeadingZero(m_szLangCode));
    ApplyControlTexts();
    setWindowTitle(Title());
    ShowShowcase();
    CreateMenu();
}
