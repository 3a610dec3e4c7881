#include "VrnSnGlslChannelInputContext.h"

#include "VrnAttributeValues.h"
#include "VrnDebug.h"
#include "VrnProjectManager.h"
#include "VrnShaderNetworkUtils.h"
#include "VrnSnBaseNode.h"
#include "VrnSnGlslContextManager.h"

namespace {
const char* const kSourceFile = "VrnPlugins/VrnShaderNetworkGlslContext/VrnSnGlslChannelInputContext";
const QString kChannel = QStringLiteral("Channel");
} // namespace

VrnSnGlslChannelInputContext::VrnSnGlslChannelInputContext(QObject* parent) : VrnSnBaseGlslContext(parent)
{
    connect(&VrnProjectManager::instance(), SIGNAL(currentChannelChanged(VrnChannel*)), this,
            SLOT(onCurrentChannelChanged(VrnChannel*)));
    // A bake point's node asks for a rebuild whenever it switches to or from its baked result.
    if (VrnSnBakePointNode* bakePoint = VrnShaderNetworkUtils::asTrueBakePointNode(parentNode()))
        connect(bakePoint, SIGNAL(requireShaderRecompile()), &VrnSnGlslContextManager::instance(), SLOT(requestCompileShader()));
}

QString VrnSnGlslChannelInputContext::shaderDeclarationCode() const
{
    return QStringLiteral("uniform Channel Channel_%1;\n").arg(id()) + VrnSnBaseGlslContext::shaderDeclarationCode();
}

QString VrnSnGlslChannelInputContext::uniformName(const QString& name, VrnSnBaseNode* node) const
{
    if (name == kChannel) {
        if (node)
            return QStringLiteral("Channel_%1.ChannelValues").arg(node->id());
        VrnDebug(kSourceFile, __LINE__, QStringLiteral("ParentNode is NULL"), false, false);
        return QString();
    }
    return VrnSnBaseGlslContext::uniformName(name, node);
}

QVariant VrnSnGlslChannelInputContext::uniformValue(const VrnCustomAttribute& Attribute, VrnSnBaseNode* ParentNode)
{
    if (Attribute.name() == kChannel) {
        auto* imageSetNode = qobject_cast<VrnSnImageSetNodeBase*>(ParentNode);
        if (!imageSetNode) {
            VrnDebug(kSourceFile, __LINE__, QStringLiteral("pImageSetNode is NULL"), false, false);
            return QVariant();
        }
        const VrnImageSetPtr imageSet = imageSetNode->imageSet();
        if (imageSet) {
            VrnStringList channels;
            channels.append(imageSet->name());
            channels.setCurrentString(imageSet->name());
            static const int stringListType = qRegisterMetaType<VrnStringList>("VrnStringList");
            return QVariant(stringListType, &channels);
        }
    }
    return VrnSnBaseGlslContext::uniformValue(Attribute, ParentNode);
}

QSet<QString> VrnSnGlslChannelInputContext::residentChannelSet() const
{
    auto* node = qobject_cast<VrnSnImageSetNodeBase*>(parentNode());
    if (!node) {
        VrnDebug(kSourceFile, __LINE__, QStringLiteral("pNode is NULL"), false, false);
        return QSet<QString>();
    }
    if (node->cacheActive() == 2)
        return VrnSnBaseGlslContext::residentChannelSet();
    QSet<QString> channels;
    if (const VrnImageSetPtr imageSet = node->imageSet())
        channels.insert(imageSet->name());
    return channels;
}

void VrnSnGlslChannelInputContext::onCurrentChannelChanged(VrnChannel*)
{
    VrnSnBaseNode* node = parentNode();
    if (!node)
        return;
    const VrnCustomAttribute attribute = node->userAttribute(kChannel);
    // A node bound to a named channel does not follow the current channel.
    if (attribute.toString() != VrnChannelId::currentChannelText())
        return;
    const QVariant value = uniformValue(attribute, node);
    setUniforms(m_attributeUniformNames[kChannel], value);
    VrnSnGlslContextManager::instance().requestCompileShader();
}

void VrnSnGlslChannelInputContext::applyExpression(const QString& expression)
{
    setExpression(expression, true);
    const int flags = userAttribute(QStringLiteral("Expression")).flags() & ~VrnCustomAttribute::Pending;
    setUserAttributeFlags(QStringLiteral("Expression"), flags);
}
