
//=====================
//--- Style 1 Node '/Net/M' ---
//=====================
vec4 MOutput; // Output 'Output' 
void Mfunc(inout FragmentState State, inout FragmentSystemState _State){
    vec4 Output; // Output 'Output' 
    KOutput = texture_lookup2(Cache_a7ee38bbOutput_K,State,_State);
    Pfunc(State,_State); // Evaluating Node '/Net/P'

Output = POutput + KOutput + (vec4(0.0,0.0,0.0,0.0));
    MOutput = Output;
}
