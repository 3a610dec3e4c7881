    {
        {
VrnResult = (vec4(0.0,0.0,0.0,1.0));
        }
        {
VrnResult *= 0.5;
        }
    }
