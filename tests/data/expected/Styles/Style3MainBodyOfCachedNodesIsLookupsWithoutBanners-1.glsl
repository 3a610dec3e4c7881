    {
        K1Output = texture_lookup2(Cache_f0cab9d2Output_K1,State,_State);
        K2Output = texture_lookup2(Cache_4ffe5395Output_K2,State,_State);
    }
