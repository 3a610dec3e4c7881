#pragma once

#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnGlslStyle5ShaderTypeInfo.h"

#include <QHash>
#include <QList>
#include <QMutex>

class QThread;

// The data-driven generator: one GLSL function per kind of node and a fixed
// interpreter, with the graph itself handed over as uniform data, so that one
// shader text serves every graph made of the same kinds of node.
//
// Builds may run on several threads at once: each thread keeps its own list
// of records, and the mutex guards only the lookup of that list.
//
// The class's steps live in one source file each: the driver, node
// information, declarations and dispatch, node functions, packing, and
// wiring (VrnSnGlslCodeGenerator_Style5_*.cpp); VrnSnGlslStyle5Steps holds
// what they share.
class VrnSnGlslCodeGenerator_Style5 : public VrnSnBaseGlslCodeGenerator
{
public:
    using ShaderTypeInfo = VrnSnGlslStyle5ShaderTypeInfo;

    ~VrnSnGlslCodeGenerator_Style5() override;

    // The host's build, then one uniform block per shader type, the result
    // attributes and, on success, the tessellation state text. False when the
    // host's build failed or a block does not fit (the reason is in errorText).
    bool buildShaderCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                         QMap<unsigned, QString>& declarationCodes, QMap<unsigned, QString>& bodyCodes,
                         const VrnSnBaseNode* root, VrnSurfaceShader* surfaceShader, QString& errorText) override;
    void buildShaderTypeCode(VrnSnGlslContextManager* manager, VrnSvtShadingContext* shadingContext,
                             QString& declarationCode, QString& bodyCode, unsigned shaderType,
                             VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts) override;
    // Makes the shader type's record in the calling thread's list and runs the steps on it.
    virtual void buildShaderTypeCodeFromContextInfo(QString& declarationCode, QString& bodyCode, unsigned shaderType,
                                                    VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts,
                                                    VrnSnGlslContextInfoMap& contextInfo);

    // The fixed sequence of steps on one record; appends its texts to the two strings.
    void generateShaderTypeCode(ShaderTypeInfo& r, QString& declarationCode, QString& bodyCode, unsigned shaderType,
                                VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts,
                                VrnSnGlslContextInfoMap& contextInfo);

    // A copy of the calling thread's records of its last build.
    QList<ShaderTypeInfo> shaderTypeInfos();

    // Node information. Each step does nothing while the record is not Ok.
    static void resetShaderTypeInfo(ShaderTypeInfo& r);
    // "_" + name + current text for each enum attribute that is no blend mode, names sorted.
    static QString variantKeyOf(const VrnSnBaseNode* node);
    static void gatherNodeInfo(ShaderTypeInfo& r);
    static void gatherRevalEntries(ShaderTypeInfo& r);

    // Declarations and dispatch.
    static void buildDeclarationCode(ShaderTypeInfo& r);
    static void buildDispatchCode(ShaderTypeInfo& r);
    // Sizes the float and vec4 arrays and puts the storage size in front of the declarations.
    static void finishDeclarationCode(ShaderTypeInfo& r);

    // One function per used version hash and variant key, numbered from 1.
    static void buildNodeFunctions(ShaderTypeInfo& r);

    // Uniform data. After the main list, one separator and one sub-list per
    // connected re-evaluated input: every context the owner depends on, in
    // main-list order. Their kinds get a re-evaluation twin.
    static void buildRevalSubLists(ShaderTypeInfo& r);
    // The channel-id attributes of a node that reads its cache and whose
    // channels exist in the current tile, in the node's attribute order.
    static QStringList cachedChannelAttributes(const VrnSnBaseNode* node);
    // Instruction, parameter and wiring lists, the float and vec4 data and
    // the tables that tell the uniform block where each attribute goes.
    static void packUniformData(ShaderTypeInfo& r);

    // Wiring. How many inputs read each output, over every list.
    static void countOutputConsumers(ShaderTypeInfo& r);
    // Writes the entry's wiring block at cursor and moves cursor past it;
    // an entry already wired, or a separator, writes nothing.
    // An entry that is not in the record's list is wired each time it is given.
    static void wireEntry(ShaderTypeInfo& r, const ShaderTypeInfo::ContextEntry& entry, int& cursor);
    // The same for the entry at a place in ContextEntries.
    static void wireEntryAt(ShaderTypeInfo& r, int place, int& cursor);

private:
    static void wireEntryOnce(ShaderTypeInfo& r, const ShaderTypeInfo::ContextEntry& entry, int& cursor);

public:
    // The key that ties an output to the inputs that read it; the host's own.
    static int connectionKey(const VrnSnBaseNode* node, const QString& outputName);

protected:
    // The calling thread's list, inserted empty on first use. Only the lookup
    // is guarded: no other thread touches the list it returns.
    QList<ShaderTypeInfo>& currentThreadShaderTypeInfos();

private:
    // One node function (and its re-evaluation twin) with its number and its slot counts.
    static void buildNodeFunction(ShaderTypeInfo& r, const QString& versionHash, const QString& variantKey,
                                  const VrnSnNodeGlslInfo& info);
    // The text of one node function; parameterInts and wiringInts receive
    // the ints it reads from the parameter and the wiring list.
    static QString nodeFunctionText(ShaderTypeInfo& r, int index, const QString& versionHash, const QString& variantKey,
                                    const VrnSnNodeGlslInfo& info, bool revalTwin, int& parameterInts, int& wiringInts);

    QMutex ShaderTypeInfoMutex;
    QHash<QThread*, QList<ShaderTypeInfo>> ShaderTypeInfoListsByThread;
};
