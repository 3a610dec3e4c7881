#include "VrnSnGlslChannelBakeContext.h"

VrnSnGlslChannelBakeContext::VrnSnGlslChannelBakeContext(QObject* parent) : VrnSnBaseGlslContext(parent)
{
    setExpression(QStringLiteral("    Output = #Input;\n    "), true);
}
