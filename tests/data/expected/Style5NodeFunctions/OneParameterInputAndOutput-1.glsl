//--------------------------
// lib/Gain 
//--------------------------
void NodeFunc1 (int ParameterIndex, int OutputInputIndex, inout FragmentState State, inout FragmentSystemState _State)
{
    vec4 result = vec4(0,0,0,0);
    float Parameter0 = GET_FLOAT(ParameterIndex+0,0);
    vec4 Input0 = SHOULD_USE_DEFAULT_INPUT(OutputInputIndex+0) ? vec4(1.0) : GET_INPUT(OutputInputIndex+0);

result = Input0 * Parameter0;
    GET_OUTPUT(OutputInputIndex+1) = result;
}

