#include "VrnSnBaseContext.h"

#include "VrnSnBaseNode.h"

VrnSnBaseContext::VrnSnBaseContext(QObject* parent) : VrnSerializableObject(parent) {}

VrnSnBaseContext::~VrnSnBaseContext() = default;

VrnSnBaseNode* VrnSnBaseContext::parentNode() const
{
    return qobject_cast<VrnSnBaseNode*>(parent());
}
