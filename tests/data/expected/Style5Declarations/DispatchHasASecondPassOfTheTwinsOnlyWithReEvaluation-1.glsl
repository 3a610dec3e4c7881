// This is the data driven function calls
void dataDrivenFuncCall(int InstructionIndex, inout FragmentState State, inout FragmentSystemState _State)
{
    switch(GET_INSTRUCTION(InstructionIndex))
    {
        case 0: NodeFunc0(GET_INSTRUCTION(InstructionIndex+1),GET_INSTRUCTION(InstructionIndex+2),State,_State); return;
    }
}

void iterateInstructionList(int InstructionIndexStart,inout FragmentState State, inout FragmentSystemState _State)
{
    int InstructionIndex = InstructionIndexStart;
    int i = 0;
    for(i=0;i<10000 && GET_INSTRUCTION(InstructionIndex)>=0;i++)
    {
        dataDrivenFuncCall(InstructionIndex, State, _State);
        InstructionIndex+=3;
    }
}

