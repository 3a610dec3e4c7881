//=====================
// Forward Declaration of functions
//=====================

void Nfunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
//--- Non-Bakeable Node '/Net/Noise' ---
//=====================
vec4 NOutput; // Output 'Output' 
void Nfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    NOutput = vec4(0,0,0,0);
}

//=====================
//--- Non-Bakeable Node '/Net/Out' ---
//=====================
    {
        Nfunc(State,_State); // Evaluating Node '/Net/Noise'
        {
VrnResult = NOutput;
        }
    }
    {

//=====================
//--- Style 3 Node '/Net/Noise' ---
//=====================

{
    vec4 Output; // Output 'Output' 
Output = vec4(N_Gain);
    NOutput = Output;
}
        {
VrnResult = NOutput;
        }
    }
