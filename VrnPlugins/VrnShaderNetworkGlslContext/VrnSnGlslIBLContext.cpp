#include "VrnSnGlslIBLContext.h"

VrnSnGlslIBLContext::VrnSnGlslIBLContext(QObject* parent) : VrnSnBaseGlslContext(parent)
{
    keepBaseDeclarationsFor(typeid(VrnSnGlslIBLContext)); // it declares the parameters as the base does
    // Irradiance of an environment given by its first nine spherical harmonics.
    const QString expression = QStringLiteral(
        "vec3 nnorm = normalize(State.normal);\n"
        "float C1 = 0.429043;\n"
        "float C2 = 0.511664;\n"
        "float C3 = 0.743125;\n"
        "float C4 = 0.886227;\n"
        "float C5 = 0.247708;\n"
        "vec3 shValue = C1 * $l22 * (nnorm.x * nnorm.x - nnorm.y * nnorm.y ) +\n"
        "               C3 * $l20 * nnorm.z * nnorm.z +\n"
        "               C4 * $l00 -\n"
        "               C5 * $l20 +\n"
        "               2.0 * C1 * $l2_2 * nnorm.x * nnorm.y +\n"
        "               2.0 * C1 * $l21 * nnorm.x * nnorm.z +\n"
        "               2.0 * C1 * $l2_1 * nnorm.y * nnorm.z +\n"
        "               2.0 * C2 * $l11 * nnorm.x +\n"
        "               2.0 * C2 * $l1_1 * nnorm.y +\n"
        "               2.0 * C2 * $l10 * nnorm.z;\n"
        "Output = vec4(shValue*$Amount, 1.0);");
    setExpression(expression, true);
}
