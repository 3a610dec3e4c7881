#include "VrnBuiltinKinds.h"

#include "VrnAttributeValues.h"

namespace {
VrnSnNodeKindPtr makeKind(VrnSnNodeKind kind)
{
    return VrnSnNodeKindPtr(new VrnSnNodeKind(std::move(kind)));
}

QVariant vector3(float x, float y, float z)
{
    return QVariant::fromValue(Vector3f(x, y, z));
}

QMap<QString, VrnSnNodeKindPtr> buildAll()
{
    QMap<QString, VrnSnNodeKindPtr> kinds;
    auto add = [&kinds](VrnSnNodeKind k) {
        const QString name = k.name;
        kinds.insert(name, makeKind(std::move(k)));
    };

    VrnSnNodeKind output;
    output.name = QStringLiteral("Output");
    output.inputs = {{QStringLiteral("Input"), QStringLiteral("vec4(0.0,0.0,0.0,1.0)"), false}};
    output.glsl = QStringLiteral("VrnResult = #Input;");
    add(output);

    VrnSnNodeKind channelInput;
    channelInput.name = QStringLiteral("ChannelInput");
    channelInput.contextClass = QStringLiteral("VrnSnGlslChannelInputContext");
    channelInput.nodeClass = VrnSnNodeKind::NodeClass::ImageSet;
    channelInput.outputs = QStringList{QStringLiteral("Output")};
    channelInput.parameters = {VrnCustomAttribute(QStringLiteral("Channel"), QVariant::fromValue(VrnChannelId(VrnChannelId::currentChannelText())))};
    channelInput.glsl = QStringLiteral("Output = texture_lookup2($Channel, State, _State);");
    add(channelInput);

    VrnSnNodeKind bakePoint;
    bakePoint.name = QStringLiteral("BakePoint");
    bakePoint.contextClass = QStringLiteral("VrnSnGlslChannelBakeContext");
    bakePoint.nodeClass = VrnSnNodeKind::NodeClass::BakePoint;
    bakePoint.inputs = {{QStringLiteral("Input"), QStringLiteral("vec4(0.0,0.0,0.0,1.0)"), false}};
    bakePoint.outputs = QStringList{QStringLiteral("Output")};
    bakePoint.parameters = {VrnCustomAttribute(QStringLiteral("Channel"), QVariant::fromValue(VrnChannelId(VrnChannelId::currentChannelText()))),
                            VrnCustomAttribute(QStringLiteral("limitBakeBackground"), false)};
    add(bakePoint);

    VrnSnNodeKind light;
    light.name = QStringLiteral("SphericalHarmonicsLight");
    light.contextClass = QStringLiteral("VrnSnGlslIBLContext");
    light.outputs = QStringList{QStringLiteral("Output")};
    // A soft sky light: bright from +y, dim from below.
    const QStringList coefficients{QStringLiteral("l00"), QStringLiteral("l1_1"), QStringLiteral("l10"),
                                   QStringLiteral("l11"), QStringLiteral("l2_2"), QStringLiteral("l2_1"),
                                   QStringLiteral("l20"), QStringLiteral("l21"), QStringLiteral("l22")};
    for (const QString& c : coefficients) {
        QVariant value = vector3(0, 0, 0);
        if (c == QLatin1String("l00")) value = vector3(0.8f, 0.8f, 0.8f);
        if (c == QLatin1String("l1_1")) value = vector3(0.3f, 0.3f, 0.3f);
        light.parameters.append(VrnCustomAttribute(c, value));
    }
    light.parameters.append(VrnCustomAttribute(QStringLiteral("Amount"), 1.0));
    add(light);

    VrnSnNodeKind constant;
    constant.name = QStringLiteral("ConstantColor");
    constant.outputs = QStringList{QStringLiteral("Output")};
    constant.parameters = {VrnCustomAttribute(QStringLiteral("Color"), QVariant::fromValue(VrnColor(1, 1, 1, 1)))};
    constant.glsl = QStringLiteral("Output = $Color;");
    add(constant);

    VrnSnNodeKind multiply;
    multiply.name = QStringLiteral("Multiply");
    multiply.inputs = {{QStringLiteral("A"), QStringLiteral("vec4(1.0,1.0,1.0,1.0)"), false},
                       {QStringLiteral("B"), QStringLiteral("vec4(1.0,1.0,1.0,1.0)"), false}};
    multiply.outputs = QStringList{QStringLiteral("Output")};
    multiply.glsl = QStringLiteral("Output = #A * #B;");
    add(multiply);

    VrnSnNodeKind sum;
    sum.name = QStringLiteral("Add");
    sum.inputs = {{QStringLiteral("A"), QStringLiteral("vec4(0.0,0.0,0.0,0.0)"), false},
                  {QStringLiteral("B"), QStringLiteral("vec4(0.0,0.0,0.0,0.0)"), false}};
    sum.outputs = QStringList{QStringLiteral("Output")};
    sum.glsl = QStringLiteral("Output = #A + #B;");
    add(sum);

    VrnSnNodeKind passThrough;
    passThrough.name = QStringLiteral("PassThrough");
    passThrough.inputs = {{QStringLiteral("Input"), QStringLiteral("vec4(0.0,0.0,0.0,0.0)"), false}};
    passThrough.outputs = QStringList{QStringLiteral("Output")};
    passThrough.glsl = QStringLiteral("Output = #Input;");
    passThrough.alias = true;
    add(passThrough);

    return kinds;
}
} // namespace

const QMap<QString, VrnSnNodeKindPtr>& VrnBuiltinKinds::all()
{
    static const QMap<QString, VrnSnNodeKindPtr> kinds = buildAll();
    return kinds;
}

VrnSnNodeKindPtr VrnBuiltinKinds::kind(const QString& name)
{
    return all().value(name);
}
