#include "speech/spaudiosink.h"

#include "speech/spqtaudiosink.h"
#include "speech/spsilentaudiosink.h"

#include <QMutex>
#include <QMutexLocker>

namespace
{
QMutex g_factoryMutex;
CSpAudioSink::Factory g_factory;
} // namespace

void CSpAudioSink::SetFactory(Factory factory)
{
    QMutexLocker lock(&g_factoryMutex);
    g_factory = std::move(factory);
}

std::unique_ptr<CSpAudioSink> CSpAudioSink::Create(const WAVEFORMATEX& format)
{
    {
        QMutexLocker lock(&g_factoryMutex);
        if (g_factory)
        {
            std::unique_ptr<CSpAudioSink> pSink = g_factory();
            if (pSink && pSink->Start(format))
                return pSink;
            return nullptr;
        }
    }
    const QAudioDevice device = CSpQtAudioSink::FindDevice(format);
    if (!device.isNull())
    {
        auto pSink = std::make_unique<CSpQtAudioSink>(device);
        if (pSink->Start(format))
            return pSink;
    }
    auto pSilent = std::make_unique<CSpSilentAudioSink>();
    pSilent->Start(format);
    return pSilent;
}
