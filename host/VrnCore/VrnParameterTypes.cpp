#include "VrnParameterTypes.h"

#include "VrnAttributeValues.h"

namespace {
QVector<float> vector2Floats(const QVariant& value)
{
    const Vector2f v = value.value<Vector2f>();
    return {v.x, v.y};
}

QVector<float> vector3Floats(const QVariant& value)
{
    const Vector3f v = value.value<Vector3f>();
    return {v.x, v.y, v.z};
}

QVector<float> vector4Floats(const QVariant& value)
{
    const Vector4f v = value.value<Vector4f>();
    return {v.x, v.y, v.z, v.w};
}

QVector<float> colorFloats(const QVariant& value)
{
    const VrnColor c = value.value<VrnColor>();
    return {c.r, c.g, c.b, c.a};
}

QVector<float> locatorFloats(const QVariant& value)
{
    return value.value<VrnLocatorList>().values();
}

int enumIndex(const QVariant& value)
{
    return value.value<VrnUserEnum>().currentIndex();
}

int stringListIndex(const QVariant& value)
{
    return value.value<VrnStringList>().currentIndex();
}

// Only a blend mode's enum is a uniform; other enums are compiled into the code.
QString enumGlslType(const QVariant& value)
{
    return value.value<VrnUserEnum>().isBlendMode() ? QStringLiteral("int") : QString();
}

QString gradientGlslType(const QVariant& value)
{
    return value.value<VrnGradient>().useAtlas() ? QStringLiteral("int") : QStringLiteral("sampler1D");
}

QString locatorGlslType(const QVariant& value)
{
    const QString glslType = value.value<VrnLocatorList>().glslType();
    if (glslType == QLatin1String("vec3"))
        return QStringLiteral("vec3");
    if (glslType == QLatin1String("mat4x4"))
        return QStringLiteral("mat4");
    return QString();
}

QList<VrnParameterType> makeTable()
{
    const VrnAttributeMetaTypes& t = vrnAttributeMetaTypes();
    // name, meta type, zero value, GLSL type, GLSL type by value, floats, int
    return {
        {QStringLiteral("bool"), QMetaType::Bool, QVariant(false), QStringLiteral("bool"), nullptr, nullptr},
        {QStringLiteral("int"), QMetaType::Int, QVariant(0), QStringLiteral("int"), nullptr, nullptr},
        {QStringLiteral("float"), QMetaType::Float, QVariant(0.0f), QStringLiteral("float"), nullptr, nullptr},
        {QStringLiteral("double"), QMetaType::Double, QVariant(0.0), QStringLiteral("float"), nullptr, nullptr},
        {QStringLiteral("string"), QMetaType::QString, QVariant(QString()), QString(), nullptr, nullptr},
        {QStringLiteral("Vector2f"), t.vector2f, QVariant::fromValue(Vector2f()), QStringLiteral("vec2"), nullptr, vector2Floats},
        {QStringLiteral("Vector3f"), t.vector3f, QVariant::fromValue(Vector3f()), QStringLiteral("vec3"), nullptr, vector3Floats},
        {QStringLiteral("Vector4f"), t.vector4f, QVariant::fromValue(Vector4f()), QStringLiteral("vec4"), nullptr, vector4Floats},
        {QStringLiteral("VrnColor"), t.color, QVariant::fromValue(VrnColor()), QStringLiteral("vec4"), nullptr, colorFloats},
        {QStringLiteral("VrnUserEnum"), t.userEnum, QVariant(), QString(), enumGlslType, nullptr, enumIndex},
        {QStringLiteral("VrnStringList"), t.stringList, QVariant(), QStringLiteral("int"), nullptr, nullptr, stringListIndex},
        {QStringLiteral("VrnChannelId"), t.channelId, QVariant::fromValue(VrnChannelId(VrnChannelId::currentChannelText())),
         QStringLiteral("Channel"), nullptr, nullptr},
        {QStringLiteral("VrnFileList"), t.fileList, QVariant::fromValue(VrnFileList()), QStringLiteral("samplerCube"), nullptr, nullptr},
        {QStringLiteral("VrnImageList"), t.imageList, QVariant::fromValue(VrnImageList()), QStringLiteral("uvec4"), nullptr, nullptr},
        {QStringLiteral("VrnGradient"), t.gradient, QVariant::fromValue(VrnGradient()), QString(), gradientGlslType, nullptr},
        {QStringLiteral("VrnLocatorList"), t.locatorList, QVariant::fromValue(VrnLocatorList(QStringLiteral("vec3"), {0, 0, 0})),
         QString(), locatorGlslType, locatorFloats},
    };
}
} // namespace

namespace VrnParameterTypes {

const QList<VrnParameterType>& all()
{
    static const QList<VrnParameterType> table = makeTable();
    return table;
}

const VrnParameterType* ofValue(const QVariant& value)
{
    const int metaType = value.userType();
    for (const VrnParameterType& type : all())
        if (type.metaType == metaType)
            return &type;
    return nullptr;
}

const VrnParameterType* named(const QString& name)
{
    for (const VrnParameterType& type : all())
        if (type.name == name)
            return &type;
    return nullptr;
}

QString glslType(const QVariant& value)
{
    const VrnParameterType* type = ofValue(value);
    if (!type)
        return QString();
    return type->glslTypeOfValue ? type->glslTypeOfValue(value) : type->glslType;
}

} // namespace VrnParameterTypes
