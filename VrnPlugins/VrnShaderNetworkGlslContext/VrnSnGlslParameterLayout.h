#pragma once

#include <QString>
#include <QVariant>

// Where a node parameter's value goes in a uniform block, by its type: the
// one table that Style 5's declarations and packing and Style 6's packing
// read, so that the slot counts the node functions assume are the ones the
// packing writes.
namespace VrnSnGlslParameterLayout {

// What a parameter is, for the uniform data: its value type, refined by the
// name ("Channel") or by the value itself where that changes the layout.
enum class Kind {
    Bool,
    Int,
    Float,          // float or double
    ChannelName,    // a string or string list named "Channel"
    OtherString,
    StringListEntry,
    Vector2,
    Vector3,
    Vector4,        // Vector4f or VrnColor
    BlendMode,      // an enum that picks a blend mode
    CompiledEnum,   // any other enum: its text is compiled into the node's variant
    FileList,
    ImageList,
    AtlasGradient,
    SamplerGradient,
    ChannelId,
    Point,          // a locator list of GLSL type vec3
    Matrix,         // a locator list of GLSL type mat4x4
    OtherLocators,  // a locator list of any other GLSL type
    Unknown,
};

enum class Array { None, Int, Float, Vec4 };

struct Layout
{
    // Style 5, in the node function: the declaration, with %1 the
    // parameter's number and %2 onwards its parameter-list slots, one a slot.
    const char* declaration;
    // Style 5: ints the parameter takes in the parameter list.
    int parameterInts;
    // Style 5: Int, the value is in the parameter-list ints themselves;
    // Float and Vec4, the one parameter-list int holds the index of the
    // first of the elements the value takes in that array.
    Array style5Array;
    int elements;
    bool style5EveryFrame;
    // Style 6: slots reserved at the end of one array; ints or floats hold
    // the value when holdsValue, else -1 until the host fills them.
    Array style6Array;
    int style6Slots;
    bool holdsValue;
    bool style6EveryFrame;
};

Kind kindOf(const QString& name, const QVariant& value);
const Layout& layoutOf(Kind kind);

// The Style 5 declaration of a parameter numbered parameter whose slots
// start at slot.
QString style5Declaration(Kind kind, int parameter, int slot);

} // namespace VrnSnGlslParameterLayout
