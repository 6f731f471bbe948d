#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourceids.h"
#include "tests/support/dialoghooks.h"
#include "tests/support/syscalltrace.h"
#include "tests/support/testfiles.h"
#include "tests/support/windowtest.h"

#include <QAbstractButton>
#include <QPlainTextEdit>
#include <QTest>
#include <sys/stat.h>

namespace
{
int ModeOf(const QString& strPath)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(strPath).constData(), &info) == 0 ? int(info.st_mode & 07777)
                                                                      : -1;
}

QString Octal(int nMode)
{
    return QString::number(nMode, 8);
}

const char g_szSettings[] = "/.config/Kestrivane/Kestrivane Basic";

// The umask of the test process for as long as it lives.
class CUmask
{
public:
    explicit CUmask(int nMask) : m_nOld(int(::umask(mode_t(nMask)))) {}
    ~CUmask() { ::umask(mode_t(m_nOld)); }

private:
    int m_nOld;
};
} // namespace

// Every file and folder the program makes gets the modes the user's umask
// leaves, and no mode change ever grants what the umask takes away. Under
// umask 000 files come out world-writable: the user asked for that.
class CFileModesTest : public QObject
{
    Q_OBJECT
private:
    static void AddUmaskRows()
    {
        QTest::addColumn<int>("nUmask");
        QTest::newRow("umask 022") << 0022;
        QTest::newRow("umask 002") << 0002;
        QTest::newRow("umask 000") << 0000;
    }

private Q_SLOTS:
    // Settings, audio, subtitles, lyrics and the RTF scratch file, made by
    // --save-audio; the scratch file is gone by the end, so the trace tells
    // how it was made.
    void saveAudioCommand_data() { AddUmaskRows(); }
    void saveAudioCommand()
    {
        QFETCH(int, nUmask);
        QTemporaryDir root;
        const QString strHome = root.filePath(QStringLiteral("home"));
        const QString strOut = root.filePath(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(strHome));
        const QString strDocument = KbTest::WriteFileIn(root, QStringLiteral("Letter.rtf"),
                                                        "{\\rtf1 Hello there, two words.}");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), strHome);
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        KbTest::CSyscallTrace trace;
        QVERIFY2(trace.Run(
                     QStringLiteral(KB_BIN_DIR "kestrivane-basic"),
                     {QStringLiteral("--save-audio"), QStringLiteral("--out"), strOut, strDocument},
                     env, nUmask),
                 KbTest::CSyscallTrace::NeedsMessage());
        QVERIFY2(trace.ExitCode() == 0, trace.Errors().constData());

        const int nFile = 0666 & ~nUmask;
        const int nFolder = 0777 & ~nUmask;
        const QString strSettings = strHome + QLatin1String(g_szSettings);
        for (const QString& strFile :
             {strOut + "/Letter.wav", strOut + "/Letter.mp3", strOut + "/Letter.srt",
              strOut + "/Letter.lrc", strSettings + "/Application.ini"})
            QVERIFY2(ModeOf(strFile) == nFile, qPrintable(strFile + ' ' + Octal(ModeOf(strFile))));
        for (const QString& strFolder :
             {strOut, strSettings, strSettings + "/Temp", strHome + "/Documents/Kestrivane Basic"})
            QVERIFY2(ModeOf(strFolder) == nFolder,
                     qPrintable(strFolder + ' ' + Octal(ModeOf(strFolder))));

        bool bScratchMade = false;
        for (const KbTest::SSyscall& call : trace.Calls())
        {
            if (call.bFailed)
                continue;
            const QString strCall = call.strName + '(' + call.strArgs + ')';
            if (call.IsCreate())
            {
                QVERIFY2(call.Mode() >= 0 && (call.Mode() & ~0666) == 0, qPrintable(strCall));
                bScratchMade =
                    bScratchMade || call.paths.value(0).startsWith(strSettings + "/Temp/");
            }
            else if (call.strName == u"mkdir")
                QVERIFY2(call.Mode() >= 0 && (call.Mode() & ~0777) == 0, qPrintable(strCall));
            else if (call.IsModeChange())
                QVERIFY2(call.Mode() >= 0 && (call.Mode() & nUmask) == 0, qPrintable(strCall));
        }
        QVERIFY(bScratchMade);
        QVERIFY(QDir(strSettings + "/Temp").isEmpty());
    }

    // The window's settings and saved text; a text saved over a file the
    // user has narrowed keeps that file's mode.
    void windowFiles_data() { AddUmaskRows(); }
    void windowFiles()
    {
        QFETCH(int, nUmask);
        const CUmask umask(nUmask);
        const std::unique_ptr<QTemporaryDir> pHome = KbTest::UseFreshHome();
        const QString strSettings = pHome->path() + QLatin1String(g_szSettings);
        const QString strSaved = pHome->filePath(QStringLiteral("saved.txt"));
        KbTest::CDialogHooks hooks;
        hooks.Install();
        auto pApp = std::make_unique<CSpeechApp>(QStringLiteral(KB_BIN_DIR));
        QVERIFY(pApp->InitSettings());
        {
            CSpeechDlg dlg;
            KbTest::Item<QAbstractButton>(dlg, IDC_RADIO_INSTANT)->click();
            KbTest::Item<QPlainTextEdit>(dlg, IDC_EDIT_TEXT)
                ->setPlainText(QStringLiteral("Words."));
            hooks.m_answers.push_back(strSaved);
            KbTest::Item<QAbstractButton>(dlg, IDC_BTN_SAVETEXT)->click();
            QCOMPARE(ModeOf(strSaved), 0666 & ~nUmask);
            QVERIFY(QFile::setPermissions(strSaved, QFile::ReadOwner | QFile::WriteOwner));
            hooks.m_answers.push_back(strSaved);
            KbTest::Item<QAbstractButton>(dlg, IDC_BTN_SAVETEXT)->click();
            QCOMPARE(ModeOf(strSaved), 0600);
            QVERIFY(hooks.m_messages.empty());
        }
        hooks.Remove();
        KbTest::EndApp(pApp);
        QCOMPARE(ModeOf(strSettings + "/Application.ini"), 0666 & ~nUmask);
        QCOMPARE(ModeOf(strSettings + "/Temp"), 0777 & ~nUmask);
        QVERIFY(QDir(strSettings + "/Temp").isEmpty());
    }
};

QTEST_MAIN(CFileModesTest)
#include "tst_filemodes.moc"
