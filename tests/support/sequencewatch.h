#pragma once

// A guard for long runs of generated steps. It keeps the lines of the run
// under way and prints them when the process crashes, or when the run
// outlives its deadline: a window stuck in its own loops cannot be unwound
// by the test, so the process is then ended with the lines and a stack
// trace instead of stalling the whole test run.
#include <QString>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

namespace KbTest
{
class CSequenceWatch
{
public:
    // Make it once the test runner has installed its own crash handlers:
    // the lines are printed first, then those handlers run.
    CSequenceWatch()
    {
        s_pWatch = this;
        for (int i = 0; i < SIGNAL_COUNT; ++i)
        {
            struct sigaction action = {};
            action.sa_handler = &CSequenceWatch::OnFatalSignal;
            sigemptyset(&action.sa_mask);
            sigaction(s_signals[i], &action, &s_previous[i]);
        }
        m_thread = std::thread([this]() { Run(); });
    }
    ~CSequenceWatch()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bQuit = true;
        }
        m_wake.notify_all();
        m_thread.join();
        for (int i = 0; i < SIGNAL_COUNT; ++i)
            sigaction(s_signals[i], &s_previous[i], nullptr);
        s_pWatch = nullptr;
    }
    CSequenceWatch(const CSequenceWatch&) = delete;
    CSequenceWatch& operator=(const CSequenceWatch&) = delete;

    // A new run: its heading is the first line, and it must end within the
    // deadline.
    void Begin(const QString& strHeading, std::chrono::milliseconds deadline)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_strText = strHeading.toStdString() + '\n';
        m_deadline = std::chrono::steady_clock::now() + deadline;
        m_bRunning = true;
        m_wake.notify_all();
    }
    void Add(const QString& strLine)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_strText += strLine.toStdString() + '\n';
    }
    void End()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bRunning = false;
        m_wake.notify_all();
    }
    QString Text() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return QString::fromStdString(m_strText);
    }

private:
    static constexpr int SIGNAL_COUNT = 5;
    static inline const int s_signals[SIGNAL_COUNT] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
    static inline struct sigaction s_previous[SIGNAL_COUNT] = {};
    static inline CSequenceWatch* s_pWatch = nullptr;

    // Best effort: the lines are written as they stand, without a lock.
    static void OnFatalSignal(int nSignal)
    {
        if (s_pWatch && !s_pWatch->m_bReported)
        {
            s_pWatch->m_bReported = true;
            static const char s_szHeading[] = "\nThe process crashed during this run:\n";
            ssize_t nIgnored = ::write(STDERR_FILENO, s_szHeading, sizeof(s_szHeading) - 1);
            nIgnored =
                ::write(STDERR_FILENO, s_pWatch->m_strText.data(), s_pWatch->m_strText.size());
            (void)nIgnored;
        }
        for (int i = 0; i < SIGNAL_COUNT; ++i)
            if (s_signals[i] == nSignal)
                sigaction(nSignal, &s_previous[i], nullptr);
        raise(nSignal);
    }

    void Run()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (!m_bQuit)
        {
            if (!m_bRunning)
            {
                m_wake.wait(lock);
                continue;
            }
            if (m_wake.wait_until(lock, m_deadline) != std::cv_status::timeout)
                continue;
            if (!m_bRunning || std::chrono::steady_clock::now() < m_deadline)
                continue;
            m_bReported = true;
            std::fprintf(stderr, "\nFAIL! The run did not end within its deadline:\n%s",
                         m_strText.c_str());
            std::fflush(stderr);
            std::abort();
        }
    }

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::string m_strText;
    std::chrono::steady_clock::time_point m_deadline;
    bool m_bRunning = false;
    bool m_bQuit = false;
    volatile bool m_bReported = false;
    std::thread m_thread;
};
} // namespace KbTest
