//--------------------------
// lib/Shift 
//--------------------------
void NodeFunc1 (int ParameterIndex, int OutputInputIndex, inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 result = vec4(0,0,0,0);
    float Parameter0 = GET_FLOAT(ParameterIndex+0,0);
    vec4 Input0 = SHOULD_USE_DEFAULT_INPUT(OutputInputIndex+0) ? vec4(0.0) : GET_INPUT(OutputInputIndex+0);
    bool Input0_INVERTED = GET_INPUT_INVERTED(OutputInputIndex+1);

{
    FragmentStateStack StateStore;
    store_state(State, _State, StateStore);
    derive_state(State, _State, vec2(State.uv.x + Parameter0, State.uv.y));
    {
        int InnerInstructionIndex = GET_REVAL_INSTRUCTION(OutputInputIndex+2);
        if(InnerInstructionIndex>=0)
        {
            iterateInstructionListForReval(InnerInstructionIndex,State,_State);
            Input0 = GET_INPUT(OutputInputIndex+3);
        }
    }
    restore_state(State, _State, StateStore);
}

result = Input0;
    GET_OUTPUT(OutputInputIndex+4) = result;
}

//--------------------------
// lib/Shift 
//--------------------------
void NodeFuncForReval1 (int ParameterIndex, int OutputInputIndex, inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 result = vec4(0,0,0,0);
    float Parameter0 = GET_FLOAT(ParameterIndex+0,0);
    vec4 Input0 = SHOULD_USE_DEFAULT_INPUT(OutputInputIndex+0) ? vec4(0.0) : GET_INPUT(OutputInputIndex+0);
    bool Input0_INVERTED = GET_INPUT_INVERTED(OutputInputIndex+1);

{
    // not re-evaluated inside a re-evaluation
}

result = Input0;
    GET_OUTPUT(OutputInputIndex+4) = result;
}

