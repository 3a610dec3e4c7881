#include "VrnSnBaseContext.h"

#include "VrnSnBaseNode.h"

VrnSnBaseContext::VrnSnBaseContext(QObject* parent) : VrnSerializableObject(parent), m_madeFor(qobject_cast<VrnSnBaseNode*>(parent))
{
    if (m_madeFor)
        m_madeFor->m_madeContexts.append(this);
}

VrnSnBaseContext::~VrnSnBaseContext()
{
    if (m_madeFor)
        m_madeFor->forgetContext(this);
}

VrnSnBaseNode* VrnSnBaseContext::parentNodeAsked() const
{
    QObject* owner = parent();
    return owner && owner == m_madeFor ? m_madeFor : qobject_cast<VrnSnBaseNode*>(owner);
}
