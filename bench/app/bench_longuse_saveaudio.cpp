// Save as Audio of fifty small documents of every type the program reads,
// each named after its document in the settings' folder ([Audio]
// SaveType=1). Goals: memory no more than 10 MB above its first-minute
// value, no descriptor or thread left over, and a reading after the batch
// (on the sound server's null sink) with the selection and the clock still
// in step with the audio.
#include "longusebench.h"

#include "res/stringtable.h"
#include "widgets/pphtmlstatic.h"

namespace
{
constexpr int g_nDocuments = 50;
// Chapters of half an hour each among the small office documents, so that
// the batch runs well past its first minute.
constexpr int g_nProseWords = 6000;
} // namespace

int main(int argc, char** argv)
{
    using namespace KbLongUse;
    KbBench::PrepareApplication();
    QApplication app(argc, argv);
    KbBench::SetIdentity();
    if (!ReadyToMeasure())
        return 1;

    QTemporaryDir folder;
    const QString strOut = folder.filePath(QStringLiteral("audio/"));
    const QString strBatch = folder.filePath(QStringLiteral("batch"));
    const QStringList real = RealDocuments(folder.path(), g_nProseWords);
    if (real.isEmpty() || !QDir().mkpath(strOut) || !QDir().mkpath(strBatch))
    {
        std::fprintf(stderr, "cannot find or write the documents\n");
        return 1;
    }
    // Copies under names of their own: each document's audio files are
    // named after it.
    QStringList docs;
    const int nDocuments = ScaledCount(g_nDocuments);
    for (int i = 0; i < nDocuments; ++i)
    {
        const QString strSource = real[i % real.size()];
        const QString strCopy = strBatch + QStringLiteral("/%1 %2")
                                               .arg(i + 1, 2, 10, QLatin1Char('0'))
                                               .arg(QFileInfo(strSource).fileName());
        if (!QFile::copy(strSource, strCopy))
        {
            std::fprintf(stderr, "cannot copy %s\n", qPrintable(strSource));
            return 1;
        }
        docs.append(strCopy);
    }
    const QString strWarmUp = folder.filePath(QStringLiteral("warm up.txt"));
    const QString strProbe = folder.filePath(QStringLiteral("after the batch.txt"));
    KbTest::WriteFile(strWarmUp, "A short reading first.");
    KbTest::WriteFile(strProbe, ProbeText().toUtf8());

    CLongUseWindow window(true,
                          QStringLiteral("[Audio]\r\nSaveType=1\r\nSavePath=%1\r\n").arg(strOut));
    if (!window.CameUp())
        return 1;
    // What a first reading and a first batch set up once belongs to the
    // state before.
    window.Dlg().AddSourceFiles({strWarmUp});
    window.Click(IDC_BTN_SPEAK);
    window.Click(IDC_BTN_SAVEAUDIO);
    window.Click(IDC_BTN_RESET);
    QTest::qWait(2000);

    const SProcessState before = QuietState();
    CMemoryWatch memory(2000);
    memory.Start();
    window.Dlg().AddSourceFiles(docs);
    // Returns once the batch has ended.
    window.Click(IDC_BTN_SAVEAUDIO);
    memory.Stop();
    const QString strStatus = window.Item<CPPHtmlStatic>(IDC_STATIC_STATUS)->GetWindowText();
    const SProcessState after = QuietState();

    int nMade = 0;
    qint64 nWavBytes = 0;
    qint64 nMp3Bytes = 0;
    for (const QString& strDoc : qAsConst(docs))
    {
        const QString strBase =
            strOut + QFileInfo(strDoc).fileName().section(QLatin1Char('.'), 0, 0);
        const qint64 nWav = QFileInfo(strBase + QStringLiteral(".wav")).size();
        const qint64 nMp3 = QFileInfo(strBase + QStringLiteral(".mp3")).size();
        if (nWav > 44 && nMp3 > 0)
            ++nMade;
        nWavBytes += nWav;
        nMp3Bytes += nMp3;
    }
    window.Click(IDC_BTN_RESET);
    window.Dlg().AddSourceFiles({strProbe});
    const SProbe probe = ReadProbe(window);

    if (strStatus != CStringTable::Get(IDS_AUDIO_FINISHED) || nMade != docs.size() ||
        CAudioLog::Get().HadNoDevice() || !window.Messages().isEmpty())
    {
        std::fprintf(stderr,
                     "batch: \"%s\", %d of %d documents made; no device: %d; "
                     "messages: %d\n",
                     qPrintable(strStatus), nMade, int(docs.size()), CAudioLog::Get().HadNoDevice(),
                     int(window.Messages().size()));
        return 1;
    }
    CTable table(QStringLiteral("Save as Audio: a batch of %1 documents into WAV and MP3 "
                                "(SaveType=1), then a reading (sound server's null sink)")
                     .arg(docs.size()));
    AddResourceRows(table, memory, before, after);
    table.Add(QStringLiteral("documents made (WAV and MP3)"),
              QStringLiteral("%1 of %2").arg(nMade).arg(docs.size()));
    table.Add(QStringLiteral("WAV and MP3 written"),
              QStringLiteral("%1 MB (%2 min of speech) and %3 MB")
                  .arg(double(nWavBytes) / 1048576.0, 0, 'f', 1)
                  .arg(double(nWavBytes) / 44100.0 / 60.0, 0, 'f', 1)
                  .arg(double(nMp3Bytes) / 1048576.0, 0, 'f', 1));
    AddStepRows(table, QStringLiteral("reading after the batch"), probe.gaps, probe.items,
                CReadingRules::ClockPeriodMs());
    table.Print();
    return table.AllMet() ? 0 : 1;
}
