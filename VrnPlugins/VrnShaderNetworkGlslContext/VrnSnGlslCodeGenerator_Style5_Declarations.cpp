// Style 5, declarations and dispatch: the prologue that names the block's
// arrays and defines the accessor macros, the cube-map samplers, node
// function 0, the dispatch switch and the interpreter loop.

#include "VrnSnGlslCodeGenerator_Style5.h"

#include "VrnSnGlslEmission.h"
#include "VrnSnGlslStyle5Steps.h"
#include "VrnSnNodeKind.h"

using namespace VrnSnGlslStyle5Steps;

namespace {
QString arrayNames(const Info& r)
{
    return QStringLiteral("#define u_InstructionList %1_u_IntUniforms0\n"
                          "#define u_WiringList %1_u_IntUniforms1\n"
                          "#define u_ParameterList %1_u_IntUniforms2\n"
                          "#define u_FloatUniforms %1_u_FloatUniforms\n"
                          "#define u_Vec4Uniforms %1_u_Vec4Uniforms\n")
        .arg(r.UniformBlockName);
}

QString storageAndAccessors()
{
    return QStringLiteral("#define VRN_GENERAL_COMPOSITION 1\n")
         + QStringLiteral("vec4 OutputInputStorage[VRN_OUTPUT_INPUT_STORAGE_SIZE];\n"
                          "\n"
                          "#define GET_FLOAT(x,offset) u_FloatUniforms[u_ParameterList[x]+offset]\n"
                          "#define GET_VEC4(x,offset) u_Vec4Uniforms[u_ParameterList[x]+offset]\n"
                          "#define GET_INT(x) u_ParameterList[x]\n"
                          "#define GET_INSTRUCTION(x) u_InstructionList[x]\n"
                          "#define GET_REVAL_INSTRUCTION(x) u_WiringList[x]\n"
                          "#define SHOULD_USE_DEFAULT_INPUT(x) (u_WiringList[x]<0)\n"
                          "#define GET_INPUT(x) OutputInputStorage[u_WiringList[x]]\n"
                          "#define GET_INPUT_INVERTED(x) bool(u_WiringList[x])\n"
                          "#define GET_OUTPUT(x) OutputInputStorage[u_WiringList[x]]\n"
                          "\n");
}

// One sampler per cube-map file; a token's first component picks it.
QString cubemapSamplers(int cubemaps)
{
    QString code;
    if (cubemaps <= 0)
        return code;
    for (int i = 0; i < cubemaps; ++i)
        code += QStringLiteral("uniform samplerCube u_CubemapUniforms%1;\n").arg(i);
    code += QStringLiteral("vec4 lookup_sampler_cube(uvec2 token,vec3 coords)\n{\n    switch( int(token.x) )\n    {\n");
    for (int i = 0; i < cubemaps; ++i)
        code += QStringLiteral("        case %1: return texture(u_CubemapUniforms%1,coords);\n").arg(i);
    code += QStringLiteral("    }\n}\n\n");
    code += QStringLiteral("vec4 lookup_sampler_cubeLod(uvec2 token,vec3 coords, float lod)\n{\n    switch( int(token.x) )\n    {\n");
    for (int i = 0; i < cubemaps; ++i)
        code += QStringLiteral("        case %1: return textureLod(u_CubemapUniforms%1,coords,lod);\n").arg(i);
    code += QStringLiteral("    }\n}\n\n");
    return code;
}

QString interpreterPrototypes(const Info& r)
{
    QString code = QStringLiteral("void iterateInstructionList(int InstructionIndexStart, inout %1 State, inout %2 _State);\n\n")
                       .arg(r.StateType)
                       .arg(r.SystemStateType);
    if (!r.RevalInfoMap.isEmpty())
        code += QStringLiteral("void iterateInstructionListForReval(int InstructionIndexStart,inout %1 State, inout %2 _State);\n")
                    .arg(r.StateType)
                    .arg(r.SystemStateType)
              + QStringLiteral("\n");
    return code;
}

// Node function 0 shows what a cached node or a bake point stored in its channel.
QString cacheLookupFunction(const Info& r)
{
    QString code = nodeFunctionBanner() + QStringLiteral("// NodeFunc for cache lookup\n") + nodeFunctionBanner();
    code += QStringLiteral("void NodeFunc0 (int ParameterIndex, int OutputInputIndex, inout %1 State, inout %2 _State)\n")
                .arg(r.StateType)
                .arg(r.SystemStateType);
    if (r.ShaderType == VrnShaderType::TessControl) {
        code += QStringLiteral("{\n}\n");
    } else {
        code += QStringLiteral(
            "{\n"
            "    Channel Parameter;\n"
            "    Parameter.ChannelValues.r = GET_INT(ParameterIndex+0);\n"
            "    Parameter.ChannelValues.g = GET_INT(ParameterIndex+1);\n"
            "    Parameter.ChannelValues.b = GET_INT(ParameterIndex+2);\n"
            "    vec4 ChannelValue = texture_lookup2(Parameter,State,_State);\n"
            "    vec4 Background = GET_VEC4(ParameterIndex+3, 0);\n"
            "    GET_OUTPUT(OutputInputIndex) = vec4(mix(Background.rgb, ChannelValue.rgb, ChannelValue.a), "
            "1.0-(1.0-Background.a)*(1.0-ChannelValue.a));\n"
            "}\n");
    }
    code += QStringLiteral("void NodeFuncForReval0 (int ParameterIndex, int OutputInputIndex, inout %1 State, inout %2 _State)\n")
                .arg(r.StateType)
                .arg(r.SystemStateType);
    code += QStringLiteral("{\n    NodeFunc0(ParameterIndex, OutputInputIndex, State, _State);\n}\n");
    return code;
}

// The switch over node-function numbers; the re-evaluation pass lists the twins only.
QString dispatchFunction(const Info& r, const QString& suffix, bool revalPass)
{
    QString code = QStringLiteral("// This is the data driven function calls\n"
                                  "void dataDrivenFuncCall%1(int InstructionIndex, inout %2 State, inout %3 _State)\n{\n")
                       .arg(suffix)
                       .arg(r.StateType)
                       .arg(r.SystemStateType);
    code += QStringLiteral("    switch(GET_INSTRUCTION(InstructionIndex))\n    {\n");
    for (int k = 0; k < r.NodeFuncCount; ++k) {
        if (revalPass && !r.RevalNodeFuncIndices.contains(k))
            continue;
        code += QStringLiteral("        case %2: NodeFunc%1%2(GET_INSTRUCTION(InstructionIndex+1),"
                               "GET_INSTRUCTION(InstructionIndex+2),State,_State); return;\n")
                    .arg(suffix)
                    .arg(k);
    }
    return code + QStringLiteral("    }\n}\n\n");
}

QString interpreterLoop(const Info& r, const QString& suffix)
{
    return QStringLiteral("void iterateInstructionList%1(int InstructionIndexStart,inout %2 State, inout %3 _State)\n"
                          "{\n"
                          "    int InstructionIndex = InstructionIndexStart;\n"
                          "    int i = 0;\n"
                          "    for(i=0;i<10000 && GET_INSTRUCTION(InstructionIndex)>=0;i++)\n"
                          "    {\n"
                          "        dataDrivenFuncCall%1(InstructionIndex, State, _State);\n"
                          "        InstructionIndex+=3;\n"
                          "    }\n"
                          "}\n\n")
        .arg(suffix)
        .arg(r.StateType)
        .arg(r.SystemStateType);
}
} // namespace

void VrnSnGlslCodeGenerator_Style5::buildDeclarationCode(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    r.DeclarationCode += arrayNames(r) + VrnSnGlslEmission::styleDeclarationHeader(5) + storageAndAccessors()
                       + cubemapSamplers(r.CubemapFiles.size()) + interpreterPrototypes(r) + cacheLookupFunction(r)
                       + QStringLiteral("\n#undef REVAL\n\n");
}

void VrnSnGlslCodeGenerator_Style5::buildDispatchCode(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    const int passes = r.RevalInfoMap.isEmpty() ? 1 : 2;
    for (int pass = 0; pass < passes; ++pass) {
        const QString suffix = pass == 0 ? QString() : QStringLiteral("ForReval");
        r.DeclarationCode += dispatchFunction(r, suffix, pass == 1) + interpreterLoop(r, suffix);
    }
    r.BodyCode += QStringLiteral("//============================\n"
                                 "//-- Style 5 Body--\n"
                                 "//============================\n"
                                 "int InstructionIndexStart = 0;\n"
                                 "iterateInstructionList(InstructionIndexStart,State,_State);\n");
}

void VrnSnGlslCodeGenerator_Style5::finishDeclarationCode(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    r.FloatUniforms.resize(qMax(0, r.FloatCount));
    r.Vec4Uniforms.resize(qMax(0, r.Vec4Count));
    // Always above the slot count, and the same for ten slot counts in a row,
    // so that small changes of the graph keep the text.
    const int storageSize = (qMax(0, r.StorageSlotCount) / 10 + 1) * 10;
    r.DeclarationCode = QStringLiteral("#define VRN_OUTPUT_INPUT_STORAGE_SIZE %1\n%2").arg(storageSize).arg(r.DeclarationCode);
}
