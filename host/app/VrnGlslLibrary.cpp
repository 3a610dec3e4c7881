#include "VrnGlslLibrary.h"

#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnNodeKind.h"

namespace {
// Shared by every stage. A Channel names a layer of the channel texture array;
// a negative layer reads as transparent black, so a missing channel never
// samples another channel's texels.
const char* const kCommon =
    "struct Channel\n"
    "{\n"
    "    ivec3 ChannelValues; // layer in VrnChannelTextures (negative: none), UV tile, 1 when bound\n"
    "};\n"
    "uniform sampler2DArray VrnChannelTextures;\n"
    "vec4 VrnResult;\n";

// %1 state, %2 system state, %3 state stack, %4 the sampling call for the stage.
const char* const kStage =
    "struct %1\n"
    "{\n"
    "    vec3 position;\n"
    "    vec3 normal;\n"
    "    vec2 uv;\n"
    "};\n"
    "struct %2\n"
    "{\n"
    "    int uvTile;\n"
    "    int depth; // nesting of re-evaluations\n"
    "};\n"
    "struct %3\n"
    "{\n"
    "    %1 state;\n"
    "    %2 system;\n"
    "};\n"
    "void store_state(inout %1 State, inout %2 _State, out %3 stack)\n"
    "{\n"
    "    stack.state = State;\n"
    "    stack.system = _State;\n"
    "}\n"
    "void derive_state(inout %1 State, inout %2 _State, vec2 uv)\n"
    "{\n"
    "    State.uv = uv;\n"
    "    _State.depth += 1;\n"
    "}\n"
    "void restore_state(inout %1 State, inout %2 _State, %3 stack)\n"
    "{\n"
    "    State = stack.state;\n"
    "    _State = stack.system;\n"
    "}\n"
    "vec4 texture_lookup2(Channel channel, %1 State, %2 _State)\n"
    "{\n"
    "    if (channel.ChannelValues.x < 0)\n"
    "        return vec4(0.0);\n"
    "    return %4;\n"
    "}\n";
} // namespace

QString VrnGlslLibrary::source(unsigned shaderType)
{
    const char* state = VrnSnBaseGlslCodeGenerator::getShaderTypeStateType(shaderType);
    const char* system = VrnSnBaseGlslCodeGenerator::getShaderTypeSystemStateType(shaderType);
    const char* stack = VrnSnBaseGlslCodeGenerator::getShaderTypeStateStackType(shaderType);
    if (!state || !system || !stack)
        return QString();
    // Only the fragment stage has derivatives for implicit level-of-detail sampling.
    const QString sample = shaderType == VrnShaderType::Fragment
                               ? QStringLiteral("texture(VrnChannelTextures, vec3(State.uv, float(channel.ChannelValues.x)))")
                               : QStringLiteral("textureLod(VrnChannelTextures, vec3(State.uv, float(channel.ChannelValues.x)), 0.0)");
    return QString::fromLatin1(kCommon)
         + QString::fromLatin1(kStage).arg(QString::fromLatin1(state), QString::fromLatin1(system), QString::fromLatin1(stack), sample);
}
