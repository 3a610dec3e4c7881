#include "VrnCustomAttribute.h"

#include "VrnAttributeValues.h"

QString VrnCustomAttribute::toString() const
{
    vrnAttributeMetaTypes();
    return m_value.toString();
}
