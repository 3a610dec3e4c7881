#pragma once

#include "VrnChannel.h"

#include <QObject>

// The open project: which channel the user is painting.
class VrnProjectManager : public QObject
{
    Q_OBJECT
public:
    static VrnProjectManager& instance();

    VrnChannel* currentChannel() const { return m_currentChannel.data(); }
    // Emits currentChannelChanged when the channel differs from the current one.
    void setCurrentChannel(VrnChannel* channel);

signals:
    void currentChannelChanged(VrnChannel* channel);

private:
    VrnProjectManager() = default;
    QPointer<VrnChannel> m_currentChannel;
};
