#include "text/unicodetextfile.h"

#include <QSaveFile>
#include <unistd.h>

QByteArray CUnicodeTextFile::Encode(const QString& strText)
{
    QByteArray bytes;
    bytes.reserve(2 + strText.size() * 2);
    bytes.append("\xFF\xFE", 2);
    for (const QChar ch : strText)
    {
        const char16_t nUnit = ch.unicode();
        bytes.append(char(nUnit & 0xFF));
        bytes.append(char(nUnit >> 8));
    }
    return bytes;
}

bool CUnicodeTextFile::Save(const QString& strPath, const QString& strText)
{
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = Encode(strText);
    // commit() reports neither a buffered write the disk refused nor a
    // failed sync, which is where a full disk may first say so.
    if (file.write(bytes) != bytes.size() || !file.flush() || ::fsync(file.handle()) != 0)
    {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
