#include "text/textextractor.h"

#include "text/documentfile.h"
#include "text/documentformat.h"
#include "text/loadtextfile.h"
#include "text/normalizetext.h"
#include "text/textfileread.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <memory>

std::atomic<bool> g_bWordDone{false};
std::atomic<bool> g_bRtfDone{false};
std::atomic<bool> g_bHtmlLoaded{false};

namespace
{
// Shared by the window thread and one worker: a worker that outlives the
// wait still has valid data to write into.
struct ExtractJob
{
    QString strPath;
    QString strTempFolder;
    std::shared_ptr<const CDocumentFormat> pFormat;
    QString strText;
    QString strMessage;
    bool bSourceRead = false;
    // Running, then either done (the worker was first) or abandoned (the
    // wait timed out first); whoever comes second knows the other's fate.
    enum
    {
        Running,
        Done,
        Abandoned
    };
    std::atomic<int> nState{Running};
    bool Finish()
    {
        int nExpected = Running;
        return nState.compare_exchange_strong(nExpected, Done) || nExpected == Done;
    }
    bool Abandon()
    {
        int nExpected = Running;
        return nState.compare_exchange_strong(nExpected, Abandoned) || nExpected == Abandoned;
    }
    bool IsDone() const { return nState == Done; }
};

QString RefusalMessage(CDocumentFile::Status status)
{
    return status == CDocumentFile::Status::TooLarge ? CTextExtractor::TooLargeMessage()
                                                     : CDocumentFile::NotRegularMessage();
}

// Documents are read whole; past the cap the memory is refused rather than
// run out of.
bool ReadSource(ExtractJob& job, QByteArray& data)
{
    const CDocumentFile::Status status = CDocumentFile::ReadAll(job.strPath, data);
    if (status == CDocumentFile::Status::Missing)
        return false;
    job.bSourceRead = true;
    if (status != CDocumentFile::Status::Ok)
    {
        job.strMessage = RefusalMessage(status);
        return false;
    }
    return true;
}

void ConvertSource(ExtractJob& job)
{
    QByteArray data;
    if (ReadSource(job, data))
        job.strText = job.pFormat->ToText(data, job.strMessage);
}

// Word 97-2003 documents and anything else that is read straight to text.
void WordExtractThread(const std::shared_ptr<ExtractJob>& pJob)
{
    ConvertSource(*pJob);
    g_bWordDone = true;
    pJob->Finish();
}

void HtmlExtractThread(const std::shared_ptr<ExtractJob>& pJob)
{
    ConvertSource(*pJob);
    g_bHtmlLoaded = true;
    pJob->Finish();
}

// A new file at strPath, or beside it with a number: a file of that name
// may be the scratch file of another reading of a document of the same
// name, or a link, and is never written over.
bool CreateScratchFile(const QString& strPath, QFile& file)
{
    const qsizetype nDot = strPath.lastIndexOf(QLatin1Char('.'));
    for (int i = 0; i < 100; ++i)
    {
        file.setFileName(i == 0 ? strPath
                                : strPath.left(nDot) + QLatin1Char('-') + QString::number(i) +
                                      strPath.mid(nDot));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        // Only a name already taken is worth another try.
        const QFileInfo taken(file.fileName());
        if (!taken.exists() && !taken.isSymLink())
            break;
    }
    file.setFileName(strPath);
    return false;
}

// Writes the RTF document's text to its temporary file (mark FF FE, UTF-16
// little-endian, no terminator) and hands back that file's path, empty when
// none could be made.
void RtfExtractThread(const std::shared_ptr<ExtractJob>& pJob)
{
    ConvertSource(*pJob);
    if (pJob->bSourceRead && pJob->strMessage.isEmpty())
    {
        QDir().mkpath(pJob->strTempFolder);
        const QString strTemp = CTextExtractor::TempPathFor(pJob->strTempFolder, pJob->strPath);
        QByteArray bytes("\xFF\xFE", 2);
        bytes.reserve(2 + pJob->strText.size() * 2);
        for (QChar ch : qAsConst(pJob->strText))
        {
            bytes.append(static_cast<char>(ch.unicode() & 0xFF));
            bytes.append(static_cast<char>(ch.unicode() >> 8));
        }
        QFile file;
        // A cut file would be read back as a shorter text, and no one would
        // know.
        if (CreateScratchFile(strTemp, file) && file.write(bytes) == bytes.size() && file.flush())
        {
            file.close();
            pJob->strPath = file.fileName();
        }
        else
        {
            pJob->strMessage = CTextExtractor::TempFailedMessage(
                file.fileName().isEmpty() ? strTemp : file.fileName(), file.errorString());
            const bool bOpened = file.isOpen();
            file.close();
            // A close that could not flush leaves QFile unwilling to remove.
            if (bOpened)
                QFile::remove(file.fileName());
            pJob->strPath.clear();
        }
        pJob->strText.clear();
    }
    g_bRtfDone = true;
    // Nobody will read the file of a document that was given up.
    if (!pJob->Finish() && pJob->bSourceRead && pJob->strMessage.isEmpty())
        QFile::remove(pJob->strPath);
}

// Runs the worker and sleeps in an event loop until it has finished or the
// time is up; the caller's events go on being handled meanwhile.
bool RunAndWait(void (*pWorker)(const std::shared_ptr<ExtractJob>&),
                const std::shared_ptr<ExtractJob>& pJob, int nTimeout)
{
    QThread* pThread = QThread::create(pWorker, pJob);
    QEventLoop loop;
    QObject::connect(pThread, &QThread::finished, &loop, &QEventLoop::quit);
    // The thread object goes once its thread has ended, even after a
    // time-out.
    QObject::connect(pThread, &QThread::finished, pThread, &QObject::deleteLater);
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(nTimeout);
    pThread->start(QThread::NormalPriority);
    while (!pJob->IsDone() && timer.isActive())
        loop.exec();
    return pJob->IsDone() || !pJob->Abandon();
}
} // namespace

CTextExtractor::CTextExtractor(const QString& strTempFolder, TextMessageSink sink)
    : m_strTempFolder(strTempFolder), m_sink(std::move(sink))
{
    if (!m_strTempFolder.isEmpty() && !m_strTempFolder.endsWith(QLatin1Char('/')))
        m_strTempFolder += QLatin1Char('/');
}

QString CTextExtractor::TooLargeMessage()
{
    return QStringLiteral("The document is too large to read.");
}

QString CTextExtractor::TempFailedMessage(const QString& strTempPath, const QString& strReason)
{
    return QStringLiteral("The document's text cannot be written to the temporary file %1: %2")
        .arg(strTempPath, strReason);
}

QString CTextExtractor::TimeoutMessage()
{
    return QStringLiteral("The document took too long to read and was left out.");
}

QString CTextExtractor::TempPathFor(const QString& strTempFolder, const QString& strPath)
{
    QString strName = strPath.mid(strPath.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype nDot = strName.lastIndexOf(QLatin1Char('.'));
    if (nDot >= 0)
        strName.truncate(nDot);
    return strTempFolder + strName + QStringLiteral(".txt");
}

void CTextExtractor::GetTextFromFile(const QString& strPath, QString& strText)
{
    const std::shared_ptr<const CDocumentFormat> pFormat = CDocumentFormats::ForPath(strPath);
    if (pFormat && CDocumentFormats::ExtensionOf(strPath) == QLatin1String("txt"))
    {
        QFile file;
        const CDocumentFile::Status status = CDocumentFile::Open(strPath, file);
        if (status == CDocumentFile::Status::Ok)
            CTextFileRead(&file).Read(strText, QStringLiteral("\r\n"));
        else if (m_sink && status == CDocumentFile::Status::Missing)
            m_sink(QStringLiteral("Failed to get text file"), 0);
        else if (m_sink)
            m_sink(RefusalMessage(status), 0x30);
    }
    else if (pFormat)
    {
        auto pJob = std::make_shared<ExtractJob>();
        pJob->strPath = strPath;
        pJob->strTempFolder = m_strTempFolder;
        pJob->pFormat = pFormat;
        bool bDone;
        if (pFormat->ViaTextFile())
        {
            g_bRtfDone = false;
            bDone = RunAndWait(RtfExtractThread, pJob, m_nTimeout);
        }
        else if (CDocumentFormats::ExtensionOf(strPath) == QLatin1String("doc"))
        {
            g_bWordDone = false;
            bDone = RunAndWait(WordExtractThread, pJob, m_nTimeout);
        }
        else
        {
            g_bHtmlLoaded = false;
            bDone = RunAndWait(HtmlExtractThread, pJob, m_nTimeout);
        }
        if (!bDone)
        {
            if (m_sink)
                m_sink(TimeoutMessage(), 0x30);
        }
        else if (!pJob->bSourceRead)
        {
            if (m_sink)
                m_sink(QStringLiteral("Failed to get text file"), 0);
        }
        else if (!pJob->strMessage.isEmpty() && pJob->strText.isEmpty() && pFormat->ViaTextFile())
        {
            if (m_sink)
                m_sink(pJob->strMessage, 0x30);
        }
        else if (pFormat->ViaTextFile())
        {
            LoadTextFile(pJob->strPath, strText, m_sink);
            QFile::remove(pJob->strPath);
        }
        else
        {
            strText = pJob->strText;
            if (!pJob->strMessage.isEmpty() && m_sink)
                m_sink(pJob->strMessage, 0x30);
        }
    }
    NormalizeText(strText);
}
