
//=====================
//--- Style 1 Node '/Net/Splitter' ---
//=====================
vec4 SpColor; // Output 'Color' 
vec4 SpMask; // Output 'Mask' 
void Spfunc(inout FragmentState State, inout FragmentSystemState _State){
    vec4 Color; // Output 'Color' 
    vec4 Mask; // Output 'Mask' 

Color = vec4(0.25); Mask = vec4(1.0);
    SpColor = Color;
    SpMask = Mask;
}
