#pragma once

// File helpers the tests share: settings files are UTF-16 LE, and tests
// build and read them byte for byte.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

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
// Writes a file of the test's own into its scratch folder and returns the
// path; a test that cannot write its input stops at once.
inline QString WriteFileIn(const QTemporaryDir& dir, const QString& strName,
                           const QByteArray& bytes)
{
    const QString strPath = dir.filePath(strName);
    if (!WriteFile(strPath, bytes))
        qFatal("cannot write %s", qPrintable(strPath));
    return strPath;
}
} // namespace KbTest
