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

bool VrnSnBaseContext::isWithMaker(const VrnSnBaseNode* node) const
{
    // The node hears its children come and go through Qt's child events,
    // which arrive only while an application object exists; without one the
    // parent is asked.
    if (!m_madeFor || m_madeFor != node)
        return false;
    return QCoreApplication::instance() ? m_withMaker : parent() == m_madeFor;
}

VrnSnBaseNode* VrnSnBaseContext::parentNodeAsked() const
{
    QObject* owner = parent();
    return owner && owner == m_madeFor ? m_madeFor : qobject_cast<VrnSnBaseNode*>(owner);
}
