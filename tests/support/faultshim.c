/* A full disk for the files under one folder, preloaded into a test or the
 * program it starts (LD_PRELOAD). KB_FAULT_DIR names the folder;
 * KB_FAULT_NAME, when set, limits it to the paths that contain that text
 * (".srt" for subtitles and their temporary files);
 * KB_FAULT_AFTER the bytes that still fit (none when unset); with
 * KB_FAULT_DEFER=1 the writes are taken and the disk says it is full only
 * when they are synced, as delayed allocation does. Files made there have
 * names, as on file systems without unnamed temporary files (O_TMPFILE),
 * so that KB_FAULT_NAME finds them. Everything else passes
 * through untouched. kb_faultshim_reload() reads the variables again, for a
 * test that changes them while it runs. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

#ifndef AT_FDCWD
#define AT_FDCWD -100
#endif

static char g_szDir[PATH_MAX];
static char g_szName[256];
static atomic_int g_bActive;
static atomic_int g_bDefer;
static atomic_llong g_nFree;
static atomic_llong g_nUsed;
static atomic_int g_bRefused;

void kb_faultshim_reload(void)
{
    atomic_store(&g_bActive, 0);
    const char* pszDir = getenv("KB_FAULT_DIR");
    const char* pszAfter = getenv("KB_FAULT_AFTER");
    const char* pszDefer = getenv("KB_FAULT_DEFER");
    const char* pszName = getenv("KB_FAULT_NAME");
    snprintf(g_szName, sizeof(g_szName), "%s", pszName ? pszName : "");
    atomic_store(&g_nUsed, 0);
    atomic_store(&g_bRefused, 0);
    atomic_store(&g_nFree, pszAfter ? atoll(pszAfter) : 0);
    atomic_store(&g_bDefer, pszDefer && strcmp(pszDefer, "1") == 0);
    if (!pszDir || !*pszDir || strlen(pszDir) + 2 > sizeof(g_szDir))
        return;
    strcpy(g_szDir, pszDir);
    size_t nLength = strlen(g_szDir);
    while (nLength > 1 && g_szDir[nLength - 1] == '/')
        g_szDir[--nLength] = '\0';
    atomic_store(&g_bActive, 1);
}

__attribute__((constructor)) static void Load(void)
{
    kb_faultshim_reload();
}

/* bName: the path must have KB_FAULT_NAME in it too. */
static int IsUnder(const char* pszPath, int bName)
{
    const size_t nLength = strlen(g_szDir);
    return strncmp(pszPath, g_szDir, nLength) == 0 &&
           (pszPath[nLength] == '/' || pszPath[nLength] == '\0' || pszPath[nLength] == ' ') &&
           (!bName || !g_szName[0] || strstr(pszPath + nLength, g_szName));
}

static int FdIsUnder(int fd)
{
    if (!atomic_load(&g_bActive))
        return 0;
    char szLink[64];
    char szPath[PATH_MAX];
    snprintf(szLink, sizeof(szLink), "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(szLink, szPath, sizeof(szPath) - 1);
    if (n <= 0)
        return 0;
    szPath[n] = '\0';
    return IsUnder(szPath, 1);
}

static int PathIsUnder(int nDirFd, const char* pszPath, int bName)
{
    if (!atomic_load(&g_bActive) || !pszPath)
        return 0;
    char szFull[PATH_MAX];
    if (pszPath[0] == '/')
        return IsUnder(pszPath, bName);
    if (nDirFd == AT_FDCWD)
    {
        if (!getcwd(szFull, sizeof(szFull)))
            return 0;
    }
    else
    {
        char szLink[64];
        snprintf(szLink, sizeof(szLink), "/proc/self/fd/%d", nDirFd);
        const ssize_t n = readlink(szLink, szFull, sizeof(szFull) - 1);
        if (n <= 0)
            return 0;
        szFull[n] = '\0';
    }
    const size_t nLength = strlen(szFull);
    snprintf(szFull + nLength, sizeof(szFull) - nLength, "/%s", pszPath);
    return IsUnder(szFull, bName);
}

/* Some bytes did not fit, or will not once synced. */
static int IsFull(void)
{
    return atomic_load(&g_bRefused) ||
           (atomic_load(&g_bDefer) && atomic_load(&g_nUsed) > atomic_load(&g_nFree));
}

/* How many of the bytes fit; -1 with ENOSPC when none does. */
static long long Room(int fd, size_t nCount)
{
    if (!FdIsUnder(fd))
        return (long long)nCount;
    if (atomic_load(&g_bDefer))
    {
        atomic_fetch_add(&g_nUsed, (long long)nCount);
        return (long long)nCount;
    }
    const long long nLeft = atomic_load(&g_nFree) - atomic_load(&g_nUsed);
    if ((long long)nCount <= nLeft)
    {
        atomic_fetch_add(&g_nUsed, (long long)nCount);
        return (long long)nCount;
    }
    atomic_store(&g_bRefused, 1);
    if (nLeft <= 0)
    {
        errno = ENOSPC;
        return -1;
    }
    atomic_fetch_add(&g_nUsed, nLeft);
    return nLeft;
}

#define REAL(name, ret, args)                                                                      \
    static ret(*pfnReal) args = NULL;                                                              \
    if (!pfnReal)                                                                                  \
        *(void**)&pfnReal = dlsym(RTLD_NEXT, name);

ssize_t write(int fd, const void* pData, size_t nCount)
{
    REAL("write", ssize_t, (int, const void*, size_t));
    const long long nRoom = Room(fd, nCount);
    if (nRoom < 0)
        return -1;
    return pfnReal(fd, pData, (size_t)nRoom);
}

ssize_t pwrite(int fd, const void* pData, size_t nCount, off_t nOffset)
{
    REAL("pwrite", ssize_t, (int, const void*, size_t, off_t));
    const long long nRoom = Room(fd, nCount);
    if (nRoom < 0)
        return -1;
    return pfnReal(fd, pData, (size_t)nRoom, nOffset);
}

ssize_t pwrite64(int fd, const void* pData, size_t nCount, off_t nOffset)
{
    REAL("pwrite64", ssize_t, (int, const void*, size_t, off_t));
    const long long nRoom = Room(fd, nCount);
    if (nRoom < 0)
        return -1;
    return pfnReal(fd, pData, (size_t)nRoom, nOffset);
}

/* A vector that does not fit whole is written as far as it fits, with
 * write, which counts it. */
ssize_t writev(int fd, const struct iovec* pVector, int nCount)
{
    REAL("writev", ssize_t, (int, const struct iovec*, int));
    if (!FdIsUnder(fd))
        return pfnReal(fd, pVector, nCount);
    ssize_t nTotal = 0;
    for (int i = 0; i < nCount; ++i)
    {
        const ssize_t n = write(fd, pVector[i].iov_base, pVector[i].iov_len);
        if (n < 0)
            return nTotal > 0 ? nTotal : -1;
        nTotal += n;
        if ((size_t)n < pVector[i].iov_len)
            break;
    }
    return nTotal;
}

static int SyncFails(int fd)
{
    if (!FdIsUnder(fd) || !IsFull())
        return 0;
    errno = ENOSPC;
    return 1;
}

int fsync(int fd)
{
    REAL("fsync", int, (int));
    if (SyncFails(fd))
        return -1;
    return pfnReal(fd);
}

int fdatasync(int fd)
{
    REAL("fdatasync", int, (int));
    if (SyncFails(fd))
        return -1;
    return pfnReal(fd);
}

static int RenameFails(int nDirFd, const char* pszNew)
{
    if (atomic_load(&g_bDefer) || !PathIsUnder(nDirFd, pszNew, 1) || !IsFull())
        return 0;
    errno = ENOSPC;
    return 1;
}

int rename(const char* pszOld, const char* pszNew)
{
    REAL("rename", int, (const char*, const char*));
    if (RenameFails(AT_FDCWD, pszNew))
        return -1;
    return pfnReal(pszOld, pszNew);
}

int renameat(int nOldDir, const char* pszOld, int nNewDir, const char* pszNew)
{
    REAL("renameat", int, (int, const char*, int, const char*));
    if (RenameFails(nNewDir, pszNew))
        return -1;
    return pfnReal(nOldDir, pszOld, nNewDir, pszNew);
}

int renameat2(int nOldDir, const char* pszOld, int nNewDir, const char* pszNew, unsigned nFlags)
{
    REAL("renameat2", int, (int, const char*, int, const char*, unsigned));
    if (RenameFails(nNewDir, pszNew))
        return -1;
    return pfnReal(nOldDir, pszOld, nNewDir, pszNew, nFlags);
}

/* Unnamed temporary files are refused under the folder, as a file system
 * without them does: the writer falls back to a named one. */
static int RefusesUnnamed(int nDirFd, const char* pszPath, int nFlags)
{
    if ((nFlags & O_TMPFILE) != O_TMPFILE || !PathIsUnder(nDirFd, pszPath, 0))
        return 0;
    errno = EOPNOTSUPP;
    return 1;
}

static mode_t ModeOf(int nFlags, va_list args)
{
    return (nFlags & O_CREAT) || (nFlags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0;
}

int open(const char* pszPath, int nFlags, ...)
{
    REAL("open", int, (const char*, int, ...));
    va_list args;
    va_start(args, nFlags);
    const mode_t nMode = ModeOf(nFlags, args);
    va_end(args);
    if (RefusesUnnamed(AT_FDCWD, pszPath, nFlags))
        return -1;
    return pfnReal(pszPath, nFlags, nMode);
}

int open64(const char* pszPath, int nFlags, ...)
{
    REAL("open64", int, (const char*, int, ...));
    va_list args;
    va_start(args, nFlags);
    const mode_t nMode = ModeOf(nFlags, args);
    va_end(args);
    if (RefusesUnnamed(AT_FDCWD, pszPath, nFlags))
        return -1;
    return pfnReal(pszPath, nFlags, nMode);
}

int openat(int nDirFd, const char* pszPath, int nFlags, ...)
{
    REAL("openat", int, (int, const char*, int, ...));
    va_list args;
    va_start(args, nFlags);
    const mode_t nMode = ModeOf(nFlags, args);
    va_end(args);
    if (RefusesUnnamed(nDirFd, pszPath, nFlags))
        return -1;
    return pfnReal(nDirFd, pszPath, nFlags, nMode);
}

int openat64(int nDirFd, const char* pszPath, int nFlags, ...)
{
    REAL("openat64", int, (int, const char*, int, ...));
    va_list args;
    va_start(args, nFlags);
    const mode_t nMode = ModeOf(nFlags, args);
    va_end(args);
    if (RefusesUnnamed(nDirFd, pszPath, nFlags))
        return -1;
    return pfnReal(nDirFd, pszPath, nFlags, nMode);
}
