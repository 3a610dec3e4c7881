#include "VrnSurfaceShader.h"

VrnSurfaceShader::VrnSurfaceShader(QObject* parent) : VrnSerializableObject(parent) {}

VrnSurfaceShader::~VrnSurfaceShader() = default;

void VrnSurfaceShader::setShaderUniformBlock(const QString& name, const QSharedPointer<VrnShaderUniformBlock>& block)
{
    m_blocks.insert(name, block);
}
