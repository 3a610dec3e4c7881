#include "VrnSnGlslNodeAliases.h"

#include <QSet>

#include <atomic>

quint64 VrnSnGlslNodeAliases::nextStamp()
{
    static std::atomic<quint64> lastStamp{0};
    return ++lastStamp;
}

void VrnSnGlslNodeAliases::addAlias(const Point& from, const Point& to)
{
    m_aliases.insert(Key(from.node.data(), from.name), to);
    m_nodes.insert(from.node.data());
    m_stamp = nextStamp();
}

void VrnSnGlslNodeAliases::addAliases(const VrnSnGlslNodeAliases& other)
{
    if (other.isEmpty())
        return;
    for (auto it = other.m_aliases.constBegin(); it != other.m_aliases.constEnd(); ++it)
        m_aliases.insert(it.key(), it.value());
    m_nodes.unite(other.m_nodes);
    m_stamp = nextStamp();
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
    // A loop of pass-through nodes supplies nothing. It is found without a
    // table of the nodes met: a mark is left on a node and moved on after 1,
    // 2, 4, 8, ... further steps; once it lies on the loop and stays longer
    // than the loop has nodes, the walk comes back to it.
    Point current = point;
    const VrnSnBaseNode* mark = nullptr;
    int sinceMark = 0;
    int distance = 1;
    while (current.node && current.node->kind().alias) {
        const VrnSnBaseNode* node = current.node.data();
        if (node == mark)
            return Point();
        if (++sinceMark == distance) {
            mark = node;
            sinceMark = 0;
            distance *= 2;
        }
        // A pass-through node forwards its first input; one without inputs, or
        // whose producer was deleted, forwards nothing.
        const bool forwards = node->inputCount() > 0 && node->inputConnectionAt(0).node;
        current = forwards ? node->inputConnectionAt(0) : Point();
    }
    return current;
}
