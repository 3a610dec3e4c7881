#pragma once

#include "VrnGlslTokenTexts.h"
#include "VrnSnBaseContext.h"
#include "VrnSnNodeKind.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <typeinfo>

class VrnShaderUniformBlock;
class VrnSnBaseNode;
class VrnSnGlslNodeAliases;
class VrnSurfaceShader;

// The GLSL side of a node. The base turns the node's expression into shader
// code: "#Name" reads an input, "$Name" a parameter, and output names are local
// vec4 variables. Parameters become uniforms of their own, declared by
// shaderDeclarationCode and named by uniformName.
class VrnSnBaseGlslContext : public VrnSnBaseContext
{
    Q_OBJECT
public:
    explicit VrnSnBaseGlslContext(QObject* parent);
    ~VrnSnBaseGlslContext() override;

    virtual bool saveObjects();
    virtual void onLoadCollection();
    // The attribute operations of a serialisable object, as virtual operations
    // of the context; with notify, onUserAttributeChanged follows.
    virtual bool setUserAttribute(const QString& name, const QVariant& value, bool notify = true);
    // The value of the named attribute read back from its text form.
    virtual QVariant resolveParsedValue(const QString& name, const QString& text) const;
    // Called by the host once the node's attributes exist: records the uniform
    // name of every parameter.
    virtual void init();
    // A new context of the same class for another node, with the same expression.
    virtual VrnSnBaseGlslContext* clone(QObject* parent) const;
    virtual QString id() const;
    virtual QStringList inputs() const;
    // Inputs that the expression reads.
    virtual QStringList inputsUsed() const;
    virtual QStringList inputsConnected() const;
    virtual QStringList outputPointNames() const;
    // Node kinds fix their input names: always false.
    virtual bool renameInput(const QString& from, const QString& to);
    // Names of the paint channels that must be resident for the node.
    virtual QSet<QString> residentChannelSet() const;
    // No property editor in this host: null.
    virtual QObject* createPropertyWidget(QObject* parent);
    virtual bool supportsAttributesFunction() const;
    virtual bool attributeIsStub(const QString& name) const;
    virtual bool inputIsStub(const QString& name) const;
    virtual QString versionHashSource() const;
    virtual bool isVersionable() const;
    virtual bool versionMatch(const QString& versionHash) const;
    virtual bool upgrade();
    virtual bool replace(VrnSnBaseGlslContext* other);
    virtual void onIdChanged();
    // Called after an attribute of the context is created, changed or removed.
    virtual void onUserAttributeCreated(const QString& name);
    virtual void onUserAttributeChanged(const QString& name);
    virtual void onUserAttributeRemoved(const QString& name);

    // "uniform <type> <name>;" for every parameter with a GLSL type. Cache
    // channels and bake-point channels are declared by the host for the whole
    // network (see VrnShaderAssembler).
    virtual QString shaderDeclarationCode() const;
    // The lines of shaderDeclarationCode() that declare cube-map samplers
    // (each followed by "\n"), for a build that wants only those. A context
    // of a class that keeps the base's declarations (keepBaseDeclarationsFor)
    // writes just the lines of its cube-map parameters; any other may declare
    // anything, and gives its whole text.
    QString samplerCubeDeclarationLines() const;
    // The expression with inputs, parameters and inverted flags resolved.
    virtual QString shaderBodyCode(unsigned shaderType, VrnSnGlslNodeAliases* aliases, VrnSurfaceShader* surfaceShader) const;
    // The same code with each parameter read from the uniform block, at the
    // location that packing recorded for it under (node uuid, parameter name):
    // GET_INT, GET_FLOAT and GET_VEC4 with constant indices, a channel
    // parameter as a local Channel filled from three ints. A blend-mode enum
    // without a location is compiled in as its index; other parameters without
    // a location keep the text of shaderBodyCode.
    virtual QString shaderBodyCodeWithShaderUniformBlock(unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                         const QSharedPointer<VrnShaderUniformBlock>& block) const;
    // True when the code writes output variables (the node has output points).
    virtual bool shaderBodyCodeUsesOutputs() const;
    virtual QStringList inputsRevaled() const;
    virtual QList<VrnSnGlslRevalInfo> revalInfo() const;
    // The GLSL used for an unconnected input.
    virtual QString defaultInput(const QString& input) const;
    // The GLSL uniform that carries the attribute of the node: "<id>_<name>", or
    // the ChannelValues member of a Channel uniform for channel parameters.
    virtual QString uniformName(const QString& name, VrnSnBaseNode* node) const;
    // The value to upload for the attribute.
    virtual QVariant uniformValue(const VrnCustomAttribute& attribute, VrnSnBaseNode* node);
    // The GLSL type of a parameter value; empty when it is no uniform.
    virtual QString getOpenGLType(const QVariant& value) const;
    // Sets the node's code. With pending, the "Expression" attribute is flagged
    // as set by the application rather than by the user.
    virtual void setExpression(const QString& expression, bool pending);

    QString expression() const;
    // Ask the processor for what a build reads of the context, without
    // waiting for it (VrnReadAhead): its own lines, and once those are in,
    // its attributes and its parameters' uniform names.
    void readAhead() const;
    void readAheadBlocks() const;
    // The stage the node belongs to; 0 for every stage.
    unsigned shaderType() const;
    // True when the input, followed through pass-through nodes, has no producer.
    bool useDefaultInput(const QString& input, const VrnSnGlslNodeAliases* aliases) const;

    // Uniform values set by the context itself (setUniforms), by uniform name.
    QHash<QString, QVariant> uniformValues() const { return m_uniformValues; }
    // The uniform name recorded by init() for an attribute.
    QString attributeUniformName(const QString& attribute) const { return m_attributeUniformNames.value(attribute); }

    // Channel parameters are read through a Channel uniform rather than a value.
    static bool isChannelParameter(const QString& name, const QVariant& value);
    // Replaces every sigil + name by its text, longer names first, so that a
    // name never replaces the start of a longer one.
    static QString replaceTokens(QString code, QChar sigil, const VrnGlslTokenTexts& replacements);
    // The same, appended to out.
    static void replaceTokensInto(QStringView code, QChar sigil, const VrnGlslTokenTexts& replacements, QString& out);

signals:
    void uniformsSet(const QString& name, const QVariant& value);

protected:
    void setUniforms(const QString& name, const QVariant& value);

    void userAttributeEvent(AttributeEvent event, const QString& name) override;

    // Uniform name of each parameter, by attribute name (filled by init()).
    QHash<QString, QString> m_attributeUniformNames;

    // Called by the constructor of a class that keeps the base's
    // shaderDeclarationCode(), with its own type: an object of exactly that
    // type then writes its cube-map lines alone, while one of a class derived
    // from it, which may declare more, still gives its whole text.
    void keepBaseDeclarationsFor(const std::type_info& type) { m_keepsBaseDeclarations = &type; }

private:
    // The declarations of shaderDeclarationCode, or only those of cube-map samplers.
    QString declarationLines(bool samplerCubesOnly) const;
    QString channelUniformStruct(const QString& name) const;
    QString parameterExpression(const QString& name, VrnSnBaseNode* node) const;
    // What the input of that number in the kind's list reads.
    QString inputExpression(int index, const QString& input, const VrnSnGlslNodeAliases* aliases) const;
    // What an input supplied by the producer's point reads: the point's output
    // variable, or without a producer the input's default.
    QString suppliedExpression(const VrnSnBaseNode* producer, const QString& pointName, const QString& input) const;
    // The parameters read from the block; lines that must precede the code go to prologue.
    VrnGlslTokenTexts blockParameterTexts(VrnSnBaseNode* node, const VrnShaderUniformBlock& block, QString& prologue) const;
    // The node's code with inputs, inverted flags and re-evaluations resolved
    // and the parameter texts substituted; prologue goes in front of it.
    QString resolvedBodyCode(unsigned shaderType, VrnSnGlslNodeAliases* aliases, const VrnGlslTokenTexts& parameterTexts,
                             const QString& prologue) const;
    QString revalBlock(const VrnSnGlslRevalInfo& reval, int index, const QString& inputVariable, unsigned shaderType,
                       VrnSnGlslNodeAliases* aliases) const;

    QHash<QString, QVariant> m_uniformValues;
    const std::type_info* m_keepsBaseDeclarations = &typeid(VrnSnBaseGlslContext);
};
