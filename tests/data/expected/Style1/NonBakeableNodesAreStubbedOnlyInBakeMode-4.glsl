{
    Sfunc(State,_State); // Evaluating Node '/Net/S'

VrnResult = SOutput;
}
