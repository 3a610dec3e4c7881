#include "VrnShadingContext.h"

VrnShadingContext::VrnShadingContext(QObject* parent) : QObject(parent) {}

VrnChannel* VrnShadingContext::channel(int uvTile, const QString& name) const
{
    const auto tile = m_channels.constFind(uvTile);
    if (tile == m_channels.constEnd())
        return nullptr;
    return tile->value(name).data();
}

void VrnShadingContext::addChannel(VrnChannel* channel)
{
    if (!channel)
        return;
    channel->setParent(this);
    m_channels[channel->uvTile()][channel->name()] = channel;
}

bool VrnShadingContext::addChannelAlias(int uvTile, const QString& alias, const QString& channelName)
{
    VrnChannel* target = channel(uvTile, channelName);
    if (!target)
        return false;
    m_channels[uvTile][alias] = target;
    return true;
}

QStringList VrnShadingContext::channelNames(int uvTile) const
{
    QStringList names = m_channels.value(uvTile).keys();
    names.sort();
    return names;
}
