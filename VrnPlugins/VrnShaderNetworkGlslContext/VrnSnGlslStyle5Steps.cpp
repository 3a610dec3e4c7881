#include "VrnSnGlslStyle5Steps.h"

#include "VrnShaderNetworkUtils.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslLog.h"
#include "VrnSnNodeKind.h"
#include "VrnTextIdentity.h"

namespace VrnSnGlslStyle5Steps {

const char* const kMissingHashPrefix = "[ !! ] Assertion 'VersionHashGlslInfoMap.contains(VersionHash)' failed: ";
const char* const kMissingTypePrefix = "[ !! ] Assertion 'VersionHashGlslInfoMap[VersionHash].contains(ShaderType)' failed: ";

namespace {
// The source text for a message; an encrypted node is named by its version hash.
QString sourceForLog(const VrnSnBaseNode* node, const QString& versionHash)
{
    return node->isEncrypted() ? versionHash : node->versionHashSource();
}
} // namespace

QString nodeFunctionBanner()
{
    return QStringLiteral("//--------------------------\n");
}

void logLine(int line, const QString& text)
{
    VrnSnGlslLog::write(VrnSnGlslLog::kStyle5File, line, text);
}

QByteArray local8Bit(const QString& text)
{
    return text.toLocal8Bit();
}

void numberContexts(Info& r)
{
    const int count = r.Contexts.size();
    if (r.ContextFactsByNumber.size() == count)
        return;
    r.ContextNumbers = VrnAddressNumbers(size_t(count));
    r.LastPlaceAsked = Info::PlaceAsked();
    r.ContextsDistinct = true;
    for (int i = 0; i < count; ++i)
        if (!r.ContextNumbers.insert(r.Contexts.at(i), i)) // the first place counts
            r.ContextsDistinct = false;
    r.ContextFactsByNumber = QVector<Info::ContextFacts>(count);
    r.ContextVersionHash = QVector<QString>(count);
    r.ContextVariantKey = QVector<QString>(count);
    r.ParameterIndexByContext = QVector<int>(count, -1);
}

namespace {
template <class T> const T& byNumber(const Info& r, const QVector<T>& table, const VrnSnBaseGlslContext* c, const T& none)
{
    const int place = placeOf(r, c);
    return place >= 0 && place < table.size() ? table.at(place) : none;
}
} // namespace

const QString& versionHashOf(const Info& r, const VrnSnBaseGlslContext* c)
{
    static const QString none;
    return byNumber(r, r.ContextVersionHash, c, none);
}

const QString& variantKeyOf(const Info& r, const VrnSnBaseGlslContext* c)
{
    static const QString none;
    return byNumber(r, r.ContextVariantKey, c, none);
}

int parameterIndexOf(const Info& r, const VrnSnBaseGlslContext* c)
{
    static const int none = -1;
    return byNumber(r, r.ParameterIndexByContext, c, none);
}

Info::ChannelReads contextInfoOf(const Info& r, VrnSnBaseGlslContext* c)
{
    const Info::ContextFacts* facts = factsOf(r, c);
    if (facts && facts->readsKept)
        return facts->reads;
    // A record whose steps run without the driver has only the map.
    const auto found = r.ContextInfoMap.constFind(c);
    if (found == r.ContextInfoMap.constEnd())
        return Info::ChannelReads();
    return Info::ChannelReads{found.value().readsCache, found.value().readsBakedChannel};
}

Point resolvedConnection(const Info& r, const VrnSnBaseNode* node, const QString& inputName)
{
    Point point = node->inputConnection(inputName);
    if (const Point* alias = r.NodeAliases.findAlias(point))
        return *alias;
    // Most producers are no pass-through node: the point itself, not a copy.
    if (!point.node || !point.node->kind().alias)
        return point;
    return VrnSnGlslNodeAliases::resolve(point);
}

const Point* inputSupplier(const Info& r, VrnSnBaseGlslContext* c, const VrnSnBaseNode* node, const QString& input, Point& resolved)
{
    const int index = node->inputNames().indexOf(input);
    if (index < 0)
        return nullptr;
    const Point& connected = node->inputConnectionAt(index);
    if (!connected.node)
        return nullptr; // unconnected, or its producer was deleted
    if (VrnSnGlslNodeAliases::suppliesItself(connected, &r.NodeAliases))
        return &connected;
    if (c->useDefaultInput(input, &r.NodeAliases))
        return nullptr;
    resolved = resolvedConnection(r, node, input);
    return &resolved;
}

bool isCacheNode(const Info& r, VrnSnBaseGlslContext* c, const VrnSnBaseNode* node)
{
    return contextInfoOf(r, c).readsCache && node && node->cacheActive() == kCacheActive;
}

bool isBakeNode(const Info& r, VrnSnBaseGlslContext* c, VrnSnBaseNode* node)
{
    if (!contextInfoOf(r, c).readsBakedChannel)
        return false;
    const VrnSnBakePointNode* bakePoint = VrnShaderNetworkUtils::asTrueBakePointNode(node);
    return bakePoint && bakePoint->shouldUseBakedResult();
}

const VrnSnNodeGlslInfo& checkedInfo(const Info& r, const QString& versionHash, const VrnSnBaseNode* node, int hashLine, int typeLine)
{
    static const VrnSnNodeGlslInfo none;
    const auto found = r.VersionHashGlslInfoMap.constFind(versionHash);
    if (found == r.VersionHashGlslInfoMap.constEnd())
        logLine(hashLine, QString::fromLatin1(kMissingHashPrefix)
                              + QString::asprintf("VersionHashGlslInfoMap does not contain VersionHash : versionHashSource %s",
                                                  local8Bit(sourceForLog(node, versionHash)).constData()));
    const auto forType = found == r.VersionHashGlslInfoMap.constEnd() ? QMap<unsigned, VrnSnNodeGlslInfo>::const_iterator()
                                                                      : found.value().constFind(r.ShaderType);
    if (found == r.VersionHashGlslInfoMap.constEnd() || forType == found.value().constEnd()) {
        logLine(typeLine, QString::fromLatin1(kMissingTypePrefix)
                              + QStringLiteral("VersionHashGlslInfoMap[VersionHash] does not contain ShaderType"));
        return none;
    }
    return forType.value();
}

const VrnSnNodeGlslInfo& checkedInfo(Info& r, VrnSnBaseGlslContext* c, const VrnSnBaseNode* node, int hashLine, int typeLine)
{
    const Info::ContextFacts* facts = factsOf(r, c);
    if (facts && facts->stageInfoKept)
        return facts->stageInfo;
    return checkedInfo(r, versionHashOf(r, c), node, hashLine, typeLine);
}

void keepStageInfos(Info& r)
{
    for (Info::ContextFacts& facts : r.ContextFactsByNumber)
        facts.stageInfoKept = false;
    // Contexts of one kind mostly share the characters of their version
    // hash: the analysis is looked up once per text, not once per context.
    QHash<VrnTextIdentity, const VrnSnNodeGlslInfo*> byText;
    const int numbered = qMin(r.ContextVersionHash.size(), r.ContextFactsByNumber.size());
    for (int number = 0; number < numbered; ++number) {
        Info::ContextFacts& facts = r.ContextFactsByNumber[number];
        if (!facts.versionRecorded)
            continue;
        const QString& versionHash = r.ContextVersionHash.at(number);
        const VrnTextIdentity text = vrnTextIdentity(versionHash);
        auto known = byText.constFind(text);
        if (known == byText.constEnd()) {
            const VrnSnNodeGlslInfo* stageInfo = nullptr;
            const auto byType = r.VersionHashGlslInfoMap.constFind(versionHash);
            if (byType != r.VersionHashGlslInfoMap.constEnd()) {
                const auto info = byType.value().constFind(r.ShaderType);
                if (info != byType.value().constEnd())
                    stageInfo = &info.value();
            }
            known = byText.insert(text, stageInfo);
        }
        // Copies share their lists with the analyses.
        if (known.value()) {
            facts.stageInfo = *known.value();
            facts.stageInfoKept = true;
        }
    }
}

bool mayReevaluate(const Info& r, VrnSnBaseGlslContext* c)
{
    const Info::ContextFacts* facts = factsOf(r, c);
    return !facts || !facts->stageInfoKept || !facts->stageInfo.revalInfo.isEmpty();
}

int outputCount(const Info& r, VrnSnBaseGlslContext* c)
{
    // The analysis kept for the stage is the one the lookup below finds.
    const Info::ContextFacts* facts = factsOf(r, c);
    if (facts && facts->stageInfoKept)
        return facts->stageInfo.outputs.size();
    const auto found = r.VersionHashGlslInfoMap.constFind(versionHashOf(r, c));
    return found == r.VersionHashGlslInfoMap.constEnd() ? 0 : found.value().value(r.ShaderType).outputs.size();
}

void setAt(QVector<int>& list, int index, int value)
{
    if (index >= 0 && index < list.size())
        list[index] = value;
}

Info::StorageIdentity storageIdentity(const Point& point, const Info::ContextEntry& entry)
{
    Info::StorageIdentity identity;
    identity.connectionKey = point.connectionKey;
    identity.revalIndex = entry.reval.index;
    identity.owner = entry.owner;
    return identity;
}

} // namespace VrnSnGlslStyle5Steps
