#include "app/commandline.h"
#include "app/speechapp.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>

namespace
{
void SetIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("kestrivane-basic"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KB_VERSION));
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrivane"));
}
} // namespace

int main(int argc, char** argv)
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
