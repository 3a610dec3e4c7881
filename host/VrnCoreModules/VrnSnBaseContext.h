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

protected:
    // The node it was made for, while that node exists.
    VrnSnBaseNode* madeFor() const { return m_madeFor; }

private:
    friend class VrnSnBaseNode;
    // The node it was made for, so that the many calls of a build need no
    // cast; read only while it is still the parent, and cleared by the node
    // when the node goes first.
    VrnSnBaseNode* m_madeFor;
};
