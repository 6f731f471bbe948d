#include "bench/fuzz/fuzzinputs.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    RunFuzzReader(FuzzReader::SapiXml,
                  QByteArray(reinterpret_cast<const char*>(pData), static_cast<qsizetype>(nSize)));
    return 0;
}
