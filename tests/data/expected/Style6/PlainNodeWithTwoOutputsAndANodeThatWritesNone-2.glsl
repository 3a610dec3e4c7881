    {
        N1func(State,_State); // Evaluating Node '/Net/Plain'
        {
VrnResult = N1B * float(GET_INT(0));
        }
    }
