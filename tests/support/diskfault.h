#pragma once

// Faults on the files of one folder, for the tests that check what a write
// leaves when the disk says no. A full disk comes from the fault shim the
// test runs under (tests/support/faultshim.c, preloaded by CTest; see
// kb_use_faultshim); a read-only folder is a real one, made so for root too.
#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>

#include <dlfcn.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace KbTest
{
// The folder's disk is full while this lives, for this process and the
// ones it starts, for the files whose path has strName in it (all when
// empty): nFree bytes still fit. With bDefer the writes are taken and the
// disk says it is full only when they are synced.
class CFullDisk
{
public:
    explicit CFullDisk(const QString& strFolder, qint64 nFree = 0, bool bDefer = false,
                       const QString& strName = QString())
    {
        qputenv("KB_FAULT_DIR", QFile::encodeName(strFolder));
        qputenv("KB_FAULT_NAME", QFile::encodeName(strName));
        qputenv("KB_FAULT_AFTER", QByteArray::number(nFree));
        qputenv("KB_FAULT_DEFER", bDefer ? "1" : "0");
        Reload();
    }
    ~CFullDisk()
    {
        qunsetenv("KB_FAULT_DIR");
        qunsetenv("KB_FAULT_NAME");
        qunsetenv("KB_FAULT_AFTER");
        qunsetenv("KB_FAULT_DEFER");
        Reload();
    }
    CFullDisk(const CFullDisk&) = delete;
    CFullDisk& operator=(const CFullDisk&) = delete;

    // False when the test was started without the shim, which then fails.
    static bool IsLoaded() { return ReloadFunction() != nullptr; }

private:
    using ReloadFn = void (*)();
    static ReloadFn ReloadFunction()
    {
        return reinterpret_cast<ReloadFn>(dlsym(RTLD_DEFAULT, "kb_faultshim_reload"));
    }
    static void Reload()
    {
        if (ReloadFn pfnReload = ReloadFunction())
            pfnReload();
    }
};

// Root writes into read-only folders: these helpers take that power away,
// so root meets a read-only folder as a user does.
class CReadOnlyFolder
{
public:
    // Makes the folder read-only and gives up root's override on this
    // thread, which the threads it starts from now on inherit; both come
    // back at the end.
    explicit CReadOnlyFolder(const QString& strFolder) : m_strFolder(strFolder)
    {
        m_bOk = QFile::setPermissions(strFolder, QFile::ReadOwner | QFile::ExeOwner |
                                                     QFile::ReadGroup | QFile::ExeGroup |
                                                     QFile::ReadOther | QFile::ExeOther);
        m_bOk = m_bOk && SetOverride(false);
    }
    ~CReadOnlyFolder()
    {
        SetOverride(true);
        QFile::setPermissions(m_strFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    CReadOnlyFolder(const CReadOnlyFolder&) = delete;
    CReadOnlyFolder& operator=(const CReadOnlyFolder&) = delete;
    bool IsActive() const { return m_bOk; }

    // For a program started by QProcess: root's override is dropped in the
    // child before it runs the program.
    static void DropOverrideIn(QProcess& process)
    {
        process.setChildProcessModifier([]()
                                        { prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0); });
    }

private:
    static bool SetOverride(bool bOn)
    {
        if (geteuid() != 0)
            return true;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2] = {};
        if (syscall(SYS_capget, &header, data) != 0)
            return false;
        const unsigned nBit = 1u << CAP_DAC_OVERRIDE;
        if (bOn)
            data[0].effective |= data[0].permitted & nBit;
        else
            data[0].effective &= ~nBit;
        return syscall(SYS_capset, &header, data) == 0;
    }

    QString m_strFolder;
    bool m_bOk = false;
};
} // namespace KbTest
