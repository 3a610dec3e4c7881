#pragma once

#include <QVariant>

class VrnSnBaseNode;
class VrnSnBakePointNode;

namespace VrnShaderNetworkUtils {
// The node as a bake point; null for every other node.
VrnSnBakePointNode* asTrueBakePointNode(VrnSnBaseNode* node);
// True for an enum value that selects a blend mode.
bool isBlendModeVariant(const QVariant& value);
} // namespace VrnShaderNetworkUtils
