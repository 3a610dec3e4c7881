    {
        Pfunc(State,_State); // Evaluating Node '/Net/P'
        Bfunc(State,_State); // Evaluating Node '/Net/Box'
        Afunc(State,_State); // Evaluating Node '/Net/A'
        {
VrnResult = AOutput;
        }
    }
