#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QVariant>

class VrnShaderNetwork;
class VrnSurfaceShader;

namespace VrnUniformReport {
// An attribute value in the JSON form network files use for its type.
QJsonValue toJson(const QVariant& value);

// What a build left for the renderer, in a stable order:
// {"blocks": [...], "uniforms": [{"node", "name", "value"}], "attributes": {...}, "tessellation": text}.
// Uniforms: every parameter (with "declared": false where no GLSL uniform
// carries it) and every cache channel of the network.
QJsonObject build(VrnShaderNetwork* network, VrnSurfaceShader* surfaceShader);
} // namespace VrnUniformReport
