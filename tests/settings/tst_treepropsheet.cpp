#include "res/resourceids.h"
#include "widgets/propertypage.h"
#include "widgets/proppageframe.h"
#include "widgets/treepropsheet.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <array>
#include <memory>

using TreePropSheet::CTreePropSheet;

namespace
{
// A page that counts what the sheet asks of it.
class CCountingPage : public CPropertyPage
{
public:
    using CPropertyPage::CPropertyPage;
    int m_nInits = 0;
    int m_nOKs = 0;
    int m_nCancels = 0;
    void OnOK() override { ++m_nOKs; }
    void OnCancel() override { ++m_nCancels; }

protected:
    bool OnInitDialog() override
    {
        ++m_nInits;
        return true;
    }
};

// The four settings templates, added out of their id order.
struct SSheet
{
    std::array<std::unique_ptr<CCountingPage>, 4> m_pages;
    CTreePropSheet m_sheet;

    explicit SSheet(int nSelectPage) : m_sheet(QStringLiteral("Sheet"), nullptr, nSelectPage)
    {
        const int templates[] = {IDD_PROPPAGE_LANGUAGE, IDD_PROPPAGE_AUDIO, IDD_PROPPAGE_MUSIC,
                                 IDD_PROPPAGE_UI};
        for (size_t i = 0; i < m_pages.size(); ++i)
        {
            m_pages[i] = std::make_unique<CCountingPage>(templates[i]);
            m_sheet.AddPage(m_pages[i].get());
        }
        m_sheet.SetEmptyPageText(QStringLiteral("Nothing here"));
        m_sheet.SetTreeViewMode(true, true, false);
    }
    QPushButton* Button(int nId) const
    {
        return m_sheet.findChild<QPushButton*>(QString::number(nId));
    }
    QTreeWidget* Tree() const
    {
        return m_sheet.findChild<QTreeWidget*>(QString::number(IDC_PAGE_TREE));
    }
};
} // namespace

class CTreePropSheetTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void splitPath_data()
    {
        QTest::addColumn<QString>("strPath");
        QTest::addColumn<QStringList>("elements");
        QTest::newRow("two levels")
            << "Preferences::Language" << QStringList{"Preferences", "Language"};
        QTest::newRow("one level") << "Language" << QStringList{"Language"};
        QTest::newRow("escaped separator") << "A\\::B::C" << QStringList{"A::B", "C"};
        QTest::newRow("escaped backslash before separator")
            << "A\\\\::B" << QStringList{"A\\", "B"};
        QTest::newRow("lone backslash and colon") << "C:\\Temp::X" << QStringList{"C:\\Temp", "X"};
        QTest::newRow("three colons") << "A:::B" << QStringList{"A", ":B"};
        QTest::newRow("empty") << "" << QStringList{""};
    }
    void splitPath()
    {
        QFETCH(QString, strPath);
        QFETCH(QStringList, elements);
        QCOMPARE(CTreePropSheet::SplitPageTreePath(strPath), elements);
    }

    // One "Preferences" node holds the pages in the order they were added;
    // the node itself shows the empty-page text, a page node its page.
    void treeAndFrame()
    {
        SSheet sheet(0);
        sheet.m_sheet.show();
        QTreeWidget* pTree = sheet.Tree();
        QVERIFY(pTree);
        QCOMPARE(pTree->topLevelItemCount(), 1);
        QTreeWidgetItem* pRoot = pTree->topLevelItem(0);
        QCOMPARE(pRoot->text(0), QStringLiteral("Preferences"));
        QStringList children;
        for (int i = 0; i < pRoot->childCount(); ++i)
            children << pRoot->child(i)->text(0);
        QCOMPARE(children, QStringList({"Language", "Audio Output", "Music", "User Interface"}));
        QCOMPARE(pTree->width(), 150);

        TreePropSheet::CPropPageFrame* pFrame = sheet.m_sheet.GetFrameControl();
        QCOMPARE(pFrame->GetCaption(), QStringLiteral("Language"));
        QCOMPARE(pFrame->GetShownPage(), sheet.m_pages[0].get());

        pTree->setCurrentItem(pRoot);
        QCOMPARE(sheet.m_sheet.GetActiveIndex(), -1);
        QVERIFY(!pFrame->GetShownPage());
        QCOMPARE(pFrame->GetMsgText(), QStringLiteral("Nothing here"));
        QVERIFY(!sheet.m_pages[0]->isVisible());

        pTree->setCurrentItem(pRoot->child(2));
        QCOMPARE(sheet.m_sheet.GetActiveIndex(), 2);
        QCOMPARE(pFrame->GetCaption(), QStringLiteral("Music"));
        QVERIFY(pFrame->GetMsgText().isEmpty());
        QVERIFY(sheet.m_pages[2]->isVisible());
    }

    // Pages are made when first shown, and only those made take part in
    // OK, Apply and Cancel.
    void buttons_data()
    {
        QTest::addColumn<int>("nButton");
        QTest::addColumn<bool>("bStaysOpen");
        QTest::newRow("OK") << int(IDOK) << false;
        QTest::newRow("Apply") << int(ID_APPLY_NOW) << true;
        QTest::newRow("Cancel") << int(IDCANCEL) << false;
    }
    void buttons()
    {
        QFETCH(int, nButton);
        QFETCH(bool, bStaysOpen);
        SSheet sheet(1);
        sheet.m_sheet.show();
        QCOMPARE(sheet.m_sheet.GetActiveIndex(), 1);
        sheet.Tree()->setCurrentItem(sheet.Tree()->topLevelItem(0)->child(3));
        sheet.Tree()->setCurrentItem(sheet.Tree()->topLevelItem(0)->child(1));
        QPushButton* pApply = sheet.Button(ID_APPLY_NOW);
        QVERIFY(!pApply->isEnabled());
        sheet.m_pages[3]->SetModified();
        QVERIFY(pApply->isEnabled());

        sheet.Button(nButton)->click();
        QCOMPARE(sheet.m_sheet.isVisible(), bStaysOpen);
        const bool bTakes = nButton != IDCANCEL;
        const int expectedInits[] = {0, 1, 0, 1};
        for (size_t i = 0; i < sheet.m_pages.size(); ++i)
        {
            const CCountingPage& page = *sheet.m_pages[i];
            QCOMPARE(page.m_nInits, expectedInits[i]);
            QCOMPARE(page.m_nOKs, bTakes ? expectedInits[i] : 0);
            QCOMPARE(page.m_nCancels, bTakes ? 0 : expectedInits[i]);
        }
        if (nButton == ID_APPLY_NOW)
        {
            QVERIFY(!pApply->isEnabled());
            QVERIFY(!sheet.m_pages[3]->IsModified());
        }
        else
        {
            QCOMPARE(sheet.m_sheet.result(),
                     int(nButton == IDOK ? QDialog::Accepted : QDialog::Rejected));
        }
    }
};

QTEST_MAIN(CTreePropSheetTest)
#include "tst_treepropsheet.moc"
