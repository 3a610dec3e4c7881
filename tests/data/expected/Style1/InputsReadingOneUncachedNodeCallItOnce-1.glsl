
//=====================
//--- Style 1 Node '/Net/Mixer' ---
//=====================
vec4 MOutput; // Output 'Output' 
void Mfunc(inout FragmentState State, inout FragmentSystemState _State){
    vec4 Output; // Output 'Output' 
    Spfunc(State,_State); // Evaluating Node '/Net/Splitter'

Output = SpColor + (vec4(0.0,0.0,0.0,0.0)) + SpMask;
    MOutput = Output;
}
