#include "app/speechdlg.h"

#include "app/speechapp.h"
#include "speech/readingrules.h"
#include "text/normalizetext.h"
#include "text/textextractor.h"
#include "widgets/buttonst.h"
#include "widgets/digistatic.h"
#include "widgets/exlistbox.h"
#include "widgets/filedialog.h"
#include "widgets/messagebox.h"
#include "widgets/pphtmlstatic.h"
#include "widgets/textprogressctrl.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <optional>

// The source file list and the text of its documents.

bool CSpeechDlg::GetTextFromFile(const QString& strPath, QString& strText)
{
    CSpeechApp* pApp = App();
    // Never a folder of a fixed name in the shared temporary folder, where
    // someone else could have put a link under the scratch file's name.
    std::optional<QTemporaryDir> fallback;
    if (!pApp)
        fallback.emplace();
    const QString strTemp = pApp ? pApp->GetSettingsFolder() + QStringLiteral("Temp/")
                                 : fallback->path() + QLatin1Char('/');
    // Messages wait until the cursor is back to normal.
    std::vector<std::pair<QString, unsigned>> messages;
    CTextExtractor extractor(strTemp, [&messages](const QString& strMessage, unsigned nFlags)
                             { messages.emplace_back(strMessage, nFlags); });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    extractor.GetTextFromFile(strPath, strText);
    QApplication::restoreOverrideCursor();
    for (const auto& [strMessage, nFlags] : messages)
        CMessageBox::Show(this, strMessage, Title(), nFlags);
    return messages.empty() || !strText.isEmpty();
}

void CSpeechDlg::NormalizeText(QString& strText) const
{
    ::NormalizeText(strText);
}

namespace
{
// What "Open ..." offers, in the framework's pipe form; the tabs stand in
// the names as the program has always shown them.
const char g_szOpenFilter[] =
    "All files(*.txt;*.rtf;*.doc;*.htm;*.html;*.mht)|*.txt;*.rtf;*.doc;*.htm;*.html;*.mht|"
    "\t\t\tText Files (*.txt)|*.txt|RTF Files (*.rtf)|*.rtf|Word Documents (*.doc)|*.doc|"
    "\t\t\tHTML Files (*.htm;*html)|*.htm;*html|MHT Files (*.mht)|*.mht|"
    "Word 2007 Documents (*.docx)|*.docx|OpenDocument Text (*.odt)|*.odt|"
    "EPUB Books (*.epub)|*.epub|PDF Documents (*.pdf)|*.pdf||";

// Local files that a drag from a file manager carries, in its order.
QStringList DroppedFiles(const QMimeData* pData)
{
    QStringList files;
    if (!pData || !pData->hasUrls())
        return files;
    for (const QUrl& url : pData->urls())
    {
        if (!url.isLocalFile())
            continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isFile())
            files.append(info.absoluteFilePath());
    }
    return files;
}
} // namespace

void CSpeechDlg::ResetReadingDisplay()
{
    m_progress->SetPos(0);
    m_progress->hide();
    m_timeDisplay->SetText(CReadingRules::FormatElapsed(0));
    m_timeDisplay->hide();
    m_staticAnimation->hide();
    m_staticStatus->SetWindowText(QString());
    m_staticStatus->hide();
}

void CSpeechDlg::SelectFileItem(int nIndex)
{
    const QSignalBlocker blocker(m_listFiles);
    m_listFiles->setCurrentRow(nIndex);
}

void CSpeechDlg::SetPaneText(const QString& strText)
{
    m_editText->setPlainText(strText);
    m_strPaneText = strText;
}

void CSpeechDlg::OnOpenFile()
{
    // As the list's other commands: a reading that still reads its first
    // document is not busy yet, and a new file would enable its buttons.
    if (m_bBusy || m_bWorking)
        return;
    ResetReadingDisplay();
    const QString strStart =
        g_bFirstOpenDialog ? CFileDialog::UserFolder(QStandardPaths::DocumentsLocation) : QString();
    const QString strPath =
        CFileDialog::GetOpenFileName(this, QString::fromUtf8(g_szOpenFilter), strStart);
    if (strPath.isEmpty())
        return;
    g_bFirstOpenDialog = false;
    AddSourceFile(strPath);
}

bool CSpeechDlg::AddSourceFile(const QString& strPath)
{
    if (m_bBusy)
        return false;
    m_sourceFiles.append(strPath);
    m_listFiles->addItem(strPath);
    for (QWidget* pButton :
         std::initializer_list<QWidget*>{m_btnDelete, m_btnReset, m_btnSpeak, m_btnSaveAudio})
        pButton->setEnabled(true);
    if (m_sourceFiles.size() == 1)
    {
        m_bWorking = true;
        QString strText;
        GetTextFromFile(strPath, strText);
        SelectFileItem(0);
        g_nCurrentFileIndex = 0;
        SetPaneText(strText);
        m_bWorking = false;
    }
    return true;
}

void CSpeechDlg::AddSourceFiles(const QStringList& files)
{
    if (m_bBusy || m_bWorking || m_nSpeakMode != 1)
        return;
    ResetReadingDisplay();
    for (const QString& strPath : files)
        if (!AddSourceFile(strPath))
            break;
}

void CSpeechDlg::OnFileSelChange()
{
    if (m_bBusy)
    {
        if (m_listFiles->currentRow() != g_nCurrentFileIndex)
            SelectFileItem(g_nCurrentFileIndex);
        return;
    }
    const int nIndex = m_listFiles->currentRow();
    if (nIndex == -1 || nIndex == g_nCurrentFileIndex || m_bWorking)
        return;
    m_bWorking = true;
    g_nCurrentFileIndex = nIndex;
    m_listFiles->setEnabled(false);
    SetPaneText(QString());
    const QString strPath = m_listFiles->item(nIndex)->text();
    QString strText;
    GetTextFromFile(strPath, strText);
    SetPaneText(strText);
    m_listFiles->setEnabled(true);
    m_listFiles->setFocus();
    m_bWorking = false;
}

void CSpeechDlg::OnDeleteFile()
{
    if (m_bWorking || m_bBusy)
        return;
    ResetReadingDisplay();
    const int nIndex = m_listFiles->currentRow();
    if (nIndex < 0)
        return;
    m_btnDelete->setEnabled(false);
    m_bWorking = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        const QSignalBlocker blocker(m_listFiles);
        delete m_listFiles->takeItem(nIndex);
    }
    SetPaneText(QString());
    g_nCurrentFileIndex = -1;
    // The row the user deleted, not the first equal path: with duplicates
    // listed, the list and the files read would otherwise part ways.
    m_sourceFiles.removeAt(nIndex);
    const int nCount = m_listFiles->count();
    const int nSelect = nCount == 0 ? -1 : qMin(nIndex, nCount - 1);
    SelectFileItem(nSelect);
    QApplication::restoreOverrideCursor();
    if (nSelect >= 0)
    {
        // The new selection's text is the one shown.
        g_nCurrentFileIndex = nSelect;
        QString strText;
        GetTextFromFile(m_sourceFiles.at(nSelect), strText);
        SetPaneText(strText);
    }
    m_bWorking = false;
    if (nCount > 0)
    {
        m_btnDelete->setEnabled(true);
        return;
    }
    for (QWidget* pButton : std::initializer_list<QWidget*>{
             m_btnDelete, m_btnReset, m_btnSpeak, m_btnSaveAudio, m_btnZoomIn, m_btnZoomOut})
        pButton->setEnabled(false);
}

void CSpeechDlg::OnResetList()
{
    if (m_bWorking || m_bBusy)
        return;
    ResetReadingDisplay();
    m_sourceFiles.clear();
    {
        const QSignalBlocker blocker(m_listFiles);
        m_listFiles->clear();
    }
    SetPaneText(QString());
    g_nCurrentFileIndex = -1;
    for (QWidget* pButton : std::initializer_list<QWidget*>{
             m_btnDelete, m_btnReset, m_btnSpeak, m_btnSaveAudio, m_btnZoomIn, m_btnZoomOut})
        pButton->setEnabled(false);
}

// Drops from a file manager and the Delete key on the file list.
bool CSpeechDlg::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    const bool bList = pWatched == m_listFiles || pWatched == m_listFiles->viewport();
    if (!bList)
        return QDialog::eventFilter(pWatched, pEvent);
    switch (pEvent->type())
    {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    {
        auto* pDrag = static_cast<QDropEvent*>(pEvent);
        if (!m_bBusy && !m_bWorking && !DroppedFiles(pDrag->mimeData()).isEmpty())
        {
            pDrag->setDropAction(Qt::CopyAction);
            pDrag->accept();
        }
        else
        {
            pDrag->ignore();
        }
        return true;
    }
    case QEvent::Drop:
    {
        auto* pDrop = static_cast<QDropEvent*>(pEvent);
        const QStringList files = DroppedFiles(pDrop->mimeData());
        if (files.isEmpty() || m_bBusy || m_bWorking)
        {
            pDrop->ignore();
            return true;
        }
        pDrop->setDropAction(Qt::CopyAction);
        pDrop->accept();
        AddSourceFiles(files);
        return true;
    }
    case QEvent::KeyPress:
        if (pWatched == m_listFiles && static_cast<QKeyEvent*>(pEvent)->key() == Qt::Key_Delete)
        {
            OnDeleteFile();
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(pWatched, pEvent);
}
