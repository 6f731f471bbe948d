// Time from process start to the main window's first expose, and the
// resident memory once the window has sat idle. The parent re-runs this
// program as a child for each sample so that loading the shared libraries
// and the first settings file are counted as a user meets them.
#include "app/speechapp.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace
{
constexpr int g_nSamples = 7;
constexpr int g_nIdleMs = 3000;

qint64 NowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

long ReadRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
    {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Ends the run once the main window has been shown and has idled.
class CExposeWatch : public QObject
{
public:
    explicit CExposeWatch(qint64 nStartNs) : m_nStartNs(nStartNs) {}

protected:
    bool eventFilter(QObject* pObject, QEvent* pEvent) override
    {
        if (m_nShownNs == 0 && pEvent->type() == QEvent::Expose)
        {
            auto* pWindow = qobject_cast<QWindow*>(pObject);
            QWidget* pWidget = nullptr;
            for (QWidget* pTop : QApplication::topLevelWidgets())
            {
                if (pTop->windowHandle() == pWindow && pTop->inherits("CSpeechDlg"))
                    pWidget = pTop;
            }
            if (pWidget != nullptr)
            {
                m_nShownNs = NowNs();
                QTimer::singleShot(
                    g_nIdleMs, pWidget,
                    [this, pWidget]()
                    {
                        std::printf("%.1f %ld\n", double(m_nShownNs - m_nStartNs) / 1e6,
                                    ReadRssKb());
                        std::fflush(stdout);
                        QMetaObject::invokeMethod(pWidget, "reject", Qt::QueuedConnection);
                    });
            }
        }
        return QObject::eventFilter(pObject, pEvent);
    }

private:
    qint64 m_nStartNs;
    qint64 m_nShownNs = 0;
};

int RunChild(int argc, char** argv, qint64 nStartNs)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrivane-basic"));
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrivane"));
    CExposeWatch watch(nStartNs);
    app.installEventFilter(&watch);
    CSpeechApp theApp(QStringLiteral(KB_BIN_DIR));
    theApp.InitInstance();
    return theApp.ExitInstance();
}

struct SSample
{
    double dStartMs = 0;
    long nRssKb = 0;
};

bool RunSample(const QString& strPlatform, const QString& strDisplay, const QString& strHome,
               SSample& sample)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), strPlatform);
    env.insert(QStringLiteral("HOME"), strHome);
    env.remove(QStringLiteral("XDG_CONFIG_HOME"));
    env.remove(QStringLiteral("XDG_DOCUMENTS_DIR"));
    if (!strDisplay.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), strDisplay);
    env.insert(QStringLiteral("KB_BENCH_T0"), QString::number(NowNs()));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child")});
    if (!child.waitForFinished(60000))
    {
        child.kill();
        return false;
    }
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitCode() != 0 || fields.size() != 2)
        return false;
    sample.dStartMs = fields[0].toDouble();
    sample.nRssKb = fields[1].toLong();
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Prints first-run and warm figures for one platform; false when a run failed.
bool Measure(const QString& strPlatform, const QString& strDisplay)
{
    QTemporaryDir home;
    SSample first;
    if (!RunSample(strPlatform, strDisplay, home.path(), first))
        return false;
    std::vector<double> startMs;
    std::vector<double> rssMb;
    for (int i = 0; i < g_nSamples; ++i)
    {
        SSample sample;
        if (!RunSample(strPlatform, strDisplay, home.path(), sample))
            return false;
        startMs.push_back(sample.dStartMs);
        rssMb.push_back(sample.nRssKb / 1024.0);
    }
    std::printf("%-9s first run (fresh HOME): start to window %.1f ms, RSS at idle %.1f MB\n",
                qPrintable(strPlatform), first.dStartMs, first.nRssKb / 1024.0);
    std::printf("%-9s warm, median of %d:     start to window %.1f ms (min %.1f, max %.1f), "
                "RSS at idle %.1f MB\n",
                qPrintable(strPlatform), g_nSamples, Median(startMs),
                *std::min_element(startMs.begin(), startMs.end()),
                *std::max_element(startMs.begin(), startMs.end()), Median(rssMb));
    return true;
}

// Starts a private X server when Xvfb is installed; empty when none could be had.
QString StartXvfb(QProcess& server)
{
    const QString strDisplayNumber = QStringLiteral("97");
    server.start(QStringLiteral("Xvfb"),
                 {QStringLiteral(":") + strDisplayNumber, QStringLiteral("-nolisten"),
                  QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                  QStringLiteral("1280x1024x24")});
    if (!server.waitForStarted(5000))
        return QString();
    const QString strSocket = QStringLiteral("/tmp/.X11-unix/X") + strDisplayNumber;
    for (int i = 0; i < 100 && !QFile::exists(strSocket); ++i)
        QThread::msleep(50);
    return QFile::exists(strSocket) ? QStringLiteral(":") + strDisplayNumber : QString();
}
} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0)
        return RunChild(argc, argv, qEnvironmentVariable("KB_BENCH_T0").toLongLong());

    QCoreApplication app(argc, argv);
    if (!Measure(QStringLiteral("offscreen"), QString()))
    {
        std::fprintf(stderr, "the program did not show its window on the offscreen platform\n");
        return 1;
    }
    QProcess server;
    const QString strDisplay = StartXvfb(server);
    if (strDisplay.isEmpty())
    {
        std::printf("xcb       skipped: Xvfb could not be started\n");
        return 0;
    }
    const bool bOk = Measure(QStringLiteral("xcb"), strDisplay);
    server.terminate();
    server.waitForFinished(5000);
    if (!bOk)
        std::fprintf(stderr, "the program did not show its window on Xvfb\n");
    return bOk ? 0 : 1;
}
