#pragma once

#include <vector>

struct sonicStreamStruct;

// Changes the speed of speech without changing its pitch. The engine
// itself speaks no slower than its minimum rate, and a rate it is given
// mid-sentence waits for the next clause; stretching the audio it has
// already made covers both.
class CSpTimeStretch
{
public:
    explicit CSpTimeStretch(int nSampleRate);
    ~CSpTimeStretch();
    CSpTimeStretch(const CSpTimeStretch&) = delete;
    CSpTimeStretch& operator=(const CSpTimeStretch&) = delete;

    // Appends to out the samples played at dFactor times their speed (2 =
    // twice as fast). Factors near 1 pass the samples through unchanged once
    // the stretcher holds nothing from earlier blocks.
    void Process(const short* pSamples, int nSamples, double dFactor, std::vector<short>& out);
    // Appends whatever the stretcher still holds.
    void Flush(std::vector<short>& out);

private:
    void Drain(std::vector<short>& out);

    int m_nSampleRate;
    sonicStreamStruct* m_pStream = nullptr;
    bool m_bHolding = false;
};
