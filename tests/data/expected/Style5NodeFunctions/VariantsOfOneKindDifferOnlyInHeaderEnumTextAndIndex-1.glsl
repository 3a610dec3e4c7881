//--------------------------
// lib/Pick _modeg
//--------------------------
void NodeFunc1 (int ParameterIndex, int OutputInputIndex, inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output = vec4(0,0,0,0);
    vec4 Input0 = SHOULD_USE_DEFAULT_INPUT(OutputInputIndex+0) ? vec4(0.5) : GET_INPUT(OutputInputIndex+0);

Output = vec4(Input0.g);
    GET_OUTPUT(OutputInputIndex+1) = Output;
}

//--------------------------
// lib/Pick _moder
//--------------------------
void NodeFunc2 (int ParameterIndex, int OutputInputIndex, inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 Output = vec4(0,0,0,0);
    vec4 Input0 = SHOULD_USE_DEFAULT_INPUT(OutputInputIndex+0) ? vec4(0.5) : GET_INPUT(OutputInputIndex+0);

Output = vec4(Input0.r);
    GET_OUTPUT(OutputInputIndex+1) = Output;
}

