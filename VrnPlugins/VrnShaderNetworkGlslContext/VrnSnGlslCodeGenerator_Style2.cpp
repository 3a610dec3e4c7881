#include "VrnSnGlslCodeGenerator_Style2.h"

#include "VrnReadAhead.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslContextRecordIndex.h"
#include "VrnSnGlslEmission.h"

#include <algorithm>
#include <vector>

using namespace VrnSnGlslEmission;

VrnSnGlslCodeGenerator_Style2::~VrnSnGlslCodeGenerator_Style2() = default;

void VrnSnGlslCodeGenerator_Style2::buildShaderTypeCode(VrnSnGlslContextManager*, VrnSvtShadingContext* shadingContext,
                                                        QString& declarationCode, QString& bodyCode, unsigned shaderType,
                                                        VrnSnGlslNodeAliases* aliases, QList<VrnSnBaseGlslContext*>& contexts)
{
    VrnSnGlslRecordPlaces places;
    VrnSnGlslContextInfoMap infoMap = buildContextInfo(shadingContext, aliases, contexts, places);
    const VrnSnGlslContextRecordIndex records(infoMap, std::move(places));
    QList<VrnSnBaseGlslContext*> topLevel = topLevelContexts(contexts, infoMap);
    emitNodeFunctions(declarationCode, shaderType, aliases, contexts, infoMap);
    emitMainBody(bodyCode, shaderType, aliases, topLevel, infoMap);
}

// A container's nested contexts leave the main body. Contexts listed by an
// entry without nesting are kept: a later container does not take them.
// Removal does not depend on order, so the walk only collects what each
// container removes and the list is filtered once, in time linear in its size.
QList<VrnSnBaseGlslContext*> VrnSnGlslCodeGenerator_Style2::topLevelContexts(const QList<VrnSnBaseGlslContext*>& contexts,
                                                                             const VrnSnGlslContextInfoMap& infoMap) const
{
    QSet<VrnSnBaseGlslContext*> removed;
    QSet<VrnSnBaseGlslContext*> keep;
    for (const VrnSnGlslCodeGeneratorContextInfo& record : infoMap) {
        if (record.hasNestedContexts) {
            for (VrnSnBaseGlslContext* nested : record.nestedContexts)
                if (!keep.contains(nested))
                    removed.insert(nested);
        } else {
            for (VrnSnBaseGlslContext* nested : record.nestedContexts)
                keep.insert(nested);
        }
    }
    return removed.isEmpty() ? contexts : filterConextList_Remove(contexts, removed);
}

void VrnSnGlslCodeGenerator_Style2::prepareContext(VrnSnBaseGlslContext*, unsigned, VrnSnGlslContextInfoMap&) {}

void VrnSnGlslCodeGenerator_Style2::emitNodeFunctions(QString& declarationCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                      QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& infoMap)
{
    // The functions go straight into the declaration text; the forward
    // declarations, kept per calling thread from build to build so that a
    // rebuild writes into the buffer of the last one, go in front of them at
    // the end. The functions are written after room as long as what went in
    // front of them in the thread's last build: a text as long again is
    // written into it instead of moving the functions.
    QString& functions = declarationCode;
    const int functionsStart = declarationCode.size();
    thread_local int room = 0;
    declarationCode.resize(functionsStart + room);
    thread_local QString forward;
    forward.resize(0);
    const bool bakeMode = bakeModeEnabled();
    const VrnReadAhead ahead(contexts);
    for (int place = 0; place < contexts.size(); ++place) {
        ahead.reach(place);
        VrnSnBaseGlslContext* context = contexts.at(place);
        const VrnSnBaseNode* node = context ? context->parentNode() : nullptr;
        if (!node)
            continue;
        prepareContext(context, shaderType, infoMap);
        if (isNonBakeable(node, bakeMode)) {
            emitNonBakeableStub(functions, forward, context, shaderType);
            continue;
        }
        styleBanner(functions, styleNumber(), node);
        functions += nodeDeclarationCode(context);
        // A node that writes no outputs has no function: the main body inlines it.
        if (context->shaderBodyCodeUsesOutputs())
            emitNodeFunction(functions, forward, shaderType, aliases, context, infoMap);
    }
    room = vrnWriteIntoRoom(declarationCode, functionsStart, room, declarationsBeforeFunctions(forward, shaderType));
}

void VrnSnGlslCodeGenerator_Style2::emitNonBakeableStub(QString& functions, QString& forward, VrnSnBaseGlslContext* context,
                                                        unsigned shaderType)
{
    const NonBakeableStub stub = nonBakeableStub(context, shaderType);
    functions += stub.banner;
    if (stub.head.isEmpty())
        return;
    (outputsDeclaredForward() ? forward : functions) += stub.globals;
    forwardDeclaration(forward, stub.head);
    functionOpening(functions, stub.head);
    zeroingFunctionBody(functions, stub.outputs);
}

void VrnSnGlslCodeGenerator_Style2::emitNodeFunction(QString& functions, QString& forward, unsigned shaderType,
                                                     VrnSnGlslNodeAliases* aliases, VrnSnBaseGlslContext* context,
                                                     VrnSnGlslContextInfoMap& infoMap)
{
    const VrnSnBaseNode* node = context->parentNode();
    QString& globals = outputsDeclaredForward() ? forward : functions;
    for (const Point& p : node->outputPoints())
        globalOutput(globals, node, p);
    QString head;
    functionHead(head, node, shaderType);
    forwardDeclaration(forward, head);
    functionOpening(functions, head);
    emitFunctionContent(functions, shaderType, aliases, context, infoMap);
    functions += blockClose();
}

void VrnSnGlslCodeGenerator_Style2::emitFunctionContent(QString& functions, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                        VrnSnBaseGlslContext* context, VrnSnGlslContextInfoMap& infoMap)
{
    const VrnSnGlslCodeGeneratorContextInfo& record = VrnSnGlslContextRecordIndex::recordOf(infoMap, context);
    const StoredOutputs from = storedOutputs(record);
    // Asked for whether or not it is used: a context gets one request per
    // node function, whichever way its outputs are read.
    const QString body = bodyText(context, shaderType, aliases);
    if (from != StoredOutputs::None)
        storedOutputReads(functions, context->parentNode(), from, shaderType);
    else
        emitComputedOutputs(functions, shaderType, aliases, context, body, record, infoMap);
}

// Nested contexts run first, so that the body reads their outputs.
void VrnSnGlslCodeGenerator_Style2::emitComputedOutputs(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                        VrnSnBaseGlslContext* context, const QString& body,
                                                        VrnSnGlslContextInfoMap& infoMap)
{
    emitComputedOutputs(out, shaderType, aliases, context, body, VrnSnGlslContextRecordIndex::recordOf(infoMap, context), infoMap);
}

void VrnSnGlslCodeGenerator_Style2::emitComputedOutputs(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                        VrnSnBaseGlslContext* context, const QString& body,
                                                        const VrnSnGlslCodeGeneratorContextInfo& record, VrnSnGlslContextInfoMap& infoMap)
{
    if (record.hasNestedContexts) {
        // Written where it goes: a container's block holds every node it evaluates.
        QList<VrnSnBaseGlslContext*> nested = record.nestedContexts;
        emitEvaluationBlock(out, shaderType, aliases, nested, infoMap);
    }
    const VrnSnBaseNode* node = context->parentNode();
    const QVector<Point>& outputs = node->outputPoints();
    for (const Point& p : outputs)
        localOutput(out, node, p);
    out += body;
    out += QLatin1Char('\n');
    for (const Point& p : outputs)
        copyOut(out, p);
}

void VrnSnGlslCodeGenerator_Style2::emitMainBody(QString& bodyCode, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                 QList<VrnSnBaseGlslContext*>& topLevel, VrnSnGlslContextInfoMap& infoMap)
{
    emitBlock(bodyCode, shaderType, aliases, topLevel, infoMap, true);
}

void VrnSnGlslCodeGenerator_Style2::emitEvaluationBlock(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                                        QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& infoMap)
{
    emitBlock(out, shaderType, aliases, contexts, infoMap, false);
}

void VrnSnGlslCodeGenerator_Style2::emitBlock(QString& out, unsigned shaderType, VrnSnGlslNodeAliases* aliases,
                                              QList<VrnSnBaseGlslContext*>& contexts, VrnSnGlslContextInfoMap& infoMap, bool mainBody)
{
    out += evaluationBlockOpen();
    const VrnReadAhead ahead(contexts);
    for (int place = 0; place < contexts.size(); ++place) {
        ahead.reach(place);
        VrnSnBaseGlslContext* context = contexts.at(place);
        if (!context || !context->parentNode())
            continue;
        if (context->shaderBodyCodeUsesOutputs())
            evaluationLines(out, context, shaderType, aliases, infoMap, mainBody);
        else
            emitInlinedNode(out, context, shaderType, aliases);
    }
    out += evaluationBlockClose();
}

// A stored node without output points has nothing to read: it is called.
void VrnSnGlslCodeGenerator_Style2::evaluationLines(QString& out, VrnSnBaseGlslContext* context, unsigned, VrnSnGlslNodeAliases*,
                                                    VrnSnGlslContextInfoMap& infoMap, bool)
{
    const VrnSnBaseNode* node = context->parentNode();
    const QString lookups = storedOutputLookups(node, storedOutputs(VrnSnGlslContextRecordIndex::recordOf(infoMap, context)), true);
    if (lookups.isEmpty())
        blockEvaluationCall(out, node);
    else
        out += lookups;
}

void VrnSnGlslCodeGenerator_Style2::emitInlinedNode(QString& out, VrnSnBaseGlslContext* context, unsigned shaderType,
                                                    VrnSnGlslNodeAliases* aliases)
{
    out += inlineBlockOpen();
    out += bodyText(context, shaderType, aliases);
    out += QLatin1Char('\n');
    out += inlineBlockClose();
}

int VrnSnGlslCodeGenerator_Style2::styleNumber() const
{
    return 2;
}

QString VrnSnGlslCodeGenerator_Style2::nodeDeclarationCode(VrnSnBaseGlslContext* context) const
{
    return context->shaderDeclarationCode();
}

bool VrnSnGlslCodeGenerator_Style2::outputsDeclaredForward() const
{
    return false;
}

void VrnSnGlslCodeGenerator_Style2::globalOutput(QString& out, const VrnSnBaseNode*, const Point& point) const
{
    globalOutputDeclaration(out, point);
}

void VrnSnGlslCodeGenerator_Style2::localOutput(QString& out, const VrnSnBaseNode*, const Point& point) const
{
    localOutputDeclaration(out, point.name);
}

VrnSnGlslCodeGenerator_Style2::StoredOutputs
VrnSnGlslCodeGenerator_Style2::storedOutputs(const VrnSnGlslCodeGeneratorContextInfo& record) const
{
    if (record.readsCache)
        return StoredOutputs::Cache;
    if (record.readsBakedChannel)
        return StoredOutputs::BakedChannel;
    return StoredOutputs::None;
}

void VrnSnGlslCodeGenerator_Style2::storedOutputReads(QString& out, const VrnSnBaseNode* node, StoredOutputs from, unsigned)
{
    out += storedOutputLookups(node, from, false);
}

QStringList VrnSnGlslCodeGenerator_Style2::declarationsBeforeFunctions(const QString& forward, unsigned) const
{
    if (forward.isEmpty())
        return {};
    return {forwardDeclarationsHeader(), forward, definitionsHeader()};
}

QString VrnSnGlslCodeGenerator_Style2::storedOutputLookups(const VrnSnBaseNode* node, StoredOutputs from, bool inBlock)
{
    QString lines;
    if (from == StoredOutputs::None)
        return lines;
    for (const Point& p : node->outputPoints()) {
        const QString line = from == StoredOutputs::Cache ? cacheLookup(p) : channelLookup(p);
        lines += inBlock ? blockLine(line) : line;
    }
    return lines;
}

QString VrnSnGlslCodeGenerator_Style2::bodyText(VrnSnBaseGlslContext* context, unsigned shaderType, VrnSnGlslNodeAliases* aliases)
{
    return context->shaderBodyCode(shaderType, aliases, nullptr);
}

QList<unsigned> VrnSnGlslCodeGenerator_Style2::shaderTypesOf(const QMap<unsigned, VrnSnGlslNodeAliases>& aliasesByType,
                                                             const QMap<unsigned, QList<VrnSnBaseGlslContext*>>& contextsByType)
{
    QList<unsigned> shaderTypes = aliasesByType.keys() + contextsByType.keys();
    std::sort(shaderTypes.begin(), shaderTypes.end());
    shaderTypes.erase(std::unique(shaderTypes.begin(), shaderTypes.end()), shaderTypes.end());
    return shaderTypes;
}

namespace {
bool lineBefore(QStringView a, QStringView b)
{
    return a.compare(b) < 0;
}

// Puts lines in QString's order. A thread that builds the same network
// again makes the same lines in the same order: the order that sorted its
// last list is tried first, and one comparison per line confirms it where a
// sort takes about log2(n) per line. An edit that changes the contexts or
// their order (most rewires do) fails the check and sorts. Any order that
// the check passes is a sorted one, whatever lines came in.
void sortLines(std::vector<QStringView>& lines, std::vector<int>& lastOrder)
{
    bool lastOrderSorts = lastOrder.size() == lines.size();
    for (size_t k = 1; k < lastOrder.size() && lastOrderSorts; ++k)
        lastOrderSorts = !lineBefore(lines[size_t(lastOrder[k])], lines[size_t(lastOrder[k - 1])]);
    if (!lastOrderSorts) {
        lastOrder.resize(lines.size());
        for (size_t i = 0; i < lines.size(); ++i)
            lastOrder[i] = int(i);
        std::sort(lastOrder.begin(), lastOrder.end(), [&lines](int a, int b) { return lineBefore(lines[size_t(a)], lines[size_t(b)]); });
    }
    std::vector<QStringView> sorted;
    sorted.reserve(lines.size());
    for (int i : lastOrder)
        sorted.push_back(lines[size_t(i)]);
    lines.swap(sorted);
}

// The distinct lines in QString's order, joined with "\n".
QString sortedDistinctJoined(std::vector<QStringView>& lines, std::vector<int>& lastOrder)
{
    sortLines(lines, lastOrder);
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    qsizetype size = lines.empty() ? 0 : qsizetype(lines.size()) - 1;
    for (QStringView line : lines)
        size += line.size();
    QString joined(int(size), Qt::Uninitialized);
    QChar* w = joined.data();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            *w++ = QLatin1Char('\n');
        w = vrnCopyChars(lines[i].data(), lines[i].size(), w);
    }
    return joined;
}
} // namespace

// Every line counts once, whichever contexts and types declare it; empty
// lines included, so a declaration text ending in "\n" adds one empty line.
// The texts lie one after the other in one buffer and the lines are sorted
// as views into it: no string or tree node per line, and each context's text
// is let go at once, so that the host writes the next into the same buffer.
void VrnSnGlslCodeGenerator_Style2::gatherDeclarationLines(const QList<unsigned>& shaderTypes,
                                                           QMap<unsigned, QList<VrnSnBaseGlslContext*>>& contextsByType,
                                                           QString& samplerCubeLines, QString* otherLines)
{
    QString joined;
    std::vector<std::pair<int, int>> textRanges; // start and size in joined
    for (unsigned type : shaderTypes) {
        const QList<VrnSnBaseGlslContext*>& contexts = contextsByType[type];
        const VrnReadAhead ahead(contexts);
        for (int place = 0; place < contexts.size(); ++place) {
            ahead.reach(place);
            VrnSnBaseGlslContext* context = contexts.at(place);
            if (!context)
                continue;
            // Only the sampler cubes asked for: the host gives the lines that may hold one.
            const QString declarations = otherLines ? context->shaderDeclarationCode() : context->samplerCubeDeclarationLines();
            if (!otherLines && !declarations.contains(QLatin1String("samplerCube")))
                continue;
            textRanges.emplace_back(joined.size(), declarations.size());
            joined += declarations;
        }
    }
    std::vector<QStringView> samplerCubes;
    std::vector<QStringView> others;
    // Nearly every text ends in a line break: its empty last line is sorted once, not once per text.
    bool emptyListed = false;
    for (const std::pair<int, int>& range : textRanges) {
        const QStringView view = QStringView(joined).mid(range.first, range.second);
        for (qsizetype from = 0;;) {
            const qsizetype end = view.indexOf(QLatin1Char('\n'), from);
            const QStringView line = view.mid(from, (end < 0 ? view.size() : end) - from);
            if (line.trimmed().startsWith(QLatin1String("uniform samplerCube")))
                samplerCubes.push_back(line);
            else if (otherLines && (!line.isEmpty() || !emptyListed)) {
                others.push_back(line);
                emptyListed = emptyListed || line.isEmpty();
            }
            if (end < 0)
                break;
            from = end + 1;
        }
    }
    // The orders that sorted this thread's last lists, tried first by the next build.
    thread_local std::vector<int> samplerCubeOrder;
    thread_local std::vector<int> otherOrder;
    samplerCubeLines = sortedDistinctJoined(samplerCubes, samplerCubeOrder);
    if (otherLines)
        *otherLines = sortedDistinctJoined(others, otherOrder);
}
