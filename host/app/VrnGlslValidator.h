#pragma once

#include <QMap>
#include <QString>

// Compiles and links stage sources with the glslang reference compiler.
namespace VrnGlslValidator {
// False, with the failing stage and the compiler's message in error.
bool validate(const QMap<unsigned, QString>& sources, QString& error);
} // namespace VrnGlslValidator
