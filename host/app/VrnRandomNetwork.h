#pragma once

#include <QJsonObject>

// Random valid networks of the built-in kinds, for tests, benchmarks, fuzzing
// and vrn-render --random. The same seed and size give the same network.
namespace VrnRandomNetwork {
struct Options
{
    quint32 seed = 1;
    int nodes = 8;            // nodes besides the terminal Output node
    bool caches = true;       // some nodes read cache channels
    bool bakePoints = true;   // bake points, some using their baked channel
};

// A network file's JSON object (format 1), ready for the network loader.
QJsonObject generate(const Options& options);
} // namespace VrnRandomNetwork
