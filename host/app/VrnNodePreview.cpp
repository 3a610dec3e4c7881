#include "VrnNodePreview.h"

#include "VrnBuiltinKinds.h"
#include "VrnShaderNetwork.h"

bool VrnNodePreview::attach(VrnShaderNetwork* network, const QString& target, QString& error)
{
    const QString id = target.section(QLatin1Char('.'), 0, 0);
    VrnSnBaseNode* producer = network ? network->node(id) : nullptr;
    if (!producer) {
        error = QStringLiteral("--node: the network has no node \"%1\"").arg(id);
        return false;
    }
    const QStringList outputs = producer->kind().outputs;
    if (outputs.isEmpty()) {
        error = QStringLiteral("--node: node \"%1\" has no outputs to show").arg(id);
        return false;
    }
    const QString output = target.contains(QLatin1Char('.')) ? target.section(QLatin1Char('.'), 1) : outputs.first();
    if (!outputs.contains(output)) {
        error = QStringLiteral("--node: node \"%1\" has no output \"%2\" (its outputs: %3)").arg(id, output, outputs.join(QStringLiteral(", ")));
        return false;
    }
    // The terminal runs in the producer's stages, so that a tessellation node
    // is shown by a terminal of its own stage.
    VrnSnNodeKindPtr terminal = VrnBuiltinKinds::kind(QStringLiteral("Output"));
    if (terminal->shaderType != producer->kind().shaderType) {
        auto staged = QSharedPointer<VrnSnNodeKind>::create(*terminal);
        staged->shaderType = producer->kind().shaderType;
        terminal = staged;
    }
    QString previewId = QStringLiteral("VrnPreview");
    for (int n = 2; network->node(previewId); ++n)
        previewId = QStringLiteral("VrnPreview%1").arg(n);
    VrnSnBaseNode* preview = network->createNode(terminal, previewId, &error);
    if (!preview || !preview->connectInput(QStringLiteral("Input"), producer, output)) {
        error = QStringLiteral("--node: the preview terminal could not be made: %1").arg(error);
        return false;
    }
    network->setRoot(preview);
    return true;
}
