vec4 VrnReval_Input = BaseOutput;
{
    FragmentStateStack VrnRevalStore0;
    vec4 VrnRevalKeep0_0 = BaseOutput;
    store_state(State, _State, VrnRevalStore0);
    derive_state(State, _State, vec2(State.uv.x + Shift_By.x, State.uv.y + Shift_By.y));
    Basefunc(State,_State);
    VrnReval_Input = BaseOutput;
    restore_state(State, _State, VrnRevalStore0);
    BaseOutput = VrnRevalKeep0_0;
}

Output = VrnReval_Input;