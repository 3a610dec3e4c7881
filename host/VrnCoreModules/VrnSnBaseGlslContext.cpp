#include "VrnSnBaseGlslContext.h"

#include "VrnAttributeValues.h"
#include "VrnBodyCodeScope.h"
#include "VrnClassFactory.h"
#include "VrnChainedArg.h"
#include "VrnGlslTokenPlan.h"
#include "VrnParameterTypes.h"
#include "VrnProjectManager.h"
#include "VrnReadAhead.h"
#include "VrnReusedText.h"
#include "VrnShaderNetwork.h"
#include "VrnShaderNetworkUtils.h"
#include "VrnShaderUniformBlock.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnBaseNode.h"
#include "VrnSnGlslNodeAliases.h"
#include "VrnTemplatePieces.h"

#include <QMetaObject>

#include <algorithm>
#include <charconv>
#include <typeinfo>

namespace {
// Every place of what in text, from the left and not overlapping, replaced by
// with, appended to out: QString::replace, without a text of its own.
void replaceEvery(QStringView text, QStringView what, QStringView with, QString& out)
{
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(what); at >= 0; at = text.indexOf(what, from)) {
        out.append(text.mid(from, at - from));
        out.append(with);
        from = at + what.size();
    }
    out.append(text.mid(from));
}

const QString kExpression = QStringLiteral("Expression");
const QString kChannel = QStringLiteral("Channel");
const QString kCachePrefix = QStringLiteral("Cache_");
const QString kChannelValues = QStringLiteral(".ChannelValues");

bool isCacheAttribute(const VrnCustomAttribute& a)
{
    return a.name().startsWith(kCachePrefix) && a.value().userType() == vrnAttributeMetaTypes().channelId;
}
} // namespace

VrnSnBaseGlslContext::VrnSnBaseGlslContext(QObject* parent) : VrnSnBaseContext(parent)
{
    // The node answers context() from this link when no GLSL context comes before this one.
    VrnSnBaseNode* node = madeFor();
    if (node && node->findChild<VrnSnBaseGlslContext*>(QString(), Qt::FindDirectChildrenOnly) == this) {
        node->m_context = this;
        node->m_contextIsChild = true;
    }
}

VrnSnBaseGlslContext::~VrnSnBaseGlslContext() = default;

bool VrnSnBaseGlslContext::saveObjects()
{
    return true; // everything the context has lives in its attributes
}

void VrnSnBaseGlslContext::onLoadCollection()
{
    init();
}

bool VrnSnBaseGlslContext::setUserAttribute(const QString& name, const QVariant& value, bool notify)
{
    return VrnSnBaseContext::setUserAttribute(name, value, notify);
}

QVariant VrnSnBaseGlslContext::resolveParsedValue(const QString& name, const QString& text) const
{
    const VrnCustomAttribute current = userAttribute(name);
    if (!current.isValid())
        return QVariant(text);
    QVariant value(text);
    if (value.convert(current.value().userType()))
        return value;
    return QVariant();
}

void VrnSnBaseGlslContext::init()
{
    m_attributeUniformNames.clear();
    VrnSnBaseNode* node = parentNode();
    if (!node)
        return;
    for (const VrnCustomAttribute& p : node->kind().parameters)
        m_attributeUniformNames.insert(p.name(), uniformName(p.name(), node));
}

VrnSnBaseGlslContext* VrnSnBaseGlslContext::clone(QObject* parent) const
{
    QPointer<QObject> made = VrnClassFactory::createObject(QString::fromLatin1(metaObject()->className()), parent);
    auto* copy = qobject_cast<VrnSnBaseGlslContext*>(made.data());
    if (!copy) {
        delete made.data();
        copy = new VrnSnBaseGlslContext(parent);
    }
    if (copy->expression() != expression())
        copy->setExpression(expression(), false);
    copy->init();
    return copy;
}

QString VrnSnBaseGlslContext::id() const
{
    VrnSnBaseNode* node = parentNode();
    return node ? node->id() : QString();
}

QStringList VrnSnBaseGlslContext::inputs() const
{
    VrnSnBaseNode* node = parentNode();
    return node ? node->inputNames() : QStringList();
}

QStringList VrnSnBaseGlslContext::inputsUsed() const
{
    const QString code = expression();
    QStringList used;
    const QStringList names = inputs(); // const: iterating it copies nothing
    for (const QString& input : names)
        if (code.contains(QLatin1Char('#') + input))
            used.append(input);
    return used;
}

QStringList VrnSnBaseGlslContext::inputsConnected() const
{
    QStringList connected;
    const QStringList names = inputs();
    for (const QString& input : names)
        if (!useDefaultInput(input, nullptr))
            connected.append(input);
    return connected;
}

QStringList VrnSnBaseGlslContext::outputPointNames() const
{
    VrnSnBaseNode* node = parentNode();
    return node ? node->kind().outputs : QStringList();
}

bool VrnSnBaseGlslContext::renameInput(const QString&, const QString&)
{
    return false;
}

QSet<QString> VrnSnBaseGlslContext::residentChannelSet() const
{
    QSet<QString> channels;
    VrnSnBaseNode* node = parentNode();
    if (!node)
        return channels;
    const int channelIdType = vrnAttributeMetaTypes().channelId;
    const bool cacheActive = node->cacheActive() == 2;
    for (const QString& name : node->userAttributeNames()) {
        const VrnCustomAttribute a = node->userAttribute(name);
        if (a.value().userType() != channelIdType)
            continue;
        // With the cache active only the cache channels are read.
        if (isCacheAttribute(a) != cacheActive)
            continue;
        const VrnChannelId id = a.value().value<VrnChannelId>();
        if (id.isCurrentChannel()) {
            if (VrnChannel* current = VrnProjectManager::instance().currentChannel())
                channels.insert(current->name());
        } else if (!id.channelName().isEmpty()) {
            channels.insert(id.channelName());
        }
    }
    return channels;
}

QObject* VrnSnBaseGlslContext::createPropertyWidget(QObject*)
{
    return nullptr;
}

bool VrnSnBaseGlslContext::supportsAttributesFunction() const
{
    return false;
}

bool VrnSnBaseGlslContext::attributeIsStub(const QString& name) const
{
    VrnSnBaseNode* node = parentNode();
    return !node || !node->kind().parameter(name);
}

bool VrnSnBaseGlslContext::inputIsStub(const QString& name) const
{
    VrnSnBaseNode* node = parentNode();
    return !node || !node->kind().input(name);
}

QString VrnSnBaseGlslContext::versionHashSource() const
{
    VrnSnBaseNode* node = parentNode();
    return node ? node->versionHashSource() : QString();
}

bool VrnSnBaseGlslContext::isVersionable() const
{
    return parentNode() != nullptr;
}

bool VrnSnBaseGlslContext::versionMatch(const QString& versionHash) const
{
    VrnSnBaseNode* node = parentNode();
    return node && node->versionHashPresent(false) == versionHash;
}

bool VrnSnBaseGlslContext::upgrade()
{
    return false; // kinds have one version in this host
}

bool VrnSnBaseGlslContext::replace(VrnSnBaseGlslContext*)
{
    return false;
}

void VrnSnBaseGlslContext::onIdChanged()
{
    init();
}

QString VrnSnBaseGlslContext::channelUniformStruct(const QString& name) const
{
    if (name == kChannel)
        return QStringLiteral("Channel_") + id();
    return id() + QLatin1Char('_') + name;
}

bool VrnSnBaseGlslContext::isChannelParameter(const QString& name, const QVariant& value)
{
    const VrnAttributeMetaTypes& t = vrnAttributeMetaTypes();
    const int type = value.userType();
    if (type == t.channelId)
        return true;
    return name == kChannel && (type == t.stringList || type == QMetaType::QString);
}

QString VrnSnBaseGlslContext::shaderDeclarationCode() const
{
    return declarationLines(false);
}

QString VrnSnBaseGlslContext::samplerCubeDeclarationLines() const
{
    if (typeid(*this) == *m_keepsBaseDeclarations)
        return declarationLines(true);
    return shaderDeclarationCode();
}

QString VrnSnBaseGlslContext::declarationLines(bool samplerCubesOnly) const
{
    VrnSnBaseNode* node = parentNode();
    if (!node)
        return QString();
    QString& code = VrnReusedText::take(VrnReusedText::Declarations, 0);
    for (const VrnCustomAttribute& p : node->kind().parameters) {
        const QVariant& value = node->userAttributeValue(p.name());
        if (isChannelParameter(p.name(), value)) {
            if (samplerCubesOnly)
                continue;
            // A node's own channel (a channel input's, a bake point's) is declared elsewhere:
            // by the channel input context, or by the host for every bake point, since
            // generators read baked channels even where they leave the node's declarations out.
            if (p.name() == kChannel && (qobject_cast<VrnSnImageSetNodeBase*>(node) || VrnShaderNetworkUtils::asTrueBakePointNode(node)))
                continue;
            static const VrnTemplatePieces channelLine(QStringLiteral("uniform Channel %1;\n"), 1);
            channelLine.appendTo(code, {VrnJoinedText(channelUniformStruct(p.name()))});
            continue;
        }
        const QString type = getOpenGLType(value);
        // A line declares a sampler cube when its type does: the name follows it.
        if (type.isEmpty() || (samplerCubesOnly && !type.startsWith(QLatin1String("samplerCube"))))
            continue;
        const QString name = uniformName(p.name(), node);
        // Written per parameter of every node: templates made into pieces once.
        static const VrnTemplatePieces line(QStringLiteral("uniform %1 %2;\n"), 2);
        line.appendTo(code, {VrnJoinedText(type), VrnJoinedText(name)});
        if (type == QLatin1String("mat4")) {
            static const VrnTemplatePieces inverseLine(QStringLiteral("uniform mat4 %1_Inverse;\n"), 1);
            inverseLine.appendTo(code, {VrnJoinedText(name)});
        }
    }
    return code.isEmpty() ? QString() : code; // a copy that shares the buffer; none at all when empty
}

QString VrnSnBaseGlslContext::replaceTokens(QString code, QChar sigil, const VrnGlslTokenTexts& replacements)
{
    if (replacements.isEmpty() || !code.contains(sigil))
        return code;
    QString out;
    out.reserve(code.size() + 16 * replacements.size());
    replaceTokensInto(code, sigil, replacements, out);
    return out;
}

void VrnSnBaseGlslContext::replaceTokensInto(QStringView text, QChar sigil, const VrnGlslTokenTexts& replacements, QString& out)
{
    if (replacements.isEmpty()) {
        out.append(text);
        return;
    }
    // One pass over the code; at each sigil the longest name that follows wins.
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(sigil); at >= 0; at = text.indexOf(sigil, from)) {
        out.append(text.mid(from, at - from));
        const QStringView rest = text.mid(at + 1);
        from = at + 1;
        int longest = -1;
        for (int i = 0; i < replacements.size(); ++i)
            if ((longest < 0 || replacements.nameAt(i).size() > replacements.nameAt(longest).size())
                && rest.startsWith(replacements.nameAt(i)))
                longest = i;
        if (longest < 0) {
            out.append(sigil);
            continue;
        }
        out.append(replacements.textAt(longest));
        from += replacements.nameAt(longest).size();
    }
    out.append(text.mid(from));
}

QString VrnSnBaseGlslContext::parameterExpression(const QString& name, VrnSnBaseNode* node) const
{
    const QVariant& value = node->userAttributeValue(name);
    if (value.userType() == vrnAttributeMetaTypes().userEnum && !VrnShaderNetworkUtils::isBlendModeVariant(value))
        return value.value<VrnUserEnum>().getCurrentEnumString(); // compiled into the code
    QString uniform = uniformName(name, node);
    // Channel parameters are read as the whole Channel uniform.
    if (isChannelParameter(name, value) && uniform.endsWith(kChannelValues))
        uniform.chop(kChannelValues.size());
    return uniform;
}

QString VrnSnBaseGlslContext::inputExpression(int index, const QString& input, const VrnSnGlslNodeAliases* aliases) const
{
    VrnSnBaseNode* node = parentNode();
    static const VrnSnBaseNode::ConnectionPoint none;
    const VrnSnBaseNode::ConnectionPoint& connected =
        index >= 0 && index < node->inputCount() && node->inputConnectionAt(index).node ? node->inputConnectionAt(index) : none;
    VrnSnBaseNode::ConnectionPoint resolved;
    const VrnSnBaseNode::ConnectionPoint& point = VrnSnGlslNodeAliases::supplierOf(connected, aliases, resolved);
    return suppliedExpression(point.node.data(), point.name, input);
}

QString VrnSnBaseGlslContext::suppliedExpression(const VrnSnBaseNode* producer, const QString& pointName, const QString& input) const
{
    if (producer)
        return producer->outputVariableName(pointName);
    return QStringLiteral("(%1)").arg(defaultInput(input));
}

QString VrnSnBaseGlslContext::revalBlock(const VrnSnGlslRevalInfo& reval, int index, const QString& inputVariable,
                                         unsigned shaderType, VrnSnGlslNodeAliases* aliases) const
{
    VrnSnBaseNode* node = parentNode();
    VrnSnBaseNode::ConnectionPoint resolved;
    const VrnSnBaseNode::ConnectionPoint producer =
        VrnSnGlslNodeAliases::supplierOf(node->inputConnection(reval.inputName), aliases, resolved);

    // Every node function the producer's value depends on runs again at the
    // derived position; their output variables are put back afterwards so that
    // later readers see the values of the current position. The lines are
    // written where they go: the templates of several arguments fill them all
    // at once, so they are the texts joined. Calls and block run to
    // kilobytes: they are written into the thread's buffers.
    QString& calls = VrnReusedText::take(VrnReusedText::RevalCalls, 0);
    struct Kept
    {
        const VrnSnBaseNode* node;
        const QString* output;
    };
    QVarLengthArray<Kept, 16> kept;
    if (producer.node && producer.node->context()) {
        QList<VrnSnBaseNode*> nodes;
        QList<VrnSnBaseGlslContext*> upstream;
        VrnShadingContext* shading = producer.node->network() ? producer.node->network()->shadingContext() : nullptr;
        if (VrnSnBaseGlslCodeGenerator::nodeReadsCache(producer.node, shading))
            upstream.append(producer.node->context());
        else
            VrnSnBaseGlslCodeGenerator().topologicalSortUsedContextTo(producer.node->context(), nodes, upstream, aliases, shaderType, true);
        for (VrnSnBaseGlslContext* c : upstream) {
            VrnSnBaseNode* n = c->parentNode();
            if (!c->shaderBodyCodeUsesOutputs())
                continue;
            // A cached node is read from its cache at the derived position in
            // every style, whether or not that style's function would compute it.
            const bool cached = VrnSnBaseGlslCodeGenerator::nodeReadsCache(n, shading);
            if (!cached)
                VrnChainedArg(QStringLiteral("    %1func(State,_State);\n")).arg(n->id()).appendTo(calls);
            for (const QString& output : n->kind().outputs) {
                kept.append(Kept{n, &output});
                if (cached) // the output read from the cache channel, the sampler named as the node's cache attribute and id
                    calls += QStringLiteral("    ") + n->outputVariableName(output) + QStringLiteral(" = texture_lookup2(")
                           + n->cacheAttributeName(output) + QLatin1Char('_') + n->id() + QStringLiteral(",State,_State);\n");
            }
        }
    }
    const QString store = QStringLiteral("VrnRevalStore") + QString::number(index);
    // "{\n    %1 %2;\n" with the state stack type and the store
    QString& block = VrnReusedText::take(VrnReusedText::RevalBlock, calls.size() + 96 * (kept.size() + 2));
    block += QStringLiteral("{\n    ") + QLatin1String(VrnSnBaseGlslCodeGenerator::getShaderTypeStateStackType(shaderType))
           + QLatin1Char(' ') + store + QStringLiteral(";\n");
    for (int i = 0; i < kept.size(); ++i)
        VrnChainedArg(QStringLiteral("    vec4 VrnRevalKeep%1_%2 = %3;\n")).arg(index).arg(i).arg(kept[i].node->outputVariableText(*kept[i].output)).appendTo(block);
    block += QStringLiteral("    store_state(State, _State, ") + store + QStringLiteral(");\n");
    block += QStringLiteral("    derive_state(State, _State, vec2(") + reval.u + QStringLiteral(", ") + reval.v + QStringLiteral("));\n");
    block += calls;
    block += QStringLiteral("    ") + inputVariable + QStringLiteral(" = ") + suppliedExpression(producer.node.data(), producer.name, reval.inputName)
           + QStringLiteral(";\n");
    block += QStringLiteral("    restore_state(State, _State, ") + store + QStringLiteral(");\n");
    for (int i = 0; i < kept.size(); ++i)
        VrnChainedArg(QStringLiteral("    %1 = VrnRevalKeep%2_%3;\n")).arg(kept[i].node->outputVariableText(*kept[i].output)).arg(index).arg(i).appendTo(block);
    block += QStringLiteral("}\n");
    return block; // a copy that shares the buffer
}

QString VrnSnBaseGlslContext::shaderBodyCode(unsigned shaderType, VrnSnGlslNodeAliases* aliases, VrnSurfaceShader* surfaceShader) const
{
    VrnSnBaseNode* node = parentNode();
    if (!node)
        return expression();
    VrnBodyCodeScope* build = VrnBodyCodeScope::current();
    if (build)
        if (const QString* kept = build->find(this, shaderType, aliases, surfaceShader))
            return *kept;
    VrnGlslTokenTexts parameterTexts;
    for (const VrnCustomAttribute& p : node->kind().parameters)
        parameterTexts.insert(p.name(), parameterExpression(p.name(), node));
    const QString body = resolvedBodyCode(shaderType, aliases, parameterTexts, QString());
    if (build)
        build->keep(this, shaderType, aliases, surfaceShader, body);
    return body;
}

QString VrnSnBaseGlslContext::shaderBodyCodeWithShaderUniformBlock(unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                                  const QSharedPointer<VrnShaderUniformBlock>& block) const
{
    VrnSnBaseNode* node = parentNode();
    if (!node)
        return expression();
    if (!block)
        return shaderBodyCode(shaderType, aliases, nullptr);
    QString prologue;
    const VrnGlslTokenTexts parameterTexts = blockParameterTexts(node, *block, prologue);
    return resolvedBodyCode(shaderType, aliases, parameterTexts, prologue);
}

VrnGlslTokenTexts VrnSnBaseGlslContext::blockParameterTexts(VrnSnBaseNode* node, const VrnShaderUniformBlock& block,
                                                                 QString& prologue) const
{
    const VrnAttributeMetaTypes& t = vrnAttributeMetaTypes();
    const QString uuid = node->uuidString();
    // Fills %1, %2, ... with first, first + 1, ...: each pattern's markers are
    // numbered from 1 to at most 9, one marker a number, and nothing else in
    // it is a '%'. What QString::arg writes for each number in turn, in one
    // pass: a body reads a slot or two per parameter, and every node has some.
    auto ints = [](QLatin1String pattern, int first) {
        // The patterns below are short: with at most nine markers of at most
        // eleven characters each, the text fits.
        char filled[256];
        Q_ASSERT(pattern.size() <= 128);
        char* w = filled;
        for (const char *c = pattern.data(), *end = c + pattern.size(); c != end; ++c) {
            if (*c == '%' && c + 1 != end) {
                w = std::to_chars(w, filled + sizeof filled, first + (*++c - '1')).ptr;
                continue;
            }
            *w++ = *c;
        }
        return QString::fromLatin1(filled, int(w - filled));
    };
    VrnGlslTokenTexts texts;
    for (const VrnCustomAttribute& p : node->kind().parameters) {
        const QString name = p.name();
        const QVariant& value = node->userAttributeValue(name);
        const int type = value.userType();
        const bool blendMode = type == t.userEnum && VrnShaderNetworkUtils::isBlendModeVariant(value);
        const auto found = block.locationMap().constFind(VrnShaderUniformBlock::Key(uuid, name));
        if (found == block.locationMap().constEnd() || (type == t.userEnum && !blendMode)) {
            // Without a slot the value is compiled in, as other enums are.
            texts.insert(name, blendMode ? QString::number(value.value<VrnUserEnum>().currentIndex()) : parameterExpression(name, node));
            continue;
        }
        const int i = found.value().second;
        QString text;
        if (isChannelParameter(name, value)) {
            text = QStringLiteral("VrnBlockChannel_") + name;
            prologue += QStringLiteral("Channel %1;\n").arg(text)
                      + text + ints(QLatin1String(".ChannelValues = ivec3(GET_INT(%1), GET_INT(%2), GET_INT(%3));\n"), i);
        } else if (type == QMetaType::Bool) {
            text = ints(QLatin1String("bool(GET_INT(%1))"), i);
        } else if (type == QMetaType::Int || type == t.stringList || type == t.gradient || type == t.userEnum) {
            text = ints(QLatin1String("GET_INT(%1)"), i);
        } else if (type == QMetaType::Float || type == QMetaType::Double) {
            text = ints(QLatin1String("GET_FLOAT(%1)"), i);
        } else if (type == t.vector2f) {
            text = ints(QLatin1String("GET_VEC4(%1).xy"), i);
        } else if (type == t.vector3f) {
            text = ints(QLatin1String("GET_VEC4(%1).xyz"), i);
        } else if (type == t.vector4f || type == t.color) {
            text = ints(QLatin1String("GET_VEC4(%1)"), i);
        } else if (type == t.imageList) {
            text = ints(QLatin1String("uvec4(GET_INT(%1), GET_INT(%2), GET_INT(%3), GET_INT(%4))"), i);
        } else if (type == t.locatorList && value.value<VrnLocatorList>().glslType() == QLatin1String("vec3")) {
            text = ints(QLatin1String("GET_VEC4(%1).xyz"), i);
        } else if (type == t.locatorList && value.value<VrnLocatorList>().glslType() == QLatin1String("mat4x4")) {
            // Four columns, then the four of the inverse.
            const QLatin1String matrix("mat4(GET_VEC4(%1), GET_VEC4(%2), GET_VEC4(%3), GET_VEC4(%4))");
            text = ints(matrix, i);
            texts.insert(name + QStringLiteral("_Inverse"), ints(matrix, i + 4));
        } else {
            text = parameterExpression(name, node);
        }
        texts.insert(name, text);
    }
    return texts;
}

QString VrnSnBaseGlslContext::resolvedBodyCode(unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                               const VrnGlslTokenTexts& parameterTexts, const QString& parameterPrologue) const
{
    VrnSnBaseNode* node = parentNode();
    VrnGlslTokenTexts inputTexts;
    const QList<VrnSnNodeInputDefinition>& inputs = node->kind().inputs;
    for (int i = 0; i < inputs.size(); ++i) {
        const VrnSnNodeInputDefinition& input = inputs.at(i);
        inputTexts.insert(input.name, inputExpression(i, input.name, aliases));
        if (input.invertible)
            inputTexts.insert(input.name + QStringLiteral("_INVERTED"),
                              node->hasInputTag(input.name, QStringLiteral("_invert")) ? QStringLiteral("true") : QStringLiteral("false"));
    }
    // A re-evaluated input is read through a local that first holds its value
    // at the current position and is overwritten where the placeholder stands.
    // Each placeholder's replacement goes into one of two thread buffers in
    // turn, the code read from the other.
    const QString expressionText = expression();
    QStringView code = expressionText;
    QString prologue;
    int index = 0;
    const QList<VrnSnGlslRevalInfo> revals = revalInfo(); // const: iterating it copies nothing
    for (const VrnSnGlslRevalInfo& reval : revals) {
        if (reval.placeholder.isEmpty() || !code.contains(reval.placeholder) || !node->kind().input(reval.inputName))
            continue;
        const QString variable = QStringLiteral("VrnReval_") + reval.inputName;
        if (inputTexts.value(reval.inputName) != variable) {
            prologue += QStringLiteral("vec4 %1 = %2;\n").arg(variable, inputTexts.value(reval.inputName));
            inputTexts.insert(reval.inputName, variable);
        }
        const QString block = revalBlock(reval, index, variable, shaderType, aliases);
        QString& replaced =
            VrnReusedText::take(index % 2 ? VrnReusedText::RevalCodeOdd : VrnReusedText::RevalCodeEven, code.size() + block.size());
        replaceEvery(code, reval.placeholder, block, replaced);
        code = replaced;
        ++index;
    }
    if (index == 0 && parameterPrologue.isEmpty())
        return VrnGlslTokenPlan::substitute(expressionText, parameterTexts, inputTexts, &replaceTokens);
    // Kilobytes where a node re-evaluates its input: the code with its
    // prologues, and its parameters replaced, go through the thread's buffers.
    QString& joined = VrnReusedText::take(VrnReusedText::JoinedCode, parameterPrologue.size() + prologue.size() + code.size());
    joined += parameterPrologue;
    joined += prologue;
    joined += code;
    QString& parametersReplaced = VrnReusedText::take(VrnReusedText::ParametersReplaced, joined.size() + 16 * parameterTexts.size());
    replaceTokensInto(joined, QLatin1Char('$'), parameterTexts, parametersReplaced);
    QString& body = VrnReusedText::take(VrnReusedText::Body, parametersReplaced.size() + 16 * inputTexts.size());
    replaceTokensInto(parametersReplaced, QLatin1Char('#'), inputTexts, body);
    return body; // a copy that shares the buffer
}

bool VrnSnBaseGlslContext::shaderBodyCodeUsesOutputs() const
{
    return !outputPointNames().isEmpty();
}

QStringList VrnSnBaseGlslContext::inputsRevaled() const
{
    QStringList inputs;
    const QList<VrnSnGlslRevalInfo> revals = revalInfo();
    for (const VrnSnGlslRevalInfo& r : revals)
        if (!inputs.contains(r.inputName))
            inputs.append(r.inputName);
    return inputs;
}

QList<VrnSnGlslRevalInfo> VrnSnBaseGlslContext::revalInfo() const
{
    VrnSnBaseNode* node = parentNode();
    return node ? node->kind().reval : QList<VrnSnGlslRevalInfo>();
}

QString VrnSnBaseGlslContext::defaultInput(const QString& input) const
{
    VrnSnBaseNode* node = parentNode();
    const VrnSnNodeInputDefinition* definition = node ? node->kind().input(input) : nullptr;
    if (!definition || definition->defaultExpression.isEmpty())
        return QStringLiteral("vec4(0.0,0.0,0.0,0.0)");
    return definition->defaultExpression;
}

QString VrnSnBaseGlslContext::uniformName(const QString& name, VrnSnBaseNode* node) const
{
    if (!node)
        return QString();
    const QVariant& value = node->userAttributeValue(name);
    if (isChannelParameter(name, value))
        return channelUniformStruct(name) + kChannelValues;
    return node->id() + QLatin1Char('_') + name;
}

QVariant VrnSnBaseGlslContext::uniformValue(const VrnCustomAttribute& attribute, VrnSnBaseNode*)
{
    return attribute.value();
}

QString VrnSnBaseGlslContext::getOpenGLType(const QVariant& value) const
{
    return VrnParameterTypes::glslType(value);
}

void VrnSnBaseGlslContext::setExpression(const QString& expression, bool pending)
{
    int flags = VrnCustomAttribute::Visible;
    if (pending)
        flags |= VrnCustomAttribute::Pending;
    if (!exists(kExpression)) {
        createUserAttribute(VrnCustomAttribute(kExpression, expression, flags));
        return;
    }
    setUserAttribute(kExpression, expression, true);
    setUserAttributeFlags(kExpression, pending ? (userAttribute(kExpression).flags() | VrnCustomAttribute::Pending)
                                               : userAttribute(kExpression).flags());
}

void VrnSnBaseGlslContext::readAhead() const
{
    VrnReadAhead::askLines(this, sizeof(VrnSnBaseGlslContext));
}

void VrnSnBaseGlslContext::readAheadBlocks() const
{
    VrnReadAhead::askBlock(userAttributes(), 2);
    VrnReadAhead::askBlock(m_attributeUniformNames);
}

QString VrnSnBaseGlslContext::expression() const
{
    return userAttributeValue(kExpression).toString();
}

unsigned VrnSnBaseGlslContext::shaderType() const
{
    VrnSnBaseNode* node = parentNode();
    return node ? node->kind().shaderType : VrnShaderType::AllStages;
}

bool VrnSnBaseGlslContext::useDefaultInput(const QString& input, const VrnSnGlslNodeAliases* aliases) const
{
    VrnSnBaseNode* node = parentNode();
    if (!node)
        return true;
    // Read in place: a build asks this for every input of every entry.
    const int index = node->inputNames().indexOf(input);
    if (index < 0)
        return true;
    VrnSnBaseNode::ConnectionPoint resolved;
    return VrnSnGlslNodeAliases::supplierOf(node->inputConnectionAt(index), aliases, resolved).node.isNull();
}

void VrnSnBaseGlslContext::setUniforms(const QString& name, const QVariant& value)
{
    m_uniformValues.insert(name, value);
    emit uniformsSet(name, value);
}

void VrnSnBaseGlslContext::userAttributeEvent(AttributeEvent event, const QString& name)
{
    switch (event) {
    case AttributeEvent::Created: onUserAttributeCreated(name); break;
    case AttributeEvent::Changed: onUserAttributeChanged(name); break;
    case AttributeEvent::Removed: onUserAttributeRemoved(name); break;
    }
}

void VrnSnBaseGlslContext::onUserAttributeCreated(const QString&) {}

void VrnSnBaseGlslContext::onUserAttributeChanged(const QString&) {}

void VrnSnBaseGlslContext::onUserAttributeRemoved(const QString&) {}
