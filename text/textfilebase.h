#pragma once

#include <QIODevice>
#include <cstdint>

enum class TextEncoding
{
    Ansi = 0,
    Utf16BigEndian = 1,
    Utf16LittleEndian = 2,
    Utf8 = 3
};

// The file, its raw byte buffer and its encoding.
class CTextFileBase
{
public:
    CTextFileBase();
    ~CTextFileBase();
    CTextFileBase(const CTextFileBase&) = delete;
    CTextFileBase& operator=(const CTextFileBase&) = delete;

    bool IsOpen() const;
    virtual void Close();
    bool Eof() const { return m_bEof; }
    int GetCharCount() const;
    TextEncoding GetEncoding() const { return m_encoding; }

protected:
    TextEncoding m_encoding = TextEncoding::Ansi;
    QIODevice* m_pFile = nullptr;
    bool m_bOwnsFile = false;
    bool m_bEof = false;
    unsigned char m_buffer[1024];
    int32_t m_nBufferPos = -1;
    int32_t m_nBufferCount = 0;
    uint32_t m_codePage = 0;
};
