{
    Mfunc(State,_State); // Evaluating Node '/Net/Mul'

VrnResult = MOutput;
}
