#include "VrnGlslNames.h"

#include "VrnAttributeValues.h"
#include "VrnSnBaseNode.h"

#include <QRegularExpression>
#include <QSet>

namespace {
// Keywords and the words GLSL keeps for later (version 4.60), which no
// declaration may take.
const char* const kReservedWords =
    "attribute const uniform varying buffer shared coherent volatile restrict readonly writeonly atomic_uint layout "
    "centroid flat smooth noperspective patch sample invariant precise break continue do for while switch case default "
    "if else subroutine in out inout int void bool true false float double discard return struct lowp mediump highp "
    "precision vec2 vec3 vec4 ivec2 ivec3 ivec4 bvec2 bvec3 bvec4 uint uvec2 uvec3 uvec4 dvec2 dvec3 dvec4 mat2 mat3 "
    "mat4 mat2x2 mat2x3 mat2x4 mat3x2 mat3x3 mat3x4 mat4x2 mat4x3 mat4x4 dmat2 dmat3 dmat4 dmat2x2 dmat2x3 dmat2x4 "
    "dmat3x2 dmat3x3 dmat3x4 dmat4x2 dmat4x3 dmat4x4 sampler1D sampler1DShadow sampler1DArray sampler1DArrayShadow "
    "isampler1D isampler1DArray usampler1D usampler1DArray sampler2D sampler2DShadow sampler2DArray "
    "sampler2DArrayShadow isampler2D isampler2DArray usampler2D usampler2DArray sampler2DRect sampler2DRectShadow "
    "isampler2DRect usampler2DRect sampler2DMS isampler2DMS usampler2DMS sampler2DMSArray isampler2DMSArray "
    "usampler2DMSArray sampler3D isampler3D usampler3D samplerCube samplerCubeShadow isamplerCube usamplerCube "
    "samplerCubeArray samplerCubeArrayShadow isamplerCubeArray usamplerCubeArray samplerBuffer isamplerBuffer "
    "usamplerBuffer image1D iimage1D uimage1D image1DArray iimage1DArray uimage1DArray image2D iimage2D uimage2D "
    "image2DArray iimage2DArray uimage2DArray image2DRect iimage2DRect uimage2DRect image2DMS iimage2DMS uimage2DMS "
    "image2DMSArray iimage2DMSArray uimage2DMSArray image3D iimage3D uimage3D imageCube iimageCube uimageCube "
    "imageCubeArray iimageCubeArray uimageCubeArray imageBuffer iimageBuffer uimageBuffer sampler samplerShadow "
    "texture1D texture1DArray itexture1D itexture1DArray utexture1D utexture1DArray texture2DArray itexture2D "
    "itexture2DArray utexture2D utexture2DArray texture2DRect itexture2DRect utexture2DRect texture2DMS itexture2DMS "
    "utexture2DMS texture2DMSArray itexture2DMSArray utexture2DMSArray itexture3D utexture3D textureCubeArray "
    "itextureCube itextureCubeArray utextureCube utextureCubeArray textureBuffer itextureBuffer utextureBuffer "
    "subpassInput isubpassInput usubpassInput subpassInputMS isubpassInputMS usubpassInputMS "
    "common partition active asm class union enum typedef template this resource goto inline noinline public static "
    "extern external interface long short half fixed unsigned superp input output hvec2 hvec3 hvec4 fvec2 fvec3 fvec4 "
    "filter sizeof cast namespace using sampler3DRect defined";

// Built-in functions: a declaration of that name hides or overloads them.
const char* const kBuiltinFunctions =
    "radians degrees sin cos tan asin acos atan sinh cosh tanh asinh acosh atanh pow exp log exp2 log2 sqrt "
    "inversesqrt abs sign floor trunc round roundEven ceil fract mod modf min max clamp mix step smoothstep isnan isinf "
    "floatBitsToInt floatBitsToUint intBitsToFloat uintBitsToFloat fma frexp ldexp packUnorm2x16 packSnorm2x16 "
    "packUnorm4x8 packSnorm4x8 unpackUnorm2x16 unpackSnorm2x16 unpackUnorm4x8 unpackSnorm4x8 packHalf2x16 "
    "unpackHalf2x16 packDouble2x32 unpackDouble2x32 length distance dot cross normalize ftransform faceforward reflect "
    "refract matrixCompMult outerProduct transpose determinant inverse lessThan lessThanEqual greaterThan "
    "greaterThanEqual equal notEqual any all not uaddCarry usubBorrow umulExtended imulExtended bitfieldExtract "
    "bitfieldInsert bitfieldReverse bitCount findLSB findMSB textureSize textureQueryLod textureQueryLevels "
    "textureSamples texture textureProj textureLod textureOffset texelFetch texelFetchOffset textureProjOffset "
    "textureLodOffset textureProjLod textureProjLodOffset textureGrad textureGradOffset textureProjGrad "
    "textureProjGradOffset textureGather textureGatherOffset textureGatherOffsets texture1DProj texture1DLod "
    "texture1DProjLod texture2D texture2DProj texture2DLod texture2DProjLod texture3D texture3DProj texture3DLod "
    "texture3DProjLod textureCube textureCubeLod shadow1D shadow2D shadow1DProj shadow2DProj shadow1DLod shadow2DLod "
    "shadow1DProjLod shadow2DProjLod atomicCounterIncrement atomicCounterDecrement atomicCounter atomicCounterAdd "
    "atomicCounterSubtract atomicCounterMin atomicCounterMax atomicCounterAnd atomicCounterOr atomicCounterXor "
    "atomicCounterExchange atomicCounterCompSwap atomicAdd atomicMin atomicMax atomicAnd atomicOr atomicXor "
    "atomicExchange atomicCompSwap imageSize imageSamples imageLoad imageStore imageAtomicAdd imageAtomicMin "
    "imageAtomicMax imageAtomicAnd imageAtomicOr imageAtomicXor imageAtomicExchange imageAtomicCompSwap "
    "EmitStreamVertex EndStreamPrimitive EmitVertex EndPrimitive dFdx dFdy dFdxFine dFdyFine dFdxCoarse dFdyCoarse "
    "fwidth fwidthFine fwidthCoarse interpolateAtCentroid interpolateAtSample interpolateAtOffset noise1 noise2 noise3 "
    "noise4 barrier memoryBarrier memoryBarrierAtomicCounter memoryBarrierBuffer memoryBarrierShared "
    "memoryBarrierImage groupMemoryBarrier subpassLoad anyInvocation allInvocations allInvocationsEqual";

// What the host's shader library, the stages' main functions and the
// generators' fixed vocabulary declare (types, globals, functions, macros,
// members, the locals of main).
const char* const kHostNames =
    "main Channel VrnChannelTextures VrnResult State FragmentState FragmentSystemState FragmentStateStack "
    "TessEvaluationState TessEvaluationSystemState TessEvaluationStateStack TessControlState TessControlSystemState "
    "TessControlStateStack store_state derive_state restore_state texture_lookup2 vrn_ScreenPosition vrn_FragColor "
    "vrn_tcPosition vrn_tcNormal vrn_tcUv vrn_tePosition vrn_teNormal vrn_teUv vrnRadius2 vrnNormal vrnLevel "
    "vrnWeights vrnPosition vrnDisplaced ShaderNetworkUniformBlock FragmentShaderUniformBlock "
    "TessEvaluationShaderUniformBlock TessControlShaderUniformBlock OutputInputStorage lookup_sampler_cube "
    "lookup_sampler_cubeLod dataDrivenFuncCall dataDrivenFuncCallForReval iterateInstructionList "
    "iterateInstructionListForReval GET_INPUT GET_INPUT_INVERTED GET_OUTPUT SHOULD_USE_DEFAULT_INPUT "
    "GET_REVAL_INSTRUCTION GET_INSTRUCTION GET_INT GET_FLOAT GET_VEC4 VRN_GENERAL_COMPOSITION "
    "DECLARE_UNIFORMS_ON_MAIN_TRAIL VRN_OUTPUT_INPUT_STORAGE_SIZE u_IntUniforms u_FloatUniforms u_Vec4Uniforms "
    "u_InstructionList u_WiringList u_ParameterList";

// Members of the host's structures: only a define can break them.
const char* const kHostMembers = "ChannelValues position normal uv uvTile depth state system stack";

QSet<QString> wordSet(const char* words)
{
    const QStringList list = QString::fromLatin1(words).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return QSet<QString>(list.begin(), list.end());
}

QString partFault(const QString& name)
{
    if (name.size() > VrnGlslNames::kMaxLength)
        return QStringLiteral("longer than the %1 characters the compiler reads").arg(VrnGlslNames::kMaxLength);
    if (name.contains(QLatin1String("__")))
        return QStringLiteral("reserved by GLSL (it has two underscores in a row)");
    return QString();
}

QString commonFault(const QString& name)
{
    static const QSet<QString> reserved = wordSet(kReservedWords);
    static const QSet<QString> builtins = wordSet(kBuiltinFunctions);
    static const QSet<QString> host = wordSet(kHostNames);
    // Numbered names of the data-driven and uniform-block styles.
    static const QRegularExpression numbered(
        QRegularExpression::anchoredPattern(QStringLiteral("(NodeFunc|NodeFuncForReval|u_CubemapUniforms)[0-9]+")));
    if (name.startsWith(QLatin1String("gl_")) || name.startsWith(QLatin1String("GL_")))
        return QStringLiteral("reserved by GLSL (it starts with \"%1\")").arg(name.left(3));
    const QString part = partFault(name);
    if (!part.isEmpty())
        return part;
    if (reserved.contains(name))
        return QStringLiteral("a GLSL reserved word");
    if (builtins.contains(name))
        return QStringLiteral("a GLSL built-in function");
    if (host.contains(name) || numbered.match(name).hasMatch())
        return QStringLiteral("a name of the host's shader code");
    return QString();
}
} // namespace

QString VrnGlslNames::fault(const QString& identifier)
{
    static const QRegularExpression syntax(QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*")));
    if (!syntax.match(identifier).hasMatch())
        return QStringLiteral("not an identifier (letters, digits and _, not starting with a digit)");
    return commonFault(identifier);
}

QString VrnGlslNames::defineFault(const QString& name)
{
    static const QRegularExpression syntax(QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z_][A-Za-z0-9_]*")));
    if (!syntax.match(name).hasMatch())
        return QStringLiteral("not a valid define name");
    static const QSet<QString> members = wordSet(kHostMembers);
    if (members.contains(name))
        return QStringLiteral("a name of the host's shader code");
    return commonFault(name);
}

QString VrnGlslNames::partFault(const QString& name)
{
    return ::partFault(name);
}

QStringList VrnGlslNames::nodeGlobals(const VrnSnBaseNode* node)
{
    const QString& id = node->id();
    const VrnSnNodeKind& kind = node->kind();
    QStringList names;
    if (!kind.outputs.isEmpty())
        names.append(id + QStringLiteral("func"));
    for (const QString& output : kind.outputs)
        names.append(id + output);
    const int locatorType = vrnAttributeMetaTypes().locatorList;
    for (const VrnCustomAttribute& parameter : kind.parameters) {
        names.append(id + QLatin1Char('_') + parameter.name());
        const QVariant value = node->userAttributeValue(parameter.name());
        if (value.userType() == locatorType && value.value<VrnLocatorList>().glslType() == QLatin1String("mat4x4"))
            names.append(id + QLatin1Char('_') + parameter.name() + QStringLiteral("_Inverse"));
    }
    names.append(QStringLiteral("Channel_") + id);
    const int channelIdType = vrnAttributeMetaTypes().channelId;
    for (const QString& attribute : node->userAttributeNames())
        if (attribute.startsWith(QLatin1String("Cache_")) && node->userAttributeValue(attribute).userType() == channelIdType)
            names.append(attribute + QLatin1Char('_') + id);
    return names;
}
