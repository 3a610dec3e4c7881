//=====================
// Forward Declaration of functions and outputs
//=====================

vec4 SOutput; // Output '/Net/S.Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State);
vec4 BOutput; // Output '/Net/Bake.Output' 
void Bfunc(inout FragmentState State, inout FragmentSystemState _State);
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
//--- Style 6 Node '/Net/Bake' ---
//=====================
void Bfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Background = GET_VEC4(0);
    Channel Channel_BOutput;
    Channel_BOutput.ChannelValues.r = GET_INT(0);
    Channel_BOutput.ChannelValues.g = GET_INT(1);
    Channel_BOutput.ChannelValues.b = GET_INT(2);
    BOutput = texture_lookup2(Channel_BOutput,State,_State);
    BOutput = vec4(mix(Background.rgb, BOutput.rgb, BOutput.a), 1.0-(1.0-Background.a)*(1.0-BOutput.a));
}

//=====================
//--- Style 6 Node '/Net/Out' ---
//=====================
