#pragma once

// What the window tests share: each test function starts in a fresh home
// folder (no settings file yet) and ends by exiting the application object
// it made there.
#include "app/speechapp.h"
#include "app/speechdlg.h"

#include <QTemporaryDir>
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
} // namespace KbTest
