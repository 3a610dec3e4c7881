// Bytes as a network file: the loader must reject or accept without harm, and
// every accepted file must build in every style.

#include "FuzzSupport.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    VrnFuzz::initialise();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    VrnFuzz::buildEveryStyle(QByteArray(reinterpret_cast<const char*>(data), int(size)), QStringLiteral("fuzz.json"));
    return 0;
}
