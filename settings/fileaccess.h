#pragma once

#include <QString>

// True when the current user's effective identity is granted every access
// of the mask (R_OK, W_OK, X_OK of <unistd.h>) to the file or folder; any
// failure to check counts as no access.
bool HasFileAccess(const QString& strPath, int nAccessMask);

// True when files may be created in the folder.
bool CanWriteFolder(const QString& strPath);
