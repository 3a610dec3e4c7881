#include "VrnSnGlslNodeAliases.h"

#include <QSet>

void VrnSnGlslNodeAliases::addAlias(const Point& from, const Point& to)
{
    m_aliases.insert(Key(from.node.data(), from.name), to);
    m_nodes.insert(from.node.data());
}

bool VrnSnGlslNodeAliases::containsAlias(const Point& point) const
{
    return findAlias(point) != nullptr;
}

VrnSnGlslNodeAliases::Point VrnSnGlslNodeAliases::getAlias(const Point& point) const
{
    const Point* alias = findAlias(point);
    return alias ? *alias : point;
}

const VrnSnGlslNodeAliases::Point* VrnSnGlslNodeAliases::findAlias(const Point& point) const
{
    if (!mayHaveAlias(point))
        return nullptr;
    const auto found = m_aliases.constFind(Key(point.node.data(), point.name));
    return found == m_aliases.constEnd() ? nullptr : &found.value();
}

const VrnSnGlslNodeAliases::Point& VrnSnGlslNodeAliases::supplierOf(const Point& connected, const VrnSnGlslNodeAliases* aliases,
                                                                    Point& resolved)
{
    // No alias names a point without a node.
    const Point* alias = aliases && connected.node ? aliases->findAlias(connected) : nullptr;
    const Point& point = alias ? *alias : connected;
    if (!point.node || !point.node->kind().alias)
        return point;
    resolved = resolve(point);
    return resolved;
}

VrnSnGlslNodeAliases::Point VrnSnGlslNodeAliases::resolve(const Point& point)
{
    Point current = point;
    QSet<const VrnSnBaseNode*> seen; // a loop of pass-through nodes supplies nothing
    while (current.node && current.node->kind().alias) {
        if (seen.contains(current.node.data()))
            return Point();
        seen.insert(current.node.data());
        const QStringList inputs = current.node->inputNames();
        current = inputs.isEmpty() ? Point() : current.node->inputConnection(inputs.first());
    }
    return current;
}
