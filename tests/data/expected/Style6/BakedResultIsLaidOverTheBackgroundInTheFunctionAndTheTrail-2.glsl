    {
        Sfunc(State,_State); // Evaluating Node '/Net/S'
{
    vec4 Background = GET_VEC4(0);
    Channel Channel_BOutput;
    Channel_BOutput.ChannelValues.r = GET_INT(0);
    Channel_BOutput.ChannelValues.g = GET_INT(1);
    Channel_BOutput.ChannelValues.b = GET_INT(2);
    BOutput = texture_lookup2(Channel_BOutput,State,_State);
    BOutput = vec4(mix(Background.rgb, BOutput.rgb, BOutput.a), 1.0-(1.0-Background.a)*(1.0-BOutput.a));
}
        {
VrnResult = BOutput;
        }
    }
