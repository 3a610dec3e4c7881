#pragma once

#include "VrnCustomAttribute.h"

#include <QList>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

// GL shader-stage enums used as shader types; 0 means every stage.
namespace VrnShaderType {
constexpr unsigned AllStages = 0;
constexpr unsigned Fragment = 35632;
constexpr unsigned TessEvaluation = 36487;
constexpr unsigned TessControl = 36488;
} // namespace VrnShaderType

struct VrnSnNodeInputDefinition
{
    QString name;
    QString defaultExpression; // GLSL used while the input is not connected
    bool invertible = false;   // the node reads a flag "<input>_INVERTED"
};

// One input that a node evaluates a second time at a derived texture position.
struct VrnSnGlslRevalInfo
{
    QString placeholder; // text in the node's code that the re-evaluation block replaces
    QString inputName;
    QString u;
    QString v;

    bool operator==(const VrnSnGlslRevalInfo& o) const
    {
        return placeholder == o.placeholder && inputName == o.inputName && u == o.u && v == o.v;
    }
};

// What every node of one kind shares: its interface, parameters and GLSL.
struct VrnSnNodeKind
{
    enum class NodeClass { Plain, ImageSet, BakePoint };

    QString name;
    QString contextClass;              // class created through the class factories; empty: the base context
    NodeClass nodeClass = NodeClass::Plain;
    unsigned shaderType = VrnShaderType::AllStages;
    QList<VrnSnNodeInputDefinition> inputs;
    QStringList outputs;
    QList<VrnCustomAttribute> parameters; // defaults, in declaration order
    QList<VrnSnGlslRevalInfo> reval;
    QString glsl;
    bool container = false;
    bool alias = false;
    bool encrypted = false;
    QString pathKey;

    const VrnSnNodeInputDefinition* input(const QString& inputName) const;
    const VrnCustomAttribute* parameter(const QString& parameterName) const;

    // The text that identifies this kind's implementation; nodes with equal
    // sources share generated code.
    QString versionHashSource() const;
    // A short, stable digest of the source (lower-case hex).
    QString versionHash() const;
    // A stable UUID derived from the kind's name.
    QString versionUUID() const;
};

using VrnSnNodeKindPtr = QSharedPointer<const VrnSnNodeKind>;
