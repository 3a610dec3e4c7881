#pragma once

#include "VrnSnBaseGlslContext.h"

// Image-based lighting from nine spherical-harmonic coefficients: the irradiance
// for the surface normal, scaled by the node's amount.
class VrnSnGlslIBLContext : public VrnSnBaseGlslContext
{
    Q_OBJECT
public:
    explicit VrnSnGlslIBLContext(QObject* parent);
};
