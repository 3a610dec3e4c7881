#pragma once

#include <QString>

// The host's GLSL shader library: what every generated stage may call.
namespace VrnGlslLibrary {
// The library text for one shader type: the Channel type and the channel
// texture array, the stage's state, system-state and state-stack types,
// texture_lookup2, store_state, derive_state, restore_state and the result
// variable VrnResult. Empty for a type the host does not build.
QString source(unsigned shaderType);
} // namespace VrnGlslLibrary
