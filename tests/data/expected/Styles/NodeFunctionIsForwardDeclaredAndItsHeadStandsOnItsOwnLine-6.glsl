    {

//=====================
//--- Style 3 Node '/Net/Src' ---
//=====================

{
    vec4 Output; // Output 'Output' 
Output = vec4(S_Gain);
    SOutput = Output;
}
        {
VrnResult = SOutput;
        }
    }
