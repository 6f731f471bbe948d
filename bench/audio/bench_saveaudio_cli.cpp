// A batch of four prose documents rendered by `kestrivane-basic --save-audio`
// against the espeak-ng then lame pipeline run by hand, two documents at a
// time. Goal: pipeline time / our time at least 1.1. KB_PROGRAM names
// another build of the program to measure.
#include "audiobench.h"

#include "speech/spvoice.h"

#include <QCoreApplication>

namespace
{
constexpr double g_dGoalRatio = 1.1;
constexpr int g_nPipelinesAtOnce = 2;
constexpr int g_nSampleMs = 50;
// Tells CTest the run was skipped, while still failing a plain run.
constexpr int g_nSkipped = 77;

struct SOurRun
{
    double dSeconds = 0;
    int nStatus = 0;
    // wait4's, the largest of the main process and the helpers it waited for.
    long nTreeKb = -1;
    // As last sampled from /proc: the main's own, and the helpers'.
    long nMainKb = 0;
    std::vector<long> helperPeaks;
    long nTogetherPeakKb = 0;
    QString strError;
};

// The program in a home of its own with no sound server to find, sampled
// from /proc until it ends. wait4 cannot tell the main process's own peak
// from its helpers' (it reports the largest), so each own peak is sampled.
SOurRun RunProgram(const QString& strProgram, const QStringList& args, const QString& strHome,
                   const QString& strErrPath)
{
    SOurRun run;
    QDir().mkpath(strHome);
    const QString strPeakPath = strHome + QStringLiteral("/.peaks");
    QElapsedTimer timer;
    timer.start();
    const pid_t pid = KbAudioBench::SpawnMeasured(
        strPeakPath, QStringList{strProgram} + args, strErrPath,
        {QStringLiteral("HOME=") + strHome,
         QStringLiteral("XDG_CONFIG_HOME=") + strHome + QStringLiteral("/.config"),
         QStringLiteral("PULSE_SERVER=") + strHome + QStringLiteral("/no-sound-server"),
         QStringLiteral("QT_QPA_PLATFORM=offscreen")});
    if (pid < 0)
    {
        run.strError = QStringLiteral("cannot start ") + strProgram;
        return run;
    }
    KbAudioBench::CTreeMemory memory(pid);
    for (;;)
    {
        const pid_t done = waitpid(pid, &run.nStatus, WNOHANG);
        if (done == pid || done < 0)
            break;
        memory.Sample();
        usleep(g_nSampleMs * 1000);
    }
    run.dSeconds = double(timer.nsecsElapsed()) / 1e9;
    run.nTreeKb = KbAudioBench::ReadPeak(strPeakPath);
    for (const auto& entry : memory.Processes())
    {
        if (entry.second.parent == pid)
            run.nMainKb = std::max(run.nMainKb, entry.second.nPeakKb);
        else
            run.helperPeaks.push_back(entry.second.nPeakKb);
    }
    run.nTogetherPeakKb = memory.TogetherPeakKb();
    return run;
}

QString ReadText(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    KbBench::SetIdentity();
    const int nKb = KbAudioBench::KbArgument(argc, argv);
    const QString strProgram =
        qEnvironmentVariable("KB_PROGRAM", QStringLiteral(KB_BIN_DIR "kestrivane-basic"));

    QTemporaryDir work;
    const QString strOurs = work.path() + QStringLiteral("/ours");
    const QString strPipeline = work.path() + QStringLiteral("/pipeline");
    const QStringList docs =
        KbAudioBench::WriteDocuments(work.path(),
                                     {QStringLiteral("a.txt"), QStringLiteral("b.txt"),
                                      QStringLiteral("c.txt"), QStringLiteral("d.txt")},
                                     nKb);
    if (!work.isValid() || docs.isEmpty() || !QDir().mkpath(strOurs) || !QDir().mkpath(strPipeline))
    {
        std::fprintf(stderr, "cannot write the documents into %s\n", qPrintable(work.path()));
        return 1;
    }
    qint64 nDocBytes = 0;
    for (const QString& strDoc : docs)
        nDocBytes += QFileInfo(strDoc).size();
    std::printf("documents: %lld, %lld bytes of prose in all\n", (long long)docs.size(),
                (long long)nDocBytes);
    std::printf("program: %s\n", qPrintable(strProgram));

    // What the command line takes without --lang and --voice in a fresh
    // home: the first voice of English (US), at the normal rate.
    QString strDescription;
    const QByteArray engineVoice =
        KbAudioBench::FirstVoiceOf(QStringLiteral("409"), &strDescription);
    if (engineVoice.isEmpty())
    {
        std::fprintf(stderr, "no voice for English (US)\n");
        return 1;
    }
    const QString strEspeakVoice = KbAudioBench::EspeakName(engineVoice);
    const int nWordsPerMinute = int(std::lround(CSpVoice::WordsPerMinute(0)));

    const QString strErrPath = work.path() + QStringLiteral("/ours-stderr.txt");
    const SOurRun ours = RunProgram(
        strProgram,
        QStringList{QStringLiteral("--save-audio"), QStringLiteral("--out"), strOurs} + docs,
        work.path() + QStringLiteral("/home"), strErrPath);
    const QString strErr = ReadText(strErrPath);
    if (!ours.strError.isEmpty())
    {
        std::fprintf(stderr, "%s\n", qPrintable(ours.strError));
        return 1;
    }
    if (!KbAudioBench::ExitedOk(ours.nStatus))
    {
        if (strErr.contains(QStringLiteral("unknown option"), Qt::CaseInsensitive) &&
            strErr.contains(QStringLiteral("save-audio")))
        {
            std::printf("skipped: --save-audio not available\n");
            return g_nSkipped;
        }
        std::fprintf(stderr, "the program failed (status %d):\n%s\n", ours.nStatus,
                     qPrintable(strErr));
        return 1;
    }
    qint64 nLargestWav = 0;
    qint64 nTotalWav = 0;
    for (const QString& strDoc : docs)
    {
        const QString strBase = strOurs + QLatin1Char('/') + QFileInfo(strDoc).completeBaseName();
        if (QFileInfo(strBase + QStringLiteral(".mp3")).size() <= 0)
        {
            std::fprintf(stderr, "no MP3 for %s in %s\n", qPrintable(strDoc), qPrintable(strOurs));
            return 1;
        }
        const qint64 nWav = QFileInfo(strBase + QStringLiteral(".wav")).size();
        nLargestWav = qMax(nLargestWav, nWav);
        nTotalWav += nWav;
    }

    std::printf("voice: %s, engine voice %s, %d words a minute\n", qPrintable(strDescription),
                engineVoice.constData(), nWordsPerMinute);
    std::printf("pipeline: espeak-ng -v %s -s %d -w out.wav -f FILE; lame -m m -b 64 --cbr "
                "out.wav out.mp3; %d documents at a time\n",
                qPrintable(strEspeakVoice), nWordsPerMinute, g_nPipelinesAtOnce);
    const KbAudioBench::SPipelineRun pipeline = KbAudioBench::RunPipelines(
        docs, strPipeline, strEspeakVoice, nWordsPerMinute, g_nPipelinesAtOnce);
    if (!pipeline.strError.isEmpty())
    {
        std::fprintf(stderr, "%s\n", qPrintable(pipeline.strError));
        return 1;
    }

    long nLargestHelper = 0;
    long nHelperSum = 0;
    for (long nPeak : ours.helperPeaks)
    {
        nLargestHelper = std::max(nLargestHelper, nPeak);
        nHelperSum += nPeak;
    }
    const double dRatio = pipeline.dSeconds / ours.dSeconds;
    std::printf("ours, --save-audio: %.2f s\n", ours.dSeconds);
    std::printf("pipeline, espeak-ng then lame: %.2f s\n", pipeline.dSeconds);
    std::printf("ratio pipeline / ours: %.3f (goal >= %.1f)\n", dRatio, g_dGoalRatio);
    if (nTotalWav > 0)
        std::printf("WAV size, ours: largest %.1f MB, all %.1f MB\n", KbAudioBench::Mb(nLargestWav),
                    KbAudioBench::Mb(nTotalWav));
    else
        std::printf("WAV size, ours: none kept\n");
    std::printf("peak RSS ours, main process (sampled every %d ms): %.1f MB\n", g_nSampleMs,
                KbAudioBench::KbToMb(ours.nMainKb));
    std::printf("peak RSS ours, helper processes (sampled): %zu, largest %.1f MB, their peaks "
                "summed %.1f MB\n",
                ours.helperPeaks.size(), KbAudioBench::KbToMb(nLargestHelper),
                KbAudioBench::KbToMb(nHelperSum));
    std::printf("peak RSS ours, largest of main and helpers (wait4): %.1f MB\n",
                KbAudioBench::KbToMb(ours.nTreeKb));
    std::printf("peak RSS ours, all processes at once (sampled): %.1f MB\n",
                KbAudioBench::KbToMb(ours.nTogetherPeakKb));
    std::printf("WAV size, pipeline: largest %.1f MB, all %.1f MB\n",
                KbAudioBench::Mb(pipeline.nLargestWav), KbAudioBench::Mb(pipeline.nTotalWav));
    std::printf("peak RSS pipeline, espeak-ng: %.1f MB\n",
                KbAudioBench::KbToMb(pipeline.nEspeakPeakKb));
    std::printf("peak RSS pipeline, lame: %.1f MB\n", KbAudioBench::KbToMb(pipeline.nLamePeakKb));
    std::printf("peak RSS pipeline, %d at once, at most: %.1f MB\n", g_nPipelinesAtOnce,
                KbAudioBench::KbToMb(pipeline.nGroupPeakKb));
    if (dRatio < g_dGoalRatio)
    {
        std::printf("goal missed\n");
        return 1;
    }
    std::printf("goal met\n");
    return 0;
}
