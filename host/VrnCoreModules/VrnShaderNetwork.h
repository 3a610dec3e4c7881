#pragma once

#include "VrnShadingContext.h"
#include "VrnSnBaseNode.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

// A shader network: its nodes (owned; listed in creation order unless put in
// another order), its root and the shading context that holds its channels.
class VrnShaderNetwork : public QObject
{
    Q_OBJECT
public:
    explicit VrnShaderNetwork(const QString& name, QObject* parent = nullptr);
    ~VrnShaderNetwork() override;

    const QString& name() const { return m_name; }
    VrnShadingContext* shadingContext() const { return m_shadingContext; }

    // Creates a node of the kind, of the node class the kind asks for, and its
    // context through the class factories (the base GLSL context when the kind
    // names none). Returns null, with a reason, when the id is taken or the
    // context class is unknown.
    VrnSnBaseNode* createNode(const VrnSnNodeKindPtr& kind, const QString& id, QString* error = nullptr);
    // Takes a node made by the caller (a node class of the caller's own) and
    // gives it its context. On failure the node is deleted and false returned.
    bool addNode(VrnSnBaseNode* node, QString* error = nullptr);

    VrnSnBaseNode* node(const QString& id) const;
    const QList<VrnSnBaseNode*>& nodes() const { return m_nodes; }
    // Lists the nodes in the order given, so that a loader may make them in
    // one order and list them in another; false, with nothing changed, unless
    // the order holds every node of the network once.
    bool setNodeOrder(const QList<VrnSnBaseNode*>& order);

    // A kind's digests, taken once for all the network's nodes of that kind:
    // its source text is kilobytes, and each node keeps it.
    struct KindDigests
    {
        QString source;
        QString hash;
        QString uuid;
    };
    const KindDigests& kindDigests(const VrnSnNodeKindPtr& kind);
    // The same taken afresh, for a node of no network.
    static KindDigests digestsOf(const VrnSnNodeKind& kind);

    VrnSnBaseNode* root() const { return m_root; }
    void setRoot(VrnSnBaseNode* root) { m_root = root; }

private:
    friend class VrnSnBaseNode;
    void forgetNode(VrnSnBaseNode* node);

    QString m_name;
    VrnShadingContext* m_shadingContext;
    QList<VrnSnBaseNode*> m_nodes;
    QHash<QString, VrnSnBaseNode*> m_nodesById; // ids are looked up for every connection of a file
    QPointer<VrnSnBaseNode> m_root;
    // Holding the kind keeps its address from being reused by another.
    QHash<const VrnSnNodeKind*, QPair<VrnSnNodeKindPtr, KindDigests>> m_kindDigests;
};
