#include "app/speechdlg.h"

#include "app/speechapp.h"
#include "res/resourceids.h"
#include "res/stringtable.h"
#include "text/unicodetextfile.h"
#include "widgets/buttonst.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextDocument>
#include <map>

// The text pane's commands, its right-click menu and the clipboard watch.

bool CSpeechDlg::ClipboardHasText()
{
    const QMimeData* pData = QApplication::clipboard()->mimeData();
    return pData && pData->hasText();
}

// Looks for the first character that is not white space instead of
// copying and trimming the whole text, which ran at every keystroke.
bool CSpeechDlg::PaneHasVisibleText() const
{
    // Unicode white space, as trimming counts it (no-break and wide spaces).
    static const QRegularExpression visible(QStringLiteral("\\S"),
                                            QRegularExpression::UseUnicodePropertiesOption);
    return !m_editText->document()->find(visible).isNull();
}

bool CSpeechDlg::HasTextToRead() const
{
    return m_nSpeakMode == 1 ? !m_sourceFiles.isEmpty() : PaneHasVisibleText();
}

QString CSpeechDlg::GetPaneWindowText() const
{
    QString strText = m_editText->toPlainText();
    strText.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return strText;
}

void CSpeechDlg::OnCopyText()
{
    if (!m_editText->textCursor().hasSelection())
        return;
    m_editText->copy();
}

void CSpeechDlg::OnPasteText()
{
    if (m_bBusy || m_editText->isReadOnly())
        return;
    const QMimeData* pData = QApplication::clipboard()->mimeData();
    if (!pData || !pData->hasText())
        return;
    QString strText = pData->text();
    // A clipboard text ends at its first NUL, as the system's text format
    // does.
    const int nNul = strText.indexOf(QChar(0));
    if (nNul >= 0)
        strText.truncate(nNul);
    m_editText->setFocus();
    // A paste that cannot be undone: the undo history goes with it.
    m_editText->setUndoRedoEnabled(false);
    m_editText->textCursor().insertText(strText);
    m_editText->setUndoRedoEnabled(true);
}

void CSpeechDlg::OnEmptyText()
{
    if (m_bBusy)
        return;
    SetPaneText(QString());
    m_btnSpeak->setEnabled(false);
    m_btnSaveAudio->setEnabled(false);
    m_editText->setFocus();
}

void CSpeechDlg::OnSaveText()
{
    const QString strText = GetPaneWindowText();
    QString strStart;
    if (g_bFirstTextSaveDialog)
    {
        CSpeechApp* pApp = App();
        if (pApp)
            strStart = pApp->GetDefaultSaveFolder();
    }
    const QString strPath = CFileDialog::GetSaveFileName(
        nullptr, QStringLiteral("Text File (*.txt)|*.txt|"), QStringLiteral("txt"),
        CStringTable::Get(IDS_NEW_FILE), strStart);
    if (strPath.isEmpty())
        return;
    g_bFirstTextSaveDialog = false;
    if (!CUnicodeTextFile::Save(strPath, strText))
        CMessageBox::Show(this, CStringTable::Get(IDS_SAVE_TEXT_FAILED), Title(),
                          CMessageBox::MB_ICONSTOP);
}

void CSpeechDlg::OnCutText()
{
    if (!m_bBusy)
        m_editText->cut();
}

void CSpeechDlg::OnUndoText()
{
    if (!m_bBusy)
        m_editText->undo();
}

void CSpeechDlg::OnSelectAllText()
{
    m_editText->selectAll();
}

void CSpeechDlg::OnTextSelChange()
{
    m_btnCopy->setEnabled(m_editText->textCursor().hasSelection());
}

void CSpeechDlg::OnTextChange()
{
    if (m_nSpeakMode == 1)
        return;
    // The pane stays editable during a reading, whose Speak is its own:
    // disabled, or Resume while paused.
    if (m_editText->document()->isEmpty())
    {
        for (QWidget* pButton :
             std::initializer_list<QWidget*>{m_btnSaveText, m_btnEmpty, m_btnSaveAudio})
            pButton->setEnabled(false);
        if (!m_bBusy)
            m_btnSpeak->setEnabled(false);
        return;
    }
    if (m_radioInstant->isChecked())
    {
        if (!m_bBusy)
            m_btnSpeak->setEnabled(PaneHasVisibleText());
        m_btnSaveText->setEnabled(true);
        m_btnEmpty->setEnabled(true);
        m_btnSaveAudio->setEnabled(false);
    }
    m_editText->setFocus();
}

void CSpeechDlg::ShowTextMenu(const QPoint& /*point*/)
{
    const bool bInstant = m_radioInstant->isChecked();
    const bool bSelection = m_editText->textCursor().hasSelection();
    const bool bText = PaneHasVisibleText();
    const std::map<int, bool> enabled = {
        {ID_EDIT_UNDO, m_editText->document()->isUndoAvailable()},
        {ID_EDIT_CUT, bInstant && bSelection},
        {ID_EDIT_COPY, bSelection},
        {ID_EDIT_PASTE, bInstant && ClipboardHasText()},
        {ID_EDIT_SELECTALL, bText},
        {ID_EDIT_SAVEAS, bInstant && bText},
        {ID_EDIT_EMPTY, bInstant && bText},
        {ID_EDIT_FAQ, true},
    };
    const std::map<int, void (CSpeechDlg::*)()> handlers = {
        {ID_EDIT_UNDO, &CSpeechDlg::OnUndoText},
        {ID_EDIT_CUT, &CSpeechDlg::OnCutText},
        {ID_EDIT_COPY, &CSpeechDlg::OnCopyText},
        {ID_EDIT_PASTE, &CSpeechDlg::OnPasteText},
        {ID_EDIT_SELECTALL, &CSpeechDlg::OnSelectAllText},
        {ID_EDIT_SAVEAS, &CSpeechDlg::OnSaveText},
        {ID_EDIT_EMPTY, &CSpeechDlg::OnEmptyText},
        {ID_EDIT_FAQ, &CSpeechDlg::OnFaqOnline},
    };

    QMenu menu(this);
    menu.setObjectName(QString::number(IDR_EDITMENU));
    bool bInPopup = false;
    for (const CStringTable::SMenuItem& item : CStringTable::GetMenu(IDR_EDITMENU))
    {
        // Only the first popup of the menu resource is shown.
        if (item.nLevel == 0)
        {
            if (bInPopup)
                break;
            bInPopup = true;
            continue;
        }
        if (item.strText.isEmpty())
        {
            menu.addSeparator();
            continue;
        }
        QAction* pAction = menu.addAction(item.strText);
        pAction->setObjectName(QString::number(item.nCommand));
        const auto found = enabled.find(item.nCommand);
        pAction->setEnabled(found != enabled.end() && found->second);
        const auto handler = handlers.find(item.nCommand);
        if (handler != handlers.end())
            connect(pAction, &QAction::triggered, this, handler->second);
    }
    m_pTextMenu = &menu;
    menu.exec(QCursor::pos());
    m_pTextMenu = nullptr;
}

void CSpeechDlg::OnDrawClipboard()
{
    if (m_radioInstant->isChecked() && ClipboardHasText())
        m_btnPaste->setEnabled(true);
}
