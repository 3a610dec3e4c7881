    {
        Gfunc(State,_State); // Evaluating Node '/Net/G'
        {
VrnResult = GOutput;
        }
    }
