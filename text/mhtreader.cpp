#include "text/mhtreader.h"

#include "text/codepage.h"
#include "text/htmltext.h"

#include <QHash>
#include <QUrl>
#include <map>
#include <vector>

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

Entity ChildOf(const QByteArray& part)
{
    Entity child;
    if (!ParseEntity(part, child))
    {
        // A part without headers is plain text by MIME's rules.
        child.headers.clear();
        child.body = part;
    }
    return child;
}

bool FindHtml(const Entity& entity, int nDepth, QByteArray& html, unsigned& nCodePage,
              QByteArray& location)
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
        const QByteArray start = StripAngles(params["start"]);
        if (!start.isEmpty())
        {
            Entity root;
            const bool bFound =
                ForEachPart(entity.body, params["boundary"],
                            [&](const QByteArray& part)
                            {
                                Entity child = ChildOf(part);
                                if (StripAngles(Header(child, "content-id")) != start &&
                                    Header(child, "content-location") != start)
                                    return false;
                                root = std::move(child);
                                return true;
                            });
            if (bFound)
                return FindHtml(root, nDepth + 1, html, nCodePage, location);
        }
        return ForEachPart(
            entity.body, params["boundary"],
            [&](const QByteArray& part)
            { return FindHtml(ChildOf(part), nDepth + 1, html, nCodePage, location); });
    }
    if (type != "text/html")
        return false;
    html = DecodeBody(entity);
    nCodePage = CCodePage::ForCharsetName(params["charset"]);
    location = Header(entity, "content-location").trimmed();
    return true;
}

QString UrlKey(const QUrl& url)
{
    return url.adjusted(QUrl::NormalizePathSegments).toString(QUrl::FullyEncoded);
}

// The archive's style sheet parts, found by the links of its root page.
class CStyleParts
{
public:
    CStyleParts(const QByteArray& mht, const QByteArray& rootLocation)
        : m_mht(mht), m_base(QUrl(QString::fromUtf8(rootLocation)))
    {
    }
    QByteArray Find(const QByteArray& href)
    {
        if (!m_bCollected)
        {
            m_bCollected = true;
            Entity entity;
            if (ParseEntity(m_mht, entity))
                Collect(entity, 0);
        }
        const QString strHref = QString::fromUtf8(href);
        int nPart = -1;
        if (strHref.startsWith(QLatin1String("cid:"), Qt::CaseInsensitive))
            nPart = m_byId.value(strHref.mid(4).toUtf8(), -1);
        if (nPart < 0)
            nPart = m_byLocation.value(strHref, -1);
        if (nPart < 0)
            nPart = m_byLocation.value(UrlKey(m_base.resolved(QUrl(strHref))), -1);
        // Each part is read once: a page that links one part many times
        // would otherwise cost many times the archive.
        if (nPart < 0 || m_parts[size_t(nPart)].bUsed)
            return QByteArray();
        Part& part = m_parts[size_t(nPart)];
        part.bUsed = true;
        QByteArray css = DecodeBody(part.entity);
        if (css.startsWith("\xEF\xBB\xBF"))
            css.remove(0, 3);
        const unsigned nCodePage = CCodePage::ForCharsetName(part.charset);
        if (nCodePage != 0 && nCodePage != CCodePage::CP_UTF8)
            css = CCodePage::ToUnicode(css, nCodePage).toUtf8();
        return css;
    }

private:
    struct Part
    {
        Entity entity;
        QByteArray charset;
        bool bUsed = false;
    };

    void Collect(const Entity& entity, int nDepth)
    {
        std::map<QByteArray, QByteArray> params;
        const QByteArray type = MediaType(Header(entity, "content-type"), params);
        if (type.startsWith("multipart/"))
        {
            if (nDepth >= MaxNesting || params["boundary"].isEmpty())
                return;
            ForEachPart(entity.body, params["boundary"],
                        [&](const QByteArray& part)
                        {
                            Collect(ChildOf(part), nDepth + 1);
                            return false;
                        });
            return;
        }
        if (type != "text/css")
            return;
        const int nPart = static_cast<int>(m_parts.size());
        const QByteArray location = Header(entity, "content-location").trimmed();
        if (!location.isEmpty())
        {
            const QString strLocation = QString::fromUtf8(location);
            m_byLocation.insert(strLocation, nPart);
            m_byLocation.insert(UrlKey(QUrl(strLocation)), nPart);
        }
        const QByteArray id = StripAngles(Header(entity, "content-id"));
        if (!id.isEmpty())
            m_byId.insert(id, nPart);
        m_parts.push_back({entity, params["charset"], false});
    }

    const QByteArray& m_mht;
    const QUrl m_base;
    bool m_bCollected = false;
    std::vector<Part> m_parts;
    QHash<QString, int> m_byLocation;
    QHash<QByteArray, int> m_byId;
};
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
    QByteArray location;
    return FindHtml(entity, 0, html, nCodePage, location);
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
    QByteArray location;
    Entity entity;
    if (!ParseEntity(mht, entity) || !FindHtml(entity, 0, html, nCodePage, location))
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
    CStyleParts parts(mht, location);
    return CHtmlText::FromHtml(html, nCodePage,
                               [&parts](const QByteArray& href) { return parts.Find(href); });
}
