// Save as Audio in the window (one prose document, folder rule: a WAV
// through the voice, then an MP3 beside it) against espeak-ng followed by
// lame on the same text, voice and rate. Goal: pipeline time / our time at
// least 1.0. The WAV never has to fit in memory, so our peak is printed
// beside its size.
#include "audiobench.h"

#include "res/resourceids.h"
#include "res/stringtable.h"
#include "tests/support/testfiles.h"
#include "widgets/pphtmlstatic.h"

#include <QComboBox>
#include <QListWidget>

namespace
{
constexpr double g_dGoalRatio = 1.0;

QString Status(const CSpeechDlg& dlg)
{
    return KbTest::Item<CPPHtmlStatic>(dlg, IDC_STATIC_STATUS)->GetWindowText();
}

struct SOurRun
{
    double dSeconds = 0;
    long nPeakKb = -1;
    long nBeforeKb = -1;
    bool bPeakSinceStart = false;
    qint64 nWav = 0;
    qint64 nMp3 = 0;
    QString strVoice;
    QString strEspeakVoice;
    int nWordsPerMinute = 0;
    QString strError;
};

// The program as the user starts it, with settings that send every audio
// file into strOut without asking; the batch from the click to its end.
SOurRun RunWindow(const QString& strDoc, const QString& strOut)
{
    SOurRun run;
    const std::unique_ptr<QTemporaryDir> pHome = KbTest::UseFreshHome();
    KbTest::WriteFile(
        pHome->path() + QStringLiteral("/.config/Kestrivane/Kestrivane Basic/Application.ini"),
        KbTest::Utf16(QStringLiteral("[Audio]\r\nSaveType=1\r\nSavePath=%1\r\n").arg(strOut)));
    CSpAudioSink::SetFactory([]() { return std::make_unique<CSpSilentAudioSink>(); });
    QStringList messages;
    CMessageBox::SetHook([&messages](const QString& strText, const QString&, unsigned)
                         { messages.append(strText); });
    auto pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
    pApp->InitSettings();
    {
        CSpeechDlg dlg;
        dlg.show();
        if (!QTest::qWaitForWindowExposed(&dlg, 10000) || !dlg.m_pVoice)
            run.strError = QStringLiteral("the main window or its voice did not come up");
        dlg.AddSourceFiles({strDoc});
        // What the click applies first, asked beforehand to name the voice.
        if (run.strError.isEmpty() && (!dlg.ApplySelectedVoice() || !dlg.m_pVoiceToken))
            run.strError = QStringLiteral("the window has no voice selected");
        if (run.strError.isEmpty())
        {
            const QListWidgetItem* pItem =
                KbTest::Item<QListWidget>(dlg, IDC_LIST_VOICES)->currentItem();
            const QByteArray engineVoice = dlg.m_pVoiceToken->GetEngineVoice();
            run.strVoice =
                QStringLiteral("%1, %2, engine voice %3")
                    .arg(KbTest::Item<QComboBox>(dlg, IDC_COMBO_LANGUAGE)->currentText(),
                         pItem ? pItem->text() : QString(), QString::fromLatin1(engineVoice));
            run.strEspeakVoice = KbAudioBench::EspeakName(engineVoice);
            long nRate = 0;
            dlg.m_pVoice->GetRate(&nRate);
            run.nWordsPerMinute = int(std::lround(CSpVoice::WordsPerMinute(nRate)));
            QTest::qWait(200);

            run.nBeforeKb = KbAudioBench::StatusKb(QStringLiteral("self"), "VmRSS");
            run.bPeakSinceStart = !KbAudioBench::ResetOwnPeak();
            QElapsedTimer timer;
            timer.start();
            // Returns once the batch has ended.
            QTest::mouseClick(KbTest::Item<QWidget>(dlg, IDC_BTN_SAVEAUDIO), Qt::LeftButton);
            run.dSeconds = double(timer.nsecsElapsed()) / 1e9;
            run.nPeakKb = KbAudioBench::StatusKb(QStringLiteral("self"), "VmHWM");
            if (Status(dlg) != CStringTable::Get(IDS_AUDIO_FINISHED))
                run.strError = QStringLiteral("the batch did not finish: ") + Status(dlg);
        }
        dlg.close();
    }
    KbTest::EndApp(pApp);
    CMessageBox::SetHook(nullptr);
    CSpAudioSink::SetFactory(nullptr);
    const QString strBase = strOut + QFileInfo(strDoc).completeBaseName();
    run.nWav = QFileInfo(strBase + QStringLiteral(".wav")).size();
    run.nMp3 = QFileInfo(strBase + QStringLiteral(".mp3")).size();
    if (run.strError.isEmpty() && (run.nWav <= 0 || run.nMp3 <= 0))
        run.strError = QStringLiteral("no WAV or no MP3 in ") + strOut;
    for (const QString& strMessage : qAsConst(messages))
        std::fprintf(stderr, "message: %s\n", qPrintable(strMessage));
    if (run.strError.isEmpty() && !messages.isEmpty())
        run.strError = QStringLiteral("the window showed a message");
    return run;
}
} // namespace

int main(int argc, char** argv)
{
    KbBench::PrepareApplication();
    QApplication app(argc, argv);
    KbBench::SetIdentity();
    const int nKb = KbAudioBench::KbArgument(argc, argv);

    QTemporaryDir work;
    const QString strOurs = work.path() + QStringLiteral("/ours/");
    const QString strPipeline = work.path() + QStringLiteral("/pipeline");
    const QStringList docs =
        KbAudioBench::WriteDocuments(work.path(), {QStringLiteral("prose.txt")}, nKb);
    if (!work.isValid() || docs.isEmpty() || !QDir().mkpath(strOurs) || !QDir().mkpath(strPipeline))
    {
        std::fprintf(stderr, "cannot write the document into %s\n", qPrintable(work.path()));
        return 1;
    }
    std::printf("document: %lld bytes of prose\n", (long long)QFileInfo(docs.first()).size());

    const SOurRun ours = RunWindow(docs.first(), strOurs);
    if (!ours.strError.isEmpty())
    {
        std::fprintf(stderr, "%s\n", qPrintable(ours.strError));
        return 1;
    }
    std::printf("voice: %s, %d words a minute\n", qPrintable(ours.strVoice), ours.nWordsPerMinute);
    std::printf("pipeline: espeak-ng -v %s -s %d -w out.wav -f FILE; lame -m m -b 64 --cbr "
                "out.wav out.mp3\n",
                qPrintable(ours.strEspeakVoice), ours.nWordsPerMinute);

    const KbAudioBench::SPipelineRun pipeline =
        KbAudioBench::RunPipelines(docs, strPipeline, ours.strEspeakVoice, ours.nWordsPerMinute, 1);
    if (!pipeline.strError.isEmpty())
    {
        std::fprintf(stderr, "%s\n", qPrintable(pipeline.strError));
        return 1;
    }

    const double dRatio = pipeline.dSeconds / ours.dSeconds;
    std::printf("ours, Save as Audio in the window: %.2f s\n", ours.dSeconds);
    std::printf("pipeline, espeak-ng then lame: %.2f s\n", pipeline.dSeconds);
    std::printf("ratio pipeline / ours: %.3f (goal >= %.1f)\n", dRatio, g_dGoalRatio);
    std::printf("WAV size, ours: %.1f MB; MP3 size: %.1f MB\n", KbAudioBench::Mb(ours.nWav),
                KbAudioBench::Mb(ours.nMp3));
    std::printf("peak RSS ours, %s: %.1f MB (%.1f MB before the click)\n",
                ours.bPeakSinceStart ? "since the start" : "during the batch",
                KbAudioBench::KbToMb(ours.nPeakKb), KbAudioBench::KbToMb(ours.nBeforeKb));
    std::printf("WAV size, pipeline: %.1f MB\n", KbAudioBench::Mb(pipeline.nLargestWav));
    std::printf("peak RSS pipeline, espeak-ng: %.1f MB\n",
                KbAudioBench::KbToMb(pipeline.nEspeakPeakKb));
    std::printf("peak RSS pipeline, lame: %.1f MB\n", KbAudioBench::KbToMb(pipeline.nLamePeakKb));
    if (dRatio < g_dGoalRatio)
    {
        std::printf("goal missed\n");
        return 1;
    }
    std::printf("goal met\n");
    return 0;
}
