// An Instant Speak reading of a 10 MB text left to run for ten minutes and
// then stopped, heard on the sound server's null sink. Goals: memory no more
// than 10 MB above its first-minute value, no descriptor or thread left
// over, and in the last minute the selection and the clock still with the
// audio.
#include "longusebench.h"

#include <QRadioButton>

namespace
{
constexpr qint64 g_nReadingMs = 10 * 60 * 1000;
constexpr qsizetype g_nTextChars = 10 * 1024 * 1024;
constexpr qint64 g_nLastMinuteNs = 60LL * 1000 * 1000 * 1000;
} // namespace

int main(int argc, char** argv)
{
    using namespace KbLongUse;
    KbBench::PrepareApplication();
    QApplication app(argc, argv);
    KbBench::SetIdentity();
    if (!ReadyToMeasure())
        return 1;
    const qint64 nReadingMs = ScaledMs(g_nReadingMs);

    CLongUseWindow window(true);
    if (!window.CameUp())
        return 1;
    KbBench::ClickRadio(window.Item<QRadioButton>(IDC_RADIO_INSTANT));
    QPlainTextEdit* pPane = window.Pane();
    // What a first reading sets up once (the sound server's connection)
    // belongs to the state before.
    pPane->setPlainText(QStringLiteral("A short reading first."));
    window.Click(IDC_BTN_SPEAK);
    const QString strText = KbBench::MakeProse(0, g_nTextChars);
    pPane->setPlainText(strText);
    QTest::qWait(2000);

    const SProcessState before = QuietState();
    CSelectionWatch selections(pPane);
    CClockWatch clock(window.Dlg());
    CMemoryWatch memory;
    qint64 nStopNs = 0;
    QTimer::singleShot(nReadingMs, pPane,
                       [&]()
                       {
                           nStopNs = NowNs();
                           window.Click(IDC_BTN_STOP);
                       });
    memory.Start();
    clock.Start();
    // Returns once the reading has been stopped.
    window.Click(IDC_BTN_SPEAK);
    clock.Stop();
    memory.Stop();
    const SProcessState after = QuietState();

    if (nStopNs == 0 || CAudioLog::Get().HadNoDevice() || !window.Messages().isEmpty())
    {
        std::fprintf(stderr, "the reading ended before Stop, found no device or showed a "
                             "message\n");
        return 1;
    }
    const int nClockMs = CReadingRules::ClockPeriodMs();
    CTable table(QStringLiteral("Instant Speak: a %1 MB text read for %2 s, then Stop "
                                "(sound server's null sink)")
                     .arg(double(strText.size()) / 1048576.0, 0, 'f', 1)
                     .arg(nReadingMs / 1000));
    AddResourceRows(table, memory, before, after);
    AddStepRows(table, QStringLiteral("last minute"),
                MeasureGaps(selections, nStopNs - g_nLastMinuteNs), clock.Items(), nClockMs);
    table.Add(QStringLiteral("words selected in all"),
              QString::number(selections.Selections().size()));
    table.Print();
    return table.AllMet() ? 0 : 1;
}
