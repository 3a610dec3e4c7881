#include "VrnUniformReport.h"

#include "VrnAttributeValues.h"
#include "VrnParameterTypes.h"
#include "VrnShaderNetwork.h"
#include "VrnShaderUniformBlock.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSurfaceShader.h"

#include <QJsonArray>

#include <algorithm>

namespace {
// Single-precision values printed with the digits they really have.
double shortest(float v)
{
    return QString::number(double(v), 'g', 7).toDouble();
}

QJsonArray numbers(const QVector<float>& values)
{
    QJsonArray a;
    for (float v : values)
        a.append(shortest(v));
    return a;
}

QJsonArray strings(const QStringList& list)
{
    return QJsonArray::fromStringList(list);
}

// Node uuids are made afresh in every run: entries name their node by id,
// which the file fixes (the uuid itself for a node the network lacks).
QJsonObject blockJson(VrnShaderUniformBlock& block, const QHash<QString, QString>& nodeIdByUuid)
{
    const auto nodeOf = [&nodeIdByUuid](const QString& uuid) { return nodeIdByUuid.value(uuid, uuid); };
    QJsonObject o;
    o.insert(QStringLiteral("name"), block.name());
    o.insert(QStringLiteral("valid"), block.isValid());
    const char* intNames[] = {"int0", "int1", "int2"};
    for (int i = 0; i < 3; ++i) {
        QJsonArray ints;
        for (int v : block.intArray(i))
            ints.append(v);
        o.insert(QString::fromLatin1(intNames[i]), ints);
    }
    QJsonArray floats;
    for (float v : block.floatArray())
        floats.append(shortest(v));
    o.insert(QStringLiteral("float"), floats);
    QJsonArray vec4s;
    for (const Wm3::Vector4<float>& v : block.vec4Array())
        vec4s.append(numbers({v.x, v.y, v.z, v.w}));
    o.insert(QStringLiteral("vec4"), vec4s);

    // Hash tables come out sorted so that the report is the same in every run.
    QList<VrnShaderUniformBlock::Key> keys = block.locationMap().keys();
    std::sort(keys.begin(), keys.end(), [&nodeOf](const VrnShaderUniformBlock::Key& a, const VrnShaderUniformBlock::Key& b) {
        return qMakePair(nodeOf(a.first), a.second) < qMakePair(nodeOf(b.first), b.second);
    });
    QJsonArray locations;
    for (const VrnShaderUniformBlock::Key& key : keys) {
        const VrnShaderUniformBlock::Location location = block.locationMap().value(key);
        locations.append(QJsonObject{{QStringLiteral("node"), nodeOf(key.first)},
                                     {QStringLiteral("attribute"), key.second},
                                     {QStringLiteral("array"), location.first},
                                     {QStringLiteral("index"), location.second}});
    }
    o.insert(QStringLiteral("locations"), locations);
    QStringList uniforms = block.everyFrameMap().keys();
    uniforms.sort();
    QJsonArray everyFrame;
    for (const QString& uniform : uniforms) {
        const VrnShaderUniformBlock::Key key = block.everyFrameMap().value(uniform);
        everyFrame.append(QJsonObject{{QStringLiteral("uniform"), uniform},
                                      {QStringLiteral("node"), nodeOf(key.first)},
                                      {QStringLiteral("attribute"), key.second}});
    }
    o.insert(QStringLiteral("everyFrame"), everyFrame);
    return o;
}
} // namespace

QJsonValue VrnUniformReport::toJson(const QVariant& value)
{
    const VrnAttributeMetaTypes& t = vrnAttributeMetaTypes();
    const int type = value.userType();
    switch (type) {
    case QMetaType::UnknownType: return QJsonValue();
    case QMetaType::Bool: return value.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt: return value.toLongLong();
    case QMetaType::Float: return shortest(value.toFloat());
    case QMetaType::Double: return value.toDouble();
    case QMetaType::QString: return value.toString();
    default: break;
    }
    const VrnParameterType* row = VrnParameterTypes::ofValue(value);
    if (row && row->floats && type != t.locatorList)
        return numbers(row->floats(value));
    if (type == t.userEnum) return value.value<VrnUserEnum>().getCurrentEnumString();
    if (type == t.stringList) return value.value<VrnStringList>().currentString();
    if (type == t.channelId) return value.value<VrnChannelId>().channelName();
    if (type == t.fileList) return strings(value.value<VrnFileList>().files());
    if (type == t.imageList) return strings(value.value<VrnImageList>().channels());
    if (type == t.gradient) {
        const VrnGradient g = value.value<VrnGradient>();
        return QJsonObject{{QStringLiteral("atlas"), g.useAtlas()}, {QStringLiteral("size"), g.size()}};
    }
    if (type == t.locatorList) {
        const VrnLocatorList l = value.value<VrnLocatorList>();
        QJsonArray values;
        for (float v : l.values())
            values.append(shortest(v));
        return QJsonObject{{QStringLiteral("glslType"), l.glslType()}, {QStringLiteral("value"), values}};
    }
    return value.toString();
}

QJsonObject VrnUniformReport::build(VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader)
{
    QHash<QString, QString> nodeIdByUuid;
    for (VrnSnBaseNode* node : network->nodes())
        nodeIdByUuid.insert(node->uuidString(), node->id());
    QJsonArray blocks;
    if (surfaceShader)
        for (const QSharedPointer<VrnShaderUniformBlock>& block : surfaceShader->shaderUniformBlocks())
            if (block)
                blocks.append(blockJson(*block, nodeIdByUuid));

    const int channelIdType = vrnAttributeMetaTypes().channelId;
    QJsonArray uniforms;
    for (VrnSnBaseNode* node : network->nodes()) {
        VrnSnBaseGlslContext* context = node->context();
        if (!context || node->kind().alias)
            continue;
        for (const VrnCustomAttribute& parameter : node->kind().parameters) {
            const VrnCustomAttribute attribute = node->userAttribute(parameter.name());
            QJsonObject entry{{QStringLiteral("node"), node->id()},
                              {QStringLiteral("name"), context->uniformName(parameter.name(), node)},
                              {QStringLiteral("value"), toJson(context->uniformValue(attribute, node))}};
            // Compiled in as text, or not used in GLSL at all: no stage declares it.
            if (context->getOpenGLType(attribute.value()).isEmpty())
                entry.insert(QStringLiteral("declared"), false);
            uniforms.append(entry);
        }
        // Cache channels are declared by the host for the whole network.
        for (const QString& attribute : node->userAttributeNames()) {
            const QVariant& value = node->userAttributeValue(attribute);
            if (attribute.startsWith(QLatin1String("Cache_")) && value.userType() == channelIdType)
                uniforms.append(QJsonObject{{QStringLiteral("node"), node->id()},
                                            {QStringLiteral("name"), QStringLiteral("%1_%2.ChannelValues").arg(attribute, node->id())},
                                            {QStringLiteral("value"), toJson(value)}});
        }
    }

    QJsonObject attributes;
    if (surfaceShader)
        for (const QString& name : surfaceShader->userAttributeNames())
            attributes.insert(name, toJson(surfaceShader->userAttribute(name).value()));

    return QJsonObject{{QStringLiteral("blocks"), blocks},
                       {QStringLiteral("uniforms"), uniforms},
                       {QStringLiteral("attributes"), attributes},
                       {QStringLiteral("tessellation"), surfaceShader ? surfaceShader->tessellationStateString() : QString()}};
}
