#pragma once

// What the long-use benchmarks share: the window as the program starts it,
// its voice heard through a sink that notes the audio clock, the process's
// memory, descriptors and threads over a long run, and the tables.
//
// The word timing follows bench_eventtiming: a word is due when the sink's
// clock reaches its audio; the gap is from then to the window selecting it.
// The window takes the voice's events itself, so the sink reads the voice's
// status at each clock reading instead: a word first seen there was released
// by the reading before, and its audio came after the reading before that.
// Timing from that earlier reading, a gap is never shorter than the real one.
#include "readingbench.h"
#include "res/resourceids.h"
#include "speech/spqtaudiosink.h"
#include "speech/spsilentaudiosink.h"
#include "tests/support/testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QMutex>
#include <QMutexLocker>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <unistd.h>
#include <vector>

namespace KbLongUse
{
// KB_LONGUSE_SCALE (above 0, below 1) shortens durations and counts for a
// quick check; figures to report come from full runs only.
inline double Scale()
{
    bool bOk = false;
    const double dScale = qEnvironmentVariable("KB_LONGUSE_SCALE").toDouble(&bOk);
    return bOk && dScale > 0 && dScale < 1 ? dScale : 1.0;
}

inline qint64 ScaledMs(qint64 nFullMs)
{
    return qMax<qint64>(1000, qint64(std::llround(double(nFullMs) * Scale())));
}

inline int ScaledCount(int nFull)
{
    return qMax(1, int(std::lround(nFull * Scale())));
}

inline qint64 NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

inline long VmRssKb()
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// The process's open descriptors (number, target) and threads (id, name).
struct SProcessState
{
    QMap<int, QString> fds;
    QMap<int, QString> threads;
};

inline SProcessState TakeProcessState()
{
    SProcessState state;
    const QDir fdDir(QStringLiteral("/proc/self/fd"));
    for (const QString& strFd :
         fdDir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
    {
        // The listing's own descriptor is closed by now.
        char szTarget[512];
        const ssize_t nLength = readlink(QFile::encodeName(fdDir.filePath(strFd)).constData(),
                                         szTarget, sizeof(szTarget));
        if (nLength > 0)
            state.fds.insert(strFd.toInt(), QString::fromLocal8Bit(szTarget, int(nLength)));
    }
    const QDir taskDir(QStringLiteral("/proc/self/task"));
    for (const QString& strTid : taskDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        state.threads.insert(
            strTid.toInt(),
            QString::fromUtf8(
                KbTest::ReadFile(taskDir.filePath(strTid + QStringLiteral("/comm"))).trimmed()));
    return state;
}

// What is new in the later state, for the report.
inline QStringList NewEntries(const QMap<int, QString>& before, const QMap<int, QString>& after)
{
    QStringList added;
    for (auto it = after.begin(); it != after.end(); ++it)
        if (!before.contains(it.key()) || before.value(it.key()) != it.value())
            added.append(QStringLiteral("%1 %2").arg(it.key()).arg(it.value()));
    return added;
}

// The state once transient threads are gone: a worker pool's idle threads
// (and their descriptors) end 30 s after their last task. One that never
// ends is counted.
inline SProcessState QuietState(int nMaxMs = 45000)
{
    QElapsedTimer waited;
    waited.start();
    QTest::qWait(3000);
    SProcessState state = TakeProcessState();
    while (waited.elapsed() < nMaxMs &&
           !state.threads.keys(QStringLiteral("Thread (pooled)")).isEmpty())
    {
        QTest::qWait(1000);
        state = TakeProcessState();
    }
    return state;
}

// Resident memory sampled every few seconds from Start to Stop.
class CMemoryWatch
{
public:
    struct SSample
    {
        double dSeconds;
        long nKb;
    };

    explicit CMemoryWatch(int nIntervalMs = 5000)
    {
        m_samples.reserve(4096);
        m_timer.setInterval(nIntervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this]() { Sample(); });
    }

    void Start()
    {
        m_clock.start();
        Sample();
        m_timer.start();
    }
    void Stop()
    {
        m_timer.stop();
        Sample();
    }

    double Seconds() const { return m_samples.empty() ? 0 : m_samples.back().dSeconds; }
    // The first sample a minute or more into the run (the last one of a
    // shorter run).
    long FirstMinuteKb() const
    {
        for (const SSample& sample : m_samples)
            if (sample.dSeconds >= 60.0)
                return sample.nKb;
        return m_samples.empty() ? -1 : m_samples.back().nKb;
    }
    long MaxKb() const
    {
        long nMax = -1;
        for (const SSample& sample : m_samples)
            nMax = std::max(nMax, sample.nKb);
        return nMax;
    }
    long LastKb() const { return m_samples.empty() ? -1 : m_samples.back().nKb; }
    // How far memory rose above the first-minute value afterwards.
    long GrowthKb() const
    {
        const long nBase = FirstMinuteKb();
        long nMax = nBase;
        for (const SSample& sample : m_samples)
            if (sample.dSeconds >= 60.0)
                nMax = std::max(nMax, sample.nKb);
        return nMax - nBase;
    }
    // One value a minute (and the last), in MB.
    QString ByMinute() const
    {
        QString strLine;
        int nLastMinute = -1;
        for (size_t i = 0; i < m_samples.size(); ++i)
        {
            const SSample& sample = m_samples[i];
            const int nMinute = int((sample.dSeconds + 0.5) / 60.0);
            if (nMinute <= nLastMinute && i + 1 < m_samples.size())
                continue;
            nLastMinute = nMinute;
            strLine += QStringLiteral(" %1:%2 %3")
                           .arg(int(sample.dSeconds) / 60)
                           .arg(int(sample.dSeconds) % 60, 2, 10, QLatin1Char('0'))
                           .arg(double(sample.nKb) / 1024.0, 0, 'f', 1);
        }
        return strLine.trimmed();
    }

private:
    void Sample() { m_samples.push_back({double(m_clock.nsecsElapsed()) / 1e9, VmRssKb()}); }

    QElapsedTimer m_clock;
    QTimer m_timer;
    std::vector<SSample> m_samples;
};

// A word as the sink saw the voice release it: its audio came after
// nEarliestNs (the clock reading before the one that released it), and it
// was released at nReleasedNs.
struct SWordHeard
{
    quint32 nPos;
    qint64 nEarliestNs;
    qint64 nReleasedNs;
};

struct SUtteranceHeard
{
    qint64 nStartNs = 0;
    qint64 nHeardUs = 0;
    // How long the device's clock stood still within the utterance.
    qint64 nStillNs = 0;
    std::vector<SWordHeard> words;
};

// Every utterance the voice played since the log was made, shared between
// the voice's thread (the sink) and the window's.
class CAudioLog
{
public:
    static CAudioLog& Get()
    {
        static CAudioLog log;
        return log;
    }

    void SetVoice(CSpVoice* pVoice) { m_pVoice = pVoice; }
    CSpVoice* Voice() const { return m_pVoice; }
    void SetSoundServer(bool bServer) { m_bServer = bServer; }
    bool UsesSoundServer() const { return m_bServer; }

    int Begin(qint64 nStartNs)
    {
        QMutexLocker lock(&m_mutex);
        m_utterances.emplace_back();
        m_utterances.back().nStartNs = nStartNs;
        m_nCurrent = int(m_utterances.size()) - 1;
        return m_nCurrent;
    }
    void AddWord(int nSerial, const SWordHeard& word)
    {
        QMutexLocker lock(&m_mutex);
        m_utterances[size_t(nSerial)].words.push_back(word);
    }
    void SetHeard(int nSerial, qint64 nUs)
    {
        QMutexLocker lock(&m_mutex);
        qint64& nHeard = m_utterances[size_t(nSerial)].nHeardUs;
        nHeard = std::max(nHeard, nUs);
    }
    void AddStill(int nSerial, qint64 nNs)
    {
        QMutexLocker lock(&m_mutex);
        m_utterances[size_t(nSerial)].nStillNs += nNs;
    }
    void NoteNoDevice() { m_bNoDevice = true; }
    bool HadNoDevice() const { return m_bNoDevice; }
    // The utterance playing now or last; -1 before the first.
    int Current() const { return m_nCurrent; }
    int Count() const
    {
        QMutexLocker lock(&m_mutex);
        return int(m_utterances.size());
    }
    SUtteranceHeard Utterance(int nSerial) const
    {
        QMutexLocker lock(&m_mutex);
        return m_utterances.at(size_t(nSerial));
    }

private:
    CAudioLog() { m_utterances.reserve(1024); }

    mutable QMutex m_mutex;
    std::vector<SUtteranceHeard> m_utterances;
    std::atomic<int> m_nCurrent{-1};
    std::atomic<CSpVoice*> m_pVoice{nullptr};
    std::atomic<bool> m_bServer{false};
    std::atomic<bool> m_bNoDevice{false};
};

// The real device (the sound server's default sink, as the program picks
// it) or the silent real-time sink, noting each reading of its clock.
class CClockedSink : public CSpAudioSink
{
public:
    bool Start(const WAVEFORMATEX& format) override
    {
        CAudioLog& log = CAudioLog::Get();
        if (log.UsesSoundServer())
        {
            const QAudioDevice device = CSpQtAudioSink::FindDevice(format);
            if (device.isNull())
            {
                log.NoteNoDevice();
                return false;
            }
            m_pInner = std::make_unique<CSpQtAudioSink>(device);
        }
        else
        {
            m_pInner = std::make_unique<CSpSilentAudioSink>();
        }
        m_lastStatus = Status();
        m_nLastNs = m_nBeforeNs = NowNs();
        m_nSerial = log.Begin(m_nLastNs);
        return m_pInner->Start(format);
    }
    qint64 BytesFree() override { return m_pInner->BytesFree(); }
    qint64 Write(const char* pData, qint64 nBytes) override
    {
        return m_pInner->Write(pData, nBytes);
    }
    qint64 ProcessedUSecs() override
    {
        NoteReleased();
        const qint64 nNs = NowNs();
        const qint64 nUs = m_pInner->ProcessedUSecs();
        NoteStill(nUs, nNs);
        m_nBeforeNs = m_nLastNs;
        m_nLastNs = nNs;
        m_nLastUs = nUs;
        CAudioLog::Get().SetHeard(m_nSerial, nUs);
        return nUs;
    }
    void Suspend() override
    {
        m_bSuspended = true;
        m_pInner->Suspend();
    }
    void Resume() override
    {
        m_bSuspended = false;
        m_pInner->Resume();
    }
    void Stop() override
    {
        if (!m_pInner)
            return;
        const qint64 nUs = m_pInner->ProcessedUSecs();
        NoteStill(nUs, NowNs());
        EndStill(NowNs());
        CAudioLog::Get().SetHeard(m_nSerial, nUs);
        NoteReleased();
        m_pInner->Stop();
    }
    bool HasFailed() override { return m_pInner->HasFailed(); }

private:
    static std::pair<ULONG, ULONG> Status()
    {
        SPVOICESTATUS status;
        CSpVoice* pVoice = CAudioLog::Get().Voice();
        if (!pVoice || !pVoice->GetStatus(&status))
            return {0, 0};
        return {status.ulInputWordPos, status.ulInputWordLen};
    }
    // The voice releases words right after a clock reading, so a new one
    // shows at the next.
    void NoteReleased()
    {
        const std::pair<ULONG, ULONG> status = Status();
        if (status == m_lastStatus)
            return;
        m_lastStatus = status;
        CAudioLog::Get().AddWord(m_nSerial, {status.first, m_nBeforeNs, m_nLastNs});
    }
    // The voice reads the clock only while it has audio to play. Spans
    // under 50 ms are the device's usual steps.
    void NoteStill(qint64 nUs, qint64 nNs)
    {
        if (nUs == m_nLastUs && !m_bSuspended)
        {
            if (m_nStillFromNs == 0)
                m_nStillFromNs = m_nLastNs;
            return;
        }
        EndStill(nNs);
    }
    void EndStill(qint64 nNs)
    {
        constexpr qint64 g_nStepNs = 50 * 1000 * 1000;
        if (m_nStillFromNs != 0 && nNs - m_nStillFromNs > g_nStepNs)
            CAudioLog::Get().AddStill(m_nSerial, nNs - m_nStillFromNs);
        m_nStillFromNs = 0;
    }

    std::unique_ptr<CSpAudioSink> m_pInner;
    std::pair<ULONG, ULONG> m_lastStatus{0, 0};
    qint64 m_nLastNs = 0;
    qint64 m_nBeforeNs = 0;
    qint64 m_nLastUs = -1;
    qint64 m_nStillFromNs = 0;
    bool m_bSuspended = false;
    int m_nSerial = 0;
};

// Every word the pane selects, and which utterance was playing then.
class CSelectionWatch
{
public:
    struct SSelection
    {
        qint64 nNs;
        int nStart;
        int nSerial;
    };

    explicit CSelectionWatch(QPlainTextEdit* pEdit) : m_pEdit(pEdit)
    {
        m_selections.reserve(65536);
        m_connection =
            QObject::connect(pEdit, &QPlainTextEdit::selectionChanged, pEdit, [this]() { Note(); });
    }
    ~CSelectionWatch() { QObject::disconnect(m_connection); }
    CSelectionWatch(const CSelectionWatch&) = delete;
    CSelectionWatch& operator=(const CSelectionWatch&) = delete;

    const std::vector<SSelection>& Selections() const { return m_selections; }

private:
    void Note()
    {
        const QTextCursor cursor = m_pEdit->textCursor();
        // A word, not the whole text the end of a reading selects.
        if (!cursor.hasSelection() || cursor.selectionEnd() - cursor.selectionStart() > 200)
            return;
        m_selections.push_back({NowNs(), cursor.selectionStart(), CAudioLog::Get().Current()});
    }

    QPlainTextEdit* m_pEdit;
    QMetaObject::Connection m_connection;
    std::vector<SSelection> m_selections;
};

struct SGaps
{
    std::vector<double> gapsMs;
    std::vector<double> bracketsMs;
    int nUnmatched = 0;

    double Percentile(int nPercent) const
    {
        if (gapsMs.empty())
            return -1;
        std::vector<double> sorted = gapsMs;
        std::sort(sorted.begin(), sorted.end());
        return sorted[std::min(sorted.size() - 1, sorted.size() * size_t(nPercent) / 100)];
    }
    double Max() const
    {
        return gapsMs.empty() ? -1 : *std::max_element(gapsMs.begin(), gapsMs.end());
    }
    double MedianBracket() const
    {
        if (bracketsMs.empty())
            return -1;
        std::vector<double> sorted = bracketsMs;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
};

// The gaps of the selections made from nFromNs on: each is matched with the
// word of the same position that its utterance (or the one before, if it
// had just ended) released last before it.
inline SGaps MeasureGaps(const CSelectionWatch& watch, qint64 nFromNs)
{
    SGaps gaps;
    std::map<int, SUtteranceHeard> utterances;
    auto utterance = [&](int nSerial) -> const SUtteranceHeard*
    {
        if (nSerial < 0 || nSerial >= CAudioLog::Get().Count())
            return nullptr;
        auto it = utterances.find(nSerial);
        if (it == utterances.end())
            it = utterances.emplace(nSerial, CAudioLog::Get().Utterance(nSerial)).first;
        return &it->second;
    };
    for (const CSelectionWatch::SSelection& selection : watch.Selections())
    {
        if (selection.nNs < nFromNs)
            continue;
        const SWordHeard* pFound = nullptr;
        for (int nSerial : {selection.nSerial, selection.nSerial - 1})
        {
            const SUtteranceHeard* pUtterance = utterance(nSerial);
            if (!pUtterance)
                continue;
            for (const SWordHeard& word : pUtterance->words)
                if (int(word.nPos) == selection.nStart && word.nEarliestNs <= selection.nNs)
                    pFound = &word;
            if (pFound)
                break;
        }
        if (!pFound)
        {
            ++gaps.nUnmatched;
            continue;
        }
        gaps.gapsMs.push_back(double(selection.nNs - pFound->nEarliestNs) / 1e6);
        gaps.bracketsMs.push_back(double(pFound->nReleasedNs - pFound->nEarliestNs) / 1e6);
    }
    return gaps;
}

// Which document (g_nCurrentFileIndex, -1 in Instant Speak mode) each
// utterance belongs to, and the clock each document reached, seen by the
// window's thread every 10 ms while a reading runs.
class CClockWatch
{
public:
    explicit CClockWatch(CSpeechDlg& dlg) : m_dlg(dlg)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this]() { Look(); });
    }
    void Start() { m_timer.start(); }
    void Stop()
    {
        Look();
        m_timer.stop();
    }

    struct SItem
    {
        int nDocument;
        int nClockTicks;
        double dAudioSeconds;
        double dStillSeconds;
        int nUtterances;
    };
    std::vector<SItem> Items() const
    {
        std::vector<SItem> items;
        for (const auto& [nDocument, nTicks] : m_ticks)
        {
            SItem item{nDocument, nTicks, 0, 0, 0};
            for (const auto& [nSerial, nOf] : m_documents)
                if (nOf == nDocument)
                {
                    const SUtteranceHeard utterance = CAudioLog::Get().Utterance(nSerial);
                    item.dAudioSeconds += double(utterance.nHeardUs) / 1e6;
                    item.dStillSeconds += double(utterance.nStillNs) / 1e9;
                    ++item.nUtterances;
                }
            items.push_back(item);
        }
        return items;
    }

private:
    void Look()
    {
        if (!m_dlg.m_bBusy)
            return;
        const int nDocument = g_nCurrentFileIndex;
        const int nSerial = CAudioLog::Get().Current();
        if (nSerial >= m_nFirstSerial && !m_documents.count(nSerial))
            m_documents[nSerial] = nDocument;
        int& nTicks = m_ticks[nDocument];
        nTicks = std::max(nTicks, m_dlg.m_nElapsedSeconds);
    }

    CSpeechDlg& m_dlg;
    QTimer m_timer;
    // Utterances from before the watch began are not the reading's.
    int m_nFirstSerial = CAudioLog::Get().Current() + 1;
    std::map<int, int> m_documents;
    std::map<int, int> m_ticks;
};

// A table of figures with their goals.
class CTable
{
public:
    explicit CTable(const QString& strTitle) : m_strTitle(strTitle) {}

    void Add(const QString& strFigure, const QString& strValue, const QString& strGoal = QString(),
             int nMet = -1)
    {
        m_rows.push_back({strFigure, strValue, strGoal, nMet});
        if (nMet == 0)
            m_bAllMet = false;
    }
    void Note(const QString& strLine) { m_notes.append(strLine); }
    bool AllMet() const { return m_bAllMet; }

    void Print() const
    {
        int nFigure = 6;
        int nValue = 5;
        int nGoal = 4;
        for (const SRow& row : m_rows)
        {
            nFigure = std::max(nFigure, int(row.strFigure.size()));
            nValue = std::max(nValue, int(row.strValue.size()));
            nGoal = std::max(nGoal, int(row.strGoal.size()));
        }
        std::printf("\n== %s ==\n", qPrintable(m_strTitle));
        auto line = [&](const QString& strFigure, const QString& strValue, const QString& strGoal,
                        const QString& strMet)
        {
            std::printf("%s | %s | %s | %s\n", qPrintable(strFigure.leftJustified(nFigure)),
                        qPrintable(strValue.leftJustified(nValue)),
                        qPrintable(strGoal.leftJustified(nGoal)), qPrintable(strMet));
        };
        line(QStringLiteral("figure"), QStringLiteral("value"), QStringLiteral("goal"),
             QStringLiteral("met"));
        line(QString(nFigure, QLatin1Char('-')), QString(nValue, QLatin1Char('-')),
             QString(nGoal, QLatin1Char('-')), QStringLiteral("---"));
        for (const SRow& row : m_rows)
            line(row.strFigure, row.strValue, row.strGoal,
                 row.nMet < 0 ? QString()
                              : (row.nMet ? QStringLiteral("yes") : QStringLiteral("NO")));
        for (const QString& strNote : m_notes)
            std::printf("%s\n", qPrintable(strNote));
        std::printf("%s\n", m_bAllMet ? "all goals met" : "goal missed");
        std::fflush(stdout);
    }

private:
    struct SRow
    {
        QString strFigure;
        QString strValue;
        QString strGoal;
        int nMet;
    };
    QString m_strTitle;
    std::vector<SRow> m_rows;
    QStringList m_notes;
    bool m_bAllMet = true;
};

inline QString Mb(long nKb)
{
    return QString::number(double(nKb) / 1024.0, 'f', 1) + QStringLiteral(" MB");
}

// The rows every scenario reports: memory, descriptors and threads.
inline void AddResourceRows(CTable& table, const CMemoryWatch& memory, const SProcessState& before,
                            const SProcessState& after)
{
    constexpr long g_nGrowthGoalKb = 10 * 1024;
    table.Add(QStringLiteral("duration"), QStringLiteral("%1 s").arg(memory.Seconds(), 0, 'f', 1));
    table.Add(QStringLiteral("VmRSS after the first minute"), Mb(memory.FirstMinuteKb()));
    table.Add(QStringLiteral("VmRSS largest"), Mb(memory.MaxKb()));
    table.Add(QStringLiteral("VmRSS last"), Mb(memory.LastKb()));
    table.Add(QStringLiteral("VmRSS growth after the first minute"), Mb(memory.GrowthKb()),
              QStringLiteral("<= 10.0 MB"), memory.GrowthKb() <= g_nGrowthGoalKb);
    table.Add(QStringLiteral("open descriptors before / after"),
              QStringLiteral("%1 / %2").arg(before.fds.size()).arg(after.fds.size()),
              QStringLiteral("none more"), after.fds.size() <= before.fds.size());
    table.Add(QStringLiteral("threads before / after"),
              QStringLiteral("%1 / %2").arg(before.threads.size()).arg(after.threads.size()),
              QStringLiteral("none more"), after.threads.size() <= before.threads.size());
    table.Note(QStringLiteral("VmRSS by minute (MB): ") + memory.ByMinute());
    const QStringList newFds = NewEntries(before.fds, after.fds);
    if (!newFds.isEmpty())
        table.Note(QStringLiteral("descriptors open after, not before: ") +
                   newFds.join(QStringLiteral(", ")));
    const QStringList newThreads = NewEntries(before.threads, after.threads);
    if (!newThreads.isEmpty())
        table.Note(QStringLiteral("threads running after, not before: ") +
                   newThreads.join(QStringLiteral(", ")));
}

// The word gaps (goal: 95th percentile under 30 ms, as for the voice alone)
// and each reading item's clock against its audio (goal: no further apart
// than one tick for each utterance of the item).
inline void AddStepRows(CTable& table, const QString& strWhen, const SGaps& gaps,
                        const std::vector<CClockWatch::SItem>& items, int nClockMs)
{
    constexpr double g_dGapGoalMs = 30.0;
    const double dP95 = gaps.Percentile(95);
    table.Add(QStringLiteral("word selection gap, %1").arg(strWhen),
              gaps.gapsMs.empty() ? QStringLiteral("no word selected")
                                  : QStringLiteral("%1 words: median %2, 95%: %3, max %4 ms")
                                        .arg(gaps.gapsMs.size())
                                        .arg(gaps.Percentile(50), 0, 'f', 1)
                                        .arg(dP95, 0, 'f', 1)
                                        .arg(gaps.Max(), 0, 'f', 1),
              QStringLiteral("95% < 30 ms"), !gaps.gapsMs.empty() && dP95 < g_dGapGoalMs);
    table.Note(QStringLiteral("word gaps are upper bounds: the clock readings around a word's "
                              "audio were %1 ms apart (median); %2 selections not matched to a "
                              "released word")
                   .arg(gaps.MedianBracket(), 0, 'f', 1)
                   .arg(gaps.nUnmatched));
    // The clock counts while an utterance is under way, also while the
    // device's clock stands still in it (the null sink's does early in each
    // new stream): that time is the clock's as well.
    double dWorstMs = 0;
    double dWorstHeardMs = 0;
    bool bInStep = !items.empty();
    QString strLast;
    for (const CClockWatch::SItem& item : items)
    {
        const double dClockMs = double(item.nClockTicks) * nClockMs;
        const double dOffMs = dClockMs - (item.dAudioSeconds + item.dStillSeconds) * 1000.0;
        const double dOffHeardMs = dClockMs - item.dAudioSeconds * 1000.0;
        if (std::fabs(dOffMs) > std::fabs(dWorstMs))
            dWorstMs = dOffMs;
        if (std::fabs(dOffHeardMs) > std::fabs(dWorstHeardMs))
            dWorstHeardMs = dOffHeardMs;
        bInStep = bInStep && std::fabs(dOffMs) <= double(nClockMs) * std::max(1, item.nUtterances);
        strLast = QStringLiteral("clock %1 ticks = %2 s; audio %3 s + device still %4 s")
                      .arg(item.nClockTicks)
                      .arg(dClockMs / 1000.0, 0, 'f', 1)
                      .arg(item.dAudioSeconds, 0, 'f', 2)
                      .arg(item.dStillSeconds, 0, 'f', 2);
    }
    table.Add(QStringLiteral("clock against audio, last item"), strLast);
    table.Add(QStringLiteral("clock minus (audio + still), worst of %1").arg(items.size()),
              QStringLiteral("%1 ms (tick %2 ms)").arg(dWorstMs, 0, 'f', 0).arg(nClockMs),
              QStringLiteral("<= 1 tick per utterance"), bInStep);
    table.Add(QStringLiteral("clock minus audio alone, worst of %1").arg(items.size()),
              QStringLiteral("%1 ms").arg(dWorstHeardMs, 0, 'f', 0));
}

// Each document's clock and audio, one line each.
inline void AddItemNotes(CTable& table, const std::vector<CClockWatch::SItem>& items,
                         const QStringList& names, int nClockMs)
{
    for (const CClockWatch::SItem& item : items)
        table.Note(QStringLiteral("  %1 %2: clock %3 s, audio %4 s + still %5 s, clock off by "
                                  "%6 ms")
                       .arg(item.nDocument + 1, 2)
                       .arg(names.value(item.nDocument).leftJustified(26), 0)
                       .arg(double(item.nClockTicks) * nClockMs / 1000.0, 0, 'f', 1)
                       .arg(item.dAudioSeconds, 0, 'f', 2)
                       .arg(item.dStillSeconds, 0, 'f', 2)
                       .arg(double(item.nClockTicks) * nClockMs -
                                (item.dAudioSeconds + item.dStillSeconds) * 1000.0,
                            0, 'f', 0));
}

// The reading window with the voice heard through the clocked sink, on the
// sound server or the silent device.
class CLongUseWindow : public KbBench::CReadingWindow
{
public:
    explicit CLongUseWindow(bool bSoundServer, const QString& strSettings = QString())
        : CReadingWindow(SoundServerFirst(bSoundServer), strSettings)
    {
        CAudioLog::Get().SetVoice(Dlg().m_pVoice.get());
    }
    ~CLongUseWindow() { CAudioLog::Get().SetVoice(nullptr); }

private:
    // The log knows where the sound goes before the first sink is made.
    static CSpAudioSink::Factory SoundServerFirst(bool bSoundServer)
    {
        CAudioLog::Get().SetSoundServer(bSoundServer);
        return []() { return std::make_unique<CClockedSink>(); };
    }
};

// A reading after the long use (Speak clicked on what the window holds), to
// see that the selection and the clock still keep up with the audio.
struct SProbe
{
    SGaps gaps;
    std::vector<CClockWatch::SItem> items;
};

inline SProbe ReadProbe(CLongUseWindow& window)
{
    CSelectionWatch selections(window.Pane());
    CClockWatch clock(window.Dlg());
    const qint64 nFromNs = NowNs();
    clock.Start();
    window.Click(IDC_BTN_SPEAK);
    clock.Stop();
    return {MeasureGaps(selections, nFromNs), clock.Items()};
}

// About half a minute of speech.
inline QString ProbeText()
{
    return KbBench::MakeProse(90, 0);
}

// True when the sound server the readings need is there; says why not.
inline bool HasSoundServer()
{
    WAVEFORMATEX format;
    if (!CSpQtAudioSink::FindDevice(format).isNull())
        return true;
    std::fprintf(stderr, "no sound server with a default sink: set XDG_RUNTIME_DIR to the "
                         "folder of a running PulseAudio (e.g. /tmp/kb-runtime-0)\n");
    return false;
}

// Says when the run is shortened; false, said, without a sound server.
inline bool ReadyToMeasure()
{
    if (Scale() < 1.0)
        std::printf("shortened run (KB_LONGUSE_SCALE=%g): a quick check, not figures to report\n",
                    Scale());
    return HasSoundServer();
}

// Small documents that office programs wrote, one or more of each type, and
// prose of nProseWords words in the types a user writes by hand (plain text
// in three encodings, a web page and its MHT archive), written into
// strFolder.
inline QStringList RealDocuments(const QString& strFolder, int nProseWords)
{
    const QString strData = QStringLiteral(KB_TEST_DATA_DIR) + QStringLiteral("text/");
    const QString strCorpus =
        QStringLiteral(KB_TEST_DATA_DIR) + QStringLiteral("../../bench/fuzz/corpus/");
    QStringList docs;
    for (const char* pszName :
         {"lo-sample.doc", "lo-sample.epub", "lo-sample.html", "lo-sample.odt", "lo-sample.pdf",
          "lo-sample.rtf", "pandoc-sample.docx", "pandoc-sample.epub", "pandoc-sample.odt",
          "pandoc-sample-epub2.epub", "docx-named.doc"})
        docs.append(strData + QLatin1String(pszName));
    for (const char* pszName :
         {"docx/office.docx", "odt/office.odt", "epub/office.epub", "pdf/office.pdf"})
        docs.append(strCorpus + QLatin1String(pszName));

    // Five different stretches of prose.
    const QStringList words =
        KbBench::MakeProse(5 * nProseWords, 0).split(QRegularExpression(QStringLiteral("\\s+")));
    auto prose = [&words, nProseWords](int nPart)
    { return words.mid(nPart * nProseWords, nProseWords).join(QLatin1Char(' ')); };
    auto write = [&](const QString& strName, const QByteArray& bytes)
    {
        const QString strPath = strFolder + QLatin1Char('/') + strName;
        if (KbTest::WriteFile(strPath, bytes))
            docs.append(strPath);
    };
    write(QStringLiteral("letter.txt"), prose(0).toUtf8());
    write(QStringLiteral("notes.txt"), KbTest::Utf16(prose(1)));
    write(QStringLiteral("café menu.txt"),
          (prose(2) + QStringLiteral(" The café was closed.")).toLatin1());
    const QByteArray page = "<html><head><meta charset=\"utf-8\"><title>Walk</title></head>"
                            "<body><h1>The walk</h1><p>" +
                            prose(3).toUtf8() + "</p></body></html>";
    write(QStringLiteral("walk.htm"), page);
    write(QStringLiteral("walk archive.mht"),
          "From: <Saved by a web browser>\r\nSubject: The walk\r\nMIME-Version: 1.0\r\n"
          "Content-Type: multipart/related; boundary=\"part\"; type=\"text/html\"\r\n\r\n"
          "--part\r\nContent-Type: text/html; charset=\"utf-8\"\r\n"
          "Content-Transfer-Encoding: 8bit\r\nContent-Location: file:///walk.htm\r\n\r\n" +
              page + "\r\n--part--\r\n");
    return docs;
}
} // namespace KbLongUse
