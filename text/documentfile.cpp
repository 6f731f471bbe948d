#include "text/documentfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CDocumentFile::Status CDocumentFile::Open(const QString& strPath, QFile& file)
{
    if (strPath.isEmpty())
        return Status::Missing;
    // Without O_NONBLOCK opening a FIFO waits for a writer.
    const int fd =
        ::open(QFile::encodeName(strPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Status::Missing;
    struct stat info
    {
    };
    Status status = Status::Ok;
    if (fstat(fd, &info) != 0)
        status = Status::Missing;
    else if (!S_ISREG(info.st_mode))
        status = Status::NotRegular;
    else if (info.st_size > MaxBytes)
        status = Status::TooLarge;
    if (status == Status::Ok)
    {
        const int nFlags = fcntl(fd, F_GETFL);
        if (nFlags == -1 || fcntl(fd, F_SETFL, nFlags & ~O_NONBLOCK) == -1 ||
            !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
            status = Status::Missing;
        else
            return status;
    }
    ::close(fd);
    return status;
}

CDocumentFile::Status CDocumentFile::ReadAll(const QString& strPath, QByteArray& data)
{
    QFile file;
    const Status status = Open(strPath, file);
    if (status != Status::Ok)
        return status;
    data.clear();
    data.reserve(file.size());
    // A file that grows while it is read stops at the cap all the same.
    constexpr qint64 nChunk = qint64(1) << 20;
    while (data.size() <= MaxBytes)
    {
        const qsizetype nHave = data.size();
        data.resize(nHave + nChunk);
        const qint64 nRead = file.read(data.data() + nHave, nChunk);
        data.resize(nHave + qMax<qint64>(0, nRead));
        if (nRead <= 0)
            break;
    }
    if (data.size() > MaxBytes)
    {
        data.clear();
        data.squeeze();
        return Status::TooLarge;
    }
    return Status::Ok;
}

QString CDocumentFile::NotRegularMessage()
{
    return QStringLiteral("The file is not a regular file and was not read.");
}
