#include "text/mhtreader.h"

#include "text/codepage.h"
#include "text/htmltext.h"

#include <map>

namespace
{
// Nested multiparts beyond this are not followed.
constexpr int MaxNesting = 6;

struct Entity
{
    std::map<QByteArray, QByteArray> headers;
    QByteArray body;
};

QByteArray Header(const Entity& entity, const char* pszName)
{
    const auto it = entity.headers.find(pszName);
    return it == entity.headers.end() ? QByteArray() : it->second;
}

// Header lines up to the first empty line; folded lines are joined. False
// when the data does not start with a header.
bool ParseEntity(const QByteArray& data, Entity& entity)
{
    entity.headers.clear();
    qsizetype nPos = 0;
    const qsizetype n = data.size();
    QByteArray lastName;
    while (nPos < n)
    {
        qsizetype nEnd = data.indexOf('\n', nPos);
        if (nEnd < 0)
            nEnd = n;
        QByteArray line = data.mid(nPos, nEnd - nPos);
        nPos = nEnd + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            break;
        if ((line.at(0) == ' ' || line.at(0) == '\t') && !lastName.isEmpty())
        {
            entity.headers[lastName].append(' ').append(line.trimmed());
            continue;
        }
        const qsizetype nColon = line.indexOf(':');
        if (nColon <= 0)
        {
            if (entity.headers.empty())
                return false;
            continue;
        }
        lastName = line.left(nColon).trimmed().toLower();
        if (lastName.contains(' '))
        {
            if (entity.headers.empty())
                return false;
            lastName.clear();
            continue;
        }
        entity.headers[lastName] = line.mid(nColon + 1).trimmed();
    }
    // The body is a view of data, which outlives the entity.
    entity.body =
        nPos < n ? QByteArray::fromRawData(data.constData() + nPos, n - nPos) : QByteArray();
    return !entity.headers.empty();
}

// The media type (lower case) and the parameters of a Content-Type value.
QByteArray MediaType(const QByteArray& value, std::map<QByteArray, QByteArray>& params)
{
    params.clear();
    qsizetype nPos = value.indexOf(';');
    const QByteArray type = (nPos < 0 ? value : value.left(nPos)).trimmed().toLower();
    while (nPos >= 0 && nPos < value.size())
    {
        ++nPos;
        const qsizetype nEq = value.indexOf('=', nPos);
        if (nEq < 0)
            break;
        const QByteArray name = value.mid(nPos, nEq - nPos).trimmed().toLower();
        qsizetype i = nEq + 1;
        while (i < value.size() && (value.at(i) == ' ' || value.at(i) == '\t'))
            ++i;
        QByteArray param;
        if (i < value.size() && value.at(i) == '"')
        {
            const qsizetype nClose = value.indexOf('"', i + 1);
            const qsizetype nStop = nClose < 0 ? value.size() : nClose;
            param = value.mid(i + 1, nStop - i - 1);
            nPos = value.indexOf(';', nStop);
        }
        else
        {
            nPos = value.indexOf(';', i);
            param = value.mid(i, (nPos < 0 ? value.size() : nPos) - i).trimmed();
        }
        params[name] = param;
    }
    return type;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

QByteArray DecodeBody(const Entity& entity)
{
    const QByteArray encoding = Header(entity, "content-transfer-encoding").trimmed().toLower();
    if (encoding == "base64")
        return QByteArray::fromBase64(entity.body);
    if (encoding == "quoted-printable")
        return CMhtReader::DecodeQuotedPrintable(entity.body);
    return QByteArray(entity.body.constData(), entity.body.size());
}

// Calls fn with each part between the boundary lines of a multipart body,
// as a view of body, until fn returns true; true when one did.
template <typename Fn> bool ForEachPart(const QByteArray& body, const QByteArray& boundary, Fn fn)
{
    const QByteArray delimiter = "--" + boundary;
    const QByteArray lineDelimiter = "\n" + delimiter;
    qsizetype nPos = body.startsWith(delimiter) ? 0 : body.indexOf(lineDelimiter);
    if (nPos < 0)
        return false;
    if (nPos > 0)
        ++nPos;
    while (nPos >= 0)
    {
        nPos += delimiter.size();
        if (nPos + 2 <= body.size() && body.at(nPos) == '-' && body.at(nPos + 1) == '-')
            break;
        const qsizetype nLineEnd = body.indexOf('\n', nPos);
        if (nLineEnd < 0)
            break;
        const qsizetype nStart = nLineEnd + 1;
        const qsizetype nNext = body.indexOf(lineDelimiter, nStart);
        qsizetype nStop = nNext < 0 ? body.size() : nNext;
        if (nStop > nStart && body.at(nStop - 1) == '\r')
            --nStop;
        if (fn(QByteArray::fromRawData(body.constData() + nStart,
                                       qMax<qsizetype>(0, nStop - nStart))))
            return true;
        nPos = nNext < 0 ? -1 : nNext + 1;
    }
    return false;
}

QByteArray StripAngles(QByteArray id)
{
    id = id.trimmed();
    if (id.startsWith('<') && id.endsWith('>') && id.size() >= 2)
        id = id.mid(1, id.size() - 2);
    return id;
}

bool FindHtml(const Entity& entity, int nDepth, QByteArray& html, unsigned& nCodePage)
{
    std::map<QByteArray, QByteArray> params;
    const QByteArray type = MediaType(Header(entity, "content-type"), params);
    if (type.startsWith("multipart/"))
    {
        if (nDepth >= MaxNesting || params["boundary"].isEmpty())
            return false;
        // Parts stay views of the archive and are parsed as they are met:
        // an archive of many small parts would otherwise take many times
        // its size.
        auto childOf = [](const QByteArray& part)
        {
            Entity child;
            if (!ParseEntity(part, child))
            {
                // A part without headers is plain text by MIME's rules.
                child.headers.clear();
                child.body = part;
            }
            return child;
        };
        const QByteArray start = StripAngles(params["start"]);
        if (!start.isEmpty())
        {
            Entity root;
            const bool bFound =
                ForEachPart(entity.body, params["boundary"],
                            [&](const QByteArray& part)
                            {
                                Entity child = childOf(part);
                                if (StripAngles(Header(child, "content-id")) != start &&
                                    Header(child, "content-location") != start)
                                    return false;
                                root = std::move(child);
                                return true;
                            });
            if (bFound)
                return FindHtml(root, nDepth + 1, html, nCodePage);
        }
        return ForEachPart(entity.body, params["boundary"],
                           [&](const QByteArray& part)
                           { return FindHtml(childOf(part), nDepth + 1, html, nCodePage); });
    }
    if (type != "text/html")
        return false;
    html = DecodeBody(entity);
    nCodePage = CCodePage::ForCharsetName(params["charset"]);
    return true;
}
} // namespace

QByteArray CMhtReader::DecodeQuotedPrintable(const QByteArray& body)
{
    QByteArray out;
    out.reserve(body.size());
    const char* p = body.constData();
    const qsizetype n = body.size();
    for (qsizetype i = 0; i < n; ++i)
    {
        if (p[i] != '=')
        {
            out.append(p[i]);
            continue;
        }
        // A soft line break, possibly after trailing blanks.
        qsizetype j = i + 1;
        while (j < n && (p[j] == ' ' || p[j] == '\t'))
            ++j;
        if (j < n && (p[j] == '\r' || p[j] == '\n'))
        {
            if (p[j] == '\r' && j + 1 < n && p[j + 1] == '\n')
                ++j;
            i = j;
            continue;
        }
        if (j == n)
            break;
        const int nHi = i + 1 < n ? HexDigit(p[i + 1]) : -1;
        const int nLo = i + 2 < n ? HexDigit(p[i + 2]) : -1;
        if (nHi >= 0 && nLo >= 0)
        {
            out.append(static_cast<char>(nHi * 16 + nLo));
            i += 2;
        }
        else
            out.append('=');
    }
    return out;
}

bool CMhtReader::FindRootHtml(const QByteArray& mht, QByteArray& html, unsigned& nCodePage)
{
    html.clear();
    nCodePage = 0;
    Entity entity;
    if (!ParseEntity(mht, entity))
        return false;
    return FindHtml(entity, 0, html, nCodePage);
}

bool CMhtReader::LooksLikeMht(const QByteArray& head)
{
    const QByteArray lower = head.left(4096).toLower();
    return lower.startsWith("mime-version:") ||
           (lower.contains("content-type: multipart/related") && !lower.trimmed().startsWith('<'));
}

QString CMhtReader::ToText(const QByteArray& mht)
{
    QByteArray html;
    unsigned nCodePage = 0;
    if (!FindRootHtml(mht, html, nCodePage))
    {
        // Saved pages renamed to .mht are plain HTML.
        if (CHtmlText::LooksLikeHtml(mht))
            return CHtmlText::FromHtml(mht);
        return QString();
    }
    // A byte-order mark outranks the declared charset, as in a browser.
    if (html.startsWith("\xEF\xBB\xBF") || html.startsWith("\xFF\xFE") ||
        html.startsWith("\xFE\xFF"))
        nCodePage = 0;
    return CHtmlText::FromHtml(html, nCodePage);
}
