#include "app/voiceoptions.h"

#include "app/commandline.h"
#include "app/speechapp.h"
#include "speech/languagecatalogue.h"
#include "speech/splanguagetags.h"
#include "speech/spvoice.h"

#include <QCommandLineParser>
#include <algorithm>

namespace
{
const char g_szProgram[] = "kestrivane-basic";
const char g_szFallbackCode[] = "0409";

// "409" and "0409" name the same catalogue row.
QString FourDigitCode(const QString& strCode)
{
    return strCode.rightJustified(4, QLatin1Char('0')).toLower();
}

bool IsCatalogueCode(const QString& strCode)
{
    for (const LanguageRecord& record : CLanguageCatalogue::Build())
    {
        if (record.szCode.compare(strCode, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
} // namespace

QList<QCommandLineOption> CVoiceOptions::Options()
{
    return {
        QCommandLineOption(
            QStringLiteral("lang"),
            QStringLiteral(
                "Content language of --speak and --save-audio, a code of --list-languages such as "
                "0409 (default: the window's start-up language)."),
            QStringLiteral("CODE")),
        QCommandLineOption(
            QStringLiteral("voice"),
            QStringLiteral(
                "Voice of --speak and --save-audio, a description as --list-voices prints it "
                "(default: the first voice of the language)."),
            QStringLiteral("NAME")),
        QCommandLineOption(
            QStringLiteral("rate"),
            QStringLiteral("Speaking rate of --speak and --save-audio, -10 to 10 (default 0)."),
            QStringLiteral("N")),
        QCommandLineOption(
            QStringLiteral("volume"),
            QStringLiteral("Volume of --speak and --save-audio, 0 to 100 (default 100)."),
            QStringLiteral("N")),
    };
}

bool CVoiceOptions::AnySet(const QCommandLineParser& parser)
{
    for (const QCommandLineOption& option : Options())
    {
        if (parser.isSet(option))
            return true;
    }
    return false;
}

bool CVoiceOptions::Read(const QCommandLineParser& parser, QTextStream& err)
{
    m_strLanguage = parser.value(QStringLiteral("lang"));
    if (parser.isSet(QStringLiteral("lang")) && !CCommandLine::IsLanguageCode(m_strLanguage))
    {
        CCommandLine::UsageError(
            err, QStringLiteral("'%1' is not a language code such as 0409").arg(m_strLanguage));
        return false;
    }
    m_strVoiceName = parser.value(QStringLiteral("voice"));
    if (parser.isSet(QStringLiteral("voice")) && m_strVoiceName.trimmed().isEmpty())
    {
        CCommandLine::UsageError(err, QStringLiteral("--voice needs a voice description"));
        return false;
    }
    const QString strRate = parser.value(QStringLiteral("rate"));
    if (parser.isSet(QStringLiteral("rate")) &&
        !CCommandLine::ParseBounded(strRate, -10, 10, m_nRate))
    {
        CCommandLine::UsageError(
            err, QStringLiteral("--rate '%1' is not a whole number from -10 to 10").arg(strRate));
        return false;
    }
    const QString strVolume = parser.value(QStringLiteral("volume"));
    if (parser.isSet(QStringLiteral("volume")) &&
        !CCommandLine::ParseBounded(strVolume, 0, 100, m_nVolume))
    {
        CCommandLine::UsageError(
            err,
            QStringLiteral("--volume '%1' is not a whole number from 0 to 100").arg(strVolume));
        return false;
    }
    return true;
}

QString CVoiceOptions::LanguageCode(const CSpeechApp* pSettings) const
{
    QString strCode = m_strLanguage;
    if (strCode.isEmpty() && pSettings)
        strCode = pSettings->GetStartupLanguageCode();
    if (strCode.isEmpty())
        strCode = QString::fromLatin1(g_szFallbackCode);
    return FourDigitCode(strCode);
}

int CVoiceOptions::ChooseVoice(const QString& strCode, CSpObjectTokenPtr& pToken,
                               QTextStream& err) const
{
    if (!m_strLanguage.isEmpty() && !IsCatalogueCode(strCode))
    {
        CCommandLine::UsageError(
            err,
            QStringLiteral("'%1' is not a language code of --list-languages").arg(m_strLanguage));
        return CCommandLine::EXIT_USAGE;
    }
    const QString strAttribute = CSpLanguageTags::WithoutLeadingZero(strCode);
    const LANGID nUiLanguage = CSpLanguageTags::UserUiLanguageId();
    QStringList descriptions;
    if (!CLanguageCatalogue::ListVoices(strAttribute, nUiLanguage, descriptions))
    {
        err << g_szProgram << ": the installed voices cannot be read\n";
        err.flush();
        return CCommandLine::EXIT_FAILED;
    }
    if (descriptions.isEmpty())
    {
        err << g_szProgram << ": no voice for language " << strCode << "\n";
        err.flush();
        return CCommandLine::EXIT_FAILED;
    }
    // The window's voice list is sorted and starts on its first row: the same
    // voice speaks unless the user names another.
    std::sort(descriptions.begin(), descriptions.end());
    const QString strVoice = m_strVoiceName.isEmpty() ? descriptions.constFirst() : m_strVoiceName;
    if (!CLanguageCatalogue::FindVoice(strAttribute, strVoice, nUiLanguage, pToken))
    {
        err << g_szProgram << ": the installed voices cannot be read\n";
        err.flush();
        return CCommandLine::EXIT_FAILED;
    }
    if (!pToken)
    {
        CCommandLine::UsageError(err,
                                 QStringLiteral("no voice '%1' for language %2 (see --list-voices "
                                                "%2)")
                                     .arg(m_strVoiceName, strCode));
        return CCommandLine::EXIT_USAGE;
    }
    return CCommandLine::EXIT_OK;
}

std::unique_ptr<CSpVoice> CVoiceOptions::CreateVoice(const CSpObjectTokenPtr& pToken,
                                                     QTextStream& err) const
{
    std::unique_ptr<CSpVoice> pVoice = CSpVoice::Create();
    if (!pVoice)
    {
        err << g_szProgram << ": the speech engine cannot be loaded\n";
        err.flush();
        return nullptr;
    }
    pVoice->SetVoice(pToken);
    pVoice->SetRate(m_nRate);
    pVoice->SetVolume(quint16(m_nVolume));
    pVoice->SetInterest(SPFEI(SPEI_WORD_BOUNDARY), SPFEI(SPEI_WORD_BOUNDARY));
    return pVoice;
}
