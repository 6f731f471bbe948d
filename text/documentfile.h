#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Opens a document for reading only when it is a regular file (after
// links): a FIFO would block and a device may never end. Never reads past
// the cap, whatever size the file reports.
class CDocumentFile
{
public:
    enum class Status
    {
        Ok,
        Missing,
        NotRegular,
        TooLarge
    };
    static constexpr qint64 MaxBytes = qint64(512) << 20;

    static Status Open(const QString& strPath, QFile& file);
    static Status ReadAll(const QString& strPath, QByteArray& data);
    static QString NotRegularMessage();
};
