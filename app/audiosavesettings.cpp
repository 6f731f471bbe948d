#include "app/audiosavesettings.h"

#include "app/speechapp.h"
#include "audio/audiobatchrules.h"
#include "audio/wavetomp3converter.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "widgets/urlopener.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

QString CAudioSaveSettings::SaveFolder(CSpeechApp& app)
{
    const QString strDefault = app.GetDefaultSaveFolder();
    const CAudioBatchRules::SFolder folder = CAudioBatchRules::RepairSavePath(
        // Blank reads as blank, so that the folder used is stored.
        app.GetSetting(QStringLiteral("Audio"), QStringLiteral("SavePath"), QString()), strDefault,
        [](const QString& strPath) { return QFileInfo(strPath).isDir(); });
    if (folder.bCreate)
        QDir().mkpath(folder.strFolder);
    if (folder.bStore)
    {
        app.SetSetting(QStringLiteral("Audio"), QStringLiteral("SavePath"), folder.strFolder);
        app.SaveSettings();
    }
    return folder.strFolder;
}

void CAudioSaveSettings::ApplyTag(CWaveToMP3Converter& converter, int nYear)
{
    converter.SetComment(CUrlOpener::StripScheme(CStringTable::Get(IDS_HOME_URL)).toLocal8Bit());
    converter.SetYear(QByteArray::number(nYear));
    converter.SetGenre(QByteArrayLiteral("Speech"));
}

int CAudioSaveSettings::CurrentYear()
{
    return QDateTime::currentDateTimeUtc().date().year();
}
