
//=====================
//--- Non-Bakeable Node '/Net/Noise' ---
//=====================
vec4 NColor; // Output 'Color' 
vec4 NMask; // Output 'Mask' 
void Nfunc(inout FragmentState State, inout FragmentSystemState _State){
    NColor = vec4(0,0,0,0);
    NMask = vec4(0,0,0,0);
}

//=====================
//--- Non-Bakeable Node '/Net/Result' ---
//=====================
