#include "app/speechapp.h"
#include "app/speechdlg.h"
#include "res/resourcemodule.h"
#include "tests/support/languagepacks.h"
#include "tests/support/windowtest.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The main window framed by a real window manager on a small screen: the
// frame, not only the client area, fills the work area at start-up and
// stays inside it at the window's smallest size, in each interface language.
class CWindowFrameTest : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<KbTest::CTestHome> m_pTest;

private Q_SLOTS:
    void init() { m_pTest = std::make_unique<KbTest::CTestHome>(); }
    void cleanup() { m_pTest.reset(); }

    void frameInWorkArea_data()
    {
        QTest::addColumn<QString>("strCode");
        QTest::addColumn<QString>("strPack");
        for (const KbTest::SInterfaceLanguage& language : KbTest::InterfaceLanguages())
            QTest::newRow(qPrintable(language.strRow)) << language.strCode << language.strPack;
    }
    void frameInWorkArea()
    {
        QFETCH(QString, strCode);
        QFETCH(QString, strPack);
        QTemporaryDir appDir;
        QVERIFY(KbTest::MakeProgramFolder(appDir, {QString(), strCode, strPack}));
        m_pTest->m_pApp = std::make_unique<CSpeechApp>(appDir.path() + QLatin1Char('/'));
        m_pTest->m_pApp->InitSettings();
        CSpeechDlg dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QRect area = dlg.screen()->availableGeometry();
        QTRY_VERIFY2(dlg.frameGeometry().size() != dlg.size(), "no window manager framed it");
        QTRY_COMPARE(dlg.frameGeometry(), area);

        if (!strPack.isEmpty())
        {
            dlg.ApplyUILanguage(strCode);
            QCOMPARE(CResourceModule::GetCurrent(), m_pTest->m_pApp->m_hLangDll.get());
            QApplication::processEvents();
        }
        dlg.resize(1, 1);
        QTRY_COMPARE(dlg.size(), dlg.minimumSize());
        QVERIFY2(area.contains(dlg.frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2 framed in %3x%4")
                                .arg(dlg.frameGeometry().width())
                                .arg(dlg.frameGeometry().height())
                                .arg(area.width())
                                .arg(area.height())));
    }
};

QTEST_MAIN(CWindowFrameTest)
#include "tst_windowframe.moc"
