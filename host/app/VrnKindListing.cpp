#include "VrnKindListing.h"

#include "VrnAttributeValues.h"
#include "VrnBuiltinKinds.h"
#include "VrnKindLibrary.h"
#include "VrnUniformReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace {
QString stageName(unsigned shaderType)
{
    switch (shaderType) {
    case VrnShaderType::Fragment: return QStringLiteral("fragment");
    case VrnShaderType::TessEvaluation: return QStringLiteral("tess-eval");
    case VrnShaderType::TessControl: return QStringLiteral("tess-control");
    default: return QStringLiteral("all");
    }
}

// A JSON value as it is written in a network file, on one line.
QString jsonText(const QJsonValue& value)
{
    if (value.isString())
        return QStringLiteral("\"%1\"").arg(value.toString());
    const QJsonDocument document = value.isObject() ? QJsonDocument(value.toObject()) : QJsonDocument(QJsonArray{value});
    QString text = QString::fromUtf8(document.toJson(QJsonDocument::Compact));
    return value.isObject() ? text : text.mid(1, text.size() - 2);
}

// The options of an enum or string list, and whether an enum is a blend mode.
QString options(const QVariant& value)
{
    const VrnAttributeMetaTypes& t = vrnAttributeMetaTypes();
    if (value.userType() == t.userEnum) {
        const VrnUserEnum e = value.value<VrnUserEnum>();
        return QStringLiteral(" (options %1%2)").arg(e.options().join(QStringLiteral(", ")),
                                                     e.isBlendMode() ? QStringLiteral("; blend mode") : QString());
    }
    if (value.userType() == t.stringList)
        return QStringLiteral(" (options %1)").arg(value.value<VrnStringList>().strings().join(QStringLiteral(", ")));
    return QString();
}

QString flags(const VrnSnNodeKind& kind)
{
    QStringList list;
    if (!kind.contextClass.isEmpty())
        list << QStringLiteral("context %1").arg(kind.contextClass);
    if (kind.outputs.isEmpty())
        list << QStringLiteral("terminal");
    if (kind.container)
        list << QStringLiteral("container");
    if (kind.alias)
        list << QStringLiteral("alias");
    if (kind.encrypted)
        list << QStringLiteral("encrypted");
    if (!kind.reval.isEmpty())
        list << QStringLiteral("re-evaluates %1").arg(kind.reval.first().inputName);
    return list.join(QStringLiteral(", "));
}
} // namespace

QString VrnKindListing::builtinKinds()
{
    QString text;
    for (const VrnSnNodeKindPtr& kind : VrnBuiltinKinds::all()) {
        text += QStringLiteral("%1 (stage %2").arg(kind->name, stageName(kind->shaderType));
        const QString kindFlags = flags(*kind);
        text += kindFlags.isEmpty() ? QStringLiteral(")\n") : QStringLiteral("; %1)\n").arg(kindFlags);
        for (const VrnSnNodeInputDefinition& input : kind->inputs)
            text += QStringLiteral("    input %1 = %2%3\n").arg(input.name, input.defaultExpression,
                                                            input.invertible ? QStringLiteral(" (invertible)") : QString());
        for (const QString& output : kind->outputs)
            text += QStringLiteral("    output %1\n").arg(output);
        for (const VrnCustomAttribute& parameter : kind->parameters)
            text += QStringLiteral("    parameter %1 %2 = %3%4\n")
                        .arg(parameter.name(), VrnKindLibrary::parameterType(parameter.value()),
                             jsonText(VrnUniformReport::toJson(parameter.value())), options(parameter.value()));
    }
    return text;
}
