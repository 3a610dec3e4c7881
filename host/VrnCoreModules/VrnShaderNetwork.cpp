#include "VrnShaderNetwork.h"

#include "VrnClassFactory.h"
#include "VrnSnBaseGlslContext.h"

#include <algorithm>
#include <functional>
#include <vector>

VrnShaderNetwork::VrnShaderNetwork(const QString& name, QObject* parent)
    : QObject(parent), m_name(name), m_shadingContext(new VrnSvtShadingContext(this))
{
}

VrnShaderNetwork::~VrnShaderNetwork()
{
    // The nodes are deleted with the other children after this part of the
    // network is gone: they must not tell it.
    for (VrnSnBaseNode* n : qAsConst(m_nodes))
        n->m_listedIn = nullptr;
}

VrnSnBaseNode* VrnShaderNetwork::createNode(const VrnSnNodeKindPtr& kind, const QString& id, QString* error)
{
    if (!kind) {
        if (error)
            *error = QStringLiteral("no node kind");
        return nullptr;
    }
    VrnSnBaseNode* n = nullptr;
    switch (kind->nodeClass) {
    case VrnSnNodeKind::NodeClass::ImageSet: n = new VrnSnImageSetNodeBase(this, kind, id); break;
    case VrnSnNodeKind::NodeClass::BakePoint: n = new VrnSnBakePointNode(this, kind, id); break;
    case VrnSnNodeKind::NodeClass::Plain: n = new VrnSnBaseNode(this, kind, id); break;
    }
    return addNode(n, error) ? n : nullptr;
}

bool VrnShaderNetwork::addNode(VrnSnBaseNode* n, QString* error)
{
    auto fail = [error, n](const QString& reason) {
        if (error)
            *error = reason;
        delete n;
        return false;
    };
    if (!n)
        return fail(QStringLiteral("no node"));
    const VrnSnNodeKind& kind = n->kind();
    if (node(n->id()))
        return fail(QStringLiteral("node id \"%1\" is used twice").arg(n->id()));
    if (!kind.contextClass.isEmpty() && !VrnClassFactory::factory(kind.contextClass))
        return fail(QStringLiteral("no class factory for context class \"%1\" of kind \"%2\"").arg(kind.contextClass, kind.name));

    n->setParent(this);
    VrnSnBaseGlslContext* context = nullptr;
    if (kind.contextClass.isEmpty()) {
        context = new VrnSnBaseGlslContext(n);
    } else {
        QPointer<QObject> made = VrnClassFactory::createObject(kind.contextClass, n);
        context = qobject_cast<VrnSnBaseGlslContext*>(made.data());
        if (!context) {
            delete made.data();
            return fail(QStringLiteral("class \"%1\" is not a GLSL context").arg(kind.contextClass));
        }
    }
    // Contexts that bring no expression of their own run the kind's code.
    if (context->expression().isEmpty())
        context->setExpression(kind.glsl, false);
    context->init();
    m_nodes.append(n);
    m_nodesById.insert(n->id(), n);
    n->m_listedIn = this; // the node tells this network when it goes
    VrnSnBaseNode::graphChanged();
    return true;
}

void VrnShaderNetwork::forgetNode(VrnSnBaseNode* n)
{
    m_nodes.removeAll(n);
    VrnSnBaseNode::graphChanged();
    const auto it = m_nodesById.constFind(n->id());
    if (it != m_nodesById.constEnd() && it.value() == n)
        m_nodesById.erase(it);
}

bool VrnShaderNetwork::setNodeOrder(const QList<VrnSnBaseNode*>& order)
{
    if (order.size() != m_nodes.size())
        return false;
    std::vector<VrnSnBaseNode*> listed(m_nodes.cbegin(), m_nodes.cend());
    std::vector<VrnSnBaseNode*> given(order.cbegin(), order.cend());
    std::sort(listed.begin(), listed.end(), std::less<VrnSnBaseNode*>());
    std::sort(given.begin(), given.end(), std::less<VrnSnBaseNode*>());
    if (listed != given)
        return false; // a node of another network, one left out or one given twice
    m_nodes = order;
    VrnSnBaseNode::graphChanged();
    return true;
}

VrnSnBaseNode* VrnShaderNetwork::node(const QString& id) const
{
    return m_nodesById.value(id);
}

const VrnShaderNetwork::KindDigests& VrnShaderNetwork::kindDigests(const VrnSnNodeKindPtr& kind)
{
    auto found = m_kindDigests.find(kind.data());
    if (found == m_kindDigests.end())
        found = m_kindDigests.insert(kind.data(), qMakePair(kind, digestsOf(*kind)));
    return found.value().second;
}

VrnShaderNetwork::KindDigests VrnShaderNetwork::digestsOf(const VrnSnNodeKind& kind)
{
    return KindDigests{kind.versionHashSource(), kind.versionHash(), kind.versionUUID()};
}
