
//=====================
//--- Style 1 Node '/Net/E' ---
//=====================
void Efunc(inout FragmentState State, inout FragmentSystemState _State){

VrnResult = vec4(0.5);
}
