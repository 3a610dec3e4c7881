#include "VrnSnBaseContext.h"

#include "VrnSnBaseNode.h"

VrnSnBaseContext::VrnSnBaseContext(QObject* parent) : VrnSerializableObject(parent), m_madeFor(qobject_cast<VrnSnBaseNode*>(parent))
{
    if (m_madeFor)
        m_madeFor->m_madeContexts.append(this);
}

VrnSnBaseContext::~VrnSnBaseContext()
{
    // Before QObject takes the context out of the node's children, so that
    // the node does not take its removal for a move.
    if (m_madeFor)
        m_madeFor->forgetContext(this);
}

VrnSnBaseNode* VrnSnBaseContext::parentNode() const
{
    return m_madeFor ? m_madeFor : qobject_cast<VrnSnBaseNode*>(parent());
}
