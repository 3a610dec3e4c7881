#pragma once

#include "VrnSnBaseNode.h"

#include <QList>
#include <QString>

class VrnSnBaseGlslContext;

// The per-node GLSL vocabulary that the per-node-function generators share:
// names, banners, heads and the lines that move values between nodes. What
// is written once per node or output is appended to the text it goes into,
// without a string of its own.
namespace VrnSnGlslEmission {
using Point = VrnSnBaseNode::ConnectionPoint;

// The state of the host's cacheActive() in which a node's cache paths are taken.
const int kCacheActive = 2;

// The global vec4 that holds a node output: node id followed by the point name;
// empty when the point's node is gone.
QString outputVariableName(const Point& point);
// The same as parts, for a template to join where it writes them.
VrnJoinedText outputVariableText(const Point& point);
// "Cache_" + node hash + point name: the attribute and channel of an output's cache.
QString cacheAttributeName(const VrnSnBaseNode* node, const QString& pointName);
// The stage's prefix followed by "ShaderUniformBlock" (Styles 5 and 6).
QString uniformBlockName(unsigned shaderType);

QString bannerLine();
// "\n", a banner line, the title and a banner line: the title of every
// per-node style, "//--- Style <style> Node '<path>' ---\n", or that of a
// node left out of a bake.
void styleBanner(QString& out, int style, const VrnSnBaseNode* node);
void nonBakeableBanner(QString& out, const VrnSnBaseNode* node);
void globalOutputDeclaration(QString& out, const Point& point);
void functionHead(QString& out, const VrnSnBaseNode* node, unsigned shaderType);
QString blockOpen();
QString blockClose();
void localOutputDeclaration(QString& out, const QString& pointName);
void copyOut(QString& out, const Point& point);
void zeroOutput(QString& out, const Point& point);
// What follows the opening of a function that only zeroes the outputs: one
// zeroOutput line per output, then the closing brace.
void zeroingFunctionBody(QString& out, const QVector<Point>& outputs);

// A node left out of a bake: its banner and, for a node that writes outputs,
// the globals of its outputs and the head of its function, which only zeroes
// them (zeroingFunction); head is empty for a node that writes no outputs.
struct NonBakeableStub
{
    QString banner;
    QString globals;
    QString head;
    QVector<Point> outputs;
};
NonBakeableStub nonBakeableStub(VrnSnBaseGlslContext* context, unsigned shaderType);
QString cacheLookup(const Point& upstreamPoint);
void evaluationCall(QString& out, const VrnSnBaseNode* upstream);
// The rest serves the styles that forward-declare their node functions and
// call them from the main body (Styles 2, 3, 4 and 6).
// A function head (functionHead) followed by ";\n".
void forwardDeclaration(QString& out, const QString& head);
// A function head (functionHead), a line break and "{\n" on a line of its own.
void functionOpening(QString& out, const QString& head);
// A node's baked result read from its own Channel uniform.
QString channelLookup(const Point& point);
// "//=====================\n// <title>\n//=====================\n".
QString headerBlock(const QString& title);
QString forwardDeclarationsHeader();
QString definitionsHeader();
// Where Styles 4 and 6 put the uniforms that they declare themselves.
QString uniformsHeader();
// The header of the declarations of the styles that read their parameters
// from a uniform block (Styles 5 and 6).
QString styleDeclarationHeader(int style);
// The braced block of the main body that brings node outputs in, and the
// braces around a node's code inlined into it.
QString evaluationBlockOpen();
QString evaluationBlockClose();
QString inlineBlockOpen();
QString inlineBlockClose();
// A function line moved one level deeper, into the evaluation block.
QString blockLine(const QString& functionLine);
// The same for a node's evaluation call.
void blockEvaluationCall(QString& out, const VrnSnBaseNode* upstream);

// True when the host builds with the shader define "NODE_BAKE".
bool bakeModeEnabled();
bool isNonBakeable(const VrnSnBaseNode* node, bool bakeMode);
} // namespace VrnSnGlslEmission
