#pragma once

#include "VrnGroupParameterObject.h"
#include "VrnObjectArena.h"
#include "VrnSerializableObject.h"

#include <QCoreApplication>

class VrnSnBaseNode;

// The per-node object through which a node takes part in code generation.
// It is a child of its node.
class VrnSnBaseContext : public VrnSerializableObject, public VrnGroupParameterObject
{
    Q_OBJECT
public:
    explicit VrnSnBaseContext(QObject* parent);
    ~VrnSnBaseContext() override;
    // Contexts made while a loader fills a network lie one after another (VrnObjectArena).
    static void* operator new(std::size_t size) { return VrnObjectArena::allocate(VrnObjectArena::Contexts, size); }
    static void operator delete(void* context, std::size_t size) { VrnObjectArena::release(context, size); }

    // The node that owns the context; null when the parent is no node.
    VrnSnBaseNode* parentNode() const
    {
        // A build asks many times per context: the answer its node keeps
        // needs neither the parent nor a cast. The node hears its children
        // come and go through Qt's child events, which arrive only while an
        // application object exists; without one the parent is asked.
        return m_madeFor && m_withMaker && QCoreApplication::instance() ? m_madeFor : parentNodeAsked();
    }

protected:
    // The node it was made for, while that node exists.
    VrnSnBaseNode* madeFor() const { return m_madeFor; }

private:
    friend class VrnSnBaseNode;
    VrnSnBaseNode* parentNodeAsked() const;

    // The node it was made for, cleared by the node when the node goes
    // first; and whether it is still the parent, kept by the node's child
    // events.
    VrnSnBaseNode* m_madeFor;
    bool m_withMaker = true;
};
