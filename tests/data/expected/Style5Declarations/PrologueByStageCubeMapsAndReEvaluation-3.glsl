#define u_InstructionList TessControlShaderUniformBlock_u_IntUniforms0
#define u_WiringList TessControlShaderUniformBlock_u_IntUniforms1
#define u_ParameterList TessControlShaderUniformBlock_u_IntUniforms2
#define u_FloatUniforms TessControlShaderUniformBlock_u_FloatUniforms
#define u_Vec4Uniforms TessControlShaderUniformBlock_u_Vec4Uniforms
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

void iterateInstructionList(int InstructionIndexStart, inout TessControlState State, inout TessControlSystemState _State);

void iterateInstructionListForReval(int InstructionIndexStart,inout TessControlState State, inout TessControlSystemState _State);

//--------------------------
// NodeFunc for cache lookup
//--------------------------
void NodeFunc0 (int ParameterIndex, int OutputInputIndex, inout TessControlState State, inout TessControlSystemState _State)
{
}
void NodeFuncForReval0 (int ParameterIndex, int OutputInputIndex, inout TessControlState State, inout TessControlSystemState _State)
{
    NodeFunc0(ParameterIndex, OutputInputIndex, State, _State);
}

#undef REVAL

