#include "VrnSnGlslEmission.h"

#include "VrnChainedArg.h"
#include "VrnShaderManager.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnTemplatePieces.h"
#include "VrnThreadLocal.h"

#include <QVector>

#include <array>

namespace VrnSnGlslEmission {

QString outputVariableName(const Point& point)
{
    return outputVariableText(point).toString();
}

VrnJoinedText outputVariableText(const Point& point)
{
    return point.node ? point.node->outputVariableText(point.name) : VrnJoinedText();
}

QString cacheAttributeName(const VrnSnBaseNode* node, const QString& pointName)
{
    return QStringLiteral("Cache_") + node->hash() + pointName;
}

QString uniformBlockName(unsigned shaderType)
{
    return QString::fromLatin1(VrnSnBaseGlslCodeGenerator::getShaderTypePrefix(shaderType)) + QStringLiteral("ShaderUniformBlock");
}

QString bannerLine()
{
    return QStringLiteral("//=====================\n");
}

namespace {
// before, the parts of middle, then after, with one growth of out, or into
// one text made to measure where out is a text of its own yet to be written.
void appendAround(QString& out, const QString& before, const VrnJoinedText& middle, const QString& after)
{
    const int start = out.size();
    out.resize(start + before.size() + middle.size() + after.size());
    QChar* w = vrnCopyChars(before.constData(), before.size(), out.data() + start);
    w = middle.copyTo(w);
    vrnCopyChars(after.constData(), after.size(), w);
}

// Piece by piece: a sum would reserve exactly its own length in the growing
// text and so copy the text on every append of a first build.
void bannerBlock(QString& out, const VrnChainedArg& title)
{
    out += QLatin1Char('\n');
    out += bannerLine();
    title.appendTo(out);
    out += bannerLine();
}

const int kStyles = 6;

QString styleBannerTitleTemplate()
{
    return QStringLiteral("//--- Style %1 Node '%2' ---\n");
}

// A text of a template, filled with the mark where a node's own text goes
// and cut there: what stands around that text, the same for every node.
// The mark is a noncharacter, which no template holds.
const QChar kMark(0xFFFF);

struct TextAround
{
    QString before;
    QString after;
};

TextAround cutAtMark(const QString& filled)
{
    const int at = filled.indexOf(kMark);
    return TextAround{filled.left(at), filled.mid(at + 1)};
}

// A style's banner block, its title filled with the style's number and then
// the mark for the path: the path, filled last, goes in as it is.
const TextAround& styleBannerAround(int style)
{
    static const std::array<TextAround, kStyles> around = [] {
        std::array<TextAround, kStyles> made;
        for (int s = 1; s <= kStyles; ++s) {
            QString block;
            bannerBlock(block, VrnChainedArg(styleBannerTitleTemplate()).arg(s).arg(QString(kMark)));
            made[s - 1] = cutAtMark(block);
        }
        return made;
    }();
    return around[style - 1];
}
} // namespace

// Written once per node, and twice in Style 3: the text around the path is
// the style's own, made once.
void styleBanner(QString& out, int style, const VrnSnBaseNode* node)
{
    const VrnJoinedText path = node->pathText();
    if (style < 1 || style > kStyles) {
        bannerBlock(out, VrnChainedArg(styleBannerTitleTemplate()).arg(style).arg(path));
        return;
    }
    const TextAround& around = styleBannerAround(style);
    appendAround(out, around.before, path, around.after);
}

void nonBakeableBanner(QString& out, const VrnSnBaseNode* node)
{
    bannerBlock(out, VrnChainedArg(QStringLiteral("//--- Non-Bakeable Node '%1' ---\n")).arg(node->pathText()));
}

// The lines written per node or output below are templates made into pieces
// once, and filled as the chain fills them.
void globalOutputDeclaration(QString& out, const Point& point)
{
    static const VrnTemplatePieces line(QStringLiteral("vec4 %1; // Output '%2' \n"), 2);
    line.appendTo(out, {outputVariableText(point), VrnJoinedText(point.name)});
}

namespace {
void fillFunctionHead(QString& out, const QString& id, unsigned shaderType)
{
    const QLatin1String stateType(VrnSnBaseGlslCodeGenerator::getShaderTypeStateType(shaderType));
    const QLatin1String systemStateType(VrnSnBaseGlslCodeGenerator::getShaderTypeSystemStateType(shaderType));
    VrnChainedArg(QStringLiteral("void %1func(inout %2 State, inout %3 _State)")).arg(id).arg(stateType).arg(systemStateType).appendTo(out);
}

// The head of the last shader type the thread wrote, around the node's id.
struct FunctionHeadAround
{
    bool made = false;
    unsigned shaderType = 0;
    TextAround text;
};
} // namespace

// Written once per node, and read again for the forward declaration.
void functionHead(QString& out, const VrnSnBaseNode* node, unsigned shaderType)
{
    const QString& id = node->id();
    // An id with a '%' would be read again by the fills after it.
    if (id.contains(QLatin1Char('%'))) {
        fillFunctionHead(out, id, shaderType);
        return;
    }
    FunctionHeadAround& head = vrnThreadInstance<FunctionHeadAround>();
    if (!head.made || head.shaderType != shaderType) {
        QString filled;
        fillFunctionHead(filled, QString(kMark), shaderType);
        head = FunctionHeadAround{true, shaderType, cutAtMark(filled)};
    }
    const TextAround& around = head.text;
    appendAround(out, around.before, VrnJoinedText(id), around.after);
}

QString blockOpen()
{
    return QStringLiteral("{\n");
}

QString blockClose()
{
    return QStringLiteral("}\n");
}

void localOutputDeclaration(QString& out, const QString& pointName)
{
    static const VrnTemplatePieces line(QStringLiteral("    vec4 %1; // Output '%1' \n"), 1);
    line.appendTo(out, {VrnJoinedText(pointName)});
}

void copyOut(QString& out, const Point& point)
{
    static const VrnTemplatePieces line(QStringLiteral("    %1 = %2;\n"), 2);
    line.appendTo(out, {outputVariableText(point), VrnJoinedText(point.name)});
}

void zeroOutput(QString& out, const Point& point)
{
    VrnChainedArg(QStringLiteral("    %1 = vec4(0,0,0,0);\n")).arg(outputVariableText(point)).appendTo(out);
}

void zeroingFunctionBody(QString& out, const QVector<Point>& outputs)
{
    for (const Point& p : outputs)
        zeroOutput(out, p);
    out += blockClose();
}

NonBakeableStub nonBakeableStub(VrnSnBaseGlslContext* context, unsigned shaderType)
{
    const VrnSnBaseNode* node = context->parentNode();
    NonBakeableStub stub;
    nonBakeableBanner(stub.banner, node);
    if (!context->shaderBodyCodeUsesOutputs())
        return stub;
    stub.outputs = node->outputPoints();
    for (const Point& p : qAsConst(stub.outputs))
        globalOutputDeclaration(stub.globals, p);
    functionHead(stub.head, node, shaderType);
    return stub;
}

QString cacheLookup(const Point& upstreamPoint)
{
    const VrnSnBaseNode* upstream = upstreamPoint.node.data();
    return VrnChainedArg(QStringLiteral("    %1 = texture_lookup2(%2_%3,State,_State);\n"))
        .arg(outputVariableText(upstreamPoint))
        .arg(cacheAttributeName(upstream, upstreamPoint.name))
        .arg(upstream->id());
}

void evaluationCall(QString& out, const VrnSnBaseNode* upstream)
{
    static const VrnTemplatePieces line(QStringLiteral("    %1func(State,_State); // Evaluating Node '%2'\n"), 2);
    line.appendTo(out, {VrnJoinedText(upstream->id()), upstream->pathText()});
}

void forwardDeclaration(QString& out, const QString& head)
{
    out += head;
    out += QStringLiteral(";\n");
}

void functionOpening(QString& out, const QString& head)
{
    out += head;
    out += QLatin1Char('\n');
    out += blockOpen();
}

QString channelLookup(const Point& point)
{
    return VrnChainedArg(QStringLiteral("    %1 = texture_lookup2(Channel_%2,State,_State);\n")).arg(outputVariableText(point)).arg(point.node->id());
}

QString headerBlock(const QString& title)
{
    return bannerLine() + QStringLiteral("// ") + title + QStringLiteral("\n") + bannerLine();
}

QString forwardDeclarationsHeader()
{
    return headerBlock(QStringLiteral("Forward Declaration of functions")) + QStringLiteral("\n");
}

QString definitionsHeader()
{
    return QStringLiteral("\n") + headerBlock(QStringLiteral("Declaration of functions"));
}

QString uniformsHeader()
{
    return QStringLiteral("\n") + headerBlock(QStringLiteral("Declaration of uniforms"));
}

QString styleDeclarationHeader(int style)
{
    return QStringLiteral("//============================\n//-- Style %1 Declaration --\n//============================\n\n"
                          "#define DECLARE_UNIFORMS_ON_MAIN_TRAIL\n")
        .arg(style);
}

QString evaluationBlockOpen()
{
    return QStringLiteral("    {\n");
}

QString evaluationBlockClose()
{
    return QStringLiteral("    }\n");
}

QString inlineBlockOpen()
{
    return QStringLiteral("        {\n");
}

QString inlineBlockClose()
{
    return QStringLiteral("        }\n");
}

namespace {
// What moves a function line one level deeper, into the evaluation block.
QString blockIndent()
{
    return QStringLiteral("    ");
}
} // namespace

QString blockLine(const QString& functionLine)
{
    return blockIndent() + functionLine;
}

void blockEvaluationCall(QString& out, const VrnSnBaseNode* upstream)
{
    out += blockIndent();
    evaluationCall(out, upstream);
}

bool bakeModeEnabled()
{
    return VrnShaderManager::instance().shaderDefines().contains(QStringLiteral("NODE_BAKE"));
}

bool isNonBakeable(const VrnSnBaseNode* node, bool bakeMode)
{
    return bakeMode && node->hasTag(QStringLiteral("_notbakeable"));
}

} // namespace VrnSnGlslEmission
