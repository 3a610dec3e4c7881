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
