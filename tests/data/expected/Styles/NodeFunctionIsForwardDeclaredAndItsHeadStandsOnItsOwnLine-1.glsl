//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
//--- Style 2 Node '/Net/Src' ---
//=====================
uniform float S_Gain;
vec4 SOutput; // Output 'Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = vec4(S_Gain);
    SOutput = Output;
}

//=====================
//--- Style 2 Node '/Net/Out' ---
//=====================
