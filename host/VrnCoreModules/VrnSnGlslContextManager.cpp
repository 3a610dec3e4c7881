#include "VrnSnGlslContextManager.h"

#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseNode.h"

VrnSnGlslContextManager& VrnSnGlslContextManager::instance()
{
    static VrnSnGlslContextManager* manager = new VrnSnGlslContextManager;
    return *manager;
}

void VrnSnGlslContextManager::requestCompileShader()
{
    m_requests.fetchAndAddRelaxed(1);
    emit compileShaderRequested();
}

VrnSnNodeGlslInfo VrnSnGlslContextManager::analyzeContext(VrnSnBaseGlslContext* context)
{
    VrnSnNodeGlslInfo info;
    if (!context)
        return info;
    info.glslCode = context->expression();
    info.revalInfo = context->revalInfo();
    info.outputs = context->outputPointNames();
    VrnSnBaseNode* node = context->parentNode();
    if (!node)
        return info;
    for (const VrnCustomAttribute& p : node->kind().parameters)
        info.parameters.append(qMakePair(p.name(), node->userAttribute(p.name())));
    for (const VrnSnNodeInputDefinition& input : node->kind().inputs) {
        info.inputs.append(input.name);
        info.defaultInputs.insert(input.name, context->defaultInput(input.name));
        if (input.invertible)
            info.invertibleInputs.insert(input.name);
    }
    return info;
}
