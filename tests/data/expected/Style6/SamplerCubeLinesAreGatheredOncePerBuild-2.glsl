//=====================
// Forward Declaration of functions and outputs
//=====================

vec4 AOutput; // Output '/Net/A.Output' 
void Afunc(inout FragmentState State, inout FragmentSystemState _State);
//============================
//-- Style 6 Declaration --
//============================

#define DECLARE_UNIFORMS_ON_MAIN_TRAIL
#define GET_FLOAT(x) u_FloatUniforms[x]
#define GET_VEC4(x) u_Vec4Uniforms[x]
#define GET_INT(x) u_IntUniforms[x]
#define u_IntUniforms FragmentShaderUniformBlock_u_IntUniforms0
#define u_FloatUniforms FragmentShaderUniformBlock_u_FloatUniforms
#define u_Vec4Uniforms FragmentShaderUniformBlock_u_Vec4Uniforms

//=====================
// Declaration of uniforms
//=====================
uniform samplerCube B_Only;

//=====================
//--- Style 6 Node '/Net/A' ---
//=====================
void Afunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output '/Net/A.Output' 
Output = vec4(1.0);
    AOutput = Output;
}

//=====================
//--- Style 6 Node '/Net/Out' ---
//=====================
