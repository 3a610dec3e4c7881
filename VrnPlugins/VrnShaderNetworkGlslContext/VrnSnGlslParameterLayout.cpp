#include "VrnSnGlslParameterLayout.h"

#include "VrnAttributeValues.h"
#include "VrnChainedArg.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetworkUtils.h"

namespace VrnSnGlslParameterLayout {

namespace {
const Array None = Array::None;
const Array Ints = Array::Int;
const Array Floats = Array::Float;
const Array Vec4s = Array::Vec4;

const char* const kIntDeclaration = "    int Parameter%1 = GET_INT(ParameterIndex+%2);\n";
const char* const kChannelDeclaration = "    Channel Parameter%1;\n"
                                        "    Parameter%1.ChannelValues.r = GET_INT(ParameterIndex+%2);\n"
                                        "    Parameter%1.ChannelValues.g = GET_INT(ParameterIndex+%3);\n"
                                        "    Parameter%1.ChannelValues.b = GET_INT(ParameterIndex+%4);\n";

// One row per Kind, in its order.
// declaration, parameter ints, Style 5 array, elements, every frame | Style 6 array, slots, holds value, every frame
const Layout kLayouts[] = {
    /* Bool */ {"    bool Parameter%1 = bool(GET_INT(ParameterIndex+%2));\n", 1, Ints, 0, false, Ints, 1, true, false},
    /* Int */ {kIntDeclaration, 1, Ints, 0, false, Ints, 1, true, false},
    /* Float */ {"    float Parameter%1 = GET_FLOAT(ParameterIndex+%2,0);\n", 1, Floats, 1, false, Floats, 1, true, false},
    /* ChannelName */ {kChannelDeclaration, 3, Ints, 0, true, Ints, 3, false, true},
    /* OtherString */ {"", 0, None, 0, false, None, 0, false, false},
    /* StringListEntry */ {kIntDeclaration, 1, Ints, 0, false, Ints, 1, false, false},
    /* Vector2 */ {"    vec2 Parameter%1 = GET_VEC4(ParameterIndex+%2,0).rg;\n", 1, Vec4s, 1, false, Vec4s, 1, false, false},
    /* Vector3 */ {"    vec3 Parameter%1 = GET_VEC4(ParameterIndex+%2,0).rgb;\n", 1, Vec4s, 1, false, Vec4s, 1, false, false},
    /* Vector4 */ {"    vec4 Parameter%1 = GET_VEC4(ParameterIndex+%2,0);\n", 1, Vec4s, 1, false, Vec4s, 1, false, false},
    /* BlendMode */ {kIntDeclaration, 1, Ints, 0, true, None, 0, false, false},
    /* CompiledEnum */ {"", 0, None, 0, false, None, 0, false, false},
    /* FileList */
    {"    uvec2 Parameter%1 = uvec2(GET_INT(ParameterIndex+%2),GET_INT(ParameterIndex+%3)); // UNIMPLEMENTED samplerCube\n", 2, Ints,
     0, true, None, 0, false, false},
    /* ImageList */
    {"    uvec4 Parameter%1 = uvec4(GET_INT(ParameterIndex+%2),GET_INT(ParameterIndex+%3),GET_INT(ParameterIndex+%4),GET_INT(ParameterIndex+%5));\n",
     4, Ints, 0, true, Ints, 4, false, true},
    /* AtlasGradient */ {kIntDeclaration, 1, Ints, 0, false, Ints, 1, false, false},
    /* SamplerGradient */ {"// sampler1D", 0, None, 0, false, None, 0, false, false},
    /* ChannelId */ {kChannelDeclaration, 3, Ints, 0, false, Ints, 3, false, true},
    /* Point */ {"    vec3 Parameter%1 = GET_VEC4(ParameterIndex+%2,0).xyz;\n", 1, Vec4s, 1, true, Vec4s, 1, false, true},
    // The matrix's columns, then its inverse's.
    /* Matrix */
    {"    mat4 Parameter%1 = mat4(GET_VEC4(ParameterIndex+%2,0),GET_VEC4(ParameterIndex+%2,1),"
     "GET_VEC4(ParameterIndex+%2,2),GET_VEC4(ParameterIndex+%2,3));\n"
     "    mat4 Parameter%1_Inverse = mat4(GET_VEC4(ParameterIndex+%2,4),GET_VEC4(ParameterIndex+%2,5),"
     "GET_VEC4(ParameterIndex+%2,6),GET_VEC4(ParameterIndex+%2,7));\n",
     1, Vec4s, 8, true, Vec4s, 8, false, true},
    // Declared by nothing, yet Style 5 keeps a matrix's room for it; Style 6 reserves none.
    /* OtherLocators */ {"", 1, Vec4s, 8, true, Vec4s, 0, false, true},
    /* Unknown */ {"", 0, None, 0, false, None, 0, false, false},
};
static_assert(sizeof(kLayouts) / sizeof(kLayouts[0]) == int(Kind::Unknown) + 1, "one layout per kind");

const QString kChannel = QStringLiteral("Channel");
} // namespace

Kind kindOf(const QString& name, const QVariant& value)
{
    const int t = value.userType();
    if (t == QMetaType::Bool)
        return Kind::Bool;
    if (t == QMetaType::Int)
        return Kind::Int;
    if (t == QMetaType::Double || t == QMetaType::Float)
        return Kind::Float;
    if (t == QMetaType::QString)
        return name == kChannel ? Kind::ChannelName : Kind::OtherString;
    if (t == VrnShaderManager::MetaType_VrnStringList)
        return name == kChannel ? Kind::ChannelName : Kind::StringListEntry;
    if (t == VrnShaderManager::MetaType_Vector2f)
        return Kind::Vector2;
    if (t == VrnShaderManager::MetaType_Vector3f)
        return Kind::Vector3;
    if (t == VrnShaderManager::MetaType_Vector4f || t == VrnShaderManager::MetaType_VrnColor)
        return Kind::Vector4;
    if (t == VrnShaderManager::MetaType_VrnUserEnum)
        return VrnShaderNetworkUtils::isBlendModeVariant(value) ? Kind::BlendMode : Kind::CompiledEnum;
    if (t == VrnShaderManager::MetaType_VrnFileList)
        return Kind::FileList;
    if (t == VrnShaderManager::MetaType_VrnImageList)
        return Kind::ImageList;
    if (t == VrnShaderManager::MetaType_VrnGradient)
        return value.value<VrnGradient>().useAtlas() ? Kind::AtlasGradient : Kind::SamplerGradient;
    if (t == VrnShaderManager::MetaType_VrnChannelId)
        return Kind::ChannelId;
    if (t == VrnShaderManager::MetaType_VrnLocatorList) {
        const QString glslType = value.value<VrnLocatorList>().glslType();
        if (glslType == QLatin1String("vec3"))
            return Kind::Point;
        return glslType == QLatin1String("mat4x4") ? Kind::Matrix : Kind::OtherLocators;
    }
    return Kind::Unknown;
}

const Layout& layoutOf(Kind kind)
{
    return kLayouts[int(kind)];
}

QString style5Declaration(Kind kind, int parameter, int slot)
{
    const Layout& layout = layoutOf(kind);
    const QString text = QString::fromLatin1(layout.declaration);
    if (text.isEmpty() || layout.parameterInts == 0)
        return text;
    VrnChainedArg filled(text);
    filled.arg(parameter);
    for (int i = 0; i < layout.parameterInts; ++i)
        filled.arg(slot + i);
    return filled.toString();
}

} // namespace VrnSnGlslParameterLayout
