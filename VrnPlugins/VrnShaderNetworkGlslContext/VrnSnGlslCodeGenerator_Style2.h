#pragma once

#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnBaseNode.h"

// One GLSL function per node, all forward-declared. The functions gather no
// inputs: the main body brings the nodes in, in the host's order, reading
// cached and baked outputs from their channels, calling the other nodes'
// functions and inlining the code of nodes that write no outputs. A container
// evaluates the contexts nested in it inside its own function.
//
// The caching, baking and nesting decisions are the host's (buildContextInfo).
// Styles 3, 4 and 6 are variations of this one: each step below is virtual so
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
    void emitEvaluationBlock(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                             QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& infoMap);

protected:
    using Point = VrnSnBaseNode::ConnectionPoint;
    // Where a node's outputs are read from instead of running its code.
    enum class StoredOutputs { None, Cache, BakedChannel };

    // The contexts left for the main body once containers have taken theirs.
    virtual QList<VrnSnBaseGlslContext*> topLevelContexts(const QList<VrnSnBaseGlslContext*>& contexts,
                                                          const VrnSnGlslContextInfoMap& infoMap) const;
    // Runs first for every context with a node, before its text is written.
    virtual void prepareContext(VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslContextInfoMap& infoMap);
    // The shader's main trail for the contexts that no container evaluates.
    virtual void emitMainBody(QString& bodyCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                              QList<VrnSnBaseGlslContext*>& topLevel, VrnSnGlslContextInfoMap& infoMap);
    // The style's number in the banner of every node.
    virtual int styleNumber() const;
    // What follows a node's banner: its own declaration code.
    virtual QString nodeDeclarationCode(VrnSnBaseGlslContext* context) const;
    // True when the global output variables go with the forward declarations
    // instead of before each function.
    virtual bool outputsDeclaredForward() const;
    // The global and the local variable of one output of a node function.
    virtual void globalOutput(QString& out, const VrnSnBaseNode* node, const Point& point) const;
    virtual void localOutput(QString& out, const VrnSnBaseNode* node, const Point& point) const;
    // The inside of a node's function, between its opening and closing braces.
    virtual void emitFunctionContent(QString& functions, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                     VrnSnBaseGlslContext* context, VrnSnGlslContextInfoMap& infoMap);
    virtual StoredOutputs storedOutputs(const VrnSnGlslCodeGeneratorContextInfo& record) const;
    // The lines of a node function that read the node's stored outputs.
    virtual void storedOutputReads(QString& out, const VrnSnBaseNode* node, StoredOutputs from, unsigned shaderType);
    // What an evaluation block writes for a node that writes outputs;
    // mainBody is set in the block of the shader's main trail.
    virtual void evaluationLines(QString& out, VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                 VrnSnGlslContextInfoMap& infoMap, bool mainBody);
    // A node's code; where it goes, a line break follows it.
    virtual QString bodyText(VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslNodeAliases* aliases);
    // What goes in front of a shader type's node functions (the forward
    // declarations among it), in parts. The functions are written straight
    // into the declaration text and the parts are put in front of them
    // afterwards: the text of a large network runs to megabytes, and is not
    // copied again, nor are the forward declarations joined to the rest.
    virtual QStringList declarationsBeforeFunctions(const QString& forward, unsigned shaderType) const;

    // One lookup line per output point, in a function or one level deeper in
    // an evaluation block; empty when the outputs are not stored.
    static QString storedOutputLookups(const VrnSnBaseNode* node, StoredOutputs from, bool inBlock);
    // The code of a node that writes no outputs, braced, for an evaluation block.
    void emitInlinedNode(QString& out, VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslNodeAliases* aliases);
    // The nested block, the local outputs, the body and the copy-outs.
    void emitComputedOutputs(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases, VrnSnBaseGlslContext* context,
                             const QString& body, VrnSnGlslContextInfoMap& infoMap);
    // The same with the context's record already looked up.
    void emitComputedOutputs(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases, VrnSnBaseGlslContext* context,
                             const QString& body, const VrnSnGlslCodeGeneratorContextInfo& record, VrnSnGlslContextInfoMap& infoMap);
    void emitBlock(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts,
                   VrnSnGlslContextInfoMap& infoMap, bool mainBody);

    // For generators that gather declarations over a whole build (Styles 4
    // and 6): the build's shader types, each once, in ascending order.
    static QList<unsigned> shaderTypesOf(const QMap<unsigned, VrnSnGlslNodeAliases>& aliasesByType,
                                         const QMap<unsigned, QList<VrnSnBaseGlslContext*>>& contextsByType);
    // The distinct declaration lines of every context of those types, sorted
    // and joined with "\n": the sampler-cube uniforms (which a uniform block
    // cannot hold) and, when asked for, the others.
    static void gatherDeclarationLines(const QList<unsigned>& shaderTypes,
                                       QMap<unsigned, QList<VrnSnBaseGlslContext*>>& contextsByType,
                                       QString& samplerCubeLines, QString* otherLines);

private:
    void emitNonBakeableStub(QString& functions, QString& forward, VrnSnBaseGlslContext* context, unsigned shaderType);
    void emitNodeFunction(QString& functions, QString& forward, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                          VrnSnBaseGlslContext* context, VrnSnGlslContextInfoMap& infoMap);
};
