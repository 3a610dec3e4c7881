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
    {
        Sfunc(State,_State); // Evaluating Node '/Net/Src'
        {
VrnResult = SOutput;
        }
    }
//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout TessControlState State, inout TessControlSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
//--- Style 2 Node '/Net/Src' ---
//=====================
uniform float S_Gain;
vec4 SOutput; // Output 'Output' 
void Sfunc(inout TessControlState State, inout TessControlSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = vec4(S_Gain);
    SOutput = Output;
}

//=====================
//--- Style 2 Node '/Net/Out' ---
//=====================
    {
        Sfunc(State,_State); // Evaluating Node '/Net/Src'
        {
VrnResult = SOutput;
        }
    }
//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
//--- Style 3 Node '/Net/Src' ---
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
//--- Style 3 Node '/Net/Out' ---
//=====================
    {

//=====================
//--- Style 3 Node '/Net/Src' ---
//=====================

{
    vec4 Output; // Output 'Output' 
Output = vec4(S_Gain);
    SOutput = Output;
}
        {
VrnResult = SOutput;
        }
    }
