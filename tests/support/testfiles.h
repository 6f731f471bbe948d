#pragma once

// File helpers the tests share: settings files are UTF-16 LE, and tests
// build and read them byte for byte.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace KbTest
{
inline QByteArray Utf16(const QString& str, bool bBom = true)
{
    QByteArray out = bBom ? QByteArray("\xFF\xFE", 2) : QByteArray();
    for (QChar ch : str)
    {
        out.append(char(ch.unicode() & 0xFF));
        out.append(char(ch.unicode() >> 8));
    }
    return out;
}

inline QByteArray ReadFile(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteFile(const QString& strPath, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile file(strPath);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace KbTest
