#include "text/pdfreader.h"

#include <poppler-qt6.h>

#include <QRectF>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace
{
// Poppler reports every flaw of a damaged file on standard error; the user
// gets one message instead. The count tells a reading whether Poppler met a
// flaw while it ran.
std::atomic<quint64> g_nPopplerMessages{0};

void CountPopplerMessage(const QString&, const QVariant&)
{
    ++g_nPopplerMessages;
}

void QuietPoppler()
{
    static const bool bSet = []
    {
        Poppler::setDebugErrorFunction(CountPopplerMessage, QVariant());
        return true;
    }();
    Q_UNUSED(bSet);
}

// Poppler's word list drops its blocks: a line starts a new one when a gap
// wider than ordinary leading lies above it, when its type size changes, or
// when it is not below the line before (the next column, a side note).
bool StartsBlock(const QRectF& previous, const QRectF& line)
{
    const qreal height = qMin(previous.height(), line.height());
    if (line.top() < previous.top() + height / 2)
        return true;
    // A heading's type is larger than its body's.
    if (qMax(previous.height(), line.height()) > height * 1.2)
        return true;
    return line.top() - previous.bottom() > height * 0.3;
}

// Chinese and Japanese put no space between words, nor where a line wraps.
bool IsCjk(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

// A broken surrogate counts as no character, so never as CJK.
char32_t FirstCodePoint(QStringView text)
{
    const QChar c = text.front();
    if (!c.isSurrogate())
        return c.unicode();
    if (c.isHighSurrogate() && text.size() > 1 && text[1].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[1]);
    return 0;
}

char32_t LastCodePoint(QStringView text)
{
    const QChar c = text.back();
    if (!c.isSurrogate())
        return c.unicode();
    if (c.isLowSurrogate() && text.size() > 1 && text[text.size() - 2].isHighSurrogate())
        return QChar::surrogateToUcs4(text[text.size() - 2], c);
    return 0;
}

// Writes a page's text straight into its string, sized once for the page:
// each line goes one place past the end, leaving room for the character that
// joins it to the line before, and moves back trimmed once it is complete.
class CPageText
{
public:
    // A line takes at most its words, a space after each and the character
    // before it, so twice the words and their characters, with the page's
    // closing line break, are room enough.
    CPageText(QString& strText, qsizetype nWords, qsizetype nWordChars) : m_strText(strText)
    {
        m_strText.resize(nWordChars + 2 * nWords + 1);
        m_pStart = m_strText.data();
        m_pEnd = m_pStart;
        m_pLine = m_pStart;
        m_pLineEnd = m_pStart;
    }

    void StartLine()
    {
        m_pLine = m_pEnd + 1;
        m_pLineEnd = m_pLine;
    }

    void Add(QStringView word)
    {
        std::memcpy(m_pLineEnd, word.data(), size_t(word.size()) * sizeof(QChar));
        m_pLineEnd += word.size();
    }

    void AddSpace() { *m_pLineEnd++ = QLatin1Char(' '); }

    void EndLine(const QRectF& box)
    {
        const QStringView line = QStringView(m_pLine, m_pLineEnd).trimmed();
        if (!line.isEmpty())
        {
            if (m_pEnd != m_pStart)
            {
                if (StartsBlock(m_rcPrevious, box))
                    *m_pEnd++ = QLatin1Char('\n');
                else if (!(IsCjk(LastCodePoint(QStringView(m_pStart, m_pEnd))) &&
                           IsCjk(FirstCodePoint(line))))
                    *m_pEnd++ = QLatin1Char(' ');
            }
            std::memmove(m_pEnd, line.data(), size_t(line.size()) * sizeof(QChar));
            m_pEnd += line.size();
        }
        m_rcPrevious = box;
    }

    void Finish()
    {
        if (m_pEnd != m_pStart)
            *m_pEnd++ = QLatin1Char('\n');
        m_strText.truncate(m_pEnd - m_pStart);
    }

private:
    QString& m_strText;
    QChar* m_pStart;
    QChar* m_pEnd;
    QChar* m_pLine;
    QChar* m_pLineEnd;
    QRectF m_rcPrevious;
};

// The words come in reading order; a word without a next one ends its line.
void PageText(const Poppler::Page& page, QString& strText)
{
    const std::vector<std::unique_ptr<Poppler::TextBox>> words = page.textList();
    qsizetype nWordChars = 0;
    for (const std::unique_ptr<Poppler::TextBox>& pWord : words)
    {
        if (pWord)
            nWordChars += pWord->text().size();
    }
    CPageText pageText(strText, qsizetype(words.size()), nWordChars);
    QRectF box;
    bool bLineOpen = false;
    for (const std::unique_ptr<Poppler::TextBox>& pWord : words)
    {
        if (!pWord)
            continue;
        const QRectF wordBox = pWord->boundingBox();
        if (bLineOpen)
            box = box.united(wordBox);
        else
        {
            pageText.StartLine();
            box = wordBox;
            bLineOpen = true;
        }
        pageText.Add(pWord->text());
        if (!pWord->nextWord())
        {
            pageText.EndLine(box);
            bLineOpen = false;
        }
        else if (pWord->hasSpaceAfter())
            pageText.AddSpace();
    }
    if (bLineOpen)
        pageText.EndLine(box);
    pageText.Finish();
}

// One page's text as a reading thread left it for the collector.
struct PageResult
{
    QString strText;
    bool bPage = false;
    bool bFailed = false;
    bool bReady = false;
};

PageResult ReadPage(const Poppler::Document& document, int nPage)
{
    PageResult result;
    try
    {
        const std::unique_ptr<Poppler::Page> pPage = document.page(nPage);
        result.bPage = pPage != nullptr;
        if (pPage)
            PageText(*pPage, result.strText);
    }
    catch (...)
    {
        result = PageResult();
        result.bFailed = true;
    }
    result.bReady = true;
    return result;
}

// Hands the pages out in order to the reading threads and gives their texts
// back in page order. Reading stays a few pages ahead of collecting, so the
// texts waiting to be collected stay few however long the document.
class CPageQueue
{
public:
    // Reading starts at page nFirst.
    CPageQueue(int nPages, int nFirst, int nAhead)
        : m_nPages(nPages), m_vecSlots(size_t(nAhead)), m_nNext(nFirst), m_nCollected(nFirst)
    {
    }

    // The next page to read, or -1 when none is left or reading stopped.
    int Take()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cvTake.wait(lock, [this] { return m_bStop || m_nNext >= m_nPages || HasRoom(); });
        if (m_bStop || m_nNext >= m_nPages)
            return -1;
        return m_nNext++;
    }

    void Put(int nPage, PageResult result)
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            Slot(nPage) = std::move(result);
        }
        m_cvCollect.notify_one();
    }

    PageResult Collect(int nPage)
    {
        PageResult result;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_cvCollect.wait(lock, [&] { return Slot(nPage).bReady; });
            result = std::move(Slot(nPage));
            Slot(nPage) = PageResult();
            m_nCollected = nPage + 1;
        }
        m_cvTake.notify_all();
        return result;
    }

    void Stop()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_bStop = true;
        }
        m_cvTake.notify_all();
    }

private:
    bool HasRoom() const { return m_nNext < m_nCollected + int(m_vecSlots.size()); }
    PageResult& Slot(int nPage) { return m_vecSlots[size_t(nPage) % m_vecSlots.size()]; }

    std::mutex m_mutex;
    std::condition_variable m_cvTake;
    std::condition_variable m_cvCollect;
    const int m_nPages;
    std::vector<PageResult> m_vecSlots;
    int m_nNext;
    int m_nCollected;
    bool m_bStop = false;
};

void ReadPages(const Poppler::Document& document, CPageQueue& queue)
{
    for (int nPage = queue.Take(); nPage >= 0; nPage = queue.Take())
        queue.Put(nPage, ReadPage(document, nPage));
}

// A Poppler document serves one thread at a time: each further reader opens
// its own copy from the same bytes.
void ReadPagesOwnCopy(const QByteArray& data, CPageQueue& queue)
{
    try
    {
        const std::unique_ptr<Poppler::Document> pDocument = Poppler::Document::loadFromData(data);
        if (pDocument && !pDocument->isLocked())
            ReadPages(*pDocument, queue);
    }
    catch (...)
    {
    }
}

// The reading threads end before the queue they share goes, however the
// collector leaves.
class CReaders
{
public:
    explicit CReaders(CPageQueue& queue) : m_queue(queue) {}
    ~CReaders()
    {
        m_queue.Stop();
        for (std::thread& thread : m_vecThreads)
            thread.join();
    }
    // False when the system has no thread to spare.
    bool Start(std::function<void()> read)
    {
        try
        {
            m_vecThreads.emplace_back(std::move(read));
            return true;
        }
        catch (const std::exception&)
        {
            return false;
        }
    }

private:
    CPageQueue& m_queue;
    std::vector<std::thread> m_vecThreads;
};

// Below this many pages a further copy of the document costs more than its
// thread saves.
constexpr int PagesPerThread = 4;
constexpr int MaxThreads = 4;
// Pages read ahead of the one collected, for each thread.
constexpr int PagesAhead = 4;

CPdfReader::Status Open(const QByteArray& data, std::unique_ptr<Poppler::Document>& pDocument,
                        int& nPages)
{
    pDocument = Poppler::Document::loadFromData(data);
    if (!pDocument)
        return CPdfReader::Status::Damaged;
    if (pDocument->isLocked())
        return CPdfReader::Status::Locked;
    nPages = pDocument->numPages();
    return nPages > 0 ? CPdfReader::Status::Ok : CPdfReader::Status::Damaged;
}

CPdfReader::Status Finish(bool bAnyPage, const QString& strText)
{
    if (!bAnyPage)
        return CPdfReader::Status::Damaged;
    return strText.isEmpty() ? CPdfReader::Status::NoTextLayer : CPdfReader::Status::Ok;
}

CPdfReader::Status ReadInOrder(const Poppler::Document& document, int nPages, QString& strText)
{
    bool bAnyPage = false;
    for (int nPage = 0; nPage < nPages; ++nPage)
    {
        const PageResult result = ReadPage(document, nPage);
        if (result.bFailed)
            return CPdfReader::Status::Damaged;
        bAnyPage = bAnyPage || result.bPage;
        strText += result.strText;
    }
    return Finish(bAnyPage, strText);
}

// Each copy of a damaged document repairs it at its own moment, so its text
// read in threads would depend on which thread read which page: once Poppler
// reports a flaw the threads' text is dropped (no status), for one thread to
// read the document again.
std::optional<CPdfReader::Status> ReadInThreads(const QByteArray& data,
                                                const Poppler::Document& document, int nPages,
                                                int nThreads, quint64 nMessages, QString& strText)
{
    bool bAnyPage = false;
    std::optional<CPdfReader::Status> stop;
    const auto add = [&](const PageResult& result)
    {
        if (g_nPopplerMessages != nMessages)
            return false;
        if (result.bFailed)
        {
            stop = CPdfReader::Status::Damaged;
            return false;
        }
        bAnyPage = bAnyPage || result.bPage;
        strText += result.strText;
        return true;
    };
    // Poppler sets up state that every document shares when it first draws
    // a page, and not safely for two threads at once: the pages up to the
    // first one Poppler finds are read before the threads start.
    int nPage = 0;
    while (nPage < nPages && !bAnyPage)
    {
        if (!add(ReadPage(document, nPage++)))
            return stop;
    }
    CPageQueue queue(nPages, nPage, nThreads * PagesAhead);
    CReaders readers(queue);
    if (nPage < nPages && !readers.Start([&document, &queue] { ReadPages(document, queue); }))
        return std::nullopt;
    for (int i = 1; i < nThreads && nPage < nPages; ++i)
        readers.Start([&data, &queue] { ReadPagesOwnCopy(data, queue); });
    for (; nPage < nPages; ++nPage)
    {
        if (!add(queue.Collect(nPage)))
            return stop;
    }
    return Finish(bAnyPage, strText);
}

CPdfReader::Status Read(const QByteArray& data, QString& strText, int nMaxThreads)
{
    QuietPoppler();
    const quint64 nMessages = g_nPopplerMessages;
    std::unique_ptr<Poppler::Document> pDocument;
    int nPages = 0;
    CPdfReader::Status status = Open(data, pDocument, nPages);
    if (status != CPdfReader::Status::Ok)
        return status;
    const int nThreads =
        qMin(nPages / PagesPerThread,
             nMaxThreads > 0 ? nMaxThreads : qMin(QThread::idealThreadCount(), MaxThreads));
    if (nThreads > 1 && g_nPopplerMessages == nMessages)
    {
        if (const std::optional<CPdfReader::Status> threaded =
                ReadInThreads(data, *pDocument, nPages, nThreads, nMessages, strText))
            return *threaded;
        // Read once more from the start, as one thread alone reads it.
        strText.clear();
        status = Open(data, pDocument, nPages);
        if (status != CPdfReader::Status::Ok)
            return status;
    }
    return ReadInOrder(*pDocument, nPages, strText);
}
} // namespace

CPdfReader::Status CPdfReader::ToText(const QByteArray& data, QString& strText, int nMaxThreads)
{
    strText.clear();
    try
    {
        const Status status = Read(data, strText, nMaxThreads);
        if (status != Status::Ok)
            strText.clear();
        return status;
    }
    catch (...)
    {
    }
    strText.clear();
    return Status::Damaged;
}

QString CPdfReader::StatusMessage(Status status)
{
    switch (status)
    {
    case Status::Damaged:
        return QStringLiteral("The PDF is damaged and cannot be read.");
    case Status::Locked:
        return QStringLiteral("The PDF is protected by a password and was not read.");
    case Status::NoTextLayer:
        return QStringLiteral(
            "The PDF holds no text layer (a scanned document?) and was not read.");
    case Status::Ok:
        break;
    }
    return QString();
}
