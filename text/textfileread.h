#pragma once

#include "text/textfilebase.h"

#include <QString>

// Reads a text file in ANSI, UTF-8 or UTF-16 of either byte order, line by
// line, splitting at CR, LF and CR LF.
class CTextFileRead : public CTextFileBase
{
public:
    explicit CTextFileRead(const QString& strPath);
    // Reads an already open device, which stays the caller's.
    explicit CTextFileRead(QIODevice* pDevice);

    bool ReadLine(QString& strLine);
    // Every remaining line, joined by the separator; false when not open.
    bool Read(QString& strText, QString strSeparator);

private:
    unsigned char ReadByte();
    char16_t ReadChar();
    char16_t Next();
    void Rewind();
    void DetectEncoding();
    void Requeue(const unsigned char* pBytes, int nCount);

    bool m_bHasPushback = false;
    bool m_bFirstLine = true;
    char16_t m_pushback = 0;
    // The low half of a supplementary character whose high half went out.
    bool m_bHasLowSurrogate = false;
    char16_t m_lowSurrogate = 0;
    // Bytes read ahead to check a four-byte UTF-8 sequence, delivered again.
    unsigned char m_requeued[3] = {};
    int m_nRequeued = 0;
    int m_nRequeuedPos = 0;
    // A file that grows while it is read ends at the documents' cap.
    qint64 m_nBytesLeft = 0;
};
