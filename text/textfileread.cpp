#include "text/textfileread.h"

#include "text/codepage.h"
#include "text/documentfile.h"

#include <QByteArray>
#include <QFile>

CTextFileRead::CTextFileRead(const QString& strPath)
{
    auto* pFile = new QFile;
    if (CDocumentFile::Open(strPath, *pFile) != CDocumentFile::Status::Ok)
    {
        m_bEof = true;
        delete pFile;
        return;
    }
    m_pFile = pFile;
    m_bOwnsFile = true;
    m_nBytesLeft = CDocumentFile::MaxBytes;
    DetectEncoding();
}

CTextFileRead::CTextFileRead(QIODevice* pDevice)
{
    if (!pDevice || !pDevice->isOpen() || !pDevice->isReadable())
    {
        m_bEof = true;
        return;
    }
    m_pFile = pDevice;
    m_bOwnsFile = false;
    m_nBytesLeft = CDocumentFile::MaxBytes;
    DetectEncoding();
}

unsigned char CTextFileRead::ReadByte()
{
    if (m_bHasPushback)
    {
        m_bHasPushback = false;
        return static_cast<unsigned char>(m_pushback & 0xFF);
    }
    if (m_nRequeuedPos < m_nRequeued)
        return m_requeued[m_nRequeuedPos++];
    if (m_nBufferPos == -1 || m_nBufferPos == 1023)
    {
        const qint64 nWant = qMin<qint64>(sizeof m_buffer, m_nBytesLeft);
        const qint64 nRead =
            IsOpen() && nWant > 0 ? m_pFile->read(reinterpret_cast<char*>(m_buffer), nWant) : 0;
        m_nBufferCount = nRead > 0 ? static_cast<int32_t>(nRead) : 0;
        m_nBytesLeft -= m_nBufferCount;
        if (m_nBufferCount == 0)
        {
            m_bEof = true;
            return 0;
        }
        m_nBufferPos = 0;
        return m_buffer[0];
    }
    ++m_nBufferPos;
    if (m_nBufferPos >= m_nBufferCount)
    {
        m_bEof = true;
        return 0;
    }
    return m_buffer[m_nBufferPos];
}

void CTextFileRead::Requeue(const unsigned char* pBytes, int nCount)
{
    for (int i = 0; i < nCount; ++i)
        m_requeued[i] = pBytes[i];
    m_nRequeued = nCount;
    m_nRequeuedPos = 0;
}

void CTextFileRead::Rewind()
{
    m_bHasPushback = false;
    m_bHasLowSurrogate = false;
    m_nRequeued = m_nRequeuedPos = 0;
    if (IsOpen())
        m_pFile->seek(0);
    m_nBytesLeft = CDocumentFile::MaxBytes;
    m_nBufferPos = -1;
    m_bFirstLine = true;
    m_bEof = false;
}

void CTextFileRead::DetectEncoding()
{
    if (!IsOpen())
        return;
    const unsigned char b0 = ReadByte();
    const unsigned char b1 = ReadByte();
    if (b0 == 0xFF && b1 == 0xFE)
    {
        m_encoding = TextEncoding::Utf16LittleEndian;
        return;
    }
    if (b0 == 0xFE && b1 == 0xFF)
    {
        m_encoding = TextEncoding::Utf16BigEndian;
        return;
    }
    if (b0 == 0xEF && b1 == 0xBB && ReadByte() == 0xBF)
    {
        m_encoding = TextEncoding::Utf8;
        return;
    }
    m_encoding = TextEncoding::Ansi;
    Rewind();
}

char16_t CTextFileRead::ReadChar()
{
    if (m_bHasPushback)
    {
        m_bHasPushback = false;
        return m_pushback;
    }
    if (m_bHasLowSurrogate)
    {
        m_bHasLowSurrogate = false;
        return m_lowSurrogate;
    }
    if (m_encoding == TextEncoding::Utf16BigEndian || m_encoding == TextEncoding::Utf16LittleEndian)
    {
        const unsigned b0 = ReadByte();
        const unsigned b1 = ReadByte();
        return static_cast<char16_t>(m_encoding == TextEncoding::Utf16BigEndian ? (b0 << 8) | b1
                                                                                : (b1 << 8) | b0);
    }
    const unsigned b = ReadByte();
    int n = 0;
    while (n < 8 && (b & (0x80u >> n)))
        ++n;
    if (n == 0)
        return static_cast<char16_t>(b);
    if (n == 2)
    {
        const unsigned c = ReadByte();
        return static_cast<char16_t>(((b & 0x1F) << 6) | (c & 0x3F));
    }
    if (n == 3)
    {
        const unsigned c = ReadByte();
        const unsigned d = ReadByte();
        return static_cast<char16_t>(((b & 0x0F) << 12) | ((c & 0x3F) << 6) | (d & 0x3F));
    }
    if (n == 4)
    {
        // A well-formed four-byte sequence is one supplementary character;
        // anything else keeps only its lead byte as a replacement.
        unsigned char tail[3];
        int nGot = 0;
        bool bHitEnd = false;
        while (nGot < 3)
        {
            const unsigned char c = ReadByte();
            if (m_bEof)
            {
                bHitEnd = true;
                break;
            }
            tail[nGot++] = c;
            if ((c & 0xC0) != 0x80)
                break;
        }
        if (nGot == 3 && (tail[2] & 0xC0) == 0x80)
        {
            const unsigned cp = ((b & 0x07) << 18) | ((tail[0] & 0x3F) << 12) |
                                ((tail[1] & 0x3F) << 6) | (tail[2] & 0x3F);
            if (cp >= 0x10000 && cp <= 0x10FFFF)
            {
                m_lowSurrogate = static_cast<char16_t>(0xDC00 | ((cp - 0x10000) & 0x3FF));
                m_bHasLowSurrogate = true;
                return static_cast<char16_t>(0xD800 | ((cp - 0x10000) >> 10));
            }
        }
        // A cut-off sequence at the end still shows each of its bytes; the
        // end of data is met again after the requeued bytes.
        if (bHitEnd)
            m_bEof = false;
        Requeue(tail, nGot);
        return 0xFFFD;
    }
    return 0xFFFD;
}

char16_t CTextFileRead::Next()
{
    return m_encoding == TextEncoding::Ansi ? ReadByte() : ReadChar();
}

bool CTextFileRead::ReadLine(QString& strLine)
{
    if (m_bEof)
        return false;
    char16_t ch = Next();
    if (m_bFirstLine)
        m_bFirstLine = false;
    else
    {
        if (ch == u'\r')
            ch = Next();
        if (ch == u'\n')
            ch = Next();
    }
    strLine.clear();
    if (m_encoding == TextEncoding::Ansi)
    {
        QByteArray bytes;
        while (ch != u'\r' && ch != u'\n')
        {
            if (m_bEof)
                break;
            bytes.append(static_cast<char>(ch));
            ch = Next();
        }
        const qsizetype nNul = bytes.indexOf('\0');
        if (nNul >= 0)
            bytes.truncate(nNul);
        strLine = CCodePage::ToUnicode(bytes, m_codePage);
    }
    else
    {
        char16_t scratch[1024];
        int nHeld = 0;
        while (ch != u'\r' && ch != u'\n')
        {
            if (m_bEof)
                break;
            scratch[nHeld++] = ch;
            if (nHeld == 1023)
            {
                strLine.append(reinterpret_cast<const QChar*>(scratch), nHeld);
                nHeld = 0;
            }
            ch = Next();
        }
        strLine.append(reinterpret_cast<const QChar*>(scratch), nHeld);
    }
    m_pushback = ch;
    m_bHasPushback = true;
    return true;
}

bool CTextFileRead::Read(QString& strText, QString strSeparator)
{
    if (!IsOpen())
        return false;
    const qsizetype nCapacity = static_cast<qsizetype>(qMax(0, GetCharCount())) + 2;
    strText.clear();
    strText.reserve(nCapacity);
    bool bFirst = true;
    QString strLine;
    while (!Eof())
    {
        if (ReadLine(strLine))
        {
            if (!bFirst)
                strText.append(strSeparator);
            bFirst = false;
            strText.append(strLine);
        }
    }
    return true;
}
