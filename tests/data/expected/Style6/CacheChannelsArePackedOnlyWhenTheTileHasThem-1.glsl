//=====================
// Forward Declaration of functions and outputs
//=====================

vec4 IOutput; // Output '/Net/I.Output' 
void Ifunc(inout FragmentState State, inout FragmentSystemState _State);
vec4 KOutput; // Output '/Net/K.Output' 
void Kfunc(inout FragmentState State, inout FragmentSystemState _State);
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
//--- Style 6 Node '/Net/I' ---
//=====================
void Ifunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output '/Net/I.Output' 
Output = vec4(GET_INT(0));
    IOutput = Output;
}

//=====================
//--- Style 6 Node '/Net/K' ---
//=====================
void Kfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    Channel Cache_a7ee38bbOutput;
    Cache_a7ee38bbOutput.ChannelValues.r = GET_INT(1);
    Cache_a7ee38bbOutput.ChannelValues.g = GET_INT(2);
    Cache_a7ee38bbOutput.ChannelValues.b = GET_INT(3);
    KOutput = texture_lookup2(Cache_a7ee38bbOutput,State,_State);
}

//=====================
//--- Style 6 Node '/Net/Out' ---
//=====================
    {
        Ifunc(State,_State); // Evaluating Node '/Net/I'
{
    Channel Cache_a7ee38bbOutput;
    Cache_a7ee38bbOutput.ChannelValues.r = GET_INT(1);
    Cache_a7ee38bbOutput.ChannelValues.g = GET_INT(2);
    Cache_a7ee38bbOutput.ChannelValues.b = GET_INT(3);
    KOutput = texture_lookup2(Cache_a7ee38bbOutput,State,_State);
}
        {
VrnResult = IOutput + KOutput;
        }
    }
//=====================
// Forward Declaration of functions and outputs
//=====================

vec4 IOutput; // Output '/Net/I.Output' 
void Ifunc(inout FragmentState State, inout FragmentSystemState _State);
vec4 KOutput; // Output '/Net/K.Output' 
void Kfunc(inout FragmentState State, inout FragmentSystemState _State);
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
//--- Style 6 Node '/Net/I' ---
//=====================
void Ifunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output '/Net/I.Output' 
Output = vec4(GET_INT(0));
    IOutput = Output;
}

//=====================
//--- Style 6 Node '/Net/K' ---
//=====================
void Kfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    Channel Cache_a7ee38bbOutput;
    Cache_a7ee38bbOutput.ChannelValues.r = GET_INT(0);
    Cache_a7ee38bbOutput.ChannelValues.g = GET_INT(1);
    Cache_a7ee38bbOutput.ChannelValues.b = GET_INT(2);
    KOutput = texture_lookup2(Cache_a7ee38bbOutput,State,_State);
}

//=====================
//--- Style 6 Node '/Net/Out' ---
//=====================
    {
        Ifunc(State,_State); // Evaluating Node '/Net/I'
{
    Channel Cache_a7ee38bbOutput;
    Cache_a7ee38bbOutput.ChannelValues.r = GET_INT(0);
    Cache_a7ee38bbOutput.ChannelValues.g = GET_INT(1);
    Cache_a7ee38bbOutput.ChannelValues.b = GET_INT(2);
    KOutput = texture_lookup2(Cache_a7ee38bbOutput,State,_State);
}
        {
VrnResult = IOutput + KOutput;
        }
    }
//=====================
// Forward Declaration of functions and outputs
//=====================

vec4 IOutput; // Output '/Net/I.Output' 
void Ifunc(inout FragmentState State, inout FragmentSystemState _State);
vec4 KOutput; // Output '/Net/K.Output' 
void Kfunc(inout FragmentState State, inout FragmentSystemState _State);
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
//--- Style 6 Node '/Net/I' ---
//=====================
void Ifunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output '/Net/I.Output' 
Output = vec4(GET_INT(0));
    IOutput = Output;
}

//=====================
//--- Style 6 Node '/Net/K' ---
//=====================
void Kfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    Channel Cache_a7ee38bbOutput;
    Cache_a7ee38bbOutput.ChannelValues.r = GET_INT(0);
    Cache_a7ee38bbOutput.ChannelValues.g = GET_INT(1);
    Cache_a7ee38bbOutput.ChannelValues.b = GET_INT(2);
    KOutput = texture_lookup2(Cache_a7ee38bbOutput,State,_State);
}

//=====================
//--- Style 6 Node '/Net/Out' ---
//=====================
    {
        Ifunc(State,_State); // Evaluating Node '/Net/I'
{
    Channel Cache_a7ee38bbOutput;
    Cache_a7ee38bbOutput.ChannelValues.r = GET_INT(0);
    Cache_a7ee38bbOutput.ChannelValues.g = GET_INT(1);
    Cache_a7ee38bbOutput.ChannelValues.b = GET_INT(2);
    KOutput = texture_lookup2(Cache_a7ee38bbOutput,State,_State);
}
        {
VrnResult = IOutput + KOutput;
        }
    }
//=====================
// Forward Declaration of functions and outputs
//=====================

vec4 IOutput; // Output '/Net/I.Output' 
void Ifunc(inout FragmentState State, inout FragmentSystemState _State);
vec4 KOutput; // Output '/Net/K.Output' 
void Kfunc(inout FragmentState State, inout FragmentSystemState _State);
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
//--- Style 6 Node '/Net/I' ---
//=====================
void Ifunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output '/Net/I.Output' 
Output = vec4(GET_INT(0));
    IOutput = Output;
}

//=====================
//--- Style 6 Node '/Net/K' ---
//=====================
void Kfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    Channel Cache_a7ee38bbOutput;
    Cache_a7ee38bbOutput.ChannelValues.r = GET_INT(0);
    Cache_a7ee38bbOutput.ChannelValues.g = GET_INT(1);
    Cache_a7ee38bbOutput.ChannelValues.b = GET_INT(2);
    KOutput = texture_lookup2(Cache_a7ee38bbOutput,State,_State);
}

//=====================
//--- Style 6 Node '/Net/Out' ---
//=====================
    {
        Ifunc(State,_State); // Evaluating Node '/Net/I'
{
    Channel Cache_a7ee38bbOutput;
    Cache_a7ee38bbOutput.ChannelValues.r = GET_INT(0);
    Cache_a7ee38bbOutput.ChannelValues.g = GET_INT(1);
    Cache_a7ee38bbOutput.ChannelValues.b = GET_INT(2);
    KOutput = texture_lookup2(Cache_a7ee38bbOutput,State,_State);
}
        {
VrnResult = IOutput + KOutput;
        }
    }
