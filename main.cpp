#include "app/commandline.h"
#include "app/speechapp.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace
{
void SetIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("kestrivane-basic"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KB_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrivane"));
}

// The whole run; every object of the program is gone when it returns.
int Run(int argc, char** argv)
{
    if (!CCommandLine::WantsWindow(argc, argv))
    {
        QCoreApplication app(argc, argv);
        SetIdentity();
        QTextStream out(stdout);
        QTextStream err(stderr);
        return CCommandLine::Run(QCoreApplication::arguments(), out, err);
    }
    QApplication app(argc, argv);
    SetIdentity();
    QGuiApplication::setDesktopFileName(QStringLiteral("kestrivane-basic"));
    CSpeechApp theApp;
    QTextStream err(stderr);
    theApp.SetStartFiles(CCommandLine::WindowFiles(QCoreApplication::arguments(), err));
    theApp.InitInstance();
    return theApp.ExitInstance();
}
} // namespace

int main(int argc, char** argv)
{
    const int nCode = Run(argc, argv);
    // Qt Multimedia closes its PulseAudio connection from an exit handler
    // while that connection's thread may still be dispatching a reply, which
    // now and then aborts a run that has already succeeded (about 1 in 60
    // --speak runs). Everything of ours is written, closed and destroyed by
    // now, so the process ends without the library's exit handlers.
    std::fflush(nullptr);
    _exit(nCode);
}
