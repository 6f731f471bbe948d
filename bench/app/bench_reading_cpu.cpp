// The share of one core the program takes while it reads a typed text aloud
// in Instant Speak mode (goal: under 3 %). The process figure covers the
// voice's threads and the window; the window's own thread is shown apart to
// tell which of the two costs.
#include "readingbench.h"

#include "res/resourceids.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>

namespace
{
constexpr double g_dGoalPercent = 3.0;
constexpr int g_nWordsPerMinute = 175;

double CpuSeconds(int nWho)
{
    rusage usage{};
    getrusage(nWho, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int SecondsArgument(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--seconds") == 0)
            return qMax(1, QByteArray(argv[i + 1]).toInt());
    return 60;
}

void TypeText(QPlainTextEdit* pEdit, const QString& strText)
{
    pEdit->setFocus();
    const QStringList lines = strText.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i)
    {
        if (i > 0)
            QTest::keyClick(pEdit, Qt::Key_Return);
        QTest::keyClicks(pEdit, lines[i]);
    }
}
} // namespace

int main(int argc, char** argv)
{
    KbBench::PrepareApplication();
    QApplication app(argc, argv);
    KbBench::SetIdentity();
    const int nSeconds = SecondsArgument(argc, argv);
    const QString strText = KbBench::MakeProse(qsizetype(nSeconds) * g_nWordsPerMinute / 60, 0);

    KbBench::CReadingWindow window;
    if (!window.CameUp())
        return 1;
    KbBench::ClickRadio(window.Item<QRadioButton>(IDC_RADIO_INSTANT));
    auto* pEdit = window.Item<QPlainTextEdit>(IDC_EDIT_TEXT);
    TypeText(pEdit, strText);
    QWidget* pSpeak = window.Item<QWidget>(IDC_BTN_SPEAK);
    if (pEdit->toPlainText() != strText || !pSpeak->isEnabled())
    {
        std::fprintf(stderr, "the typed text did not reach the pane\n");
        return 1;
    }
    // Counts the words the pane selected, to be sure the whole text was read.
    int nWordsSelected = 0;
    QObject::connect(pEdit, &QPlainTextEdit::selectionChanged, pEdit,
                     [&]()
                     {
                         if (pEdit->textCursor().hasSelection())
                             ++nWordsSelected;
                     });
    QTest::qWait(500);

    QElapsedTimer wall;
    const double dProcessStart = CpuSeconds(RUSAGE_SELF);
    const double dThreadStart = CpuSeconds(RUSAGE_THREAD);
    wall.start();
    // Returns once the reading has ended.
    QTest::mouseClick(pSpeak, Qt::LeftButton);
    const double dWallSeconds = double(wall.nsecsElapsed()) / 1e9;
    const double dProcessSeconds = CpuSeconds(RUSAGE_SELF) - dProcessStart;
    const double dThreadSeconds = CpuSeconds(RUSAGE_THREAD) - dThreadStart;

    const qsizetype nWords = strText.split(QRegularExpression(QStringLiteral("\\s+"))).size();
    const double dShare = 100.0 * dProcessSeconds / dWallSeconds;
    const double dThreadShare = 100.0 * dThreadSeconds / dWallSeconds;
    std::printf("text: %lld words, %lld characters, typed into the pane\n", (long long)nWords,
                (long long)strText.size());
    std::printf("reading: %.2f s wall, %d word selections\n", dWallSeconds, nWordsSelected);
    std::printf("CPU time, whole process: %.3f s (user + system)\n", dProcessSeconds);
    std::printf("CPU time, window thread: %.3f s\n", dThreadSeconds);
    std::printf("share of one core, whole process: %.2f %% (goal < %.0f %%)\n", dShare,
                g_dGoalPercent);
    std::printf("share of one core, window thread: %.2f %%\n", dThreadShare);
    std::printf("share of one core, other threads (voice): %.2f %%\n", dShare - dThreadShare);

    if (nWordsSelected < nWords / 2 || dWallSeconds < nSeconds / 2.0)
    {
        std::fprintf(stderr, "the reading ended early\n");
        return 1;
    }
    if (dShare >= g_dGoalPercent)
    {
        std::printf("goal missed\n");
        return 1;
    }
    std::printf("goal met\n");
    return 0;
}
