#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <vector>

class CPropertyPage;
class QPushButton;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace TreePropSheet
{
class CPropPageFrame;

// A property sheet whose pages are chosen in a tree at the left instead of
// tabs. Each page's caption is a "::" path in the tree; a node without a
// page of its own shows the empty-page text. Pages are created when first
// shown. The sheet does not own its pages.
class CTreePropSheet : public QDialog
{
    Q_OBJECT
public:
    explicit CTreePropSheet(const QString& strCaption, QWidget* pParent = nullptr,
                            int nSelectPage = 0);
    ~CTreePropSheet() override;

    // The elements of a page caption: "::" separates them, and within an
    // element "\::" stands for a literal "::" and "\\" for "\".
    static QStringList SplitPageTreePath(const QString& strPath);

    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return int(m_pages.size()); }
    CPropertyPage* GetPage(int nIndex) const;
    // -1 while a node without a page is selected.
    int GetActiveIndex() const { return m_nActivePage; }
    CPropertyPage* GetActivePage() const { return GetPage(m_nActivePage); }
    // Before the sheet is shown, chooses the page it opens with.
    bool SetActivePage(int nIndex);

    // These take effect when the sheet is first shown; false afterwards.
    bool SetTreeViewMode(bool bTreeViewMode = true, bool bPageCaption = false,
                         bool bTreeImages = false);
    bool SetTreeWidth(int nWidth);
    bool IsTreeViewMode() const { return m_bTreeViewMode; }
    bool HasPageCaption() const { return m_bPageCaption; }
    bool HasTreeImages() const { return m_bTreeImages; }
    int GetTreeWidth() const { return m_nPageTreeWidth; }
    void SetEmptyPageText(const QString& strEmptyPageText);
    QString GetEmptyPageText() const { return m_strEmptyPageText; }

    QTreeWidget* GetPageTreeControl() const { return m_treePages; }
    CPropPageFrame* GetFrameControl() const { return m_pFrame; }

    void setVisible(bool bVisible) override;

public Q_SLOTS:
    // OK: every page that was shown takes its changes.
    void accept() override;
    void reject() override;

protected:
    // Builds the tree (or the tabs) and shows the first page; runs once,
    // just before the sheet first appears.
    virtual bool OnInitDialog();

    QPushButton* m_btnOk = nullptr;
    QPushButton* m_btnCancel = nullptr;
    QPushButton* m_btnApply = nullptr;

private Q_SLOTS:
    void OnPageTreeSelChanged();
    void OnTabChanged(int nIndex);
    void OnApplyNow();
    void OnPageModified();

private:
    void FillPageTree();
    QTreeWidgetItem* FindChildItem(QTreeWidgetItem* pParent, const QString& strText) const;
    QTreeWidgetItem* FindPageItem(int nPage) const;
    void ActivatePage(int nIndex);
    void ShowEmptyNode(const QTreeWidgetItem* pItem);
    QIcon PageIcon(bool bHasPage) const;

    std::vector<QPointer<CPropertyPage>> m_pages;
    int m_nSelectPage;
    int m_nActivePage = -1;
    bool m_bInitialized = false;
    bool m_bTreeViewMode = true;
    bool m_bPageCaption = false;
    bool m_bTreeImages = false;
    int m_nPageTreeWidth = 150;
    QString m_strEmptyPageText;

    QTreeWidget* m_treePages = nullptr;
    QTabBar* m_tabPages = nullptr;
    CPropPageFrame* m_pFrame = nullptr;
};
} // namespace TreePropSheet
