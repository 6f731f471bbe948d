#pragma once

// One reader on one input in a child process of its own, so that the peak
// memory it reports belongs to that input alone.
#include "bench/fuzz/fuzzinputs.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace KbBench
{
struct SReaderCase
{
    const char* pszName;
    FuzzReader reader;
    std::function<QByteArray()> make;
};

struct SReaderRun
{
    double fMs = 0;
    long nPeakKb = 0; // of the whole child, input included
    long nBaseKb = 0; // before the reader ran, the input made
    qint64 nInput = 0;
    qint64 nChars = 0;
};

inline long PeakKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// False when the child could not run or did not end normally.
inline bool RunReaderInChild(const SReaderCase& c, SReaderRun& run)
{
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    const pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0)
    {
        close(fds[0]);
        const QByteArray input = c.make();
        SReaderRun result;
        result.nInput = input.size();
        result.nBaseKb = PeakKb();
        QElapsedTimer timer;
        timer.start();
        result.nChars = RunFuzzReader(c.reader, input).size();
        result.fMs = double(timer.nsecsElapsed()) / 1e6;
        result.nPeakKb = PeakKb();
        if (write(fds[1], &result, sizeof result) != sizeof result)
            _exit(1);
        _exit(0);
    }
    close(fds[1]);
    const bool bRead = read(fds[0], &run, sizeof run) == sizeof run;
    close(fds[0]);
    int nStatus = 0;
    waitpid(pid, &nStatus, 0);
    return bRead && WIFEXITED(nStatus) && WEXITSTATUS(nStatus) == 0;
}
} // namespace KbBench
