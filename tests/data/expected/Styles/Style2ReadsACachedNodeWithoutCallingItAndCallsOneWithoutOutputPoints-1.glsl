//=====================
// Forward Declaration of functions
//=====================

void Kfunc(inout FragmentState State, inout FragmentSystemState _State);
void Efunc(inout FragmentState State, inout FragmentSystemState _State);

//=====================
// Declaration of functions
//=====================

//=====================
//--- Style 2 Node '/Net/K' ---
//=====================
vec4 KOutput; // Output 'Output' 
void Kfunc(inout FragmentState State, inout FragmentSystemState _State)
{
    KOutput = texture_lookup2(Cache_a7ee38bbOutput_K,State,_State);
}

//=====================
//--- Style 2 Node '/Net/E' ---
//=====================
void Efunc(inout FragmentState State, inout FragmentSystemState _State)
{
}

//=====================
//--- Style 2 Node '/Net/Out' ---
//=====================
