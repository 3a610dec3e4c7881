#include "VrnSnNodeKind.h"

#include <QCryptographicHash>
#include <QUuid>

const VrnSnNodeInputDefinition* VrnSnNodeKind::input(const QString& inputName) const
{
    for (const VrnSnNodeInputDefinition& i : inputs)
        if (i.name == inputName)
            return &i;
    return nullptr;
}

const VrnCustomAttribute* VrnSnNodeKind::parameter(const QString& parameterName) const
{
    for (const VrnCustomAttribute& p : parameters)
        if (p.name() == parameterName)
            return &p;
    return nullptr;
}

QString VrnSnNodeKind::versionHashSource() const
{
    QStringList lines;
    lines << QStringLiteral("kind %1").arg(name);
    for (const VrnSnNodeInputDefinition& i : inputs)
        lines << QStringLiteral("input %1 = %2%3").arg(i.name, i.defaultExpression, i.invertible ? QStringLiteral(" invertible") : QString());
    for (const QString& o : outputs)
        lines << QStringLiteral("output %1").arg(o);
    for (const VrnCustomAttribute& p : parameters)
        lines << QStringLiteral("parameter %1 %2").arg(p.name(), QString::fromLatin1(p.value().typeName()));
    for (const VrnSnGlslRevalInfo& r : reval)
        lines << QStringLiteral("reval %1 %2 (%3, %4)").arg(r.placeholder, r.inputName, r.u, r.v);
    lines << glsl;
    return lines.join(QLatin1Char('\n'));
}

QString VrnSnNodeKind::versionHash() const
{
    return QString::fromLatin1(QCryptographicHash::hash(versionHashSource().toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

QString VrnSnNodeKind::versionUUID() const
{
    static const QUuid ns(QStringLiteral("{6f1b2c1e-4d8a-5b3e-9a51-2f7c0d9e8b41}"));
    return QUuid::createUuidV5(ns, name).toString(QUuid::WithoutBraces);
}
