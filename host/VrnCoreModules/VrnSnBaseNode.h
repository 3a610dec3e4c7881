#pragma once

#include "VrnChannel.h"
#include "VrnJoinedText.h"
#include "VrnObjectArena.h"
#include "VrnSerializableObject.h"
#include "VrnSnNodeKind.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>
#include <QVector>

class VrnShaderNetwork;
class VrnSnBakePointNode;
class VrnSnBaseContext;
class VrnSnBaseGlslContext;

// A node of a shader network: an instance of a node kind with its own id,
// attribute values (the kind's parameters), tags, connections and cache state.
// Aligned to a cache line: see the order of the members.
class alignas(64) VrnSnBaseNode : public VrnSerializableObject
{
    Q_OBJECT
public:
    // One end of a connection: a node's output point, or what an input reads.
    struct ConnectionPoint
    {
        QPointer<VrnSnBaseNode> node; // reads null once the node is deleted
        QString name;
        int connectionKey = 0; // the key of the producing output

        ConnectionPoint() = default;
        ConnectionPoint(VrnSnBaseNode* n, const QString& pointName, int key) : node(n), name(pointName), connectionKey(key) {}
        bool operator==(const ConnectionPoint& o) const
        {
            return node.data() == o.node.data() && name == o.name && connectionKey == o.connectionKey;
        }
        bool operator!=(const ConnectionPoint& o) const { return !(*this == o); }
    };

    VrnSnBaseNode(VrnShaderNetwork* network, VrnSnNodeKindPtr kind, const QString& id);
    ~VrnSnBaseNode() override;
    // Nodes made while a loader fills a network lie one after another (VrnObjectArena).
    static void* operator new(std::size_t size) { return VrnObjectArena::allocate(VrnObjectArena::Nodes, size); }
    static void operator delete(void* node, std::size_t size) { VrnObjectArena::release(node, size); }

    const VrnSnNodeKind& kind() const { return *m_kind; }
    VrnShaderNetwork* network() const { return m_network; }

    const QString& id() const { return m_id; }
    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    // "/" + network name + "/" + node name.
    QString path() const { return pathText().toString(); }
    // The same, as parts for a chain to join where it writes them.
    VrnJoinedText pathText() const;
    // The GLSL global that holds one of the node's outputs: the id followed by the point name.
    QString outputVariableName(const QString& pointName) const { return outputVariableText(pointName).toString(); }
    // The same, as parts for a chain to join where it writes them.
    VrnJoinedText outputVariableText(const QString& pointName) const { return VrnJoinedText(m_id, pointName); }
    // A short hexadecimal digest of the id; part of cache attribute names.
    const QString& hash() const { return m_hash; }

    bool hasTag(const QString& tag) const { return m_tags.contains(tag); }
    void addTag(const QString& tag);
    const QStringList& tags() const { return m_tags; }
    // Every input that the kind declares invertible carries "_invertable" from the start.
    bool hasInputTag(const QString& inputName, const QString& tag) const;
    void addInputTag(const QString& inputName, const QString& tag);

    const QStringList& inputNames() const { return m_inputNames; }
    // The output that feeds the input; a point with a null node when unconnected.
    ConnectionPoint inputConnection(const QString& inputName) const;
    // The same by input number (the kind's order), without a name lookup or a
    // copy: the graph walks of every build read it. A producer deleted since
    // has a null node.
    const ConnectionPoint& inputConnectionAt(int index) const { return m_inputConnections.at(index); }
    int inputCount() const { return int(m_inputConnections.size()); }
    // Connects an output of the producer to an input; false when either point does not exist.
    bool connectInput(const QString& inputName, VrnSnBaseNode* producer, const QString& outputName);
    void disconnectInput(const QString& inputName);

    const QVector<ConnectionPoint>& outputPoints() const { return m_outputPoints; }
    ConnectionPoint outputPoint(const QString& outputName) const;

    bool cacheEnabled() const { return m_cacheEnabled; }
    void setCacheEnabled(bool on) { m_cacheEnabled = on; }
    // The value 2 selects the node's cache paths.
    int cacheActive() const { return m_cacheActive; }
    void setCacheActive(int state) { m_cacheActive = state; }
    // A cache is read only when it is up to date, selected (active state 2) and
    // complete: every output has its cache attribute and that channel exists in
    // the current tile. Every generator then reads all outputs or none.
    virtual bool hasValidCache() const;
    // Whether the cached data are up to date.
    void setCacheValid(bool valid) { m_cacheValid = valid; }
    bool cacheUpToDate() const { return m_cacheValid; }
    // "Cache_" + hash + output name: the attribute that names the output's cache channel.
    QString cacheAttributeName(const QString& outputName) const;

    bool isEncrypted() const { return m_encrypted; }
    void setEncrypted(bool on) { m_encrypted = on; }

    // The kind's digests, taken when the node is made: generators ask for them per node and build.
    QString versionHashPresent(bool) const { return m_versionHash; }
    QString versionUUID() const { return m_versionUUID; }
    virtual QString versionHashSource() const { return m_versionHashSource; }

    // The node as a bake point (null for other node classes), without the
    // cast: every build asks for every node.
    VrnSnBakePointNode* asBakePoint() const { return m_bakePoint; }

    // The node's GLSL context, a child object created through the class
    // factories: the first one made for the node while it is still its child,
    // otherwise the first child that is one.
    VrnSnBaseGlslContext* context() const;

    // The key that ties an output to the inputs that read it.
    static int connectionKey(const VrnSnBaseNode* node, const QString& outputName);
    // Moves on with every change to the nodes that a build reads: a node
    // made, listed in its network, reordered there or destroyed, a connection
    // made or removed, a context that comes to a node or leaves it, an
    // attribute of a node created, removed or changed with notice. What was
    // found of the nodes holds while the stamp is the same.
    static quint64 graphStamp();

    // Ask the processor for what a build reads of the node, without waiting
    // for it (VrnReadAhead): the node's own lines, and once those are in, the
    // blocks it points to (its name, uuid, attributes and output points, and
    // the producers of its inputs).
    void readAhead() const;
    void readAheadBlocks() const;

protected:
    // Cache attributes lead the attribute list, in the order of the kind's
    // outputs, so that a walk of userAttributeNames() meets them first.
    void userAttributeEvent(AttributeEvent event, const QString& name) override;
    // Tells the contexts made for the node whether it is still their parent.
    void childEvent(QChildEvent* event) override;

    VrnSnBakePointNode* m_bakePoint = nullptr; // set by the bake point's constructor

private:
    friend class VrnSnBaseContext;
    friend class VrnSnBaseGlslContext;
    friend class VrnShaderNetwork;
    void forgetContext(VrnSnBaseContext* context);
    static void graphChanged();

    // What builds read of every node comes first, so that it lies in the
    // fewest cache lines: the node starts on one.
    VrnShaderNetwork* m_network;
    VrnSnNodeKindPtr m_kind;
    QString m_id;
    QString m_name;
    // The link a build reads many times per node, kept instead of searching
    // the children: the first GLSL context made for the node, until it is
    // destroyed.
    VrnSnBaseGlslContext* m_context = nullptr;
    // Whether m_context is still the node's child, kept by the child events
    // as the context keeps it: asking the node reads no line of the context.
    bool m_contextIsChild = false;
    bool m_cacheEnabled = false;
    bool m_cacheValid = false;
    int m_cacheActive = 0;
    QVector<ConnectionPoint> m_outputPoints; // fixed by the kind; made once, as generators ask for them per node
    QStringList m_inputNames; // the kind's, asked for many times per build
    // By input number, as m_inputNames; the built-in kinds' inputs lie in the
    // node itself, so that a walk upstream reads no block of their own.
    QVarLengthArray<ConnectionPoint, 2> m_inputConnections;
    QString m_versionHash;
    QMap<QString, QStringList> m_inputTags;
    QString m_hash;
    bool m_encrypted = false;
    QString m_versionHashSource;
    QString m_versionUUID;
    QStringList m_tags;
    VrnShaderNetwork* m_listedIn = nullptr; // the network whose node list holds this node
    // The contexts made for the node, so that they stop naming it when it
    // goes first and learn when they leave it or come back.
    QVector<VrnSnBaseContext*> m_madeContexts;
};

// A node that reads a paint channel: its "Channel" attribute names the channel
// or follows the project's current channel.
class VrnSnImageSetNodeBase : public VrnSnBaseNode
{
    Q_OBJECT
public:
    using VrnSnBaseNode::VrnSnBaseNode;
    // The channel of the shading context's current tile that the node reads; null when there is none.
    VrnImageSetPtr imageSet() const;
};

// A node whose input can be baked into its channel and read back from there.
class VrnSnBakePointNode : public VrnSnBaseNode
{
    Q_OBJECT
public:
    VrnSnBakePointNode(VrnShaderNetwork* network, VrnSnNodeKindPtr kind, const QString& id);
    bool shouldUseBakedResult() const { return m_useBakedResult; }
    // Emits requireShaderRecompile when the choice changes.
    void setUseBakedResult(bool on);

signals:
    void requireShaderRecompile();

private:
    bool m_useBakedResult = false;
};
