#pragma once

#include <QString>

class VrnShaderNetwork;

// Looks inside a network the way a node editor's preview does: a temporary
// terminal node reads one output of a node and becomes the root, so that a
// build shows that output as the result. The file the network came from is
// not touched.
class VrnNodePreview
{
public:
    // target is "ID" (the node's first output) or "ID.OUTPUT". False with the
    // reason when the network has no such node or output.
    static bool attach(VrnShaderNetwork* network, const QString& target, QString& error);
};
