    {
        Nfunc(State,_State); // Evaluating Node '/Net/Noise'
        {
VrnResult = NOutput;
        }
    }
