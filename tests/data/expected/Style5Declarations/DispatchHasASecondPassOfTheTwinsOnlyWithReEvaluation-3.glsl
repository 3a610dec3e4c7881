// This is the data driven function calls
void dataDrivenFuncCall(int InstructionIndex, inout TessControlState State, inout TessControlSystemState _State)
{
    switch(GET_INSTRUCTION(InstructionIndex))
    {
        case 0: NodeFunc0(GET_INSTRUCTION(InstructionIndex+1),GET_INSTRUCTION(InstructionIndex+2),State,_State); return;
        case 1: NodeFunc1(GET_INSTRUCTION(InstructionIndex+1),GET_INSTRUCTION(InstructionIndex+2),State,_State); return;
        case 2: NodeFunc2(GET_INSTRUCTION(InstructionIndex+1),GET_INSTRUCTION(InstructionIndex+2),State,_State); return;
    }
}

void iterateInstructionList(int InstructionIndexStart,inout TessControlState State, inout TessControlSystemState _State)
{
    int InstructionIndex = InstructionIndexStart;
    int i = 0;
    for(i=0;i<10000 && GET_INSTRUCTION(InstructionIndex)>=0;i++)
    {
        dataDrivenFuncCall(InstructionIndex, State, _State);
        InstructionIndex+=3;
    }
}

// This is the data driven function calls
void dataDrivenFuncCallForReval(int InstructionIndex, inout TessControlState State, inout TessControlSystemState _State)
{
    switch(GET_INSTRUCTION(InstructionIndex))
    {
        case 0: NodeFuncForReval0(GET_INSTRUCTION(InstructionIndex+1),GET_INSTRUCTION(InstructionIndex+2),State,_State); return;
        case 2: NodeFuncForReval2(GET_INSTRUCTION(InstructionIndex+1),GET_INSTRUCTION(InstructionIndex+2),State,_State); return;
    }
}

void iterateInstructionListForReval(int InstructionIndexStart,inout TessControlState State, inout TessControlSystemState _State)
{
    int InstructionIndex = InstructionIndexStart;
    int i = 0;
    for(i=0;i<10000 && GET_INSTRUCTION(InstructionIndex)>=0;i++)
    {
        dataDrivenFuncCallForReval(InstructionIndex, State, _State);
        InstructionIndex+=3;
    }
}

