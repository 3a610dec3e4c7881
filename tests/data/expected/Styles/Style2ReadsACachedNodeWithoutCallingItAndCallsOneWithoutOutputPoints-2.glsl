    {
        KOutput = texture_lookup2(Cache_a7ee38bbOutput_K,State,_State);
        Efunc(State,_State); // Evaluating Node '/Net/E'
        {
VrnResult = KOutput;
        }
    }
