#pragma once

#include <QString>
#include <QVariant>

class VrnSnBaseNode;

// The generators' log lines. Each keeps the file and line number that the
// host's log readers know it by, so the numbers are names here, in one place.
namespace VrnSnGlslLog {
const char* const kStyle5File = "VrnPlugins/VrnShaderNetworkGlslContext/VrnSnGlslCodeGenerator_Style5";
const char* const kStyle6File = "VrnPlugins/VrnShaderNetworkGlslContext/VrnSnGlslCodeGenerator_Style6";

namespace Style5Line {
const int kGenerateNodeFunc = 898;
const int kUnsupportedLocator = 1109;
const int kCountMissingHash = 1363;
const int kCountMissingType = 1364;
const int kInstructionBlock = 1516;
const int kParameterBlock = 1517;
const int kWiringBlock = 1518;
const int kFillMissingEncryptedHash = 1563;
const int kFillMissingHash = 1567;
const int kFillMissingType = 1570;
const int kBakeWithoutShadingContext = 1657;
const int kParameterMissingHash = 1682;
const int kParameterMissingType = 1683;
const int kWireMissingHash = 1885;
const int kWireMissingType = 1886;
} // namespace Style5Line

namespace Style6Line {
const int kCacheWithoutShadingContext = 84;
const int kBakeWithoutShadingContext = 119;
const int kUnsupportedLocator = 279;
} // namespace Style6Line

void write(const char* file, int line, const QString& message);
// A cache-reading or baked-result node whose network has no shading context.
void noShadingContext(const char* file, int line, const VrnSnBaseNode* node);
// A locator list of a GLSL type that nothing declares.
void unsupportedLocators(const char* file, int line, const QVariant& value);
} // namespace VrnSnGlslLog
