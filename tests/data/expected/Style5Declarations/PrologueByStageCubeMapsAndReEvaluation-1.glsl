#define u_InstructionList FragmentShaderUniformBlock_u_IntUniforms0
#define u_WiringList FragmentShaderUniformBlock_u_IntUniforms1
#define u_ParameterList FragmentShaderUniformBlock_u_IntUniforms2
#define u_FloatUniforms FragmentShaderUniformBlock_u_FloatUniforms
#define u_Vec4Uniforms FragmentShaderUniformBlock_u_Vec4Uniforms
//============================
//-- Style 5 Declaration --
//============================

#define DECLARE_UNIFORMS_ON_MAIN_TRAIL
#define VRN_GENERAL_COMPOSITION 1
vec4 OutputInputStorage[VRN_OUTPUT_INPUT_STORAGE_SIZE];

#define GET_FLOAT(x,offset) u_FloatUniforms[u_ParameterList[x]+offset]
#define GET_VEC4(x,offset) u_Vec4Uniforms[u_ParameterList[x]+offset]
#define GET_INT(x) u_ParameterList[x]
#define GET_INSTRUCTION(x) u_InstructionList[x]
#define GET_REVAL_INSTRUCTION(x) u_WiringList[x]
#define SHOULD_USE_DEFAULT_INPUT(x) (u_WiringList[x]<0)
#define GET_INPUT(x) OutputInputStorage[u_WiringList[x]]
#define GET_INPUT_INVERTED(x) bool(u_WiringList[x])
#define GET_OUTPUT(x) OutputInputStorage[u_WiringList[x]]

void iterateInstructionList(int InstructionIndexStart, inout FragmentState State, inout FragmentSystemState _State);

//--------------------------
// NodeFunc for cache lookup
//--------------------------
void NodeFunc0 (int ParameterIndex, int OutputInputIndex, inout FragmentState State, inout FragmentSystemState _State)
{
    Channel Parameter;
    Parameter.ChannelValues.r = GET_INT(ParameterIndex+0);
    Parameter.ChannelValues.g = GET_INT(ParameterIndex+1);
    Parameter.ChannelValues.b = GET_INT(ParameterIndex+2);
    vec4 ChannelValue = texture_lookup2(Parameter,State,_State);
    vec4 Background = GET_VEC4(ParameterIndex+3, 0);
    GET_OUTPUT(OutputInputIndex) = vec4(mix(Background.rgb, ChannelValue.rgb, ChannelValue.a), 1.0-(1.0-Background.a)*(1.0-ChannelValue.a));
}
void NodeFuncForReval0 (int ParameterIndex, int OutputInputIndex, inout FragmentState State, inout FragmentSystemState _State)
{
    NodeFunc0(ParameterIndex, OutputInputIndex, State, _State);
}

#undef REVAL

