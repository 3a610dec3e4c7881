#pragma once

#include "VrnSnGlslCodeGenerator_Style2.h"

#include <QHash>
#include <QPair>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

class VrnShaderUniformBlock;

// Style 2's node functions and main body, with every node parameter packed
// into one uniform block per shader type and read through GET_INT,
// GET_FLOAT and GET_VEC4 at constant indices. Changing a parameter changes
// uniform data, not shader text. Only samplerCube uniforms stay declarations
// of their own. Stored outputs are read from the channels whose identifiers
// the block holds, in the functions and in the main trail alike.
//
// Builds keep their texts and blocks in members: one build at a time.
class VrnSnGlslCodeGenerator_Style6 : public VrnSnGlslCodeGenerator_Style2
{
public:
    using AttributeKey = QPair<QString, QString>; // node uuid, attribute name
    using ValueTable = QHash<AttributeKey, QVariant>;

    ~VrnSnGlslCodeGenerator_Style6() override;

    bool buildShaderCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                         QMap<unsigned, QString>& declarationCodes, QMap<unsigned, QString>& bodyCodes,
                         const VrnSnBaseNode* root, VrnSurfaceShader* surfaceShader, QString& errorText) override;

protected:
    QList<VrnSnBaseGlslContext*> topLevelContexts(const QList<VrnSnBaseGlslContext*>& contexts,
                                                  const VrnSnGlslContextInfoMap& infoMap) const override;
    void prepareContext(VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslContextInfoMap& infoMap) override;
    int styleNumber() const override;
    QString nodeDeclarationCode(VrnSnBaseGlslContext* context) const override;
    bool outputsDeclaredForward() const override;
    void globalOutput(QString& out, const VrnSnBaseNode* node, const Point& point) const override;
    void localOutput(QString& out, const VrnSnBaseNode* node, const Point& point) const override;
    void storedOutputReads(QString& out, const VrnSnBaseNode* node, StoredOutputs from, unsigned shaderType) override;
    void evaluationLines(QString& out, VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                         VrnSnGlslContextInfoMap& infoMap, bool mainBody) override;
    QString bodyText(VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslNodeAliases* aliases) override;
    QStringList declarationsBeforeFunctions(const QString& forward, unsigned shaderType) const override;

private:
    // The context's share of the block: what a cache reader, a baked result
    // or any other node takes.
    void packContextUniforms(QSharedPointer<VrnShaderUniformBlock>& block, VrnSnBaseGlslContext* context, ValueTable& values,
                             VrnSnGlslContextInfoMap& contextInfo);

    // The block of the type, made on first use when the driver did not make one.
    QSharedPointer<VrnShaderUniformBlock>& blockOf(unsigned shaderType);
    // Cache or bake reads of all outputs of a node.
    void cacheReads(QString& out, const VrnSnBaseNode* node, unsigned shaderType);
    void bakeReads(QString& out, const VrnSnBaseNode* node, unsigned shaderType);
    void channelRead(QString& out, const QString& channelName, int location, const QString& outputVariable) const;

    QString samplerCubeDeclarations;
    QHash<unsigned, QSharedPointer<VrnShaderUniformBlock>> shaderUniformBlocks;
    // Kept across builds: values of earlier builds are handed to every later block of the type.
    QHash<unsigned, ValueTable> shaderUniformValues;
};
