#include "VrnProjectManager.h"

VrnProjectManager& VrnProjectManager::instance()
{
    static VrnProjectManager* manager = new VrnProjectManager;
    return *manager;
}

void VrnProjectManager::setCurrentChannel(VrnChannel* channel)
{
    if (m_currentChannel == channel)
        return;
    m_currentChannel = channel;
    emit currentChannelChanged(channel);
}
