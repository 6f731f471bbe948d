#pragma once

#include "speech/spengine.h"

#include <QAtomicInt>
#include <QHash>
#include <QMutex>
#include <QSet>

// The embedded eSpeak NG library. It keeps its state in globals, so one
// synthesis runs at a time in the process; others wait for the lock.
class CEspeakEngine : public CSpEngine
{
public:
    static CEspeakEngine* Instance();

    bool IsAvailable() override;
    int GetSampleRate() override;
    std::vector<SVoice> ListVoices() override;
    bool CanLoadVoice(const QByteArray& voice) override;
    bool Synthesize(const SRequest& request, const BlockHandler& handler) override;
    int GetMinimumRate() const override { return 80; }

private:
    CEspeakEngine() = default;
    bool EnsureInitialized();
    bool InitializeLocked();
    void ListVoicesLocked();

    QMutex m_mutex;
    bool m_bTried = false;
    int m_nSampleRate = 0;
    std::vector<SVoice> m_voices;
    // Lower-case names the library resolves to a listed voice; set once with
    // the list, read without the lock.
    QSet<QByteArray> m_voiceKeys;
    QMutex m_answersMutex;
    QHash<QByteArray, bool> m_answers;
    QAtomicInt m_nInitialized;
    QByteArray m_currentVoice;
    int m_nCurrentRate = -1;
};
