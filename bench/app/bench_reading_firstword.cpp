// Time from a click on Speak to the first word selected in the text pane
// for a 10 MB text (goal: under 200 ms), in Instant Speak mode with the text
// already in the pane, and in file mode, where the time also covers reading
// the file and filling the pane with it.
#include "readingbench.h"

#include "res/resourceids.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
constexpr double g_dGoalMs = 200.0;
constexpr int g_nRuns = 5;
constexpr qsizetype g_nTextChars = 10 * 1024 * 1024;
// Long enough for any first word; a reading that shows none is stopped.
constexpr int g_nGiveUpMs = 60000;

struct SFirstWord
{
    double dMs = -1;
    QString strWord;
    int nStart = -1;
    // File mode: when the pane took the file's text and when the voice began
    // and ended the name.
    double dFilledMs = -1;
    double dNameStartMs = -1;
    double dNameEndMs = -1;
};

// The selection is watched from inside the reading's own loop, since the
// click returns only when the reading has ended; Stop ends it at once.
SFirstWord TimeFirstWord(KbBench::CReadingWindow& window, bool bStages)
{
    auto* pEdit = window.Item<QPlainTextEdit>(IDC_EDIT_TEXT);
    QWidget* pSpeak = window.Item<QWidget>(IDC_BTN_SPEAK);
    QWidget* pStop = window.Item<QWidget>(IDC_BTN_STOP);
    // The previous reading leaves a word or the whole text selected.
    pEdit->moveCursor(QTextCursor::Start);

    SFirstWord first;
    QElapsedTimer clock;
    bool bWatching = true;
    auto stopReading = [pStop]() { QTest::mouseClick(pStop, Qt::LeftButton); };
    const QMetaObject::Connection watch =
        QObject::connect(pEdit, &QPlainTextEdit::selectionChanged, pEdit,
                         [&]()
                         {
                             const QTextCursor cursor = pEdit->textCursor();
                             if (!bWatching || !cursor.hasSelection())
                                 return;
                             bWatching = false;
                             first.dMs = double(clock.nsecsElapsed()) / 1e6;
                             first.strWord = cursor.selectedText();
                             first.nStart = cursor.selectionStart();
                             QTimer::singleShot(0, pStop, stopReading);
                         });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, pStop,
                     [&]()
                     {
                         if (!bWatching)
                             return;
                         bWatching = false;
                         stopReading();
                     });
    giveUp.start(g_nGiveUpMs);

    CSpeechDlg& dlg = window.Dlg();
    const QMetaObject::Connection filled =
        QObject::connect(pEdit, &QPlainTextEdit::textChanged, pEdit,
                         [&]()
                         {
                             if (bStages && !pEdit->document()->isEmpty())
                                 first.dFilledMs = double(clock.nsecsElapsed()) / 1e6;
                         });
    QTimer stages;
    stages.setTimerType(Qt::PreciseTimer);
    QObject::connect(&stages, &QTimer::timeout, pEdit,
                     [&]()
                     {
                         const double dNowMs = double(clock.nsecsElapsed()) / 1e6;
                         if (first.dNameStartMs < 0 && dlg.m_bStreamStarted)
                             first.dNameStartMs = dNowMs;
                         else if (first.dNameStartMs >= 0 && first.dNameEndMs < 0 &&
                                  !dlg.m_bStreamStarted)
                             first.dNameEndMs = dNowMs;
                     });
    if (bStages)
        stages.start(1);

    if (!pSpeak->isEnabled())
        return first;
    clock.start();
    QTest::mouseClick(pSpeak, Qt::LeftButton);
    QObject::disconnect(watch);
    QObject::disconnect(filled);
    stages.stop();
    // The stopped voice's last notices arrive after the click has returned.
    QTest::qWait(500);
    return first;
}

// Prints the runs, their median and largest; false when a run showed no
// first word or not the text's own first word.
bool Report(const char* pszMode, const char* pszGoal, const std::vector<SFirstWord>& runs,
            const QString& strFirstWord, double& dMaxMs)
{
    std::vector<double> times;
    bool bOk = true;
    for (size_t i = 0; i < runs.size(); ++i)
    {
        const SFirstWord& run = runs[i];
        const bool bRight = run.dMs >= 0 && run.nStart == 0 && run.strWord == strFirstWord;
        std::printf("%s run %zu: %.1f ms, first selection \"%s\" at %d%s\n", pszMode, i + 1,
                    run.dMs, qPrintable(run.strWord), run.nStart,
                    bRight ? "" : "  (not the text's first word)");
        if (run.dFilledMs >= 0)
            std::printf("    file read and pane filled at %.1f ms, name heard from %.1f to %.1f ms "
                        "(%.1f ms), first word of the text %.1f ms after the name\n",
                        run.dFilledMs, run.dNameStartMs, run.dNameEndMs,
                        run.dNameEndMs - run.dNameStartMs, run.dMs - run.dNameEndMs);
        bOk = bOk && bRight;
        times.push_back(run.dMs);
    }
    std::sort(times.begin(), times.end());
    dMaxMs = times.back();
    std::printf("%s: median %.1f ms, max %.1f ms %s\n", pszMode, times[times.size() / 2], dMaxMs,
                pszGoal);
    return bOk;
}
} // namespace

int main(int argc, char** argv)
{
    KbBench::PrepareApplication();
    QApplication app(argc, argv);
    KbBench::SetIdentity();
    const QString strText = KbBench::MakeProse(0, g_nTextChars);
    const QString strFirstWord = strText.left(strText.indexOf(QLatin1Char(' ')));

    QTemporaryDir dir;
    const QString strPath = dir.filePath(QStringLiteral("reading.txt"));
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(strText.toUtf8()) < 0)
        return 1;
    file.close();

    KbBench::CReadingWindow window;
    if (!window.CameUp())
        return 1;
    auto* pEdit = window.Item<QPlainTextEdit>(IDC_EDIT_TEXT);
    std::printf("text: %lld characters in %lld lines (%.1f MB as UTF-8)\n",
                (long long)strText.size(), (long long)strText.count(QLatin1Char('\n')) + 1,
                double(strText.size()) / 1048576.0);

    KbBench::ClickRadio(window.Item<QRadioButton>(IDC_RADIO_INSTANT));
    QElapsedTimer fill;
    fill.start();
    pEdit->setPlainText(strText);
    std::printf("instant: putting the text in the pane took %.0f ms (not timed below)\n",
                double(fill.nsecsElapsed()) / 1e6);
    QTest::qWait(1000);
    std::vector<SFirstWord> instantRuns;
    for (int i = 0; i < g_nRuns; ++i)
        instantRuns.push_back(TimeFirstWord(window, false));

    KbBench::ClickRadio(window.Item<QRadioButton>(IDC_RADIO_FILE));
    fill.restart();
    QString strExtracted;
    window.Dlg().GetTextFromFile(strPath, strExtracted);
    std::printf("file: reading the file alone takes %.0f ms (%lld characters)\n",
                double(fill.nsecsElapsed()) / 1e6, (long long)strExtracted.size());
    fill.restart();
    window.Dlg().AddSourceFiles({strPath});
    std::printf("file: listing the file (which shows it in the pane) took %.0f ms (not timed "
                "below)\n",
                double(fill.nsecsElapsed()) / 1e6);
    QTest::qWait(1000);
    std::vector<SFirstWord> fileRuns;
    for (int i = 0; i < g_nRuns; ++i)
        fileRuns.push_back(TimeFirstWord(window, true));

    const QByteArray goal = QByteArray("(goal < ") + QByteArray::number(g_dGoalMs) + " ms)";
    double dInstantMaxMs = 0;
    double dFileMaxMs = 0;
    const bool bInstantOk =
        Report("instant", goal.constData(), instantRuns, strFirstWord, dInstantMaxMs);
    const bool bFileOk =
        Report("file", "(reading the file, filling the pane and saying its name included)",
               fileRuns, strFirstWord, dFileMaxMs);
    if (!bInstantOk || !bFileOk)
    {
        std::fprintf(stderr, "a reading did not select the text's first word\n");
        return 1;
    }
    // Every click counts for the user, so the slowest run decides.
    const bool bMet = dInstantMaxMs < g_dGoalMs;
    std::printf("instant mode: %s\n", bMet ? "goal met" : "goal missed");
    return bMet ? 0 : 1;
}
