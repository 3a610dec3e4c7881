vec4 VrnReval_In = (vec4(0.0,0.0,0.0,0.0));
{
    FragmentStateStack VrnRevalStore0;
    store_state(State, _State, VrnRevalStore0);
    derive_state(State, _State, vec2(All_Rate, 0.5));
    VrnReval_In = (vec4(0.0,0.0,0.0,0.0));
    restore_state(State, _State, VrnRevalStore0);
}

a(All_Flag) b(All_Count) c(All_Rate) d(All_Weight) e(All_Shift) f(All_Tilt) g(All_Bias) h(All_Tint) i(y) j(2) k(All_Entries) l(All_Paint) m(All_Layers) n(All_Ramp) o(All_Anchor) p(All_Frame) q(All_Frame_Inverse) r(All_Env) s(VrnReval_In) t(false)