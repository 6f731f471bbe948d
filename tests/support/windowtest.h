#pragma once

// What the window tests share: each test function starts in a fresh home
// folder (no settings file yet) and ends by exiting the application object
// it made there.
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "speech/readingrules.h"
#include "widgets/buttonst.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

namespace KbTest
{
inline std::unique_ptr<QTemporaryDir> UseFreshHome()
{
    auto pHome = std::make_unique<QTemporaryDir>();
    qputenv("HOME", pHome->path().toUtf8());
    qunsetenv("XDG_CONFIG_HOME");
    return pHome;
}

inline void EndApp(std::unique_ptr<CSpeechApp>& pApp)
{
    if (pApp)
        pApp->ExitInstance();
    pApp.reset();
}

template <typename T> T* Item(const CSpeechDlg& dlg, int nId)
{
    return qobject_cast<T*>(dlg.GetDlgItem(nId));
}

// Calls the observer every few milliseconds while the window's reading
// command runs its own loop, and clicks Speak. A reading that hangs is ended
// by force after a minute and fails the test instead of stalling the run.
inline bool ReadWhile(CSpeechDlg& dlg, const std::function<void()>& fnObserve)
{
    QElapsedTimer deadline;
    deadline.start();
    bool bHung = false;
    QTimer observer;
    observer.setInterval(5);
    QObject::connect(&observer, &QTimer::timeout,
                     [&]()
                     {
                         if (!bHung && deadline.elapsed() > 60000)
                         {
                             bHung = true;
                             dlg.m_bBusy = false;
                             dlg.m_nGapTicks = CReadingRules::GAP_TICKS;
                             dlg.m_pVoice->Resume();
                             dlg.m_pVoice->Speak(QString(), SPF_PURGEBEFORESPEAK);
                         }
                         if (!bHung)
                             fnObserve();
                     });
    observer.start();
    Item<CButtonST>(dlg, IDC_BTN_SPEAK)->click();
    observer.stop();
    return !bHung;
}
} // namespace KbTest
