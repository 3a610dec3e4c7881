#pragma once

#include <QObject>

class VrnShaderNetwork;

namespace VrnDemoNetwork {
// The network the tools build when no file is given: a painted base channel
// lit by a sky light (cached), a constant glow added on top, and the output.
// Null, with the reason, when the plug-in's contexts are not registered.
VrnShaderNetwork* create(QObject* parent, QString* error = nullptr);
} // namespace VrnDemoNetwork
