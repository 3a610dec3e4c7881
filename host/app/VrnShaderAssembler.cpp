#include "VrnShaderAssembler.h"

#include "VrnGlslLibrary.h"

#include <algorithm>
#include "VrnAttributeValues.h"
#include "VrnJoinedText.h"
#include "VrnShaderNetwork.h"
#include "VrnShaderNetworkUtils.h"
#include "VrnShaderUniformBlock.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnNodeKind.h"
#include "VrnSurfaceShader.h"

namespace {
// The fragment stage draws a unit sphere seen head-on: the screen position is
// the normal's x and y; the texture position is the planar projection.
// Pixels off the sphere are left to the renderer's background.
const char* const kFragmentMain =
    "in vec2 vrn_ScreenPosition;\n"
    "layout(location = 0) out vec4 vrn_FragColor;\n"
    "void main()\n"
    "{\n"
    "    float vrnRadius2 = dot(vrn_ScreenPosition, vrn_ScreenPosition);\n"
    "    if (vrnRadius2 > 1.0)\n"
    "        discard;\n"
    "    vec3 vrnNormal = vec3(vrn_ScreenPosition, sqrt(1.0 - vrnRadius2));\n"
    "    FragmentState State;\n"
    "    State.position = vrnNormal;\n"
    "    State.normal = vrnNormal;\n"
    "    State.uv = vrn_ScreenPosition * 0.5 + 0.5;\n"
    "    FragmentSystemState _State;\n"
    "    _State.uvTile = %1;\n"
    "    _State.depth = 0;\n"
    "    VrnResult = vec4(0.0, 0.0, 0.0, 1.0);\n"
    "%2"
    "    vrn_FragColor = VrnResult;\n"
    "}\n";

// Tessellation control: the network's result sets the tessellation level.
const char* const kTessControlMain =
    "layout(vertices = 3) out;\n"
    "in vec3 vrn_tcPosition[];\n"
    "in vec3 vrn_tcNormal[];\n"
    "in vec2 vrn_tcUv[];\n"
    "out vec3 vrn_tePosition[];\n"
    "out vec3 vrn_teNormal[];\n"
    "out vec2 vrn_teUv[];\n"
    "void main()\n"
    "{\n"
    "    TessControlState State;\n"
    "    State.position = vrn_tcPosition[gl_InvocationID];\n"
    "    State.normal = vrn_tcNormal[gl_InvocationID];\n"
    "    State.uv = vrn_tcUv[gl_InvocationID];\n"
    "    TessControlSystemState _State;\n"
    "    _State.uvTile = %1;\n"
    "    _State.depth = 0;\n"
    "    VrnResult = vec4(1.0);\n"
    "%2"
    "    vrn_tePosition[gl_InvocationID] = vrn_tcPosition[gl_InvocationID];\n"
    "    vrn_teNormal[gl_InvocationID] = vrn_tcNormal[gl_InvocationID];\n"
    "    vrn_teUv[gl_InvocationID] = vrn_tcUv[gl_InvocationID];\n"
    "    float vrnLevel = clamp(VrnResult.x, 1.0, 64.0);\n"
    "    gl_TessLevelOuter[0] = vrnLevel;\n"
    "    gl_TessLevelOuter[1] = vrnLevel;\n"
    "    gl_TessLevelOuter[2] = vrnLevel;\n"
    "    gl_TessLevelInner[0] = vrnLevel;\n"
    "}\n";

// Tessellation evaluation: the network's result displaces along the normal.
const char* const kTessEvaluationMain =
    "layout(triangles, equal_spacing, ccw) in;\n"
    "in vec3 vrn_tePosition[];\n"
    "in vec3 vrn_teNormal[];\n"
    "in vec2 vrn_teUv[];\n"
    "out vec2 vrn_ScreenPosition;\n"
    "void main()\n"
    "{\n"
    "    vec3 vrnWeights = gl_TessCoord;\n"
    "    TessEvaluationState State;\n"
    "    State.position = vrnWeights.x * vrn_tePosition[0] + vrnWeights.y * vrn_tePosition[1] + vrnWeights.z * vrn_tePosition[2];\n"
    "    State.normal = normalize(vrnWeights.x * vrn_teNormal[0] + vrnWeights.y * vrn_teNormal[1] + vrnWeights.z * vrn_teNormal[2]);\n"
    "    State.uv = vrnWeights.x * vrn_teUv[0] + vrnWeights.y * vrn_teUv[1] + vrnWeights.z * vrn_teUv[2];\n"
    "    TessEvaluationSystemState _State;\n"
    "    _State.uvTile = %1;\n"
    "    _State.depth = 0;\n"
    "    vec3 vrnPosition = State.position;\n"
    "    vec3 vrnNormal = State.normal;\n"
    "    VrnResult = vec4(0.0);\n"
    "%2"
    "    vec3 vrnDisplaced = vrnPosition + vrnNormal * VrnResult.x;\n"
    "    vrn_ScreenPosition = vrnDisplaced.xy;\n"
    "    gl_Position = vec4(vrnDisplaced, 1.0);\n"
    "}\n";

const char* mainTemplate(unsigned shaderType)
{
    switch (shaderType) {
    case VrnShaderType::Fragment: return kFragmentMain;
    case VrnShaderType::TessControl: return kTessControlMain;
    case VrnShaderType::TessEvaluation: return kTessEvaluationMain;
    default: return nullptr;
    }
}
} // namespace

QString VrnShaderAssembler::networkChannelDeclarations(VrnShaderNetwork* network)
{
    if (!network)
        return QString();
    // Every build asks, and at many thousand nodes the walk over every node
    // and its attributes costs more than most steps of a build: the text is
    // kept per thread for the network it was made for, as long as no node,
    // connection or node attribute anywhere changed since.
    struct Made
    {
        const VrnShaderNetwork* network = nullptr;
        quint64 graphStamp = 0;
        QString text;
    };
    static thread_local Made made;
    const quint64 graphStamp = VrnSnBaseNode::graphStamp();
    if (made.network == network && made.graphStamp == graphStamp)
        return made.text;
    const int channelIdType = vrnAttributeMetaTypes().channelId;
    QString text;
    for (VrnSnBaseNode* node : network->nodes()) {
        if (VrnShaderNetworkUtils::asTrueBakePointNode(node))
            text += QStringLiteral("uniform Channel Channel_%1;\n").arg(node->id());
        for (const VrnCustomAttribute& attribute : node->userAttributes())
            if (attribute.value().userType() == channelIdType && attribute.name().startsWith(QLatin1String("Cache_")))
                text += QStringLiteral("uniform Channel %1_%2;\n").arg(attribute.name(), node->id());
    }
    made = Made{network, graphStamp, text};
    return text;
}

QString VrnShaderAssembler::uniformBlockDeclarations(VrnSurfaceShader* surfaceShader, unsigned shaderType)
{
    const char* prefix = VrnSnBaseGlslCodeGenerator::getShaderTypePrefix(shaderType);
    if (!surfaceShader || !prefix)
        return QString();
    const int limit = VrnShaderUniformBlock::kMaximumBytes / VrnShaderUniformBlock::kBytesPerElement;
    QString text;
    for (const QSharedPointer<VrnShaderUniformBlock>& block : surfaceShader->shaderUniformBlocks()) {
        if (!block || !block->name().startsWith(QLatin1String(prefix)))
            continue;
        int sizes[5] = {int(block->intArray(0).size()), int(block->intArray(1).size()), int(block->intArray(2).size()),
                        int(block->floatArray().size()), int(block->vec4Array().size())};
        // Sizes are rounded up so that small changes of the data keep the text;
        // exact sizes when rounding would pass the uniform-buffer limit.
        int rounded = 0;
        for (int& n : sizes)
            rounded += (std::max(n, 1) + 15) / 16 * 16;
        for (int& n : sizes)
            n = rounded <= limit ? (std::max(n, 1) + 15) / 16 * 16 : std::max(n, 1);
        // %1 block name, %2..%6 array sizes.
        text += QStringLiteral("layout(std140) uniform %1\n"
                               "{\n"
                               "    int %1_u_IntUniforms0[%2];\n"
                               "    int %1_u_IntUniforms1[%3];\n"
                               "    int %1_u_IntUniforms2[%4];\n"
                               "    float %1_u_FloatUniforms[%5];\n"
                               "    vec4 %1_u_Vec4Uniforms[%6];\n"
                               "};\n")
                    .arg(block->name())
                    .arg(sizes[0])
                    .arg(sizes[1])
                    .arg(sizes[2])
                    .arg(sizes[3])
                    .arg(sizes[4]);
    }
    return text;
}

QString VrnShaderAssembler::assemble(const StageInput& input, QList<Section>* sections)
{
    QString source;
    assembleInto(input, source, sections);
    return source;
}

namespace {
// Appends to a text and, when asked for, records where each run of lines came from.
struct SectionRecorder
{
    QString& text;
    QList<VrnShaderAssembler::Section>* sections;
    int partStart = 0;
    int nextLine = 1;

    // Each part ends where the next begins; the line count is taken only when asked for.
    void endPart(VrnShaderAssembler::Section::Part part)
    {
        if (!sections)
            return;
        const int lines = int(QStringRef(&text, partStart, text.size() - partStart).count(QLatin1Char('\n')));
        sections->append(VrnShaderAssembler::Section{part, nextLine, lines});
        nextLine += lines;
        partStart = text.size();
    }
};

// The parts around the generator's texts that do not depend on their size.
struct Frame
{
    QString mainBefore;
    QString mainAfter;
    QString library;
    QString channels;
    int size = 0; // of everything but the generator's texts
};

Frame frameOf(const VrnShaderAssembler::StageInput& input, const char* main)
{
    Frame f;
    // The main template holds %1 (the UV tile) and %2 (the body). The body is
    // not passed through QString::arg: it may itself contain "%1", and a
    // large body would be copied once more.
    const QString mainText = QString::fromLatin1(main);
    const int bodyAt = mainText.indexOf(QLatin1String("%2"));
    const QString uvTile = QString::number(input.uvTile);
    f.mainBefore = QString(mainText.left(bodyAt)).replace(QLatin1String("%1"), uvTile);
    f.mainAfter = QString(mainText.mid(bodyAt + 2)).replace(QLatin1String("%1"), uvTile);
    f.library = VrnGlslLibrary::source(input.shaderType);
    f.channels = VrnShaderAssembler::networkChannelDeclarations(input.network);
    f.size = 256 + 32 * input.defines.size() + f.library.size() + f.channels.size() + input.uniformBlockDeclarations.size()
           + mainText.size();
    return f;
}

// From "#version" to the banner of the generated declarations.
void appendPrologue(const VrnShaderAssembler::StageInput& input, const Frame& f, SectionRecorder& out)
{
    using Section = VrnShaderAssembler::Section;
    QString& source = out.text;
    source += QStringLiteral("#version 450 core\n");
    for (const QString& define : input.defines)
        source += QStringLiteral("#define %1\n").arg(define);
    out.endPart(Section::Header);
    source += QStringLiteral("\n// ---- host shader library ----\n");
    source += f.library;
    out.endPart(Section::Library);
    if (!f.channels.isEmpty()) {
        source += QStringLiteral("\n// ---- channels of the network ----\n");
        source += f.channels;
        out.endPart(Section::Channels);
    }
    if (!input.uniformBlockDeclarations.isEmpty()) {
        source += QStringLiteral("\n// ---- uniform blocks ----\n");
        source += input.uniformBlockDeclarations;
        out.endPart(Section::Blocks);
    }
    source += QStringLiteral("\n// ---- generated declarations ----\n");
    out.endPart(Section::Header);
}

// The line break the declarations may lack, then main up to the body text.
void appendMainOpening(const Frame& f, SectionRecorder& out)
{
    using Section = VrnShaderAssembler::Section;
    QString& source = out.text;
    if (!source.endsWith(QLatin1Char('\n')))
        source += QLatin1Char('\n');
    out.endPart(Section::Declarations);
    source += QStringLiteral("\n// ---- main ----\n");
    source += f.mainBefore;
    out.endPart(Section::Main);
}

// A body text that does not end its last line gets the line break.
bool bodyLacksLineBreak(const QString& body)
{
    return !body.isEmpty() && !body.endsWith(QLatin1Char('\n'));
}

void appendEpilogue(const VrnShaderAssembler::StageInput& input, const Frame& f, SectionRecorder& out)
{
    using Section = VrnShaderAssembler::Section;
    appendMainOpening(f, out);
    out.text += input.bodyCode;
    if (bodyLacksLineBreak(input.bodyCode))
        out.text += QLatin1Char('\n');
    out.endPart(Section::Body);
    out.text += f.mainAfter;
    out.endPart(Section::Main);
}
} // namespace

void VrnShaderAssembler::assembleInto(const StageInput& input, QString& source, QList<Section>* sections)
{
    const char* main = mainTemplate(input.shaderType);
    if (!main) {
        source.clear();
        return;
    }
    source.resize(0);
    const Frame f = frameOf(input, main);
    // Written once into a buffer of the final size: the generated texts of a
    // large network run to megabytes.
    source.reserve(f.size + input.declarationCode.size() + input.bodyCode.size());
    SectionRecorder out{source, sections};
    appendPrologue(input, f, out);
    source += input.declarationCode;
    appendEpilogue(input, f, out);
}

int VrnShaderAssembler::assembleInPlace(StageInput& input, int room)
{
    QString& text = input.declarationCode;
    const char* main = mainTemplate(input.shaderType);
    if (!main) {
        text.clear();
        return 0;
    }
    const Frame f = frameOf(input, main);
    QString prologue;
    SectionRecorder before{prologue, nullptr};
    appendPrologue(input, f, before);
    // The declarations stay where the generator wrote them: only a prologue
    // of another length than the last moves them.
    vrnWriteIntoRoom(text, 0, room, {prologue});
    text.reserve(text.size() + f.size + input.bodyCode.size());
    SectionRecorder after{text, nullptr};
    appendEpilogue(input, f, after);
    return prologue.size();
}

QStringList VrnShaderAssembler::assembleTaking(StageInput& input)
{
    const char* main = mainTemplate(input.shaderType);
    if (!main)
        return {};
    const Frame f = frameOf(input, main);
    QString prologue;
    SectionRecorder before{prologue, nullptr};
    appendPrologue(input, f, before);
    // The declaration text becomes the stage's first part: the prologue goes
    // in front of it, main's opening after it.
    QString head = std::move(input.declarationCode);
    input.declarationCode = QString();
    head.reserve(head.size() + f.size);
    head.insert(0, prologue);
    SectionRecorder after{head, nullptr};
    appendMainOpening(f, after);
    const QString closing = bodyLacksLineBreak(input.bodyCode) ? QLatin1Char('\n') + f.mainAfter : f.mainAfter;
    QStringList parts{std::move(head), std::move(input.bodyCode), closing};
    input.bodyCode = QString();
    return parts;
}
