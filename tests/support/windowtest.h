#pragma once

// What the window tests share: each test function starts in a fresh home
// folder (no settings file yet) and ends by exiting the application object
// it made there.
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "speech/readingrules.h"
#include "widgets/buttonst.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMimeData>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
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

// One test function's surroundings: a fresh home, every message box noted
// instead of shown, and the application the test makes ended afterwards.
class CTestHome
{
public:
    CTestHome() : m_pHome(UseFreshHome())
    {
        CMessageBox::SetHook([this](const QString& strText, const QString&, unsigned)
                             { m_messages.append(strText); });
    }
    ~CTestHome()
    {
        EndApp(m_pApp);
        CMessageBox::SetHook(nullptr);
    }
    CTestHome(const CTestHome&) = delete;
    CTestHome& operator=(const CTestHome&) = delete;

    std::unique_ptr<QTemporaryDir> m_pHome;
    std::unique_ptr<CSpeechApp> m_pApp;
    QStringList m_messages;
};

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

// What a file manager's drag over the file list and its drop report back.
struct SDropResult
{
    bool bEnterAccepted;
    bool bDropAccepted;
};

inline SDropResult DropOnList(CSpeechDlg& dlg, const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& strPath : paths)
        urls << QUrl::fromLocalFile(strPath);
    QMimeData data;
    data.setUrls(urls);
    QWidget* pViewport = Item<QListWidget>(dlg, IDC_LIST_FILES)->viewport();
    const QPoint point(10, 10);
    QDragEnterEvent enter(point, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                          Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pViewport, &enter);
    QDropEvent drop(QPointF(point), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pViewport, &drop);
    return {enter.isAccepted(), drop.isAccepted()};
}
} // namespace KbTest
