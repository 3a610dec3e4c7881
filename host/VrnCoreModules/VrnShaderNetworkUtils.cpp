#include "VrnShaderNetworkUtils.h"

#include "VrnAttributeValues.h"
#include "VrnSnBaseNode.h"

VrnSnBakePointNode* VrnShaderNetworkUtils::asTrueBakePointNode(VrnSnBaseNode* node)
{
    return node ? node->asBakePoint() : nullptr;
}

bool VrnShaderNetworkUtils::isBlendModeVariant(const QVariant& value)
{
    if (value.userType() != vrnAttributeMetaTypes().userEnum)
        return false;
    return value.value<VrnUserEnum>().isBlendMode();
}
