// Cost of one paint of the progress bar and of the clock at their sizes in
// the main window, and the heap allocations each paint makes. The window
// moves the bar once per spoken word and changes the clock once a second.
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "widgets/digistatic.h"
#include "widgets/textprogressctrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> g_nAllocations{0};

struct SResult
{
    double dMicroseconds;
    double dAllocations;
};

template <typename Paint> SResult Measure(int nRounds, Paint paint)
{
    for (int i = 0; i < 50; ++i)
        paint(i);
    const long nBefore = g_nAllocations.load();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < nRounds; ++i)
        paint(i);
    const double dNs = double(timer.nsecsElapsed());
    return {dNs / nRounds / 1000.0, double(g_nAllocations.load() - nBefore) / nRounds};
}
} // namespace

void* operator new(std::size_t nSize)
{
    ++g_nAllocations;
    if (void* p = std::malloc(nSize ? nSize : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    QApplication application(argc, argv);
    CSpeechApp app(QStringLiteral(KB_BIN_DIR));
    app.InitSettings();
    CSpeechDlg dlg;
    dlg.show();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();

    auto* pProgress = qobject_cast<CTextProgressCtrl*>(dlg.GetDlgItem(IDC_PROGRESS));
    auto* pClock = qobject_cast<CDigiStatic*>(dlg.GetDlgItem(IDC_TIME_DISPLAY));
    pProgress->show();
    pClock->show();
    QCoreApplication::processEvents();
    std::printf("window %dx%d, progress bar %dx%d, clock %dx%d\n", dlg.width(), dlg.height(),
                pProgress->width(), pProgress->height(), pClock->width(), pClock->height());

    const int nRounds = 3000;
    // SetPos repaints at once, as a word event does.
    const SResult bar = Measure(nRounds, [&](int i) { pProgress->SetPos(i % 101); });
    QImage barImage(pProgress->size(), QImage::Format_ARGB32_Premultiplied);
    pProgress->SetPos(42);
    const SResult barRender = Measure(nRounds, [&](int) { pProgress->Render(barImage); });

    const QString times[2] = {QStringLiteral("00:12:34"), QStringLiteral("00:12:35")};
    const SResult clock = Measure(nRounds,
                                  [&](int i)
                                  {
                                      pClock->SetText(times[i & 1]);
                                      pClock->repaint();
                                  });
    QImage clockImage(pClock->size(), QImage::Format_RGB32);
    const SResult clockRender = Measure(nRounds, [&](int) { pClock->Render(clockImage); });

    std::printf("progress bar paint (SetPos, on screen): %8.1f us, %5.1f allocations\n",
                bar.dMicroseconds, bar.dAllocations);
    std::printf("progress bar render into image:         %8.1f us, %5.1f allocations\n",
                barRender.dMicroseconds, barRender.dAllocations);
    std::printf("clock paint (SetText, on screen):       %8.1f us, %5.1f allocations\n",
                clock.dMicroseconds, clock.dAllocations);
    std::printf("clock render into image:                %8.1f us, %5.1f allocations\n",
                clockRender.dMicroseconds, clockRender.dAllocations);
    app.ExitInstance();
    return 0;
}
