#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

// The parameter types a node kind may declare, one row each: the name kind
// and network files give it, the meta type of its values, the value a kind
// without a default starts from, the GLSL type of its uniform and its float
// components. The kind library, the contexts' declarations, the uniform
// report and the renderer read their per-type answers from here.
struct VrnParameterType
{
    QString name;
    int metaType = 0;
    QVariant zero;
    // The uniform's GLSL type; empty where the type has no uniform of its own.
    QString glslType;
    // Where the value decides the GLSL type instead (enums, gradients, locators).
    QString (*glslTypeOfValue)(const QVariant& value) = nullptr;
    // The float components of vectors, colours and locator lists; null for other types.
    QVector<float> (*floats)(const QVariant& value) = nullptr;
    // The int an int uniform receives where it is not toInt() (the option index of enums and string lists).
    int (*integer)(const QVariant& value) = nullptr;
};

namespace VrnParameterTypes {
// Every type, in the order the file format lists them.
const QList<VrnParameterType>& all();
// The row of a value's meta type, or null.
const VrnParameterType* ofValue(const QVariant& value);
// The row of a type name, or null.
const VrnParameterType* named(const QString& name);
// The GLSL type of a value's uniform; empty when it has none.
QString glslType(const QVariant& value);
} // namespace VrnParameterTypes
