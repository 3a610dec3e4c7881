#pragma once

#include "VrnSnGlslNodeAliases.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <vector>

class VrnSnBaseContext;
class VrnSnBaseGlslContext;
class VrnSnBaseNode;
class VrnSnGlslContextManager;
class VrnSurfaceShader;
class VrnShadingContext;
class VrnSvtShadingContext;

// What the host decided about one context before a generator writes it.
struct VrnSnGlslCodeGeneratorContextInfo
{
    bool hasNestedContexts = false; // the context evaluates nestedContexts inside its own function
    bool readsCache = false;        // its outputs come from its cache channels
    bool readsBakedChannel = false; // its outputs come from its own baked channel
    QList<VrnSnBaseGlslContext*> nestedContexts;
};

using VrnSnGlslContextInfoMap = QMap<VrnSnBaseGlslContext*, VrnSnGlslCodeGeneratorContextInfo>;

// Where the records of a map just made lie: the record of contexts[k] is
// *records[k], in the order the records were made (the list's, as a rule).
// Valid while the map keeps its nodes.
struct VrnSnGlslRecordPlaces
{
    std::vector<VrnSnBaseGlslContext*> contexts;
    std::vector<VrnSnGlslCodeGeneratorContextInfo*> records;
};

// A GLSL code generator: turns the contexts upstream of a root node into the
// declaration and body texts of each shader type.
class VrnSnBaseGlslCodeGenerator
{
public:
    VrnSnBaseGlslCodeGenerator();
    virtual ~VrnSnBaseGlslCodeGenerator();

    // Gathers and orders the contexts of every shader type and calls
    // buildShaderTypeCode once per type, fragment first. False, with a reason in
    // errorText, when there is no root to build from.
    virtual bool buildShaderCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                                 QMap<unsigned, QString>& declarationCodes, QMap<unsigned, QString>& bodyCodes,
                                 const VrnSnBaseNode* root, VrnSurfaceShader* surfaceShader, QString& errorText);
    // Appends the GLSL of one shader type. The base writes nothing.
    virtual void buildShaderTypeCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                                     QString& declarationCode, QString& bodyCode, unsigned shaderType,
                                     VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts);
    // The contexts of one shader type upstream of the root context, producers
    // first and the root last, with the aliases of every pass-through node met.
    virtual void buildShaderContextList(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                                        VrnSnBaseContext* rootContext, unsigned shaderType,
                                        VrnSnGlslNodeAliases& aliases, QList<VrnSnBaseGlslContext*>& contexts);

    // Fills both maps for every shader type the network uses.
    void buildContextsList(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                           QMap<unsigned, VrnSnGlslNodeAliases>& aliases,
                           QMap<unsigned, QList<VrnSnBaseGlslContext*>>& contexts, const VrnSnBaseNode* root);
    // One record per context: cache and baked reads from the node state, and the
    // contexts that only a container node uses.
    void buildContextInfo(VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases& aliases,
                          QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& info);
    // The same records for a generator that may be given no aliases (null: none).
    VrnSnGlslContextInfoMap buildContextInfo(VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases* aliases,
                                             QList<VrnSnBaseGlslContext*>& contexts);
    // The same, and where in the map each record lies.
    VrnSnGlslContextInfoMap buildContextInfo(VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases* aliases,
                                             QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslRecordPlaces& places);
    // The list without the members of the set, order kept.
    static QList<VrnSnBaseGlslContext*> filterConextList_Remove(const QList<VrnSnBaseGlslContext*>& list,
                                                                const QSet<VrnSnBaseGlslContext*>& remove);
    // The nodes and contexts that the context depends on, producers first and
    // the context itself last. With stopAtCaches, nodes that read their cache
    // or baked channel are listed but their producers are not.
    void topologicalSortUsedContextTo(VrnSnBaseGlslContext* context, QList<VrnSnBaseNode*>& nodes,
                                      QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslNodeAliases* aliases,
                                      unsigned shaderType, bool stopAtCaches);

    // GLSL names of a shader type; null for a type the host does not build.
    static const char* getShaderTypePrefix(unsigned shaderType);
    static const char* getShaderTypeStateType(unsigned shaderType);
    static const char* getShaderTypeSystemStateType(unsigned shaderType);
    static const char* getShaderTypeStateStackType(unsigned shaderType);

    // True when the node's outputs are read from its cache channels.
    static bool nodeReadsCache(VrnSnBaseNode* node, VrnShadingContext* shadingContext);
    // True when a bake point reads its baked channel.
    static bool nodeReadsBakedChannel(VrnSnBaseNode* node, VrnShadingContext* shadingContext);

private:
    static void contextInfoInto(VrnSvtShadingContext* shadingContext, VrnSnGlslNodeAliases& aliases,
                                QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& info, VrnSnGlslRecordPlaces* places);
};
