// Bytes as the choices of the random network generator: deep, valid graphs of
// every built-in kind reach the generators, not only parse errors.

#include "FuzzSupport.h"

#include "VrnRandomNetwork.h"

#include <QJsonDocument>

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    VrnFuzz::initialise();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6)
        return 0;
    VrnRandomNetwork::Options options;
    std::memcpy(&options.seed, data, 4);
    options.nodes = 1 + (data[4] | (data[5] & 0x3) << 8) % 400;
    options.caches = size > 6 && (data[6] & 1);
    options.bakePoints = size > 6 && (data[6] & 2);
    const QByteArray json = QJsonDocument(VrnRandomNetwork::generate(options)).toJson(QJsonDocument::Compact);
    if (!VrnFuzz::buildEveryStyle(json, QStringLiteral("random.json")))
        __builtin_trap(); // generated networks are valid by construction
    return 0;
}
