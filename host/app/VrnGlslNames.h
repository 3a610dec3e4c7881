#pragma once

#include <QString>
#include <QStringList>

class VrnSnBaseNode;

// The names that a network puts into GLSL. Generated code declares them as they
// are (never renamed), so a name the compiler would refuse, or one that means
// something else already, is refused where it is read.
namespace VrnGlslNames {
// The longest identifier the compiler reads.
constexpr int kMaxLength = 1024;

// Why generated code cannot declare the identifier, as a phrase after "is"
// ("a GLSL reserved word"); empty when it can.
QString fault(const QString& identifier);
// The same for a shader define, which may also start with an underscore.
QString defineFault(const QString& name);
// The same for a name that generated code uses only inside longer names
// (an input or parameter name): too long, or two underscores in a row.
QString partFault(const QString& name);

// The globals that generated code declares for the node: its function and
// output variables, its parameter uniforms, its channel uniform and those of its
// cache channels. In a fixed order.
QStringList nodeGlobals(const VrnSnBaseNode* node);
} // namespace VrnGlslNames
