//=====================
// Forward Declaration of functions and outputs
//=====================

vec4 SOutput; // Output '/Net/S.Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State);
vec4 GOutput; // Output '/Net/G.Output' 
void Gfunc(inout FragmentState State, inout FragmentSystemState _State);
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
//--- Style 6 Node '/Net/S' ---
//=====================
void Sfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output '/Net/S.Output' 
Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 6 Node '/Net/G' ---
//=====================
void Gfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    {
        Sfunc(State,_State); // Evaluating Node '/Net/S'
    }
    vec4 Output; // Output '/Net/G.Output' 
Output = SOutput;
    GOutput = Output;
}

//=====================
//--- Style 6 Node '/Net/Out' ---
//=====================
