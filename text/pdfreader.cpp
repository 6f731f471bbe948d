#include "text/pdfreader.h"

#include <poppler-qt6.h>

#include <QRectF>
#include <memory>

namespace
{
// Poppler reports every flaw of a damaged file on standard error; the user
// gets one message instead.
void IgnorePopplerMessage(const QString&, const QVariant&) {}

void QuietPoppler()
{
    static const bool bSet = []
    {
        Poppler::setDebugErrorFunction(IgnorePopplerMessage, QVariant());
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

// Builds one page's text line by line, without a copy of each line.
class CPageText
{
public:
    explicit CPageText(QString& strText) : m_strText(strText) {}

    void AddLine(QStringView line, const QRectF& box)
    {
        line = line.trimmed();
        if (!line.isEmpty())
        {
            if (!m_strText.isEmpty())
            {
                if (StartsBlock(m_previous, box))
                    m_strText += QLatin1Char('\n');
                else if (!(IsCjk(LastCodePoint(m_strText)) && IsCjk(FirstCodePoint(line))))
                    m_strText += QLatin1Char(' ');
            }
            m_strText += line;
        }
        m_previous = box;
    }

    void Finish()
    {
        if (!m_strText.isEmpty())
            m_strText += QLatin1Char('\n');
    }

private:
    QString& m_strText;
    QRectF m_previous;
};

// The words come in reading order; a word without a next one ends its line.
void PageText(const Poppler::Page& page, QString& strText)
{
    CPageText pageText(strText);
    QString strLine;
    QRectF box;
    bool bLineOpen = false;
    for (const std::unique_ptr<Poppler::TextBox>& pWord : page.textList())
    {
        if (!pWord)
            continue;
        const QRectF wordBox = pWord->boundingBox();
        if (bLineOpen)
            box = box.united(wordBox);
        else
        {
            strLine.resize(0);
            box = wordBox;
            bLineOpen = true;
        }
        strLine += pWord->text();
        if (!pWord->nextWord())
        {
            pageText.AddLine(strLine, box);
            bLineOpen = false;
        }
        else if (pWord->hasSpaceAfter())
            strLine += QLatin1Char(' ');
    }
    if (bLineOpen)
        pageText.AddLine(strLine, box);
    pageText.Finish();
}

CPdfReader::Status Read(const QByteArray& data, QString& strText)
{
    QuietPoppler();
    const std::unique_ptr<Poppler::Document> pDocument = Poppler::Document::loadFromData(data);
    if (!pDocument)
        return CPdfReader::Status::Damaged;
    if (pDocument->isLocked())
        return CPdfReader::Status::Locked;
    const int nPages = pDocument->numPages();
    if (nPages <= 0)
        return CPdfReader::Status::Damaged;
    bool bAnyPage = false;
    for (int i = 0; i < nPages; ++i)
    {
        const std::unique_ptr<Poppler::Page> pPage = pDocument->page(i);
        if (!pPage)
            continue;
        bAnyPage = true;
        QString strPage;
        PageText(*pPage, strPage);
        strText += strPage;
    }
    if (!bAnyPage)
        return CPdfReader::Status::Damaged;
    return strText.isEmpty() ? CPdfReader::Status::NoTextLayer : CPdfReader::Status::Ok;
}
} // namespace

CPdfReader::Status CPdfReader::ToText(const QByteArray& data, QString& strText)
{
    strText.clear();
    try
    {
        const Status status = Read(data, strText);
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
