#pragma once

#include "VrnSnBaseNode.h"

#include <QHash>
#include <QPair>
#include <QSet>

// Maps a connection point to the point that really supplies it: an input that
// reads a pass-through node reads that node's own producer.
class VrnSnGlslNodeAliases
{
public:
    using Point = VrnSnBaseNode::ConnectionPoint;

    void addAlias(const Point& from, const Point& to);
    // Every alias of other, in place of one this table has for the same point.
    void addAliases(const VrnSnGlslNodeAliases& other);
    bool containsAlias(const Point& point) const;
    // The supplying point; the point itself when it is no alias.
    Point getAlias(const Point& point) const;
    // The supplying point in place; null when the point is no alias.
    const Point* findAlias(const Point& point) const;
    bool isEmpty() const { return m_aliases.isEmpty(); }
    // Changes with every alias added, to a number that no table has had
    // before: a table with the stamp of an earlier look holds what it held then.
    quint64 stamp() const { return m_stamp; }

    // Follows pass-through nodes from the point to the first producer that is
    // not one; a point with a null node when the chain ends unconnected.
    static Point resolve(const Point& point);
    // What a connection reads: its alias in aliases (which may be null) where
    // it has one, followed through pass-through nodes. The point is handed
    // back where it lies; only one reached through pass-through nodes is
    // made, in resolved.
    static const Point& supplierOf(const Point& connected, const VrnSnGlslNodeAliases* aliases, Point& resolved);
    // Whether a connection is its own supplier: its node is live and no
    // pass-through, and no alias in aliases (which may be null) names it. Most
    // connections are, and need neither a copy nor a walk. Inline: a build
    // asks for every input.
    static bool suppliesItself(const Point& connected, const VrnSnGlslNodeAliases* aliases)
    {
        const VrnSnBaseNode* node = connected.node.data();
        return node && !node->kind().alias && (!aliases || aliases->isEmpty() || !aliases->findAlias(connected));
    }

private:
    using Key = QPair<const VrnSnBaseNode*, QString>;
    static quint64 nextStamp();
    // Whether a point of the node may have an alias: most points asked for
    // have none, and are answered without making a key of their name.
    bool mayHaveAlias(const Point& point) const { return m_nodes.contains(point.node.data()); }

    QHash<Key, Point> m_aliases;
    QSet<const VrnSnBaseNode*> m_nodes; // the nodes of the points that have an alias
    quint64 m_stamp = 0;                 // 0: never added to, so empty
};
