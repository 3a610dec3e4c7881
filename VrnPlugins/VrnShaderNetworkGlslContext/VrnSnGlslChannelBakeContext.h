#pragma once

#include "VrnSnBaseGlslContext.h"

// The bake point: passes its input through to its output.
class VrnSnGlslChannelBakeContext : public VrnSnBaseGlslContext
{
    Q_OBJECT
public:
    explicit VrnSnGlslChannelBakeContext(QObject* parent);
};
