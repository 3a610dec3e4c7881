{
    Sfunc(State,_State); // Evaluating Node '/Net/Src'

VrnResult = SOutput * Out_Gain;
}
