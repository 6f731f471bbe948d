#pragma once

#include <QWidget>

// A page of a property sheet. The sheet creates the page's controls when the
// page is first shown (OnInitDialog), so a page the user never opened reads
// and writes nothing; OK and Apply call OnOK on every page that was shown.
class CPropertyPage : public QWidget
{
    Q_OBJECT
public:
    explicit CPropertyPage(int nTemplateId, QWidget* pParent = nullptr);

    int GetTemplateId() const { return m_nTemplateId; }
    // The page's title: a "::" path in the sheet's tree.
    QString GetCaption() const;
    bool IsInitialized() const { return m_bInitialized; }
    bool IsModified() const { return m_bModified; }

    // Called by the sheet, once, before the page is first shown.
    bool InitPage();

    // Marks the page as changed, which enables the sheet's Apply.
    void SetModified(bool bModified = true);

    // OK and Apply; the sheet calls it on every initialised page.
    virtual void OnOK();
    virtual void OnCancel();

Q_SIGNALS:
    void ModifiedChanged(bool bModified);

protected:
    // Creates and fills the controls; false ends the page's creation.
    virtual bool OnInitDialog();

private:
    int m_nTemplateId;
    bool m_bInitialized = false;
    bool m_bModified = false;
};
