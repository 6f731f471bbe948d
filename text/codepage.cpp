#include "text/codepage.h"

#include <QMutex>
#include <QMutexLocker>
#include <array>
#include <cerrno>
#include <iconv.h>
#include <langinfo.h>
#include <map>
#include <memory>

namespace
{
QMutex g_localeMutex;
QString g_strLocaleOverride;
bool g_bHasLocaleOverride = false;

const char* IconvName(unsigned nCodePage)
{
    switch (nCodePage)
    {
    case 437:
        return "CP437";
    case 850:
        return "CP850";
    case 852:
        return "CP852";
    case 866:
        return "CP866";
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "CP936";
    case 949:
        return "CP949";
    case 950:
        return "CP950";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1252:
        return "CP1252";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 1361:
        return "JOHAB";
    case 10000:
        return "MACINTOSH";
    case 10007:
        return "MAC-CYRILLIC";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    case 20932:
        return "EUC-JP";
    case 28591:
        return "ISO-8859-1";
    case 28592:
        return "ISO-8859-2";
    case 28593:
        return "ISO-8859-3";
    case 28594:
        return "ISO-8859-4";
    case 28595:
        return "ISO-8859-5";
    case 28596:
        return "ISO-8859-6";
    case 28597:
        return "ISO-8859-7";
    case 28598:
        return "ISO-8859-8";
    case 28599:
        return "ISO-8859-9";
    case 28603:
        return "ISO-8859-13";
    case 28605:
        return "ISO-8859-15";
    case 50220:
        return "ISO-2022-JP";
    case 51932:
        return "EUC-JP";
    case 51936:
        return "GBK";
    case 51949:
        return "EUC-KR";
    case 54936:
        return "GB18030";
    default:
        return nullptr;
    }
}

// A 256-entry table per single-byte page, built once from the converter;
// bytes it leaves undefined keep their own value, as Windows does.
using ByteTable = std::array<char16_t, 256>;

const ByteTable* SingleByteTable(unsigned nCodePage)
{
    static QMutex mutex;
    static std::map<unsigned, std::unique_ptr<ByteTable>> tables;
    QMutexLocker lock(&mutex);
    auto it = tables.find(nCodePage);
    if (it != tables.end())
        return it->second.get();
    const char* pszName = IconvName(nCodePage);
    if (!pszName)
        return nullptr;
    iconv_t cd = iconv_open("UTF-16LE", pszName);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    auto table = std::make_unique<ByteTable>();
    for (int b = 0; b < 256; ++b)
    {
        char in = static_cast<char>(b);
        unsigned char out[8] = {};
        char* pIn = &in;
        size_t nIn = 1;
        char* pOut = reinterpret_cast<char*>(out);
        size_t nOut = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const size_t r = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        if (r != static_cast<size_t>(-1) && nIn == 0 && sizeof out - nOut == 2)
            (*table)[b] = static_cast<char16_t>(out[0] | (out[1] << 8));
        else
            (*table)[b] = static_cast<char16_t>(b);
    }
    iconv_close(cd);
    const ByteTable* p = table.get();
    tables.emplace(nCodePage, std::move(table));
    return p;
}

QString ConvertMultiByte(const char* pBytes, qsizetype nBytes, const char* pszName)
{
    iconv_t cd = iconv_open("UTF-16LE", pszName);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return QString::fromLatin1(pBytes, nBytes);
    QString strOut;
    strOut.reserve(nBytes);
    char16_t buffer[2048];
    char* pIn = const_cast<char*>(pBytes);
    size_t nIn = static_cast<size_t>(nBytes);
    while (nIn > 0)
    {
        char* pOut = reinterpret_cast<char*>(buffer);
        size_t nOut = sizeof buffer;
        const size_t r = iconv(cd, &pIn, &nIn, &pOut, &nOut);
        strOut.append(reinterpret_cast<const QChar*>(buffer),
                      static_cast<qsizetype>((sizeof buffer - nOut) / 2));
        if (r == static_cast<size_t>(-1))
        {
            if (errno == E2BIG)
                continue;
            // An invalid or cut-off sequence: one replacement, one byte on.
            strOut.append(QChar(0xFFFD));
            ++pIn;
            --nIn;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return strOut;
}

bool IconvKnows(const char* pszName)
{
    iconv_t cd = iconv_open("UTF-16LE", pszName);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(cd);
    return true;
}

// The character set a locale name gives after its dot ("KOI8-R" of
// "ru_RU.KOI8-R@x"); empty when it gives none.
QByteArray LocaleCharset(const QString& strLocale)
{
    const qsizetype nDot = strLocale.indexOf(QLatin1Char('.'));
    if (nDot < 0)
        return QByteArray();
    QString strSet = strLocale.mid(nDot + 1);
    const qsizetype nAt = strSet.indexOf(QLatin1Char('@'));
    if (nAt >= 0)
        strSet.truncate(nAt);
    return strSet.toLatin1();
}

QString LanguageOf(const QString& strLocale)
{
    qsizetype nEnd = 0;
    while (nEnd < strLocale.size() && strLocale.at(nEnd).isLetter())
        ++nEnd;
    return strLocale.left(nEnd).toLower();
}
} // namespace

bool CCodePage::IsDoubleByte(unsigned nCodePage)
{
    switch (nCodePage)
    {
    case 932:
    case 936:
    case 949:
    case 950:
    case 1361:
    case 20932:
    case 50220:
    case 51932:
    case 51936:
    case 51949:
    case 54936:
        return true;
    default:
        return false;
    }
}

bool CCodePage::IsValidUtf8(const char* pBytes, qsizetype nBytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(pBytes);
    const auto* pEnd = p + nBytes;
    while (p < pEnd)
    {
        const unsigned c = *p;
        if (c < 0x80)
        {
            ++p;
            continue;
        }
        int nMore;
        unsigned nMin;
        unsigned cp;
        if ((c & 0xE0) == 0xC0)
            nMore = 1, nMin = 0x80, cp = c & 0x1F;
        else if ((c & 0xF0) == 0xE0)
            nMore = 2, nMin = 0x800, cp = c & 0x0F;
        else if ((c & 0xF8) == 0xF0)
            nMore = 3, nMin = 0x10000, cp = c & 0x07;
        else
            return false;
        if (pEnd - p <= nMore)
            return false;
        for (int i = 1; i <= nMore; ++i)
        {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < nMin || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += nMore + 1;
    }
    return true;
}

QString CCodePage::ToUnicode(const char* pBytes, qsizetype nBytes, unsigned nCodePage)
{
    if (nBytes <= 0)
        return QString();
    // UTF-16 and ISO-2022 text is made of ASCII bytes without being ASCII.
    bool bAscii = nCodePage != CP_UTF16LE && nCodePage != CP_UTF16BE && nCodePage != 50220;
    for (qsizetype i = 0; bAscii && i < nBytes; ++i)
    {
        if (static_cast<unsigned char>(pBytes[i]) >= 0x80)
        {
            bAscii = false;
            break;
        }
    }
    if (bAscii)
        return QString::fromLatin1(pBytes, nBytes);
    if (nCodePage == CP_ACP)
    {
        const QString strLocale = CurrentLocaleName();
        const bool bUtf8 = LocaleIsUtf8(strLocale);
        if (bUtf8 && IsValidUtf8(pBytes, nBytes))
            return QString::fromUtf8(pBytes, nBytes);
        // A locale that names another character set reads in that set.
        const QByteArray charset = bUtf8 ? QByteArray() : LocaleCharset(strLocale);
        if (!charset.isEmpty() && IconvKnows(charset.constData()))
            return ConvertMultiByte(pBytes, nBytes, charset.constData());
        nCodePage = WindowsCodePageForLocale(strLocale);
    }
    if (nCodePage == CP_UTF8)
        return QString::fromUtf8(pBytes, nBytes);
    if (nCodePage == CP_UTF16LE || nCodePage == CP_UTF16BE)
    {
        QString strOut(nBytes / 2, Qt::Uninitialized);
        for (qsizetype i = 0; i + 1 < nBytes; i += 2)
        {
            const unsigned char b0 = static_cast<unsigned char>(pBytes[i]);
            const unsigned char b1 = static_cast<unsigned char>(pBytes[i + 1]);
            strOut[i / 2] = nCodePage == CP_UTF16LE ? QChar(b0 | (b1 << 8)) : QChar((b0 << 8) | b1);
        }
        return strOut;
    }
    if (IsDoubleByte(nCodePage))
        return ConvertMultiByte(pBytes, nBytes, IconvName(nCodePage));
    const ByteTable* pTable = SingleByteTable(nCodePage);
    if (!pTable)
        pTable = SingleByteTable(1252);
    if (!pTable)
        return QString::fromLatin1(pBytes, nBytes);
    QString strOut(nBytes, Qt::Uninitialized);
    QChar* pOut = strOut.data();
    for (qsizetype i = 0; i < nBytes; ++i)
        pOut[i] = QChar((*pTable)[static_cast<unsigned char>(pBytes[i])]);
    return strOut;
}

unsigned CCodePage::WindowsCodePageForLocale(const QString& strLocale)
{
    const QString strLang = LanguageOf(strLocale);
    static const std::map<QString, unsigned> pages = {
        {QStringLiteral("ru"), 1251}, {QStringLiteral("uk"), 1251}, {QStringLiteral("be"), 1251},
        {QStringLiteral("bg"), 1251}, {QStringLiteral("mk"), 1251}, {QStringLiteral("sr"), 1251},
        {QStringLiteral("kk"), 1251}, {QStringLiteral("ky"), 1251}, {QStringLiteral("tt"), 1251},
        {QStringLiteral("mn"), 1251}, {QStringLiteral("pl"), 1250}, {QStringLiteral("cs"), 1250},
        {QStringLiteral("sk"), 1250}, {QStringLiteral("hu"), 1250}, {QStringLiteral("sl"), 1250},
        {QStringLiteral("hr"), 1250}, {QStringLiteral("ro"), 1250}, {QStringLiteral("sq"), 1250},
        {QStringLiteral("bs"), 1250}, {QStringLiteral("el"), 1253}, {QStringLiteral("tr"), 1254},
        {QStringLiteral("az"), 1254}, {QStringLiteral("uz"), 1254}, {QStringLiteral("he"), 1255},
        {QStringLiteral("iw"), 1255}, {QStringLiteral("yi"), 1255}, {QStringLiteral("ar"), 1256},
        {QStringLiteral("fa"), 1256}, {QStringLiteral("ur"), 1256}, {QStringLiteral("et"), 1257},
        {QStringLiteral("lv"), 1257}, {QStringLiteral("lt"), 1257}, {QStringLiteral("vi"), 1258},
        {QStringLiteral("th"), 874},  {QStringLiteral("ja"), 932},  {QStringLiteral("ko"), 949},
    };
    if (strLang == QLatin1String("zh"))
    {
        const QString strLower = strLocale.toLower();
        const bool bTraditional =
            strLower.contains(QLatin1String("_tw")) || strLower.contains(QLatin1String("_hk")) ||
            strLower.contains(QLatin1String("_mo")) || strLower.contains(QLatin1String("hant"));
        return bTraditional ? 950 : 936;
    }
    const auto it = pages.find(strLang);
    return it == pages.end() ? 1252 : it->second;
}

bool CCodePage::LocaleIsUtf8(const QString& strLocale)
{
    const qsizetype nDot = strLocale.indexOf(QLatin1Char('.'));
    if (nDot >= 0)
    {
        QString strSet = strLocale.mid(nDot + 1);
        const qsizetype nAt = strSet.indexOf(QLatin1Char('@'));
        if (nAt >= 0)
            strSet.truncate(nAt);
        strSet = strSet.toLower().remove(QLatin1Char('-'));
        return strSet == QLatin1String("utf8");
    }
    if (strLocale.isEmpty() || strLocale == QLatin1String("C") ||
        strLocale == QLatin1String("POSIX"))
        return false;
    const char* pszSet = nl_langinfo(CODESET);
    return pszSet && QByteArray(pszSet).toLower().replace('-', "") == "utf8";
}

QString CCodePage::CurrentLocaleName()
{
    {
        QMutexLocker lock(&g_localeMutex);
        if (g_bHasLocaleOverride)
            return g_strLocaleOverride;
    }
    for (const char* pszVar : {"LC_ALL", "LC_CTYPE", "LANG"})
    {
        const QByteArray value = qgetenv(pszVar);
        if (!value.isEmpty())
            return QString::fromLocal8Bit(value);
    }
    return QStringLiteral("C");
}

void CCodePage::SetLocaleOverride(const QString& strLocale)
{
    QMutexLocker lock(&g_localeMutex);
    g_strLocaleOverride = strLocale;
    g_bHasLocaleOverride = !strLocale.isEmpty();
}

unsigned CCodePage::ForCharsetName(const QByteArray& name)
{
    QByteArray label = name.trimmed().toLower();
    if (label.startsWith('"') && label.endsWith('"') && label.size() >= 2)
        label = label.mid(1, label.size() - 2).trimmed();
    if (label.isEmpty())
        return 0;
    if (label == "utf-8" || label == "utf8" || label == "unicode-1-1-utf-8")
        return CP_UTF8;
    if (label == "utf-16" || label == "utf-16le" || label == "unicode" || label == "ucs-2")
        return CP_UTF16LE;
    if (label == "utf-16be" || label == "unicodefffe")
        return CP_UTF16BE;
    if (label == "us-ascii" || label == "ascii" || label == "iso-8859-1" || label == "latin1" ||
        label == "iso8859-1" || label == "iso_8859-1" || label == "l1" || label == "cp819" ||
        label == "ibm819")
        return 1252;
    if (label == "iso-8859-9" || label == "latin5" || label == "iso8859-9")
        return 1254;
    if (label == "tis-620" || label == "iso-8859-11")
        return 874;
    if (label == "shift_jis" || label == "shift-jis" || label == "sjis" || label == "ms_kanji" ||
        label == "x-sjis" || label == "windows-31j")
        return 932;
    if (label == "gb2312" || label == "gbk" || label == "x-gbk" || label == "chinese" ||
        label == "csgb2312" || label == "iso-ir-58")
        return 936;
    if (label == "gb18030")
        return 54936;
    if (label == "big5" || label == "big5-hkscs" || label == "x-x-big5" || label == "cn-big5")
        return 950;
    if (label == "euc-kr" || label == "ks_c_5601-1987" || label == "korean" || label == "ksc5601")
        return 949;
    if (label == "euc-jp" || label == "x-euc-jp")
        return 20932;
    if (label == "iso-2022-jp")
        return 50220;
    if (label == "koi8-r" || label == "koi8")
        return 20866;
    if (label == "koi8-u" || label == "koi8-ru")
        return 21866;
    if (label == "macintosh" || label == "mac" || label == "x-mac-roman")
        return 10000;
    if (label == "x-mac-cyrillic")
        return 10007;
    if (label == "ibm866" || label == "cp866")
        return 866;
    for (const char* pszPrefix : {"windows-", "cp", "x-cp", "ms-"})
    {
        if (label.startsWith(pszPrefix))
        {
            bool bOk = false;
            const unsigned n = label.mid(static_cast<qsizetype>(qstrlen(pszPrefix))).toUInt(&bOk);
            if (bOk && IconvName(n))
                return n;
        }
    }
    static const std::array<std::pair<const char*, unsigned>, 9> isoPages = {{
        {"iso-8859-2", 28592},
        {"iso-8859-3", 28593},
        {"iso-8859-4", 28594},
        {"iso-8859-5", 28595},
        {"iso-8859-6", 28596},
        {"iso-8859-7", 28597},
        {"iso-8859-8", 28598},
        {"iso-8859-13", 28603},
        {"iso-8859-15", 28605},
    }};
    for (const auto& [pszLabel, nPage] : isoPages)
    {
        if (label == pszLabel || label == QByteArray(pszLabel).replace("iso-", "iso"))
            return nPage;
    }
    if (label == "iso-8859-8-i")
        return 28598;
    return 0;
}
