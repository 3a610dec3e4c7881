#pragma once

#include "VrnSerializableObject.h"
#include "VrnShaderUniformBlock.h"

#include <QMap>
#include <QSharedPointer>
#include <QString>

class VrnShaderUniformBlock;

// The shader of a surface: result attributes set by the generator, the uniform
// blocks it filled, the tessellation state and the final source of each stage.
class VrnSurfaceShader : public VrnSerializableObject
{
    Q_OBJECT
public:
    explicit VrnSurfaceShader(QObject* parent = nullptr);
    ~VrnSurfaceShader() override;

    void setShaderUniformBlock(const QString& name, const QSharedPointer<VrnShaderUniformBlock>& block);
    QSharedPointer<VrnShaderUniformBlock> shaderUniformBlock(const QString& name) const { return m_blocks.value(name); }
    // By name, sorted.
    const QMap<QString, QSharedPointer<VrnShaderUniformBlock>>& shaderUniformBlocks() const { return m_blocks; }

    void setTessellationStateString(const QString& text) { m_tessellationState = text; }
    const QString& tessellationStateString() const { return m_tessellationState; }

    void setSource(unsigned shaderType, const QString& source) { m_sources.insert(shaderType, source); }
    QString source(unsigned shaderType) const { return m_sources.value(shaderType); }
    const QMap<unsigned, QString>& sources() const { return m_sources; }

private:
    QMap<QString, QSharedPointer<VrnShaderUniformBlock>> m_blocks;
    QString m_tessellationState;
    QMap<unsigned, QString> m_sources;
};
