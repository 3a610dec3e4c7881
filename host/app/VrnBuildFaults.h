#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class VrnShaderNetwork;
class VrnSnBaseGlslContext;
class VrnSnBaseNode;

// Builds that a generator writes as it is meant to but that cannot compile,
// and the nodes behind them.
namespace VrnBuildFaults {
// The contexts of every shader type that a build of the network writes, each once.
QList<VrnSnBaseGlslContext*> builtContexts(VrnShaderNetwork* network);

// A node left out of a bake whose code Style 3's main body still writes inline.
struct InlinedStub
{
    VrnSnBaseNode* node = nullptr;
    QString undeclaredUniform; // a uniform the code reads and the stub does not declare; empty when none
};
// The first such node of the build with the defines; a null node when there is none.
InlinedStub style3InlinedStub(VrnShaderNetwork* network, const QStringList& defines);

// Why the generator's build of the network with the defines does not compile;
// empty when no known cause stops it.
QString compileFault(const QString& generatorName, VrnShaderNetwork* network, const QStringList& defines);
} // namespace VrnBuildFaults
