#include "VrnSnBaseNode.h"

#include "VrnAttributeValues.h"
#include "VrnProjectManager.h"
#include "VrnReadAhead.h"
#include "VrnShaderNetwork.h"
#include "VrnSnBaseGlslContext.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QCryptographicHash>

#include <atomic>

namespace {
std::atomic<quint64> g_graphStamp{0};
} // namespace

quint64 VrnSnBaseNode::graphStamp()
{
    return g_graphStamp.load(std::memory_order_acquire);
}

void VrnSnBaseNode::graphChanged()
{
    g_graphStamp.fetch_add(1, std::memory_order_acq_rel);
}

VrnSnBaseNode::VrnSnBaseNode(VrnShaderNetwork* network, VrnSnNodeKindPtr kind, const QString& id)
    : VrnSerializableObject(network), m_network(network), m_kind(std::move(kind)), m_id(id), m_name(id),
      m_hash(QString::fromLatin1(QCryptographicHash::hash(id.toUtf8(), QCryptographicHash::Sha1).toHex().left(8))),
      m_encrypted(m_kind->encrypted)
{
    const VrnShaderNetwork::KindDigests digests = network ? network->kindDigests(m_kind) : VrnShaderNetwork::digestsOf(*m_kind);
    m_versionHashSource = digests.source;
    m_versionHash = digests.hash;
    m_versionUUID = digests.uuid;
    for (const VrnCustomAttribute& p : m_kind->parameters)
        createUserAttribute(p);
    for (const QString& o : m_kind->outputs)
        m_outputPoints.append(ConnectionPoint(this, o, connectionKey(this, o)));
    for (const VrnSnNodeInputDefinition& i : m_kind->inputs) {
        m_inputNames.append(i.name);
        m_inputConnections.append(ConnectionPoint());
        if (i.invertible)
            addInputTag(i.name, QStringLiteral("_invertable"));
    }
    graphChanged();
}

VrnSnBaseNode::~VrnSnBaseNode()
{
    // The children outlive this part of the node: they must not write to it.
    for (VrnSnBaseContext* c : qAsConst(m_madeContexts))
        c->m_madeFor = nullptr;
    m_madeContexts.clear();
    m_context = nullptr;
    m_contextIsChild = false;
    graphChanged();
    if (m_listedIn)
        m_listedIn->forgetNode(this);
}

void VrnSnBaseNode::childEvent(QChildEvent* event)
{
    // Only the pointer is compared: a context being made is not listed yet,
    // one being destroyed no longer is, and neither may be read.
    if (event->added() || event->removed()) {
        graphChanged();
        if (static_cast<QObject*>(m_context) == event->child())
            m_contextIsChild = event->added();
        for (VrnSnBaseContext* c : qAsConst(m_madeContexts))
            if (static_cast<QObject*>(c) == event->child()) {
                c->m_withMaker = event->added();
                break;
            }
    }
    VrnSerializableObject::childEvent(event);
}

void VrnSnBaseNode::forgetContext(VrnSnBaseContext* context)
{
    m_madeContexts.removeOne(context);
    graphChanged();
    if (static_cast<VrnSnBaseContext*>(m_context) == context) {
        m_context = nullptr;
        m_contextIsChild = false;
    }
}

VrnJoinedText VrnSnBaseNode::pathText() const
{
    static const QString slash = QStringLiteral("/");
    static const QString none;
    return VrnJoinedText(slash, m_network ? m_network->name() : none, slash, m_name);
}

void VrnSnBaseNode::addTag(const QString& tag)
{
    if (!m_tags.contains(tag))
        m_tags.append(tag);
}

bool VrnSnBaseNode::hasInputTag(const QString& inputName, const QString& tag) const
{
    // Found in place: a copy of the list would only be counted up and down.
    const auto found = m_inputTags.constFind(inputName);
    return found != m_inputTags.constEnd() && found->contains(tag);
}

void VrnSnBaseNode::addInputTag(const QString& inputName, const QString& tag)
{
    QStringList& tags = m_inputTags[inputName];
    if (!tags.contains(tag))
        tags.append(tag);
}

VrnSnBaseNode::ConnectionPoint VrnSnBaseNode::inputConnection(const QString& inputName) const
{
    const int index = m_inputNames.indexOf(inputName);
    // A producer deleted since the connection was made reads as unconnected.
    return index >= 0 && m_inputConnections.at(index).node ? m_inputConnections.at(index) : ConnectionPoint();
}

bool VrnSnBaseNode::connectInput(const QString& inputName, VrnSnBaseNode* producer, const QString& outputName)
{
    if (!producer || !m_kind->input(inputName) || !producer->kind().outputs.contains(outputName))
        return false;
    const int index = m_inputNames.indexOf(inputName);
    if (index < 0)
        return false;
    m_inputConnections[index] = producer->outputPoint(outputName);
    graphChanged();
    return true;
}

void VrnSnBaseNode::disconnectInput(const QString& inputName)
{
    const int index = m_inputNames.indexOf(inputName);
    if (index >= 0) {
        m_inputConnections[index] = ConnectionPoint();
        graphChanged();
    }
}

VrnSnBaseNode::ConnectionPoint VrnSnBaseNode::outputPoint(const QString& outputName) const
{
    for (const ConnectionPoint& p : m_outputPoints)
        if (p.name == outputName)
            return p;
    VrnSnBaseNode* self = const_cast<VrnSnBaseNode*>(this);
    return ConnectionPoint(self, outputName, connectionKey(this, outputName));
}

bool VrnSnBaseNode::hasValidCache() const
{
    if (!m_cacheValid || m_cacheActive != 2 || m_kind->outputs.isEmpty())
        return false;
    VrnShadingContext* sc = m_network ? m_network->shadingContext() : nullptr;
    if (!sc)
        return false;
    for (const QString& output : m_kind->outputs) {
        const QString name = cacheAttributeName(output);
        if (!exists(name) || !sc->channel(sc->getCurrentUvChannel(), name))
            return false;
    }
    return true;
}

QString VrnSnBaseNode::cacheAttributeName(const QString& outputName) const
{
    return QStringLiteral("Cache_") + m_hash + outputName;
}

void VrnSnBaseNode::userAttributeEvent(AttributeEvent event, const QString& name)
{
    graphChanged();
    if (event != AttributeEvent::Created || !name.startsWith(QLatin1String("Cache_")))
        return;
    int position = 0;
    for (const QString& output : m_kind->outputs) {
        const QString cache = cacheAttributeName(output);
        if (cache == name) {
            moveUserAttribute(name, position);
            return;
        }
        if (exists(cache))
            ++position;
    }
}

VrnSnBaseGlslContext* VrnSnBaseNode::context() const
{
    // A context moved to another parent is no longer the node's. Child
    // events arrive only while an application object exists; without one the
    // context is asked.
    if (m_context && m_contextIsChild && QCoreApplication::instance())
        return m_context;
    if (m_context && m_context->parentNode() == this)
        return m_context;
    return findChild<VrnSnBaseGlslContext*>(QString(), Qt::FindDirectChildrenOnly);
}

int VrnSnBaseNode::connectionKey(const VrnSnBaseNode* node, const QString& outputName)
{
    const QString text = QStringLiteral("%1.%2").arg(reinterpret_cast<quintptr>(node), 16, 16, QLatin1Char('0')).arg(outputName);
    return int(qHash(text, 0));
}

VrnImageSetPtr VrnSnImageSetNodeBase::imageSet() const
{
    const VrnCustomAttribute attribute = userAttribute(QStringLiteral("Channel"));
    QString channelName = attribute.toString();
    if (channelName == VrnChannelId::currentChannelText()) {
        VrnChannel* current = VrnProjectManager::instance().currentChannel();
        return VrnImageSetPtr(current);
    }
    VrnShaderNetwork* net = network();
    if (!net || !net->shadingContext() || channelName.isEmpty())
        return VrnImageSetPtr();
    VrnShadingContext* sc = net->shadingContext();
    return VrnImageSetPtr(sc->channel(sc->getCurrentUvChannel(), channelName));
}

VrnSnBakePointNode::VrnSnBakePointNode(VrnShaderNetwork* network, VrnSnNodeKindPtr kind, const QString& id)
    : VrnSnBaseNode(network, std::move(kind), id)
{
    m_bakePoint = this;
}

void VrnSnBakePointNode::setUseBakedResult(bool on)
{
    if (m_useBakedResult == on)
        return;
    m_useBakedResult = on;
    emit requireShaderRecompile();
}

void VrnSnBaseNode::readAhead() const
{
    // A build reads a node up to its inputs: they lie first in the object.
    const char* end = reinterpret_cast<const char*>(&m_inputConnections) + sizeof(m_inputConnections);
    VrnReadAhead::askLines(this, std::size_t(end - reinterpret_cast<const char*>(this)));
}

void VrnSnBaseNode::readAheadBlocks() const
{
    VrnReadAhead::askBlock(m_name);
    VrnReadAhead::askBlock(uuidString()); // the key of its uniform locations and values
    VrnReadAhead::askBlock(userAttributes(), 3);
    VrnReadAhead::askBlock(m_outputPoints);
    // Of a producer a pass reads its kind, name, context and outputs: its first two lines.
    for (const ConnectionPoint& input : m_inputConnections)
        VrnReadAhead::askTracked(input.node, 2);
}
