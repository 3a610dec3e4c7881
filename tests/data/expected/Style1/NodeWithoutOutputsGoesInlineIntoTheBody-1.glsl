
//=====================
//--- Style 1 Node '/Net/Result' ---
//=====================
uniform float Out_Gain;
