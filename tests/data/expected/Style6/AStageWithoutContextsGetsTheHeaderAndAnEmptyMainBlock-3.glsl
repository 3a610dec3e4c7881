    {
        {
VrnResult = vec4(0.5);
        }
    }
