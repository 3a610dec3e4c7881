#pragma once

#include <QString>

// The built-in node kinds as text for a reader: one block per kind, in name
// order, with its stage, inputs (and their defaults), outputs and parameters
// (type and default in the JSON form of network files).
class VrnKindListing
{
public:
    static QString builtinKinds();
};
