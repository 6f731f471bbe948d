#include "text/pdfreader.h"

#include <poppler-qt6.h>

#include <QRectF>
#include <memory>
#include <vector>

namespace
{
// A line of one block: its words' text and the box around them.
struct Line
{
    QString strText;
    QRectF box;
};

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

// The words come in reading order; a word without a next one ends its line.
std::vector<Line> PageLines(const Poppler::Page& page)
{
    std::vector<Line> lines;
    bool bLineOpen = false;
    for (const std::unique_ptr<Poppler::TextBox>& pWord : page.textList())
    {
        if (!pWord)
            continue;
        if (!bLineOpen)
        {
            lines.push_back(Line{QString(), pWord->boundingBox()});
            bLineOpen = true;
        }
        Line& line = lines.back();
        line.strText += pWord->text();
        line.box = line.box.united(pWord->boundingBox());
        if (!pWord->nextWord())
            bLineOpen = false;
        else if (pWord->hasSpaceAfter())
            line.strText += QLatin1Char(' ');
    }
    return lines;
}

// Poppler's word list drops its blocks: a line starts a new one when a gap
// wider than ordinary leading lies above it, when its type size changes, or
// when it is not below the line before (the next column, a side note).
bool StartsBlock(const Line& previous, const Line& line)
{
    const qreal height = qMin(previous.box.height(), line.box.height());
    if (line.box.top() < previous.box.top() + height / 2)
        return true;
    // A heading's type is larger than its body's.
    if (qMax(previous.box.height(), line.box.height()) > height * 1.2)
        return true;
    return line.box.top() - previous.box.bottom() > height * 0.3;
}

// Chinese and Japanese put no space between words, nor where a line wraps.
bool IsCjk(char32_t c)
{
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

bool JoinsWithoutSpace(const QString& strBefore, const QString& strAfter)
{
    const QList<uint> before = QStringView(strBefore).right(2).toUcs4();
    const QList<uint> after = QStringView(strAfter).left(2).toUcs4();
    return !before.isEmpty() && !after.isEmpty() && IsCjk(before.back()) && IsCjk(after.front());
}

void AppendPage(const Poppler::Page& page, QString& strText)
{
    const std::vector<Line> lines = PageLines(page);
    for (size_t i = 0; i < lines.size(); ++i)
    {
        const QString strLine = lines[i].strText.trimmed();
        if (strLine.isEmpty())
            continue;
        if (i > 0 && !strText.isEmpty() && !strText.endsWith(QLatin1Char('\n')) &&
            StartsBlock(lines[i - 1], lines[i]))
            strText += QLatin1Char('\n');
        else if (!strText.isEmpty() && !strText.endsWith(QLatin1Char('\n')) &&
                 !JoinsWithoutSpace(strText, strLine))
            strText += QLatin1Char(' ');
        strText += strLine;
    }
    if (!strText.isEmpty() && !strText.endsWith(QLatin1Char('\n')))
        strText += QLatin1Char('\n');
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
        AppendPage(*pPage, strText);
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
