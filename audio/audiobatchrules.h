#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The rules of a Save as Audio batch that need no window: the names a
// document's audio files get, the repair of the configured folder, the
// spoken heading, what Stop at each stage leaves behind and how a batch
// ends. The window and the command line follow them; tests call them.
class CAudioBatchRules
{
public:
    // The document's name up to its first dot ("report.final.txt" gives
    // "report"), leading dots passed over; a name without a dot is whole.
    static QString BaseName(const QString& strPath);
    // The WAV file of a base name in a folder that ends in "/".
    static QString WavPath(const QString& strFolder, const QString& strBaseName);

    struct SFolder
    {
        QString strFolder;    // where the files go, ending in "/"
        bool bStore = false;  // the settings get this value
        bool bCreate = false; // the default folder must be made first
    };
    // The configured folder, repaired: empty gives the default; a missing
    // final "/" is added; a folder that does not exist gives the default.
    // The folder the user configured is never created.
    static SFolder RepairSavePath(const QString& strValue, const QString& strDefaultFolder,
                                  const std::function<bool(const QString&)>& fnIsFolder);

    // What the audio file begins with: the prelude, then the base name,
    // as speech markup. The name is escaped, so "Tom & Jerry" is spoken
    // and not taken for broken markup.
    static QString Heading(const QString& strPrelude, const QString& strBaseName);

    enum EStage
    {
        SpeakingHeading,
        SpeakingText,
        Encoding
    };
    struct SStopEffect
    {
        bool bTextSpoken = false;   // the WAV holds the text after the heading
        bool bMp3Started = false;   // a conversion is started for this document
        bool bMp3Cancelled = false; // a running conversion is cut short
    };
    // What Stop pressed at a stage leaves of the current document; the
    // batch ends after it either way.
    static SStopEffect StopEffect(EStage eStage);

    // The status text's string id at the end: finished only when every
    // document was done and none failed.
    static int EndStatusId(int nDone, int nCount, const QStringList& failed);
    // The message that names the documents whose audio could not be made;
    // empty when there are none.
    static QString FailureMessage(const QStringList& failed);
};
