
//=====================
//--- Style 1 Node '/Net/Noise' ---
//=====================
uniform float N_Scale;
vec4 NOutput; // Output 'Output' 
void Nfunc(inout  State, inout  _State){
    vec4 Output; // Output 'Output' 

Output = vec4(N_Scale);
    NOutput = Output;
}
