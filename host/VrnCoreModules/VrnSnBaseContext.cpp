#include "VrnSnBaseContext.h"

#include "VrnSnBaseNode.h"

VrnSnBaseContext::VrnSnBaseContext(QObject* parent) : VrnSerializableObject(parent), m_madeFor(qobject_cast<VrnSnBaseNode*>(parent)) {}

VrnSnBaseContext::~VrnSnBaseContext() = default;

VrnSnBaseNode* VrnSnBaseContext::parentNode() const
{
    QObject* owner = parent();
    return owner && owner == m_madeFor ? m_madeFor : qobject_cast<VrnSnBaseNode*>(owner);
}
