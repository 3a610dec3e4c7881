#include "VrnSnGlslChannelBakeContext.h"

VrnSnGlslChannelBakeContext::VrnSnGlslChannelBakeContext(QObject* parent) : VrnSnBaseGlslContext(parent)
{
    keepBaseDeclarationsFor(typeid(VrnSnGlslChannelBakeContext)); // it declares the parameters as the base does
    setExpression(QStringLiteral("    Output = #Input;\n    "), true);
}
