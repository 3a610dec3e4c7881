#include "VrnSnGlslLog.h"

#include "VrnAttributeValues.h"
#include "VrnDebug.h"
#include "VrnSnBaseNode.h"

namespace VrnSnGlslLog {

void write(const char* file, int line, const QString& message)
{
    VrnDebug(file, line, message, false, false);
}

void noShadingContext(const char* file, int line, const VrnSnBaseNode* node)
{
    write(file, line, QString::asprintf("[ !! ] Could not find the shading context of the node %s", node->name().toLocal8Bit().constData()));
}

void unsupportedLocators(const char* file, int line, const QVariant& value)
{
    write(file, line,
          QString::asprintf("Unsupported GLSL type for LocatorList: %s", value.value<VrnLocatorList>().glslType().toLocal8Bit().constData()));
}

} // namespace VrnSnGlslLog
