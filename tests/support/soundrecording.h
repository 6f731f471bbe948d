#pragma once

// What the tests that listen to real playback share: a PulseAudio server of
// the test's own with one null sink, so that no other program's sound gets
// into what is heard, and a recording of that sink's monitor.
#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QtGlobal>
#include <limits>

namespace KbTest
{
// The recorder's format: two bytes a sample.
constexpr int RECORD_RATE = 22050;
constexpr int RECORD_BYTES_PER_SECOND = RECORD_RATE * 2;
// Louder than this is speech; the null sink gives digital silence.
constexpr int LOUD = 300;

inline qint64 SamplesOfMs(qint64 nMs)
{
    return nMs * RECORD_RATE / 1000;
}

inline qint64 MsOfSamples(qint64 nSamples)
{
    return nSamples * 1000 / RECORD_RATE;
}

class CSoundServer
{
public:
    ~CSoundServer() { Stop(); }

    // Starts the server with its files in the folder; false when there is
    // no server to start.
    bool Start(const QTemporaryDir& dir)
    {
        const QString strRuntime = dir.filePath(QStringLiteral("pulse"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), strRuntime);
        env.insert(QStringLiteral("PULSE_STATE_PATH"), dir.filePath(QStringLiteral("state")));
        m_server.setProcessEnvironment(env);
        m_server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_server.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                        QStringLiteral("--use-pid-file=no"), QStringLiteral("--exit-idle-time=-1"),
                        QStringLiteral("--load=module-null-sink"),
                        QStringLiteral("--load=module-native-protocol-unix"),
                        QStringLiteral("--log-level=error")});
        if (!m_server.waitForStarted(10000))
            return false;
        const QString strSocket = strRuntime + QStringLiteral("/native");
        const QDeadlineTimer deadline(10000);
        while (!QFileInfo::exists(strSocket))
        {
            if (deadline.hasExpired() || m_server.state() != QProcess::Running)
                return false;
            QTest::qWait(20);
        }
        m_strAddress = QStringLiteral("unix:") + strSocket;
        return true;
    }

    void Stop()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        m_server.waitForFinished(5000);
    }

    // For PULSE_SERVER; empty until the server runs.
    const QString& Address() const { return m_strAddress; }

private:
    QProcess m_server;
    QString m_strAddress;
};

// The null sink's monitor, as 16-bit mono samples from the start on.
class CSinkRecorder
{
public:
    ~CSinkRecorder() { Stop(); }

    bool Start(const QString& strServer)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PULSE_SERVER"), strServer);
        m_recorder.setProcessEnvironment(env);
        m_recorder.start(QStringLiteral("parecord"),
                         {QStringLiteral("--device=null.monitor"), QStringLiteral("--raw"),
                          QStringLiteral("--format=s16le"),
                          QStringLiteral("--rate=%1").arg(RECORD_RATE),
                          QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=20")});
        m_clock.start();
        return m_recorder.waitForStarted(10000);
    }

    // Adds what has arrived, waiting up to the given time for something;
    // false when nothing came.
    bool Take(int nWaitMs = 0)
    {
        const bool bReady = m_recorder.waitForReadyRead(nWaitMs);
        const QByteArray bytes = m_recorder.readAllStandardOutput();
        if (bytes.isEmpty())
            return bReady;
        m_pcm += bytes;
        // The monitor runs at the sink's pace, so each arrival bounds when
        // the recording began; the least delayed one bounds it best.
        m_nStartMs = qMin(m_nStartMs, m_clock.elapsed() - MsOfSamples(Samples()));
        return true;
    }

    // Records the given time more, counted in samples: a recorder that
    // falls behind still brings all of it.
    bool RecordFor(qint64 nMs)
    {
        Take();
        const qint64 nEnd = Samples() + SamplesOfMs(nMs);
        while (Samples() < nEnd)
        {
            if (!Take(5000))
                return false;
        }
        return true;
    }

    void Stop()
    {
        if (m_recorder.state() == QProcess::NotRunning)
            return;
        m_recorder.kill();
        m_recorder.waitForFinished(5000);
    }

    const QByteArray& Pcm() const { return m_pcm; }
    qint64 Samples() const { return m_pcm.size() / 2; }
    // Where the recording is now: what has arrived, plus what is still on
    // its way. Late arrivals on a busy machine do not move it back.
    qint64 SampleNow() const
    {
        if (m_nStartMs == std::numeric_limits<qint64>::max())
            return Samples();
        return qMax(Samples(), SamplesOfMs(m_clock.elapsed() - m_nStartMs));
    }

private:
    QProcess m_recorder;
    QByteArray m_pcm;
    QElapsedTimer m_clock;
    qint64 m_nStartMs = std::numeric_limits<qint64>::max();
};

inline qint64 FirstLoudSample(const QByteArray& pcm, qint64 nFrom = 0)
{
    const auto* pSamples = reinterpret_cast<const qint16*>(pcm.constData());
    const qint64 nCount = pcm.size() / 2;
    for (qint64 i = qMax<qint64>(0, nFrom); i < nCount; ++i)
    {
        if (qAbs(int(pSamples[i])) > LOUD)
            return i;
    }
    return -1;
}

// The last loud sample before the given one (before the end by default).
inline qint64 LastLoudSample(const QByteArray& pcm, qint64 nBefore = -1)
{
    const auto* pSamples = reinterpret_cast<const qint16*>(pcm.constData());
    const qint64 nCount = pcm.size() / 2;
    for (qint64 i = (nBefore < 0 ? nCount : qMin(nBefore, nCount)) - 1; i >= 0; --i)
    {
        if (qAbs(int(pSamples[i])) > LOUD)
            return i;
    }
    return -1;
}

// The longest run of quiet samples between the first and the last loud one.
inline qint64 LongestInnerSilence(const QByteArray& pcm)
{
    const auto* pSamples = reinterpret_cast<const qint16*>(pcm.constData());
    const qint64 nFirst = FirstLoudSample(pcm);
    const qint64 nLast = LastLoudSample(pcm);
    qint64 nLongest = 0;
    qint64 nRun = 0;
    for (qint64 i = nFirst; i >= 0 && i <= nLast; ++i)
    {
        nRun = qAbs(int(pSamples[i])) > LOUD ? 0 : nRun + 1;
        nLongest = qMax(nLongest, nRun);
    }
    return nLongest;
}
} // namespace KbTest
