// The settings commands of the main window: the settings sheet and the
// switch of the interface language it asks for.
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourcemodule.h"
#include "speech/splanguagetags.h"

void CSpeechDlg::OnSettings() {}

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
