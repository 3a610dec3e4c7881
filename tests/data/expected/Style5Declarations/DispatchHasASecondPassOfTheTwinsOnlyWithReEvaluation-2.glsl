//============================
//-- Style 5 Body--
//============================
int InstructionIndexStart = 0;
iterateInstructionList(InstructionIndexStart,State,_State);
