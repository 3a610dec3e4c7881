// Style 5, uniform data: the re-evaluation sub-lists that fix the order of
// the instruction list, then the instruction, parameter and wiring lists and
// the float and vec4 data, with the tables that tell the uniform block where
// each attribute goes.

#include "VrnSnGlslCodeGenerator_Style5.h"

#include "VrnAddressNumbers.h"
#include "VrnAttributeValues.h"
#include "VrnReadAhead.h"
#include "VrnShaderNetwork.h"
#include "VrnShaderUniformBlock.h"
#include "VrnShadingContext.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslLog.h"
#include "VrnSnGlslParameterLayout.h"
#include "VrnSnGlslStyle5Steps.h"
#include "VrnTextIdentity.h"

#include <algorithm>
#include <vector>

using namespace VrnSnGlslStyle5Steps;
using namespace VrnSnGlslLog::Style5Line;
namespace ParameterLayout = VrnSnGlslParameterLayout;

namespace {
using CacheAttributes = QHash<VrnSnBaseGlslContext*, QStringList>;

// The contexts that owner depends on, in main-list order (position).
QList<VrnSnBaseGlslContext*> subListMembers(const Info& r, VrnSnBaseGlslContext* owner, const VrnAddressNumbers& position,
                                           VrnSnBaseGlslCodeGenerator& host)
{
    QList<VrnSnBaseNode*> nodes;
    QList<VrnSnBaseGlslContext*> upstream;
    host.topologicalSortUsedContextTo(owner, nodes, upstream, nullptr, r.ShaderType, false);
    // Main-list places, sorted; a context met twice has one place, kept once.
    std::vector<int> places;
    places.reserve(size_t(upstream.size()));
    for (VrnSnBaseGlslContext* x : qAsConst(upstream)) {
        const int at = position.numberOf(x);
        if (at >= 0 && x != owner)
            places.push_back(at);
    }
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end()), places.end());
    QList<VrnSnBaseGlslContext*> ordered;
    ordered.reserve(int(places.size()));
    for (int at : places)
        ordered.append(r.Contexts.at(at));
    return ordered;
}

// The node function that a context's version hash and variant key name, and
// the ints its parameter and wiring blocks take (0 for none).
struct NodeFunctionUse
{
    int index = 0;
    int parameterInts = 0;
    int wiringInts = 0;
};

// Each context's node function use by its place, looked up once the node
// functions are built: the tables are keyed by the version hash and variant
// key joined, and the packing asks per entry.
class NodeFunctionUses
{
public:
    explicit NodeFunctionUses(const Info& r) : m_r(r)
    {
        // The contexts of one kind share their version hash's characters and
        // mostly have the same variant: each pair is joined and looked up once.
        using Kind = QPair<VrnTextIdentity, QString>;
        QHash<Kind, NodeFunctionUse> byKind;
        m_byPlace.reserve(size_t(r.ContextFactsByNumber.size()));
        for (int place = 0; place < r.ContextFactsByNumber.size(); ++place) {
            const QString versionHash = r.ContextVersionHash.value(place);
            const QString variantKey = r.ContextVariantKey.value(place);
            const Kind kind(vrnTextIdentity(versionHash), variantKey);
            auto found = byKind.constFind(kind);
            if (found == byKind.constEnd())
                found = byKind.insert(kind, lookedUp(nodeFunctionKey(versionHash, variantKey)));
            m_byPlace.push_back(found.value());
        }
    }

    NodeFunctionUse of(const VrnSnBaseGlslContext* c) const
    {
        const int place = placeOf(m_r, c);
        return place >= 0 ? m_byPlace[size_t(place)] : lookedUp(QString()); // no place: no version hash either
    }

private:
    NodeFunctionUse lookedUp(const QString& key) const
    {
        return NodeFunctionUse{m_r.NodeFuncIndexByKey.value(key, 0), m_r.NodeFuncParameterCount.value(key, 0),
                               m_r.NodeFuncWiringCount.value(key, 0)};
    }

    const Info& m_r;
    std::vector<NodeFunctionUse> m_byPlace;
};

// Sizes of the parameter blocks. A context has one block, shared by all of
// its entries; a cached node's block holds four ints per live channel.
int sizeParameterBlocks(Info& r, const NodeFunctionUses& uses, CacheAttributes& cacheAttributes)
{
    int parameterInts = 0;
    const VrnReadAhead ahead(r.Contexts);
    for (int i = 0; i < r.Contexts.size(); ++i) {
        ahead.reach(i);
        VrnSnBaseGlslContext* c = r.Contexts.at(i);
        VrnSnBaseNode* node = c ? c->parentNode() : nullptr;
        const int place = placeOf(r, c); // the packing numbered the contexts: every table by place has a slot for it
        int unused = 0;
        int& block = place >= 0 ? r.ParameterIndexByContext[place] : unused;
        const Info::ChannelReads contextInfo = contextInfoOf(r, c);
        if (contextInfo.readsCache && node && node->cacheActive() == kCacheActive) {
            const QStringList attributes = VrnSnGlslCodeGenerator_Style5::cachedChannelAttributes(node);
            cacheAttributes.insert(c, attributes);
            if (!attributes.isEmpty()) {
                block = parameterInts;
                parameterInts += 4 * attributes.size();
            }
        } else if (contextInfo.readsBakedChannel) {
            block = parameterInts;
            parameterInts += 4;
        } else {
            block = parameterInts;
            parameterInts += uses.of(c).parameterInts;
        }
    }
    return parameterInts;
}

// Sizes of the wiring blocks: one per entry.
int sizeWiringBlocks(Info& r, const NodeFunctionUses& uses, const CacheAttributes& cacheAttributes)
{
    int wiringInts = 0;
    r.WiringIndexByEntry = QVector<int>(r.ContextEntries.size(), 0);
    const VrnReadAhead ahead(r.Contexts);
    for (int place = 0; place < r.ContextEntries.size(); ++place) {
        ahead.reach(place);
        const Info::ContextEntry& e = r.ContextEntries.at(place);
        if (e.isSeparator())
            continue;
        VrnSnBaseGlslContext* c = e.context;
        VrnSnBaseNode* node = c->parentNode();
        const Info::ChannelReads contextInfo = contextInfoOf(r, c);
        r.WiringIndexByEntry[place] = wiringInts;
        if (contextInfo.readsCache && node && node->cacheActive() == kCacheActive) {
            // The cache lookup writes one slot per output: the block holds
            // them even when fewer channels are live, so that no block overlaps the next.
            wiringInts += qMax(int(cacheAttributes.value(c).size()), outputCount(r, c));
        } else if (contextInfo.readsBakedChannel) {
            wiringInts += 1;
        } else {
            wiringInts += uses.of(c).wiringInts;
        }
    }
    return wiringInts;
}

// Logs a version hash that was not analysed, or not for the record's stage.
void checkAnalysed(const Info& r, const QString& versionHash)
{
    const auto info = r.VersionHashGlslInfoMap.constFind(versionHash);
    if (info == r.VersionHashGlslInfoMap.constEnd()) {
        if (r.VersionHashEncrypted.contains(versionHash) && !r.VersionHashEncrypted.value(versionHash))
            logLine(kFillMissingHash, QString::fromLatin1(kMissingHashPrefix)
                                          + QString::asprintf("VersionHashGlslInfoMap does not contain VersionHash : versionHashSource %s",
                                                              local8Bit(r.VersionHashSources.value(versionHash)).constData()));
        else
            logLine(kFillMissingEncryptedHash, QString::fromLatin1(kMissingHashPrefix)
                                                   + QString::asprintf("VersionHashGlslInfoMap does not contain encrypted VersionHash : %s",
                                                                       local8Bit(versionHash).constData()));
    }
    if (info == r.VersionHashGlslInfoMap.constEnd() || !info->contains(r.ShaderType))
        logLine(kFillMissingType, QString::fromLatin1(kMissingTypePrefix)
                                      + QStringLiteral("VersionHashGlslInfoMap[VersionHash] does not contain ShaderType"));
}

// The node function of a computed entry, after the checks that its version
// hash was analysed for the record's stage.
int nodeFunctionOf(Info& r, const NodeFunctionUses& uses, VrnSnBaseGlslContext* c)
{
    // A context whose analysis for this stage was kept passes both checks.
    const Info::ContextFacts* facts = factsOf(r, c);
    if (!facts || !facts->stageInfoKept)
        checkAnalysed(r, versionHashOf(r, c));
    return uses.of(c).index;
}

// Three ints per entry: node function, parameter block, wiring block.
void fillInstructions(Info& r, const NodeFunctionUses& uses)
{
    int i = 0;
    // A list's entries follow each other: its start and members are looked
    // up when the list changes, not for every entry.
    const Info::ContextEntry* previous = nullptr;
    QVector<int>* members = nullptr;
    const VrnReadAhead ahead(r.Contexts);
    for (int place = 0; place < r.ContextEntries.size(); ++place) {
        ahead.reach(place);
        const Info::ContextEntry& e = r.ContextEntries.at(place);
        if (e.isSeparator()) {
            r.InstructionList[i] = r.InstructionList[i + 1] = r.InstructionList[i + 2] = kSeparator;
            i += 3;
            continue;
        }
        VrnSnBaseGlslContext* c = e.context;
        const Info::ChannelReads contextInfo = contextInfoOf(r, c);
        const int function = !contextInfo.readsCache && !contextInfo.readsBakedChannel ? nodeFunctionOf(r, uses, c) : 0;
        if (!previous || previous->owner != e.owner || previous->reval != e.reval) {
            const Info::ListKey list(e.owner, e.reval);
            if (!r.InstructionListStarts.contains(list))
                r.InstructionListStarts.insert(list, i);
            members = &r.EntriesByList[list];
        }
        previous = &e;
        r.InstructionList[i] = function;
        r.InstructionList[i + 1] = qMax(parameterIndexOf(r, c), 0);
        r.InstructionList[i + 2] = r.WiringIndexByEntry.value(place, 0);
        members->append(place);
        i += 3;
    }
    r.InstructionList[i] = r.InstructionList[i + 1] = r.InstructionList[i + 2] = kTerminator;
}

// Where one node's attributes go in the uniform block.
struct NodeUniforms
{
    Info& r;
    VrnSnBaseGlslContext* c;
    VrnSnBaseNode* node;
    QString uuid;

    void locate(const QString& name, int index) { r.UniformLocationMap.insert(qMakePair(uuid, name), qMakePair(2, index)); }
    void everyFrame(const QString& name) { r.UniformsToUpdateEveryFrame.insert(c->uniformName(name, node), qMakePair(uuid, name)); }
    void setValue(const QString& name, const QVariant& value) { r.BlockUniforms.insert(qMakePair(uuid, name), value); }
    // The background colour of a channel read by node function 0: int 3 of the block holds its index.
    void background(const QString& name, int block)
    {
        locate(name, r.Vec4Count);
        setAt(r.ParameterList, block + 3, r.Vec4Count);
        ++r.Vec4Count;
    }
};

void packCacheNode(NodeUniforms& u, const QStringList& cacheAttributes, int p)
{
    for (const QString& a : cacheAttributes) {
        u.locate(a, p);
        u.everyFrame(a);
        u.setValue(a, u.node->userAttributeValue(a));
        const QString background = QStringLiteral("%1_cachedBackground").arg(a);
        u.background(background, p);
        u.setValue(background, QVariant::fromValue(VrnColor()));
        p += 4;
    }
}

void packBakeNode(NodeUniforms& u, int p)
{
    if (!u.node->network() || !u.node->network()->shadingContext()) {
        VrnSnGlslLog::noShadingContext(VrnSnGlslLog::kStyle5File, kBakeWithoutShadingContext, u.node);
        return;
    }
    const QString channel = QStringLiteral("Channel");
    const QString background = QStringLiteral("limitBakeBackground");
    u.locate(channel, p);
    u.everyFrame(channel);
    u.setValue(channel, u.node->userAttributeValue(channel));
    u.background(background, p);
    u.everyFrame(background);
    u.setValue(background, u.node->userAttributeValue(background));
}

// Ints that hold values (channel ids, ints, enums, lists) keep -9999 here:
// the uniform block writes them from BlockUniforms through the location
// map. Float and vec4 parameters hold their index.
void packParameters(NodeUniforms& u, int p)
{
    Info& r = u.r;
    const VrnSnNodeGlslInfo& info = checkedInfo(r, u.c, u.node, kParameterMissingHash, kParameterMissingType);
    for (const auto& parameter : info.parameters) {
        const QString& name = parameter.first;
        u.setValue(name, u.node->userAttributeValue(name));
        const ParameterLayout::Layout& layout = ParameterLayout::layoutOf(ParameterLayout::kindOf(name, parameter.second.value()));
        if (layout.style5Array == ParameterLayout::Array::Int) {
            u.locate(name, p);
        } else if (layout.style5Array != ParameterLayout::Array::None) {
            int& count = layout.style5Array == ParameterLayout::Array::Float ? r.FloatCount : r.Vec4Count;
            u.locate(name, count);
            setAt(r.ParameterList, p, count);
            count += layout.elements;
        }
        if (layout.style5EveryFrame)
            u.everyFrame(name);
        p += layout.parameterInts;
    }
}

void fillParameters(Info& r, const CacheAttributes& cacheAttributes)
{
    r.FloatCount = 0;
    r.Vec4Count = 0;
    const VrnReadAhead ahead(r.Contexts);
    for (int i = 0; i < r.Contexts.size(); ++i) {
        ahead.reach(i);
        VrnSnBaseGlslContext* c = r.Contexts.at(i);
        VrnSnBaseNode* node = c ? c->parentNode() : nullptr;
        if (!node)
            continue;
        NodeUniforms uniforms{r, c, node, node->uuidString()};
        // Each block starts where it was counted, whatever the one before wrote.
        const int block = qMax(parameterIndexOf(r, c), 0);
        if (isCacheNode(r, c, node))
            packCacheNode(uniforms, cacheAttributes.value(c), block);
        else if (isBakeNode(r, c, node))
            packBakeNode(uniforms, block);
        else
            packParameters(uniforms, block);
    }
}
} // namespace

void VrnSnGlslCodeGenerator_Style5::buildRevalSubLists(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    // Positions in the main list, so that a sub-list is put in main-list
    // order without walking the whole main list for each one.
    VrnAddressNumbers position(size_t(r.Contexts.size()));
    for (int i = 0; i < r.Contexts.size(); ++i)
        position.insert(r.Contexts.at(i), i); // the first place counts
    // Sub-lists grow with the square of a chain of re-evaluating nodes. Once
    // the instructions alone pass what a uniform block can hold, the build is
    // reported as too complex anyway: more entries would only cost memory.
    const int maximumEntries = VrnShaderUniformBlock::kMaximumBytes / VrnShaderUniformBlock::kBytesPerElement / 3;
    VrnSnBaseGlslCodeGenerator host;
    const VrnReadAhead ahead(r.Contexts);
    for (int i = 0; i < r.Contexts.size(); ++i) {
        ahead.reach(i);
        VrnSnBaseGlslContext* c = r.Contexts.at(i);
        if (r.ContextEntries.size() > maximumEntries)
            return;
        if (!c || !mayReevaluate(r, c))
            continue;
        const auto reval = r.RevalInfoMap.constFind(versionHashOf(r, c));
        VrnSnBaseNode* node = c->parentNode();
        if (reval == r.RevalInfoMap.constEnd() || !node)
            continue;
        const QList<ShaderTypeInfo::RevalEntry> entries = reval.value();
        for (const ShaderTypeInfo::RevalEntry& entry : entries) {
            if (resolvedConnection(r, node, entry.inputName).node.isNull())
                continue;
            r.ContextEntries.append(ShaderTypeInfo::ContextEntry{nullptr, nullptr, ShaderTypeInfo::RevalEntry()});
            const QList<VrnSnBaseGlslContext*> members = subListMembers(r, c, position, host);
            for (VrnSnBaseGlslContext* member : members) {
                if (r.ContextEntries.size() > maximumEntries)
                    return;
                r.RevalVersionHashes.insert(versionHashOf(r, member));
                r.ContextEntries.append(ShaderTypeInfo::ContextEntry{member, c, entry});
            }
        }
    }
}

QStringList VrnSnGlslCodeGenerator_Style5::cachedChannelAttributes(const VrnSnBaseNode* node)
{
    QStringList names;
    if (!node || !node->network() || node->cacheActive() != kCacheActive)
        return names;
    const VrnShadingContext* sc = node->network()->shadingContext();
    if (!sc)
        return names;
    for (const VrnCustomAttribute& attribute : node->userAttributes()) {
        const QVariant& value = attribute.value();
        if (value.userType() != vrnAttributeMetaTypes().channelId) // nothing converts to a channel id
            continue;
        const VrnChannelId id = value.value<VrnChannelId>();
        if (!id.channelName().isEmpty() && !id.isCurrentChannel() && sc->channel(sc->getCurrentUvChannel(), id.channelName()))
            names.append(attribute.name());
    }
    return names;
}

void VrnSnGlslCodeGenerator_Style5::packUniformData(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    CacheAttributes cacheAttributes;
    numberContexts(r); // a record whose steps run without the driver is numbered here
    const NodeFunctionUses uses(r);
    const int instructionInts = 3 * r.ContextEntries.size() + 3;
    const int parameterInts = sizeParameterBlocks(r, uses, cacheAttributes);
    const int wiringInts = sizeWiringBlocks(r, uses, cacheAttributes);
    r.InstructionList = QVector<int>(instructionInts, kUnwritten);
    r.ParameterList = QVector<int>(parameterInts, kUnwritten);
    r.WiringList = QVector<int>(wiringInts, kUnwritten);
    logLine(kInstructionBlock, QString::asprintf("1st block - Func call list occupies %d ints", instructionInts));
    logLine(kParameterBlock, QString::asprintf("2nd block - Parameter list occupies %d ints", parameterInts));
    logLine(kWiringBlock, QString::asprintf("3rd block - input output wiring occupies %d ints", wiringInts));

    fillInstructions(r, uses);
    // A value and a location for each parameter, and a parameter takes one
    // int or more: sized once rather than grown.
    r.BlockUniforms.reserve(parameterInts);
    r.UniformLocationMap.reserve(parameterInts);
    fillParameters(r, cacheAttributes);

    // Wiring, entry by entry; sub-lists are wired from inside their owner.
    r.StorageSlotCount = 0;
    if (r.WiredEntries.size() < r.ContextEntries.size())
        r.WiredEntries.resize(r.ContextEntries.size());
    const VrnReadAhead ahead(r.Contexts);
    for (int place = 0; place < r.ContextEntries.size(); ++place) {
        ahead.reach(place);
        // Each block starts where its instruction says, whatever the one before wrote.
        int cursor = r.WiringIndexByEntry.value(place, 0);
        wireEntryAt(r, place, cursor);
    }
}
