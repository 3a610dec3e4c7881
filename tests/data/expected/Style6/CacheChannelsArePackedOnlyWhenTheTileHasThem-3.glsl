    {
        Ifunc(State,_State); // Evaluating Node '/Net/I'
{
    Channel Cache_a7ee38bbOutput;
    Cache_a7ee38bbOutput.ChannelValues.r = GET_INT(0);
    Cache_a7ee38bbOutput.ChannelValues.g = GET_INT(1);
    Cache_a7ee38bbOutput.ChannelValues.b = GET_INT(2);
    KOutput = texture_lookup2(Cache_a7ee38bbOutput,State,_State);
}
        {
VrnResult = IOutput + KOutput;
        }
    }
