#pragma once

#include "VrnSnBaseGlslCodeGenerator.h"

#include <QHash>
#include <QPair>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

class VrnShaderUniformBlock;

// One GLSL function per node, called from the main trail, with every node
// parameter packed into one uniform block per shader type and read through
// GET_INT, GET_FLOAT and GET_VEC4 at constant indices. Changing a parameter
// changes uniform data, not shader text. Only samplerCube uniforms stay
// declarations of their own.
//
// Builds keep their texts and blocks in members: one build at a time.
class VrnSnGlslCodeGenerator_Style6 : public VrnSnBaseGlslCodeGenerator
{
public:
    using AttributeKey = QPair<QString, QString>; // node uuid, attribute name
    using ValueTable = QHash<AttributeKey, QVariant>;

    ~VrnSnGlslCodeGenerator_Style6() override;

    bool buildShaderCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                         QMap<unsigned, QString>& declarationCodes, QMap<unsigned, QString>& bodyCodes,
                         const VrnSnBaseNode* root, VrnSurfaceShader* surfaceShader, QString& errorText) override;
    void buildShaderTypeCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                             QString& declarationCode, QString& bodyCode, unsigned shaderType,
                             VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts) override;

private:
    // The forward declarations, the macro block with the sampler-cube
    // uniforms, then the node functions; packs each context on the way.
    void emitDeclarationCode(QString& declarationCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                             QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& contextInfo);
    // One braced block that brings in the contexts' outputs, in list order.
    void emitBodyCode(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts,
                      VrnSnGlslContextInfoMap& contextInfo);
    // Reserves the context's slots in the block, records where they start and
    // the attribute values, and registers what the host refreshes every frame.
    void packContextUniforms(QSharedPointer<VrnShaderUniformBlock>& block, VrnSnBaseGlslContext* context, ValueTable& values,
                             VrnSnGlslContextInfoMap& contextInfo);

    // The block of the type, made on first use when the driver did not make one.
    QSharedPointer<VrnShaderUniformBlock>& blockOf(unsigned shaderType);
    static QString blockName(unsigned shaderType);
    // Cache or bake reads of all outputs of a node: functions and the main trail have the same lines.
    QString cacheReads(const VrnSnBaseNode* node, unsigned shaderType);
    QString bakeReads(const VrnSnBaseNode* node, unsigned shaderType);
    QString channelRead(const QString& channelName, int location, const QString& outputVariable) const;

    QString samplerCubeDeclarations;
    QHash<unsigned, QSharedPointer<VrnShaderUniformBlock>> shaderUniformBlocks;
    // Kept across builds: values of earlier builds are handed to every later block of the type.
    QHash<unsigned, ValueTable> shaderUniformValues;
};
