// What the kill test kills: the program's own code doing one of its writes,
// over and over or once, until a SIGKILL ends it at a moment of the test's
// choosing.
//   kb_killtarget settings INI KEYS   saves the settings again and again,
//                                     every key "A..." then every key "B..."
//   kb_killtarget window FILE...      the window, started with the documents
//                                     as on the command line, runs Save as
//                                     Audio once and prints its status text
#include "app/settingsstore.h"
#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "widgets/buttonst.h"
#include "widgets/pphtmlstatic.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

namespace
{
int SaveSettingsForever(const QString& strIni, int nKeys)
{
    for (bool bA = true;; bA = !bA)
    {
        CSettingsStore store;
        for (int i = 0; i < nKeys; ++i)
            store.SetValue(QStringLiteral("Misc"), QStringLiteral("Key%1").arg(i),
                           QString(40, QLatin1Char(bA ? 'A' : 'B')));
        if (!store.Save(strIni))
            return 1;
    }
}

int SaveAudioOnce(const QStringList& files)
{
    // The program's folder, with its image library and pages.
    CSpeechApp theApp(QStringLiteral(KB_BIN_DIR));
    theApp.SetStartFiles(files);
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout,
                     [&poll, &files]()
                     {
                         for (QWidget* pWidget : QApplication::topLevelWidgets())
                         {
                             auto* pDlg = qobject_cast<CSpeechDlg*>(pWidget);
                             if (!pDlg || pDlg->GetSourceFiles().size() != files.size())
                                 continue;
                             poll.stop();
                             qobject_cast<CButtonST*>(pDlg->GetDlgItem(IDC_BTN_SAVEAUDIO))->click();
                             const QString strStatus =
                                 qobject_cast<CPPHtmlStatic*>(pDlg->GetDlgItem(IDC_STATIC_STATUS))
                                     ->GetWindowText();
                             std::printf("%s\n", strStatus.toUtf8().constData());
                             std::fflush(stdout);
                             QMetaObject::invokeMethod(pDlg, &CSpeechDlg::reject,
                                                       Qt::QueuedConnection);
                             return;
                         }
                     });
    poll.start();
    theApp.InitInstance();
    return theApp.ExitInstance();
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("settings"))
        return SaveSettingsForever(args[2], args[3].toInt());
    if (args.size() > 2 && args[1] == QLatin1String("window"))
        return SaveAudioOnce(args.mid(2));
    std::fprintf(stderr, "usage: kb_killtarget settings INI KEYS | window FILE...\n");
    return 2;
}
