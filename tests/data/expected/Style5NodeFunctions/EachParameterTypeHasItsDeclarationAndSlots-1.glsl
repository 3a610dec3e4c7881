// bool
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    bool Parameter1 = bool(GET_INT(ParameterIndex+1));


// int
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    int Parameter1 = GET_INT(ParameterIndex+1);


// double
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    float Parameter1 = GET_FLOAT(ParameterIndex+1,0);


// float
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    float Parameter1 = GET_FLOAT(ParameterIndex+1,0);


// QString
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    Channel Parameter1;
    Parameter1.ChannelValues.r = GET_INT(ParameterIndex+1);
    Parameter1.ChannelValues.g = GET_INT(ParameterIndex+2);
    Parameter1.ChannelValues.b = GET_INT(ParameterIndex+3);


// QString
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));


// VrnStringList
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    Channel Parameter1;
    Parameter1.ChannelValues.r = GET_INT(ParameterIndex+1);
    Parameter1.ChannelValues.g = GET_INT(ParameterIndex+2);
    Parameter1.ChannelValues.b = GET_INT(ParameterIndex+3);


// VrnStringList
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    int Parameter1 = GET_INT(ParameterIndex+1);


// Vector2f
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    vec2 Parameter1 = GET_VEC4(ParameterIndex+1,0).rg;


// Vector3f
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    vec3 Parameter1 = GET_VEC4(ParameterIndex+1,0).rgb;


// Vector4f
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    vec4 Parameter1 = GET_VEC4(ParameterIndex+1,0);


// VrnColor
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    vec4 Parameter1 = GET_VEC4(ParameterIndex+1,0);


// VrnUserEnum
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    int Parameter1 = GET_INT(ParameterIndex+1);


// VrnUserEnum
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));


// VrnFileList
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    uvec2 Parameter1 = uvec2(GET_INT(ParameterIndex+1),GET_INT(ParameterIndex+2)); // UNIMPLEMENTED samplerCube


// VrnImageList
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    uvec4 Parameter1 = uvec4(GET_INT(ParameterIndex+1),GET_INT(ParameterIndex+2),GET_INT(ParameterIndex+3),GET_INT(ParameterIndex+4));


// VrnGradient
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    int Parameter1 = GET_INT(ParameterIndex+1);


// VrnGradient
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
// sampler1D

// VrnChannelId
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    Channel Parameter1;
    Parameter1.ChannelValues.r = GET_INT(ParameterIndex+1);
    Parameter1.ChannelValues.g = GET_INT(ParameterIndex+2);
    Parameter1.ChannelValues.b = GET_INT(ParameterIndex+3);


// VrnLocatorList
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    vec3 Parameter1 = GET_VEC4(ParameterIndex+1,0).xyz;


// VrnLocatorList
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));
    mat4 Parameter1 = mat4(GET_VEC4(ParameterIndex+1,0),GET_VEC4(ParameterIndex+1,1),GET_VEC4(ParameterIndex+1,2),GET_VEC4(ParameterIndex+1,3));
    mat4 Parameter1_Inverse = mat4(GET_VEC4(ParameterIndex+1,4),GET_VEC4(ParameterIndex+1,5),GET_VEC4(ParameterIndex+1,6),GET_VEC4(ParameterIndex+1,7));


// VrnLocatorList
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));


// qlonglong
    bool Parameter0 = bool(GET_INT(ParameterIndex+0));


