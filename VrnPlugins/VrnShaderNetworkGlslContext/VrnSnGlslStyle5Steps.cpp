#include "VrnSnGlslStyle5Steps.h"

#include "VrnShaderNetworkUtils.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslLog.h"
#include "VrnSnNodeKind.h"
#include "VrnTextIdentity.h"

#include <utility>

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

Info::ChannelReads contextInfoOf(const Info& r, VrnSnBaseGlslContext* c)
{
    const auto kept = r.ContextChannelReads.constFind(c);
    if (kept != r.ContextChannelReads.constEnd())
        return kept.value();
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
    const auto kept = r.ContextStageInfo.constFind(c);
    if (kept != r.ContextStageInfo.constEnd())
        return kept.value();
    return checkedInfo(r, r.ContextVersionHash[c], node, hashLine, typeLine);
}

void keepStageInfos(Info& r)
{
    r.ContextStageInfo.clear();
    r.ContextStageInfo.reserve(r.ContextVersionHash.size());
    // Contexts of one kind mostly share the characters of their version
    // hash: the analysis is looked up once per text, not once per context.
    QHash<VrnTextIdentity, const VrnSnNodeGlslInfo*> byText;
    for (auto it = r.ContextVersionHash.constBegin(); it != r.ContextVersionHash.constEnd(); ++it) {
        const QString& versionHash = it.value();
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
        if (known.value())
            r.ContextStageInfo.insert(it.key(), *known.value());
    }
}

bool mayReevaluate(const Info& r, VrnSnBaseGlslContext* c)
{
    const auto kept = r.ContextStageInfo.constFind(c);
    return kept == r.ContextStageInfo.constEnd() || !kept.value().revalInfo.isEmpty();
}

int outputCount(const Info& r, VrnSnBaseGlslContext* c)
{
    const auto found = r.VersionHashGlslInfoMap.constFind(r.ContextVersionHash.value(c));
    return found == r.VersionHashGlslInfoMap.constEnd() ? 0 : found.value().value(r.ShaderType).outputs.size();
}

void setAt(QVector<int>& list, int index, int value)
{
    if (index >= 0 && index < list.size())
        list[index] = value;
}

Info::StorageKey storageKey(Point point, const Info::ContextEntry& entry)
{
    Info::StorageKey key;
    key.node = std::move(point.node);
    key.outputName = std::move(point.name);
    key.connectionKey = point.connectionKey;
    key.owner = entry.owner;
    key.reval = entry.reval;
    return key;
}

} // namespace VrnSnGlslStyle5Steps
