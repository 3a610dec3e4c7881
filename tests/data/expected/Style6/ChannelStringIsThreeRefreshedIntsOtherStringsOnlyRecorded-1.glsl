    {
        {
Channel VrnBlockChannel_Channel;
VrnBlockChannel_Channel.ChannelValues = ivec3(GET_INT(0), GET_INT(1), GET_INT(2));
VrnResult = texture_lookup2(VrnBlockChannel_Channel, State, _State) * GET_VEC4(0);
        }
    }
