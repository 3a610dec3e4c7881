    {

//=====================
//--- Style 3 Node '/Net/S' ---
//=====================

{
    vec4 Output; // Output 'Output' 
Output = vec4(1.0);
    SOutput = Output;
}

//=====================
//--- Style 3 Node '/Net/Bk' ---
//=====================

{
    vec4 Output; // Output 'Output' 
Output = SOutput;
    BkOutput = Output;
}
        {
VrnResult = BkOutput;
        }
    }
