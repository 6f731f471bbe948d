// The window left open in Instant Speak mode for half an hour while the
// clipboard changes every second (texts of a few words up to 100 kB).
// Goals: memory no more than 10 MB above its first-minute value, no
// descriptor or thread left over, and a reading of a pasted text afterwards
// (on the sound server's null sink) with the selection and the clock still
// in step with the audio.
#include "longusebench.h"

#include <QClipboard>
#include <QRadioButton>

namespace
{
constexpr qint64 g_nIdleMs = 30 * 60 * 1000;
constexpr int g_nClipboardMs = 1000;
} // namespace

int main(int argc, char** argv)
{
    using namespace KbLongUse;
    KbBench::PrepareApplication();
    QApplication app(argc, argv);
    KbBench::SetIdentity();
    if (!ReadyToMeasure())
        return 1;
    const qint64 nIdleMs = ScaledMs(g_nIdleMs);

    CLongUseWindow window(true);
    if (!window.CameUp())
        return 1;
    KbBench::ClickRadio(window.Item<QRadioButton>(IDC_RADIO_INSTANT));
    QClipboard* pClipboard = QApplication::clipboard();
    // What a first reading and a first clipboard change set up once belongs
    // to the state before.
    window.Pane()->setPlainText(QStringLiteral("A short reading first."));
    window.Click(IDC_BTN_SPEAK);
    window.Click(IDC_BTN_EMPTY);
    pClipboard->setText(QStringLiteral("First."));
    QTest::qWait(2000);

    const QString strSource = KbBench::MakeProse(0, 128 * 1024);
    const qsizetype sizes[] = {12, 300, 2000, 40, 100 * 1024, 700, 9000, 25000};
    int nChanges = 0;
    QTimer clipboardTimer;
    clipboardTimer.setInterval(g_nClipboardMs);
    QObject::connect(&clipboardTimer, &QTimer::timeout, &clipboardTimer,
                     [&]()
                     {
                         const qsizetype nSize = sizes[nChanges % std::size(sizes)];
                         const qsizetype nFrom =
                             (qsizetype(nChanges) * 7919) % (strSource.size() - nSize);
                         pClipboard->setText(strSource.mid(nFrom, nSize));
                         ++nChanges;
                     });

    const SProcessState before = QuietState();
    CMemoryWatch memory;
    memory.Start();
    clipboardTimer.start();
    QTest::qWait(int(nIdleMs));
    clipboardTimer.stop();
    memory.Stop();
    const bool bPasteOffered = window.Item<QWidget>(IDC_BTN_PASTE)->isEnabled();
    const SProcessState after = QuietState();

    const QString strProbe = ProbeText();
    pClipboard->setText(strProbe);
    window.Click(IDC_BTN_PASTE);
    const bool bPasted = window.Pane()->toPlainText() == strProbe;
    const SProbe probe = ReadProbe(window);

    if (!bPasteOffered || !bPasted || CAudioLog::Get().HadNoDevice() ||
        !window.Messages().isEmpty())
    {
        std::fprintf(stderr, "Paste offered: %d, pasted: %d; no device: %d; messages: %d\n",
                     bPasteOffered, bPasted, CAudioLog::Get().HadNoDevice(),
                     int(window.Messages().size()));
        return 1;
    }
    CTable table(QStringLiteral("Idle window (Instant Speak) for %1 s, clipboard changed every "
                                "second, then a pasted text read (sound server's null sink)")
                     .arg(nIdleMs / 1000));
    AddResourceRows(table, memory, before, after);
    table.Add(QStringLiteral("clipboard changes"), QString::number(nChanges));
    AddStepRows(table, QStringLiteral("pasted text read after"), probe.gaps, probe.items,
                CReadingRules::ClockPeriodMs());
    table.Print();
    return table.AllMet() ? 0 : 1;
}
