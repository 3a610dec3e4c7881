vec3 nnorm = normalize(State.normal);
float C1 = 0.429043;
float C2 = 0.511664;
float C3 = 0.743125;
float C4 = 0.886227;
float C5 = 0.247708;
vec3 shValue = C1 * $l22 * (nnorm.x * nnorm.x - nnorm.y * nnorm.y ) +
               C3 * $l20 * nnorm.z * nnorm.z +
               C4 * $l00 -
               C5 * $l20 +
               2.0 * C1 * $l2_2 * nnorm.x * nnorm.y +
               2.0 * C1 * $l21 * nnorm.x * nnorm.z +
               2.0 * C1 * $l2_1 * nnorm.y * nnorm.z +
               2.0 * C2 * $l11 * nnorm.x +
               2.0 * C2 * $l1_1 * nnorm.y +
               2.0 * C2 * $l10 * nnorm.z;
Output = vec4(shValue*$Amount, 1.0);