    {
        Sfunc(State,_State); // Evaluating Node '/Net/S'
        BkOutput = texture_lookup2(Channel_Bk,State,_State);
        {
VrnResult = BkOutput;
        }
    }
