
//=====================
//--- Style 1 Node '/Net/Noise' ---
//=====================
uniform float N_Scale;
vec4 NColor; // Output 'Color' 
vec4 NMask; // Output 'Mask' 
void Nfunc(inout FragmentState State, inout FragmentSystemState _State){
    vec4 Color; // Output 'Color' 
    vec4 Mask; // Output 'Mask' 
    Sfunc(State,_State); // Evaluating Node '/Net/S'

Color = SOutput * N_Scale; Mask = SOutput;
    NColor = Color;
    NMask = Mask;
}

//=====================
//--- Style 1 Node '/Net/Result' ---
//=====================
