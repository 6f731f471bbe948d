// kb_runpeak RESULT PROGRAM [ARG...]: runs the program and writes into
// RESULT the peak resident size, in kB, that wait4 reports for it: the
// largest of its own and its waited-for descendants'. Exits as the program
// did.
//
// A child's ru_maxrss starts from its parent's peak at fork (the kernel
// carries the old address space's high-water mark across exec), so a
// benchmark that holds a window or a voice cannot read a small tool's peak
// itself. This launcher is small enough that its floor is about 1 MB.
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const pid_t pid = fork();
    if (pid < 0)
        return 126;
    if (pid == 0)
    {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    int nStatus = 0;
    rusage usage{};
    if (wait4(pid, &nStatus, 0, &usage) != pid)
        return 126;
    FILE* pFile = std::fopen(argv[1], "w");
    if (!pFile)
        return 126;
    std::fprintf(pFile, "%ld\n", usage.ru_maxrss);
    if (std::fclose(pFile) != 0)
        return 126;
    return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : 128 + WTERMSIG(nStatus);
}
