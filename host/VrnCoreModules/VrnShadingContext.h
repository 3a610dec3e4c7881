#pragma once

#include "VrnChannel.h"

#include <QHash>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

// The paint channels of a model, per UV tile, and the tile being painted.
class VrnShadingContext : public QObject
{
    Q_OBJECT
public:
    explicit VrnShadingContext(QObject* parent = nullptr);

    int getCurrentUvChannel() const { return m_currentUv; }
    void setCurrentUvChannel(int uvTile) { m_currentUv = uvTile; }

    // Null when the tile has no channel of that name.
    VrnChannel* channel(int uvTile, const QString& name) const;
    // Takes ownership; replaces a channel of the same tile and name.
    void addChannel(VrnChannel* channel);
    // Makes an existing channel reachable under a second name (cache channels
    // are looked up by their cache attribute name).
    bool addChannelAlias(int uvTile, const QString& alias, const QString& channelName);
    // Channel names of a tile, sorted.
    QStringList channelNames(int uvTile) const;
    QList<int> uvTiles() const { return m_channels.keys(); }

private:
    int m_currentUv = 1001;
    // A tile can hold a cache channel for every node: names are found by hash.
    QMap<int, QHash<QString, QPointer<VrnChannel>>> m_channels;
};

// The shading context that generators receive (sparse virtual texturing variant).
class VrnSvtShadingContext : public VrnShadingContext
{
    Q_OBJECT
public:
    explicit VrnSvtShadingContext(QObject* parent = nullptr) : VrnShadingContext(parent) {}
};
