//=====================
// Forward Declaration of functions and outputs
//=====================

vec4 N1A; // Output '/Net/Plain.A' 
vec4 N1B; // Output '/Net/Plain.B' 
void N1func(inout FragmentState State, inout FragmentSystemState _State);
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


//=====================
//--- Style 6 Node '/Net/Plain' ---
//=====================
void N1func(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 A; // Output '/Net/Plain.A' 
    vec4 B; // Output '/Net/Plain.B' 
A = vec4(GET_FLOAT(0)); B = vec4(1.0);
    N1A = A;
    N1B = B;
}

//=====================
//--- Style 6 Node '/Net/Result' ---
//=====================
