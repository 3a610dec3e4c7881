    {

//=====================
//--- Style 3 Node '/Net/Box' ---
//=====================

{
    {
        Sfunc(State,_State); // Evaluating Node '/Net/S'
        KOutput = texture_lookup2(Cache_a7ee38bbOutput_K,State,_State);
    }
    vec4 Output; // Output 'Output' 
Output = SOutput * KOutput;
    BOutput = Output;
}
        {
VrnResult = BOutput;
        }
    }
