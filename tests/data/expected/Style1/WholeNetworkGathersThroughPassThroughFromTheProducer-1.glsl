
//=====================
//--- Style 1 Node '/Net/Src' ---
//=====================
vec4 SOutput; // Output 'Output' 
void Sfunc(inout FragmentState State, inout FragmentSystemState _State){
    vec4 Output; // Output 'Output' 

Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 1 Node '/Net/Mul' ---
//=====================
vec4 MOutput; // Output 'Output' 
void Mfunc(inout FragmentState State, inout FragmentSystemState _State){
    vec4 Output; // Output 'Output' 
    Sfunc(State,_State); // Evaluating Node '/Net/Src'

Output = SOutput * (vec4(1.0,1.0,1.0,1.0));
    MOutput = Output;
}

//=====================
//--- Style 1 Node '/Net/Out' ---
//=====================
