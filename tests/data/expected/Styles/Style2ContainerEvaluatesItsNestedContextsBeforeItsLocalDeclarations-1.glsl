//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout FragmentState State, inout FragmentSystemState _State);
void Pfunc(inout FragmentState State, inout FragmentSystemState _State);
void Bfunc(inout FragmentState State, inout FragmentSystemState _State);
void Afunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
//--- Style 2 Node '/Net/S' ---
//=====================
vec4 SOutput; // Output 'Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 2 Node '/Net/P' ---
//=====================
vec4 POutput; // Output 'Output' 
void Pfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = vec4(1.0);
    POutput = Output;
}

//=====================
//--- Style 2 Node '/Net/Box' ---
//=====================
vec4 BOutput; // Output 'Output' 
void Bfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    {
        Sfunc(State,_State); // Evaluating Node '/Net/S'
    }
    vec4 Output; // Output 'Output' 
Output = SOutput * POutput;
    BOutput = Output;
}

//=====================
//--- Style 2 Node '/Net/A' ---
//=====================
vec4 AOutput; // Output 'Output' 
void Afunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = BOutput + POutput;
    AOutput = Output;
}

//=====================
//--- Style 2 Node '/Net/Out' ---
//=====================
    {
        Pfunc(State,_State); // Evaluating Node '/Net/P'
        Bfunc(State,_State); // Evaluating Node '/Net/Box'
        Afunc(State,_State); // Evaluating Node '/Net/A'
        {
VrnResult = AOutput;
        }
    }
