#include "widgets/treepropsheet.h"

#include "res/resourceids.h"
#include "widgets/propertypage.h"
#include "widgets/proppageframedefault.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace TreePropSheet
{
namespace
{
constexpr int g_nPageRole = Qt::UserRole;
} // namespace

CTreePropSheet::CTreePropSheet(const QString& strCaption, QWidget* pParent, int nSelectPage)
    : QDialog(pParent), m_nSelectPage(nSelectPage)
{
    setWindowTitle(strCaption);

    m_treePages = new QTreeWidget(this);
    m_treePages->setObjectName(QString::number(IDC_PAGE_TREE));
    m_treePages->setHeaderHidden(true);
    m_treePages->setRootIsDecorated(true);
    m_tabPages = new QTabBar(this);
    m_tabPages->hide();
    m_pFrame = new CPropPageFrameDefault(this);
    m_pFrame->setObjectName(QString::number(IDC_PAGE_FRAME));
    // Room for the settings pages' longest lines, so the sheet keeps its
    // size as pages are first shown.
    m_pFrame->setMinimumSize(520, 300);

    auto* pButtons = new QDialogButtonBox(this);
    m_btnOk = pButtons->addButton(QDialogButtonBox::Ok);
    m_btnOk->setObjectName(QString::number(IDOK));
    m_btnCancel = pButtons->addButton(QDialogButtonBox::Cancel);
    m_btnCancel->setObjectName(QString::number(IDCANCEL));
    m_btnApply = pButtons->addButton(QDialogButtonBox::Apply);
    m_btnApply->setObjectName(QString::number(ID_APPLY_NOW));
    m_btnApply->setEnabled(false);

    auto* pPageSide = new QVBoxLayout;
    pPageSide->addWidget(m_tabPages);
    pPageSide->addWidget(m_pFrame, 1);
    auto* pTop = new QHBoxLayout;
    pTop->addWidget(m_treePages);
    pTop->addLayout(pPageSide, 1);
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addLayout(pTop, 1);
    pLayout->addWidget(pButtons);

    // The window's message map.
    connect(m_btnOk, &QPushButton::clicked, this, &CTreePropSheet::accept);
    connect(m_btnCancel, &QPushButton::clicked, this, &CTreePropSheet::reject);
    connect(m_btnApply, &QPushButton::clicked, this, &CTreePropSheet::OnApplyNow);
    connect(m_treePages, &QTreeWidget::currentItemChanged, this,
            &CTreePropSheet::OnPageTreeSelChanged);
    connect(m_tabPages, &QTabBar::currentChanged, this, &CTreePropSheet::OnTabChanged);
}

CTreePropSheet::~CTreePropSheet()
{
    // The pages belong to whoever made them, so they must outlive the frame
    // that hosted them.
    for (const QPointer<CPropertyPage>& pPage : m_pages)
    {
        if (pPage)
        {
            pPage->hide();
            pPage->setParent(nullptr);
        }
    }
}

QStringList CTreePropSheet::SplitPageTreePath(const QString& strPath)
{
    QStringList elements;
    QString strElement;
    const int nLength = int(strPath.size());
    for (int i = 0; i < nLength; ++i)
    {
        const QChar ch = strPath[i];
        if (ch == QLatin1Char('\\') && i + 1 < nLength && strPath[i + 1] == QLatin1Char('\\'))
        {
            strElement += QLatin1Char('\\');
            ++i;
        }
        else if (ch == QLatin1Char('\\') && strPath.mid(i + 1, 2) == QLatin1String("::"))
        {
            strElement += QLatin1String("::");
            i += 2;
        }
        else if (ch == QLatin1Char(':') && i + 1 < nLength && strPath[i + 1] == QLatin1Char(':'))
        {
            elements.append(strElement);
            strElement.clear();
            ++i;
        }
        else
        {
            strElement += ch;
        }
    }
    elements.append(strElement);
    return elements;
}

void CTreePropSheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage)
        return;
    m_pages.emplace_back(pPage);
    pPage->hide();
    // Each page joins the message map as it is added.
    connect(pPage, &CPropertyPage::ModifiedChanged, this, &CTreePropSheet::OnPageModified);
}

CPropertyPage* CTreePropSheet::GetPage(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetPageCount())
        return nullptr;
    return m_pages[size_t(nIndex)];
}

bool CTreePropSheet::SetActivePage(int nIndex)
{
    if (!m_bInitialized)
    {
        m_nSelectPage = nIndex;
        return true;
    }
    if (!GetPage(nIndex))
        return false;
    ActivatePage(nIndex);
    return true;
}

bool CTreePropSheet::SetTreeViewMode(bool bTreeViewMode, bool bPageCaption, bool bTreeImages)
{
    if (m_bInitialized)
        return false;
    m_bTreeViewMode = bTreeViewMode;
    m_bPageCaption = bPageCaption;
    m_bTreeImages = bTreeImages;
    return true;
}

bool CTreePropSheet::SetTreeWidth(int nWidth)
{
    if (m_bInitialized)
        return false;
    m_nPageTreeWidth = nWidth;
    return true;
}

void CTreePropSheet::SetEmptyPageText(const QString& strEmptyPageText)
{
    m_strEmptyPageText = strEmptyPageText;
    if (m_bInitialized && m_nActivePage < 0)
        m_pFrame->SetMsgText(strEmptyPageText);
}

void CTreePropSheet::setVisible(bool bVisible)
{
    if (bVisible && !m_bInitialized)
    {
        m_bInitialized = true;
        OnInitDialog();
    }
    QDialog::setVisible(bVisible);
}

bool CTreePropSheet::OnInitDialog()
{
    m_pFrame->SetShowCaption(m_bTreeViewMode && m_bPageCaption);
    if (m_bTreeViewMode)
    {
        FillPageTree();
        // The configured width is the least; a longer page name, as a
        // translation may give, widens the tree rather than being cut.
        const int nNeeded = static_cast<QAbstractItemView*>(m_treePages)->sizeHintForColumn(0) +
                            2 * m_treePages->frameWidth() +
                            m_treePages->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        m_treePages->setFixedWidth(qMax(m_nPageTreeWidth, nNeeded));
    }
    else
    {
        m_treePages->hide();
        const QSignalBlocker blocker(m_tabPages);
        for (int i = 0; i < GetPageCount(); ++i)
            m_tabPages->addTab(GetPage(i)->GetCaption());
        m_tabPages->show();
    }
    ActivatePage(GetPage(m_nSelectPage) ? m_nSelectPage : 0);
    return true;
}

void CTreePropSheet::FillPageTree()
{
    const QSignalBlocker blocker(m_treePages);
    m_treePages->clear();
    for (int nPage = 0; nPage < GetPageCount(); ++nPage)
    {
        const QStringList path = SplitPageTreePath(GetPage(nPage)->GetCaption());
        QTreeWidgetItem* pParent = m_treePages->invisibleRootItem();
        for (int nElement = 0; nElement < path.size(); ++nElement)
        {
            const bool bPageNode = nElement == path.size() - 1;
            QTreeWidgetItem* pItem = FindChildItem(pParent, path[nElement]);
            // A node that belongs to another page is never taken over.
            if (pItem && bPageNode && pItem->data(0, g_nPageRole).toInt() >= 0)
                pItem = nullptr;
            if (!pItem)
            {
                pItem = new QTreeWidgetItem(pParent, QStringList(path[nElement]));
                pItem->setData(0, g_nPageRole, -1);
            }
            if (bPageNode)
                pItem->setData(0, g_nPageRole, nPage);
            pParent = pItem;
        }
    }
    if (m_bTreeImages)
    {
        for (QTreeWidgetItemIterator it(m_treePages); *it; ++it)
            (*it)->setIcon(0, PageIcon((*it)->data(0, g_nPageRole).toInt() >= 0));
    }
    m_treePages->expandAll();
}

QTreeWidgetItem* CTreePropSheet::FindChildItem(QTreeWidgetItem* pParent,
                                               const QString& strText) const
{
    for (int i = 0; i < pParent->childCount(); ++i)
    {
        if (pParent->child(i)->text(0) == strText)
            return pParent->child(i);
    }
    return nullptr;
}

QTreeWidgetItem* CTreePropSheet::FindPageItem(int nPage) const
{
    for (QTreeWidgetItemIterator it(m_treePages); *it; ++it)
    {
        if ((*it)->data(0, g_nPageRole).toInt() == nPage)
            return *it;
    }
    return nullptr;
}

QIcon CTreePropSheet::PageIcon(bool bHasPage) const
{
    return style()->standardIcon(bHasPage ? QStyle::SP_FileIcon : QStyle::SP_DirIcon);
}

void CTreePropSheet::ActivatePage(int nIndex)
{
    CPropertyPage* pPage = GetPage(nIndex);
    if (!pPage)
        return;
    pPage->InitPage();
    m_nActivePage = nIndex;
    m_pFrame->SetMsgText(QString());
    m_pFrame->SetCaption(SplitPageTreePath(pPage->GetCaption()).constLast(),
                         m_bTreeImages ? PageIcon(true) : QIcon());
    m_pFrame->ShowPage(pPage);
    pPage->show();
    // The frame's least size only grows, so a page with longer texts (in
    // another language) widens the sheet instead of being cut, and the
    // sheet does not jump back when a smaller page follows.
    m_pFrame->setMinimumSize(m_pFrame->minimumSize().expandedTo(m_pFrame->minimumSizeHint()));
    if (m_bTreeViewMode)
    {
        const QSignalBlocker blocker(m_treePages);
        m_treePages->setCurrentItem(FindPageItem(nIndex));
    }
    else
    {
        const QSignalBlocker blocker(m_tabPages);
        m_tabPages->setCurrentIndex(nIndex);
    }
}

void CTreePropSheet::ShowEmptyNode(const QTreeWidgetItem* pItem)
{
    m_nActivePage = -1;
    m_pFrame->ShowPage(nullptr);
    m_pFrame->SetCaption(pItem ? pItem->text(0) : QString(),
                         m_bTreeImages ? PageIcon(false) : QIcon());
    m_pFrame->SetMsgText(m_strEmptyPageText);
}

void CTreePropSheet::OnPageTreeSelChanged()
{
    const QTreeWidgetItem* pItem = m_treePages->currentItem();
    const int nPage = pItem ? pItem->data(0, g_nPageRole).toInt() : -1;
    if (GetPage(nPage))
        ActivatePage(nPage);
    else
        ShowEmptyNode(pItem);
}

void CTreePropSheet::OnTabChanged(int nIndex)
{
    ActivatePage(nIndex);
}

void CTreePropSheet::OnApplyNow()
{
    for (const QPointer<CPropertyPage>& pPage : m_pages)
    {
        if (pPage && pPage->IsInitialized())
        {
            pPage->OnOK();
            pPage->SetModified(false);
        }
    }
    m_btnApply->setEnabled(false);
}

void CTreePropSheet::OnPageModified()
{
    bool bModified = false;
    for (const QPointer<CPropertyPage>& pPage : m_pages)
        bModified = bModified || (pPage && pPage->IsModified());
    m_btnApply->setEnabled(bModified);
}

void CTreePropSheet::accept()
{
    for (const QPointer<CPropertyPage>& pPage : m_pages)
    {
        if (pPage && pPage->IsInitialized())
            pPage->OnOK();
    }
    QDialog::accept();
}

void CTreePropSheet::reject()
{
    for (const QPointer<CPropertyPage>& pPage : m_pages)
    {
        if (pPage && pPage->IsInitialized())
            pPage->OnCancel();
    }
    QDialog::reject();
}
} // namespace TreePropSheet
