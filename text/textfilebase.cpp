#include "text/textfilebase.h"

CTextFileBase::CTextFileBase() = default;

CTextFileBase::~CTextFileBase()
{
    Close();
}

bool CTextFileBase::IsOpen() const
{
    return m_pFile && m_pFile->isOpen();
}

void CTextFileBase::Close()
{
    if (m_pFile && m_bOwnsFile)
    {
        m_pFile->close();
        delete m_pFile;
    }
    m_pFile = nullptr;
}

int CTextFileBase::GetCharCount() const
{
    if (!IsOpen())
        return 0;
    const auto nLength = static_cast<int32_t>(static_cast<uint32_t>(m_pFile->size()));
    if (m_encoding == TextEncoding::Utf16BigEndian || m_encoding == TextEncoding::Utf16LittleEndian)
        return nLength / 2;
    return nLength;
}
