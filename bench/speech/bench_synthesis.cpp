// Synthesis speed of the voice into a WAV stream against the engine's own
// command-line program on the same text and voice: the ratio is the
// program's time divided by the voice's (goal: at least 0.95).
#include "benchtext.h"
#include "speech/spobjecttokencategory.h"
#include "speech/spvoice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qsizetype nChars = argc > 1 ? QByteArray(argv[1]).toLongLong() : 200 * 1024;
    QTemporaryDir dir;
    const QString strText = MakeProse(nChars);
    QFile textFile(dir.filePath(QStringLiteral("text.txt")));
    if (!textFile.open(QIODevice::WriteOnly) || textFile.write(strText.toUtf8()) < 0)
        return 1;
    textFile.close();

    QElapsedTimer timer;
    timer.start();
    QProcess engine;
    engine.start(QStringLiteral("espeak-ng"),
                 {QStringLiteral("-v"), QStringLiteral("en-us"), QStringLiteral("-w"),
                  dir.filePath(QStringLiteral("engine.wav")), QStringLiteral("-f"),
                  textFile.fileName()});
    if (!engine.waitForFinished(-1) || engine.exitCode() != 0)
    {
        std::fprintf(stderr, "espeak-ng failed\n");
        return 1;
    }
    const double dEngineSeconds = double(timer.nsecsElapsed()) / 1e9;
    const qint64 nEngineBytes = QFileInfo(dir.filePath(QStringLiteral("engine.wav"))).size();

    CSpObjectTokenCategory category;
    category.SetId(QStringLiteral(SPCAT_VOICES), false);
    CSpVoice voice;
    voice.SetVoice(category.FindBestToken(QStringLiteral("Language=409;Gender=Male"), QString()));
    WAVEFORMATEX format;
    voice.GetFormat(&format);
    auto pStream = std::make_shared<CSpStream>();
    if (!pStream->BindToFile(dir.filePath(QStringLiteral("voice.wav")), format) ||
        !voice.SetOutput(pStream, false))
        return 1;
    voice.SetInterest(SPFEI(SPEI_WORD_BOUNDARY), SPFEI(SPEI_WORD_BOUNDARY));
    timer.restart();
    voice.Speak(strText, SPF_DEFAULT);
    pStream->Close();
    const double dVoiceSeconds = double(timer.nsecsElapsed()) / 1e9;
    const qint64 nVoiceBytes = QFileInfo(dir.filePath(QStringLiteral("voice.wav"))).size();

    std::printf("text: %lld characters\n", (long long)strText.size());
    std::printf("espeak-ng -w: %.2f s, %lld bytes of WAV\n", dEngineSeconds,
                (long long)nEngineBytes);
    std::printf("voice to WAV stream (word events queued): %.2f s, %lld bytes of WAV\n",
                dVoiceSeconds, (long long)nVoiceBytes);
    std::printf("speed ratio (espeak-ng time / voice time): %.3f (goal >= 0.95)\n",
                dEngineSeconds / dVoiceSeconds);
    return 0;
}
