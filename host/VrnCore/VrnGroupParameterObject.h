#pragma once

// Marks an object whose attributes are shown grouped in the property editor.
// This host has no editor; the class only completes the context's bases.
class VrnGroupParameterObject
{
public:
    virtual ~VrnGroupParameterObject() = default;
};
