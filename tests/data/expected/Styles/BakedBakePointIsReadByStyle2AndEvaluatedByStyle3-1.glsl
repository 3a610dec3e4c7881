//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout FragmentState State, inout FragmentSystemState _State);
void Bkfunc(inout FragmentState State, inout FragmentSystemState _State);

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
//--- Style 2 Node '/Net/Bk' ---
//=====================
vec4 BkOutput; // Output 'Output' 
void Bkfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    BkOutput = texture_lookup2(Channel_Bk,State,_State);
}

//=====================
//--- Style 2 Node '/Net/Out' ---
//=====================
    {
        Sfunc(State,_State); // Evaluating Node '/Net/S'
        BkOutput = texture_lookup2(Channel_Bk,State,_State);
        {
VrnResult = BkOutput;
        }
    }
//=====================
// Forward Declaration of functions
//=====================

void Sfunc(inout FragmentState State, inout FragmentSystemState _State);
void Bkfunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
//--- Style 3 Node '/Net/S' ---
//=====================
vec4 SOutput; // Output 'Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 3 Node '/Net/Bk' ---
//=====================
vec4 BkOutput; // Output 'Output' 
void Bkfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output; // Output 'Output' 
Output = SOutput;
    BkOutput = Output;
}

//=====================
//--- Style 3 Node '/Net/Out' ---
//=====================
    {

//=====================
//--- Style 3 Node '/Net/S' ---
//=====================

{
    vec4 Output; // Output 'Output' 
Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 3 Node '/Net/Bk' ---
//=====================

{
    vec4 Output; // Output 'Output' 
Output = SOutput;
    BkOutput = Output;
}
        {
VrnResult = BkOutput;
        }
    }
