#include "speech/sptimestretch.h"

#include <sonic.h>

#include <cmath>

CSpTimeStretch::CSpTimeStretch(int nSampleRate) : m_nSampleRate(nSampleRate) {}

CSpTimeStretch::~CSpTimeStretch()
{
    if (m_pStream)
        sonicDestroyStream(m_pStream);
}

void CSpTimeStretch::Drain(std::vector<short>& out)
{
    int nAvailable = sonicSamplesAvailable(m_pStream);
    while (nAvailable > 0)
    {
        const size_t nOld = out.size();
        out.resize(nOld + size_t(nAvailable));
        const int nRead = sonicReadShortFromStream(m_pStream, out.data() + nOld, nAvailable);
        out.resize(nOld + size_t(nRead > 0 ? nRead : 0));
        if (nRead <= 0)
            break;
        nAvailable = sonicSamplesAvailable(m_pStream);
    }
}

void CSpTimeStretch::Process(const short* pSamples, int nSamples, double dFactor,
                             std::vector<short>& out)
{
    if (nSamples <= 0)
        return;
    if (std::fabs(dFactor - 1.0) < 0.01)
    {
        if (m_bHolding)
            Flush(out);
        out.insert(out.end(), pSamples, pSamples + nSamples);
        return;
    }
    if (!m_pStream)
        m_pStream = sonicCreateStream(m_nSampleRate, 1);
    if (!m_pStream)
    {
        out.insert(out.end(), pSamples, pSamples + nSamples);
        return;
    }
    sonicSetSpeed(m_pStream, float(dFactor));
    // The library takes a non-const buffer but does not change it.
    sonicWriteShortToStream(m_pStream, const_cast<short*>(pSamples), nSamples);
    m_bHolding = true;
    Drain(out);
}

void CSpTimeStretch::Flush(std::vector<short>& out)
{
    if (!m_pStream || !m_bHolding)
        return;
    sonicFlushStream(m_pStream);
    Drain(out);
    m_bHolding = false;
}
