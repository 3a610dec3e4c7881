#pragma once

#include "VrnGroupParameterObject.h"
#include "VrnSerializableObject.h"

class VrnSnBaseNode;

// The per-node object through which a node takes part in code generation.
// It is a child of its node.
class VrnSnBaseContext : public VrnSerializableObject, public VrnGroupParameterObject
{
    Q_OBJECT
public:
    explicit VrnSnBaseContext(QObject* parent);
    ~VrnSnBaseContext() override;

    // The node that owns the context; null when the parent is no node.
    VrnSnBaseNode* parentNode() const;

private:
    // The node it was made for, so that the many calls of a build need no
    // cast; used only while it is still the parent (a node outlives its children).
    VrnSnBaseNode* m_madeFor;
};
