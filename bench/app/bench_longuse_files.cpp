// A file-mode reading of twenty small documents of every type the program
// reads, heard on the sound server's null sink, with a clock of 100 ms
// ticks (the pause between documents is counted in ticks, so it is 0.4 s
// instead of 4 s; every document is still read at the voice's own pace).
// Goals: memory no more than 10 MB above its first-minute value, no
// descriptor or thread left over, the selection with the audio in the last
// minute and every document's clock with its audio.
#include "longusebench.h"

namespace
{
constexpr int g_nDocuments = 20;
// As long as the office documents.
constexpr int g_nProseWords = 35;
constexpr qint64 g_nLastMinuteNs = 60LL * 1000 * 1000 * 1000;
} // namespace

int main(int argc, char** argv)
{
    using namespace KbLongUse;
    KbBench::PrepareApplication();
    qputenv("KB_CLOCK_MS", "100");
    QApplication app(argc, argv);
    KbBench::SetIdentity();
    if (!ReadyToMeasure())
        return 1;

    QTemporaryDir folder;
    QStringList docs = RealDocuments(folder.path(), g_nProseWords);
    if (docs.size() < g_nDocuments)
    {
        std::fprintf(stderr, "cannot find or write the documents\n");
        return 1;
    }
    docs = docs.mid(0, ScaledCount(g_nDocuments));
    const QString strWarmUp = folder.filePath(QStringLiteral("warm up.txt"));
    KbTest::WriteFile(strWarmUp, "A short reading first.");

    CLongUseWindow window(true);
    if (!window.CameUp())
        return 1;
    // What a first reading sets up once (the sound server's connection)
    // belongs to the state before.
    window.Dlg().AddSourceFiles({strWarmUp});
    window.Click(IDC_BTN_SPEAK);
    window.Click(IDC_BTN_RESET);
    QTest::qWait(2000);

    const SProcessState before = QuietState();
    CSelectionWatch selections(window.Pane());
    CClockWatch clock(window.Dlg());
    CMemoryWatch memory;
    memory.Start();
    window.Dlg().AddSourceFiles(docs);
    clock.Start();
    // Returns once the last document has been read.
    window.Click(IDC_BTN_SPEAK);
    clock.Stop();
    const qint64 nEndNs = NowNs();
    memory.Stop();
    const SProcessState after = QuietState();

    const std::vector<CClockWatch::SItem> items = clock.Items();
    if (CAudioLog::Get().HadNoDevice() || !window.Messages().isEmpty() ||
        int(items.size()) != docs.size())
    {
        std::fprintf(stderr, "%d of %d documents read; no device: %d; messages: %d\n",
                     int(items.size()), int(docs.size()), CAudioLog::Get().HadNoDevice(),
                     int(window.Messages().size()));
        return 1;
    }
    CTable table(QStringLiteral("File mode: %1 documents read one after another, 100 ms clock "
                                "(sound server's null sink)")
                     .arg(docs.size()));
    AddResourceRows(table, memory, before, after);
    AddStepRows(table, QStringLiteral("last minute"),
                MeasureGaps(selections, nEndNs - g_nLastMinuteNs), items,
                CReadingRules::ClockPeriodMs());
    QStringList names;
    for (const QString& strDoc : qAsConst(docs))
        names.append(QFileInfo(strDoc).fileName());
    AddItemNotes(table, items, names, CReadingRules::ClockPeriodMs());
    table.Add(QStringLiteral("words selected in all"),
              QString::number(selections.Selections().size()));
    table.Print();
    return table.AllMet() ? 0 : 1;
}
