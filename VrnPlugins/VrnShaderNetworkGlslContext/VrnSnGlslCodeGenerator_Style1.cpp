#include "VrnSnGlslCodeGenerator_Style1.h"

#include "VrnReadAhead.h"
#include "VrnShadingContext.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslEmission.h"

#include <QVarLengthArray>

#include <algorithm>

using namespace VrnSnGlslEmission;

VrnSnGlslCodeGenerator_Style1::~VrnSnGlslCodeGenerator_Style1() = default;

void VrnSnGlslCodeGenerator_Style1::buildShaderTypeCode(VrnSnGlslContextManager*, VrnSvtShadingContext* shadingContext,
                                                        QString& declarationCode, QString& bodyCode, unsigned shaderType,
                                                        VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts)
{
    const bool bakeMode = bakeModeEnabled();
    const VrnReadAhead ahead(contexts);
    for (int place = 0; place < contexts.size(); ++place) {
        ahead.reach(place);
        VrnSnBaseGlslContext* context = contexts.at(place);
        const VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
        if (!node)
            continue;
        if (isNonBakeable(node, bakeMode)) {
            emitNonBakeableNode(declarationCode, context, shaderType);
            continue;
        }
        const QString body = context->shaderBodyCode(shaderType, aliases, nullptr);
        styleBanner(declarationCode, 1, node);
        declarationCode += context->shaderDeclarationCode();
        if (!context->shaderBodyCodeUsesOutputs()) {
            bodyCode += blockOpen();
            gatherInputs(bodyCode, node, body, shadingContext, aliases);
            bodyCode += blockClose();
        } else {
            emitNodeFunction(declarationCode, node, shaderType, body, shadingContext, aliases);
        }
    }
}

// A node left out of a bake: its function only zeroes its outputs.
void VrnSnGlslCodeGenerator_Style1::emitNonBakeableNode(QString& code, VrnSnBaseGlslContext* context, unsigned shaderType)
{
    const NonBakeableStub stub = nonBakeableStub(context, shaderType);
    code += stub.banner;
    if (stub.head.isEmpty())
        return;
    code += stub.globals;
    code += stub.head;
    code += blockOpen();
    zeroingFunctionBody(code, stub.outputs);
}

// Reads cached producers from their cache channels and calls the others, each
// once, then appends the node's own code.
void VrnSnGlslCodeGenerator_Style1::gatherInputs(QString& code, const VrnSnBaseNode* node, const QString& bodyCode,
                                                 VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases* aliases)
{
    QVarLengthArray<const VrnSnBaseNode*, 8> toEvaluate; // insertion order keeps the text stable from run to run
    for (int input = 0; input < node->inputCount(); ++input) {
        const Point& connected = node->inputConnectionAt(input);
        if (!connected.node)
            continue;
        const Point* alias = aliases ? aliases->findAlias(connected) : nullptr;
        const VrnSnBaseNode* upstream = alias ? alias->node.data() : connected.node.data();
        if (!upstream)
            continue;
        if (upstream->cacheEnabled() && upstream->hasValidCache()) {
            for (const Point& output : upstream->outputPoints()) {
                const QString cacheName = cacheAttributeName(upstream, output.name);
                if (upstream->cacheEnabled() && upstream->exists(cacheName) && shadingContext
                    && shadingContext->channel(shadingContext->getCurrentUvChannel(), cacheName))
                    code += cacheLookup(output);
            }
        } else if (std::find(toEvaluate.begin(), toEvaluate.end(), upstream) == toEvaluate.end()) {
            toEvaluate.append(upstream);
        }
    }
    for (const VrnSnBaseNode* upstream : toEvaluate)
        evaluationCall(code, upstream);
    code += QLatin1Char('\n');
    code += bodyCode;
    code += QLatin1Char('\n');
}

void VrnSnGlslCodeGenerator_Style1::emitNodeFunction(QString& code, const VrnSnBaseNode* node, unsigned shaderType, const QString& bodyCode,
                                                     VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases* aliases)
{
    const QVector<Point>& outputs = node->outputPoints();
    for (const Point& p : outputs)
        globalOutputDeclaration(code, p);
    functionHead(code, node, shaderType);
    code += blockOpen();
    for (const Point& p : outputs)
        localOutputDeclaration(code, p.name);
    gatherInputs(code, node, bodyCode, shadingContext, aliases);
    for (const Point& p : outputs)
        copyOut(code, p);
    code += blockClose();
}
