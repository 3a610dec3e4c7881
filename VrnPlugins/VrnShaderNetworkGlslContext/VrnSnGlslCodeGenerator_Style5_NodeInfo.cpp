// Style 5, node information: what each context's node tells the later steps
// (version hash, variant key, analysis, source text, re-evaluated inputs).

#include "VrnSnGlslCodeGenerator_Style5.h"

#include "VrnAttributeValues.h"
#include "VrnReadAhead.h"
#include "VrnShaderNetworkManager.h"
#include "VrnShaderNetworkUtils.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslContextManager.h"
#include "VrnSnGlslStyle5Steps.h"
#include "VrnSnNodeKind.h"
#include "VrnTextIdentity.h"

#include <QVarLengthArray>

#include <algorithm>

using namespace VrnSnGlslStyle5Steps;

namespace {
// Nothing converts to the attribute value types, so a value is one of them
// exactly when it holds one: compared by type id, without the conversion
// registry's lock that QVariant::canConvert takes for every other type.
bool isEnumVariant(const QVariant& value)
{
    return value.userType() == vrnAttributeMetaTypes().userEnum && !VrnShaderNetworkUtils::isBlendModeVariant(value);
}

// What the network manager knows of each version uuid met in one gathering:
// whether it exists and its path key. The nodes of a kind share their uuid's
// characters, so the manager is asked once per kind.
class PathKeys
{
public:
    // Null when the manager does not know the uuid.
    const QString* of(const QString& versionUUID)
    {
        auto known = m_known.constFind(vrnTextIdentity(versionUUID));
        if (known == m_known.constEnd()) {
            VrnShaderNetworkManager& networkManager = VrnShaderNetworkManager::instance();
            const bool exists = networkManager.versionUUIDExists(versionUUID);
            known = m_known.insert(vrnTextIdentity(versionUUID),
                                   qMakePair(exists, exists ? networkManager.pathKeyForVersionUUID(versionUUID) : QString()));
            m_uuids.append(versionUUID); // keeps the characters, and so the identity, alive
        }
        return known.value().first ? &known.value().second : nullptr;
    }

private:
    QHash<VrnTextIdentity, QPair<bool, QString>> m_known;
    QStringList m_uuids;
};

// The analysis of a version hash for the node's stage. Only the last node of
// a version hash and stage is analysed: a later one would replace every
// entry an earlier one's analysis wrote.
void recordAnalysis(Info& r, VrnSnBaseGlslContext* c, const QString& versionHash)
{
    const VrnSnNodeGlslInfo info = VrnSnGlslContextManager::analyzeContext(c);
    const unsigned stage = c->shaderType();
    QMap<unsigned, VrnSnNodeGlslInfo>& byType = r.VersionHashGlslInfoMap[versionHash];
    if (stage != VrnShaderType::AllStages) {
        byType[stage] = info;
        return;
    }
    // The vertex stage runs no networks.
    for (unsigned type : {VrnShaderType::AllStages, VrnShaderType::Fragment, VrnShaderType::TessEvaluation, VrnShaderType::TessControl})
        byType[type] = info;
}

// The cube-map files the node reads.
void recordCubemapFiles(Info& r, const VrnSnBaseNode* node)
{
    for (const VrnCustomAttribute& attribute : node->userAttributes()) {
        const QVariant& value = attribute.value();
        if (value.userType() == vrnAttributeMetaTypes().fileList) {
            const VrnFileList files = value.value<VrnFileList>();
            if (!files.isEmpty())
                r.CubemapFiles.insert(files.files().first());
        }
    }
}

// The version hash's variant and the variant's enum texts.
void recordVariant(Info& r, const VrnSnBaseNode* node, const QString& versionHash, const QString& variantKey)
{
    r.UsedVersionHashes.insert(versionHash);
    QHash<QString, QString> enumTexts;
    for (const VrnCustomAttribute& attribute : node->userAttributes())
        if (isEnumVariant(attribute.value()))
            enumTexts.insert(attribute.name(), attribute.value().value<VrnUserEnum>().getCurrentEnumString());
    r.VersionHashVariants[versionHash].insert(variantKey);
    r.VariantEnumValues[variantKey] = enumTexts;
}
} // namespace

void VrnSnGlslCodeGenerator_Style5::resetShaderTypeInfo(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    r.InstructionList.clear();
    r.UniformLocationMap.clear();
    r.UniformsToUpdateEveryFrame.clear();
    r.FloatUniforms.clear();
    r.Vec4Uniforms.clear();
    r.BlockUniforms.clear();
}

QString VrnSnGlslCodeGenerator_Style5::variantKeyOf(const VrnSnBaseNode* node)
{
    QString key;
    if (!node)
        return key;
    // The enum attributes in name order (names are unique on a node).
    QVarLengthArray<const VrnCustomAttribute*, 8> enums;
    for (const VrnCustomAttribute& attribute : node->userAttributes())
        if (isEnumVariant(attribute.value()))
            enums.append(&attribute);
    std::sort(enums.begin(), enums.end(), [](const VrnCustomAttribute* a, const VrnCustomAttribute* b) { return a->name() < b->name(); });
    for (const VrnCustomAttribute* attribute : enums)
        key += QLatin1Char('_') + attribute->name() + attribute->value().value<VrnUserEnum>().getCurrentEnumString();
    return key;
}

void VrnSnGlslCodeGenerator_Style5::gatherNodeInfo(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    r.CubemapFiles.clear();
    numberContexts(r);
    // What a node records of its version hash (path key, source, encryption,
    // analysis) replaces what an earlier node of that hash recorded: only the
    // last node that writes an entry is asked for it. The nodes of a kind
    // share their hash's characters and are told apart by that identity;
    // equal hashes with characters of their own each keep their last node,
    // and those write in order, so the last of them all still decides.
    QHash<QPair<VrnTextIdentity, unsigned>, int> lastOfStage; // analysed
    QHash<VrnTextIdentity, int> lastOfHash;                   // source and encryption
    QHash<VrnTextIdentity, int> lastWithPathKey;              // path key, where the manager knows the uuid
    PathKeys pathKeys;
    const VrnReadAhead ahead(r.Contexts);
    for (int i = 0; i < r.Contexts.size(); ++i) {
        ahead.reach(i);
        VrnSnBaseGlslContext* c = r.Contexts.at(i);
        VrnSnBaseNode* node = c ? c->parentNode() : nullptr;
        if (!node)
            continue;
        const VrnTextIdentity hash = vrnTextIdentity(node->versionHashPresent(false));
        lastOfStage.insert(qMakePair(hash, c->shaderType()), i);
        lastOfHash.insert(hash, i);
        if (pathKeys.of(node->versionUUID()))
            lastWithPathKey.insert(hash, i);
    }
    // The plain variant (no enums, so no enum texts) of a version hash is
    // recorded once per identity of its hash: recording it again changes nothing.
    QSet<VrnTextIdentity> plainVariantRecorded;
    for (int i = 0; i < r.Contexts.size(); ++i) {
        ahead.reach(i);
        VrnSnBaseGlslContext* c = r.Contexts.at(i);
        VrnSnBaseNode* node = c ? c->parentNode() : nullptr;
        if (!node)
            continue;
        const QString versionHash = node->versionHashPresent(false);
        const VrnTextIdentity hash = vrnTextIdentity(versionHash);
        const QString variantKey = variantKeyOf(node);
        const int place = placeOf(r, c);
        if (place >= 0) {
            r.ContextVersionHash[place] = versionHash;
            r.ContextVariantKey[place] = variantKey;
            r.ContextFactsByNumber[place].versionRecorded = true;
        }
        if (lastWithPathKey.value(hash, -1) == i)
            r.NodePathKeys[versionHash] = *pathKeys.of(node->versionUUID());
        if (lastOfHash.value(hash, -1) == i) {
            r.VersionHashSources[versionHash] = node->versionHashSource();
            r.VersionHashEncrypted[versionHash] = node->isEncrypted();
        }
        if (lastOfStage.value(qMakePair(hash, c->shaderType()), -1) == i)
            recordAnalysis(r, c, versionHash);
        const Info::ChannelReads contextInfo = contextInfoOf(r, c);
        // Node function 0 shows what a cache or baked channel holds.
        if (contextInfo.readsCache || contextInfo.readsBakedChannel)
            continue;
        recordCubemapFiles(r, node);
        if (!variantKey.isEmpty() || !plainVariantRecorded.contains(hash)) {
            recordVariant(r, node, versionHash, variantKey);
            if (variantKey.isEmpty())
                plainVariantRecorded.insert(hash);
        }
    }
}

void VrnSnGlslCodeGenerator_Style5::gatherRevalEntries(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    int counter = 0;
    for (auto it = r.VersionHashGlslInfoMap.constBegin(); it != r.VersionHashGlslInfoMap.constEnd(); ++it) {
        if (!r.UsedVersionHashes.contains(it.key()))
            continue;
        const QMap<unsigned, VrnSnNodeGlslInfo>& byType = it.value();
        const VrnSnNodeGlslInfo info = byType.contains(r.ShaderType) ? byType.value(r.ShaderType)
                                                                     : byType.value(VrnShaderType::AllStages);
        for (const VrnSnGlslRevalInfo& reval : info.revalInfo)
            r.RevalInfoMap[it.key()].append(ShaderTypeInfo::RevalEntry{reval.placeholder, reval.inputName, reval.u, reval.v, counter++});
    }
}
