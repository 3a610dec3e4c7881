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
    // The node it was made for while it is that node's child, else null.
    VrnSnBaseNode* madeFor() const { return m_madeFor; }

private:
    friend class VrnSnBaseNode;
    // Kept by the node: cleared when the context moves to another parent or
    // the node goes, so that the many calls of a build need no cast.
    VrnSnBaseNode* m_madeFor;
};
