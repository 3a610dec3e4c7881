Channel VrnBlockChannel_Paint;
VrnBlockChannel_Paint.ChannelValues = ivec3(GET_INT(10), GET_INT(11), GET_INT(12));
vec4 VrnReval_In = (vec4(0.0,0.0,0.0,0.0));
{
    FragmentStateStack VrnRevalStore0;
    store_state(State, _State, VrnRevalStore0);
    derive_state(State, _State, vec2(GET_FLOAT(1), 0.5));
    VrnReval_In = (vec4(0.0,0.0,0.0,0.0));
    restore_state(State, _State, VrnRevalStore0);
}

a(bool(GET_INT(3))) b(GET_INT(4)) c(GET_FLOAT(1)) d(GET_FLOAT(2)) e(GET_VEC4(5).xy) f(GET_VEC4(6).xyz) g(GET_VEC4(7)) h(GET_VEC4(8)) i(y) j(2) k(GET_INT(9)) l(VrnBlockChannel_Paint) m(uvec4(GET_INT(13), GET_INT(14), GET_INT(15), GET_INT(16))) n(GET_INT(17)) o(GET_VEC4(20).xyz) p(mat4(GET_VEC4(21), GET_VEC4(22), GET_VEC4(23), GET_VEC4(24))) q(mat4(GET_VEC4(25), GET_VEC4(26), GET_VEC4(27), GET_VEC4(28))) r(All_Env) s(VrnReval_In) t(false)