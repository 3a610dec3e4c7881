uniform float N_F;
uniform bool N_B;
uniform vec3 N_V;
uniform vec4 N_C;
uniform int N_Blend;
uniform mat4 N_Xf;
uniform mat4 N_Xf_Inverse;
uniform Channel N_Tex;
