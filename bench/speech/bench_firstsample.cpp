// Time from Speak to the first sample reaching the audio device for a 10 MB
// text, and the memory the reading adds (goals: under 200 ms, under 50 MB).
#include "benchtext.h"
#include "speech/spaudiosink.h"
#include "speech/spsilentaudiosink.h"
#include "speech/spvoice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <cstdio>

namespace
{
QElapsedTimer g_clock;
std::atomic<qint64> g_nFirstWriteNs{-1};

// The silent real-time sink, noting when the first samples arrive.
class CTimedSink : public CSpSilentAudioSink
{
public:
    qint64 Write(const char* pData, qint64 nBytes) override
    {
        qint64 nExpected = -1;
        if (nBytes > 0)
            g_nFirstWriteNs.compare_exchange_strong(nExpected, g_clock.nsecsElapsed());
        return CSpSilentAudioSink::Write(pData, nBytes);
    }
};
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const qsizetype nChars = argc > 1 ? QByteArray(argv[1]).toLongLong() : 10 * 1024 * 1024;
    CSpAudioSink::SetFactory([]() { return std::make_unique<CTimedSink>(); });
    const QString strText = MakeProse(nChars);
    CSpVoice voice;
    // A first utterance loads the engine and its voice, as the window does
    // long before the user presses Speak.
    voice.Speak(QStringLiteral("Ready."), SPF_DEFAULT);
    g_nFirstWriteNs = -1;
    const qint64 nRssBefore = ResidentBytes();

    g_clock.start();
    voice.Speak(strText, SPF_ASYNC);
    const double dSpeakReturnMs = double(g_clock.nsecsElapsed()) / 1e6;
    while (g_nFirstWriteNs.load() < 0 && g_clock.elapsed() < 10000)
        QThread::usleep(100);
    const double dFirstMs = double(g_nFirstWriteNs.load()) / 1e6;
    qint64 nRssPeak = ResidentBytes();
    while (g_clock.elapsed() < 5000)
    {
        QThread::msleep(50);
        nRssPeak = qMax(nRssPeak, ResidentBytes());
    }
    voice.Speak(QString(), SPF_PURGEBEFORESPEAK);
    voice.WaitUntilDone(-1);

    std::printf("text: %lld characters (%.1f MB as UTF-16)\n", (long long)strText.size(),
                double(strText.size()) * 2 / 1048576.0);
    std::printf("Speak returned after %.2f ms\n", dSpeakReturnMs);
    std::printf("Speak to first sample: %.2f ms (goal < 200 ms, ratio to goal %.3f)\n", dFirstMs,
                dFirstMs / 200.0);
    std::printf("RSS added in the first 5 s of reading: %.2f MB (goal < 50 MB, ratio to goal "
                "%.3f)\n",
                double(nRssPeak - nRssBefore) / 1048576.0,
                double(nRssPeak - nRssBefore) / (50.0 * 1048576.0));
    return dFirstMs < 0 ? 1 : 0;
}
