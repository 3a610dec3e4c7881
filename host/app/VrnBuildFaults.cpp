#include "VrnBuildFaults.h"

#include "VrnAttributeValues.h"
#include "VrnShaderManager.h"
#include "VrnShaderNetwork.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseNode.h"

#include <QRegularExpression>

QList<VrnSnBaseGlslContext*> VrnBuildFaults::builtContexts(VrnShaderNetwork* network)
{
    QMap<unsigned, VrnSnGlslNodeAliases> aliases;
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contexts;
    VrnSnBaseGlslCodeGenerator().buildContextsList(nullptr, qobject_cast<VrnSvtShadingContext*>(network->shadingContext()), aliases,
                                                   contexts, network->root());
    QList<VrnSnBaseGlslContext*> all;
    for (const QList<VrnSnBaseGlslContext*>& list : contexts)
        for (VrnSnBaseGlslContext* context : list)
            if (context && context->parentNode() && !all.contains(context))
                all.append(context);
    return all;
}

namespace {
// The uniform names that declaration lines "uniform TYPE NAME...;" declare.
QStringList declaredUniforms(const QString& declarationCode)
{
    static const QRegularExpression declaration(QStringLiteral("^\\s*uniform\\s+\\w+\\s+(\\w+)"), QRegularExpression::MultilineOption);
    QStringList names;
    for (auto it = declaration.globalMatch(declarationCode); it.hasNext();)
        names.append(it.next().captured(1));
    return names;
}

// Whether the code reads the name as a whole, not as part of a longer one.
bool readsName(const QString& code, const QString& name)
{
    const QString pattern = QStringLiteral("(?<!\\w)%1(?!\\w)").arg(QRegularExpression::escape(name));
    return QRegularExpression(pattern).match(code).hasMatch();
}

// Style 4 moves every declaration line of the build into one uniform block,
// setting only sampler cubes apart. A block needs at least one member and
// cannot hold any other opaque type.
QString uniformBlockFault(VrnShaderNetwork* network)
{
    static const QRegularExpression opaque(QStringLiteral("^uniform\\s+(sampler|isampler|usampler|image|atomic_uint)"));
    bool anyMember = false;
    for (VrnSnBaseGlslContext* context : VrnBuildFaults::builtContexts(network))
        for (const QString& line : context->shaderDeclarationCode().split(QLatin1Char('\n'))) {
            const QString declaration = line.trimmed();
            if (declaration.isEmpty() || declaration.startsWith(QLatin1String("uniform samplerCube")))
                continue;
            if (opaque.match(declaration).hasMatch())
                return QStringLiteral("node \"%1\" declares \"%2\", which its uniform block cannot hold")
                    .arg(context->parentNode()->id(), declaration);
            anyMember = true;
        }
    return anyMember ? QString() : QStringLiteral("no node declares a uniform, and its uniform block cannot be empty");
}
// Style 5 writes one function per version hash from the analysis of the last
// node of that hash in a stage's list; a gradient without an atlas becomes a
// comment there, so the code that reads it names no declared variable.
QString unatlasedGradientFault(VrnShaderNetwork* network)
{
    auto* shading = qobject_cast<VrnSvtShadingContext*>(network->shadingContext());
    QMap<unsigned, VrnSnGlslNodeAliases> aliases;
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contexts;
    VrnSnBaseGlslCodeGenerator().buildContextsList(nullptr, shading, aliases, contexts, network->root());
    for (const QList<VrnSnBaseGlslContext*>& list : qAsConst(contexts)) {
        QMap<QString, VrnSnBaseGlslContext*> lastOfHash;
        QSet<QString> used;
        for (VrnSnBaseGlslContext* context : list) {
            VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
            if (!node)
                continue;
            const QString hash = node->versionHashPresent(false);
            lastOfHash.insert(hash, context);
            if (!VrnSnBaseGlslCodeGenerator::nodeReadsCache(node, shading) && !VrnSnBaseGlslCodeGenerator::nodeReadsBakedChannel(node, shading))
                used.insert(hash);
        }
        for (auto it = lastOfHash.constBegin(); it != lastOfHash.constEnd(); ++it) {
            VrnSnBaseNode* node = it.value()->parentNode();
            if (!used.contains(it.key()))
                continue;
            for (const VrnCustomAttribute& parameter : node->kind().parameters) {
                const QVariant value = node->userAttribute(parameter.name()).value();
                if (value.userType() == VrnShaderManager::MetaType_VrnGradient && !value.value<VrnGradient>().useAtlas()
                    && readsName(it.value()->expression(), QLatin1Char('$') + parameter.name()))
                    return QStringLiteral("node \"%1\" reads its gradient \"%2\", which has no atlas and which this style does not declare")
                        .arg(node->id(), parameter.name());
            }
        }
    }
    return QString();
}

// Of a node's own uniforms Style 6 keeps only sampler cubes; other samplers stay undeclared.
QString undeclaredSamplerFault(VrnShaderNetwork* network)
{
    for (VrnSnBaseGlslContext* context : VrnBuildFaults::builtContexts(network)) {
        VrnSnBaseNode* node = context->parentNode();
        for (const VrnCustomAttribute& parameter : node->kind().parameters) {
            const QString type = context->getOpenGLType(node->userAttribute(parameter.name()).value());
            if (type.startsWith(QLatin1String("sampler")) && type != QLatin1String("samplerCube")
                && context->expression().contains(QLatin1Char('$') + parameter.name()))
                return QStringLiteral("node \"%1\" reads its %2 \"%3\", which this style does not declare").arg(node->id(), type, parameter.name());
        }
    }
    return QString();
}
} // namespace

// Style 3's main body takes the nodes that no container nests, reads the
// cached ones and writes every other node that uses outputs inline, with no
// regard to the bake; the stub that stands for a node left out of a bake
// declares none of its uniforms.
VrnBuildFaults::InlinedStub VrnBuildFaults::style3InlinedStub(VrnShaderNetwork* network, const QStringList& defines)
{
    InlinedStub found;
    if (!defines.contains(QStringLiteral("NODE_BAKE")))
        return found;
    auto* shading = qobject_cast<VrnSvtShadingContext*>(network->shadingContext());
    VrnSnBaseGlslCodeGenerator generator;
    QMap<unsigned, VrnSnGlslNodeAliases> aliases;
    QMap<unsigned, QList<VrnSnBaseGlslContext*>> contexts;
    generator.buildContextsList(nullptr, shading, aliases, contexts, network->root());
    for (auto type = contexts.begin(); type != contexts.end(); ++type) {
        VrnSnGlslNodeAliases& typeAliases = aliases[type.key()];
        const VrnSnGlslContextInfoMap info = generator.buildContextInfo(shading, &typeAliases, type.value());
        QSet<VrnSnBaseGlslContext*> nested;
        QSet<VrnSnBaseGlslContext*> kept;
        for (const VrnSnGlslCodeGeneratorContextInfo& record : info)
            for (VrnSnBaseGlslContext* inner : record.nestedContexts) {
                if (!record.hasNestedContexts)
                    kept.insert(inner);
                else if (!kept.contains(inner))
                    nested.insert(inner);
            }
        for (VrnSnBaseGlslContext* context : type.value()) {
            VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
            if (!node || nested.contains(context) || !node->hasTag(QStringLiteral("_notbakeable")) || !context->shaderBodyCodeUsesOutputs()
                || (info.value(context).readsCache && !node->outputPoints().isEmpty()))
                continue;
            const QString code = context->shaderBodyCode(type.key(), &typeAliases, nullptr);
            for (const QString& uniform : declaredUniforms(context->shaderDeclarationCode()))
                if (readsName(code, uniform))
                    return InlinedStub{node, uniform};
            if (!found.node)
                found.node = node;
        }
    }
    return found;
}

QString VrnBuildFaults::compileFault(const QString& generatorName, VrnShaderNetwork* network, const QStringList& defines)
{
    if (generatorName.endsWith(QLatin1String("_Style4")))
        return uniformBlockFault(network);
    if (generatorName.endsWith(QLatin1String("_Style5")))
        return unatlasedGradientFault(network);
    if (generatorName.endsWith(QLatin1String("_Style6")))
        return undeclaredSamplerFault(network);
    if (generatorName.endsWith(QLatin1String("_Style3"))) {
        const InlinedStub stub = style3InlinedStub(network, defines);
        if (!stub.undeclaredUniform.isEmpty())
            return QStringLiteral("node \"%1\" is left out of the bake, but this style writes its code inline, "
                                  "which reads the uniform \"%2\" that its stub does not declare")
                .arg(stub.node->id(), stub.undeclaredUniform);
    }
    return QString();
}
