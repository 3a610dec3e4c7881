//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
// Declaration of uniforms
//=====================
uniform ShaderNetworkUniformBlock
{
};



//=====================
//--- Style 4 Node '/Net/S' ---
//=====================
vec4 SOutput; // Output 'Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 4 Node '/Net/Out' ---
//=====================
//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
// Declaration of uniforms
//=====================
uniform ShaderNetworkUniformBlock
{

uniform float b;};



//=====================
//--- Style 4 Node '/Net/S' ---
//=====================
vec4 SOutput; // Output 'Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 4 Node '/Net/Out' ---
//=====================
//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
// Declaration of uniforms
//=====================
uniform ShaderNetworkUniformBlock
{

uniform float a;
uniform float b;};



//=====================
//--- Style 4 Node '/Net/S' ---
//=====================
vec4 SOutput; // Output 'Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 4 Node '/Net/Out' ---
//=====================
//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
// Declaration of uniforms
//=====================
uniform ShaderNetworkUniformBlock
{

uniform float a;
uniform float b;};



//=====================
//--- Style 4 Node '/Net/S' ---
//=====================
vec4 SOutput; // Output 'Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 4 Node '/Net/Out' ---
//=====================
//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
// Declaration of uniforms
//=====================
uniform ShaderNetworkUniformBlock
{
uniform float b;};



//=====================
//--- Style 4 Node '/Net/S' ---
//=====================
vec4 SOutput; // Output 'Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 4 Node '/Net/Out' ---
//=====================
//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
// Declaration of uniforms
//=====================
uniform ShaderNetworkUniformBlock
{
uniform float a;
uniform vec4 z;};

  uniform samplerCube Env;
uniform samplerCube Sky;

//=====================
//--- Style 4 Node '/Net/S' ---
//=====================
vec4 SOutput; // Output 'Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 4 Node '/Net/Out' ---
//=====================
