#include "settings/fileaccess.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

bool HasFileAccess(const QString& strPath, int nAccessMask)
{
    if (strPath.isEmpty())
        return false;
    return faccessat(AT_FDCWD, QFile::encodeName(strPath).constData(), nAccessMask, AT_EACCESS) ==
           0;
}

bool CanWriteFolder(const QString& strPath)
{
    // Creating a file needs the right to search the folder as well.
    return HasFileAccess(strPath, W_OK | X_OK);
}
