#include "audio/audiobatchrules.h"

#include "res/resourceids.h"

QString CAudioBatchRules::BaseName(const QString& strPath)
{
    QString strName = strPath.mid(strPath.lastIndexOf(QLatin1Char('/')) + 1);
    // A hidden file's leading dots would leave nothing to name a file by.
    while (strName.startsWith(QLatin1Char('.')))
        strName.remove(0, 1);
    const int nDot = strName.indexOf(QLatin1Char('.'));
    return nDot < 0 ? strName : strName.left(nDot);
}

QString CAudioBatchRules::WavPath(const QString& strFolder, const QString& strBaseName)
{
    return strFolder + strBaseName + QStringLiteral(".wav");
}

CAudioBatchRules::SFolder
CAudioBatchRules::RepairSavePath(const QString& strValue, const QString& strDefaultFolder,
                                 const std::function<bool(const QString&)>& fnIsFolder)
{
    SFolder folder;
    folder.strFolder = strValue;
    if (folder.strFolder.isEmpty())
    {
        folder.strFolder = strDefaultFolder;
        folder.bStore = true;
    }
    if (!folder.strFolder.endsWith(QLatin1Char('/')))
    {
        folder.strFolder.append(QLatin1Char('/'));
        folder.bStore = true;
    }
    if (!fnIsFolder(folder.strFolder))
    {
        folder.strFolder = strDefaultFolder;
        if (!folder.strFolder.endsWith(QLatin1Char('/')))
            folder.strFolder.append(QLatin1Char('/'));
        folder.bStore = true;
        folder.bCreate = true;
    }
    return folder;
}

QString CAudioBatchRules::Heading(const QString& strPrelude, const QString& strBaseName)
{
    return strPrelude + strBaseName.toHtmlEscaped();
}

CAudioBatchRules::SStopEffect CAudioBatchRules::StopEffect(EStage eStage)
{
    SStopEffect effect;
    switch (eStage)
    {
    case SpeakingHeading:
        break;
    case SpeakingText:
        effect.bTextSpoken = true;
        break;
    case Encoding:
        effect.bTextSpoken = true;
        effect.bMp3Started = true;
        effect.bMp3Cancelled = true;
        break;
    }
    return effect;
}

int CAudioBatchRules::EndStatusId(int nDone, int nCount, const QStringList& failed)
{
    return nDone >= nCount && failed.isEmpty() ? IDS_AUDIO_FINISHED : IDS_AUDIO_INTERRUPTED;
}

QString CAudioBatchRules::FailureMessage(const QStringList& failed)
{
    if (failed.isEmpty())
        return QString();
    return QStringLiteral("These audio files could not be made:\n") +
           failed.join(QLatin1Char('\n'));
}
