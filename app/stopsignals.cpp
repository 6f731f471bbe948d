#include "app/stopsignals.h"

#include <atomic>
#include <csignal>
#include <iterator>

namespace
{
std::atomic<int> g_nStopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free flag");

extern "C" void OnStopSignal(int nSignal)
{
    g_nStopSignal.store(nSignal);
}

const int g_stopSignals[] = {SIGINT, SIGTERM};
struct sigaction g_previousActions[std::size(g_stopSignals)];
} // namespace

void CStopSignals::Install()
{
    g_nStopSignal = 0;
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(g_stopSignals); ++i)
        sigaction(g_stopSignals[i], &action, &g_previousActions[i]);
}

void CStopSignals::Restore()
{
    for (size_t i = 0; i < std::size(g_stopSignals); ++i)
        sigaction(g_stopSignals[i], &g_previousActions[i], nullptr);
}

bool CStopSignals::IsRequested()
{
    return g_nStopSignal.load() != 0;
}
