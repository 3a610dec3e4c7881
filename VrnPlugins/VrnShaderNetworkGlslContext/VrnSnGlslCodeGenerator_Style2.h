#pragma once

#include "VrnSnBaseGlslCodeGenerator.h"

// One GLSL function per node, all forward-declared. The functions gather no
// inputs: the main body brings the nodes in, in the host's order, reading
// cached and baked outputs from their channels, calling the other nodes'
// functions and inlining the code of nodes that write no outputs. A container
// evaluates the contexts nested in it inside its own function.
//
// The caching, baking and nesting decisions are the host's (buildContextInfo).
// Styles 3 and 4 are variations of this one: each step below is virtual so
// that they replace only the steps that differ.
class VrnSnGlslCodeGenerator_Style2 : public VrnSnBaseGlslCodeGenerator
{
public:
    ~VrnSnGlslCodeGenerator_Style2() override;

    void buildShaderTypeCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                             QString& declarationCode, QString& bodyCode, unsigned shaderType,
                             VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts) override;

    // Banners, declaration code, forward declarations and node functions of
    // every context, appended to declarationCode.
    virtual void emitNodeFunctions(QString& declarationCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                   QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& infoMap);
    // One braced block that brings in the outputs of the contexts, in list order.
    virtual void emitEvaluationBlock(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                     QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& infoMap);

protected:
    // Where a node's outputs are read from instead of running its code.
    enum class StoredOutputs { None, Cache, BakedChannel };

    // The shader's main trail for the contexts that no container evaluates.
    virtual void emitMainBody(QString& bodyCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                              QList<VrnSnBaseGlslContext*>& topLevel, VrnSnGlslContextInfoMap& infoMap);
    virtual QString bannerTitle(const VrnSnBaseNode* node) const;
    // What follows a node's banner: its own declaration code.
    virtual QString nodeDeclarationCode(VrnSnBaseGlslContext* context) const;
    // The inside of a node's function, between its opening and closing braces.
    virtual void emitFunctionContent(QString& functions, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                     VrnSnBaseGlslContext* context, VrnSnGlslContextInfoMap& infoMap);
    virtual StoredOutputs storedOutputs(const VrnSnGlslCodeGeneratorContextInfo& record) const;
    // The declaration text of a shader type from its forward declarations and functions.
    virtual QString assembleDeclarations(const QString& forward, const QString& functions) const;

    // The contexts left for the main body once containers have taken theirs.
    static QList<VrnSnBaseGlslContext*> topLevelContexts(const QList<VrnSnBaseGlslContext*>& contexts,
                                                         const VrnSnGlslContextInfoMap& infoMap);
    // One lookup line per output point, in a function or one level deeper in
    // an evaluation block; empty when the outputs are not stored.
    static QString storedOutputLookups(const VrnSnBaseNode* node, StoredOutputs from, bool inBlock);
    static QString bodyText(VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslNodeAliases* aliases);
    // The code of a node that writes no outputs, braced, for an evaluation block.
    static QString inlinedNode(VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslNodeAliases* aliases);
    // The nested block, the local outputs, the body and the copy-outs.
    void emitComputedOutputs(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases, VrnSnBaseGlslContext* context,
                             const QString& body, VrnSnGlslContextInfoMap& infoMap);

private:
    static void emitNonBakeableStub(QString& functions, QString& forward, VrnSnBaseGlslContext* context, unsigned shaderType);
    void emitNodeFunction(QString& functions, QString& forward, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                          VrnSnBaseGlslContext* context, VrnSnGlslContextInfoMap& infoMap);
};
