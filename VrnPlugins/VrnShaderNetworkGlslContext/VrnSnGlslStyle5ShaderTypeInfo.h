#pragma once

#include "VrnAddressNumbers.h"
#include "VrnAttributeValues.h"
#include "VrnFlatHash.h"
#include "VrnShaderUniformBlock.h"
#include "VrnSnBaseGlslCodeGenerator.h"
#include "VrnSnBaseNode.h"
#include "VrnSnGlslNodeAliases.h"
#include "VrnSnNodeGlslInfo.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QPair>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVector>

class VrnSnBaseGlslContext;

// The working record of one shader type in a Style 5 build: what the steps
// learn about the contexts, the texts they write and the uniform data that
// the surface shader receives. A plain value; every container starts empty.
struct VrnSnGlslStyle5ShaderTypeInfo
{
    // One re-evaluated input of one node kind: the text its block replaces,
    // the input and the texture position it is evaluated at. The index is
    // unique within a record; -1 marks "no re-evaluation" (the main list).
    struct RevalEntry
    {
        QString placeholder;
        QString inputName;
        QString u;
        QString v;
        int index = -1;

        bool operator==(const RevalEntry& o) const;
        bool operator!=(const RevalEntry& o) const { return !(*this == o); }
    };

    // One instruction: a context evaluated in the list of owner's re-evaluated
    // input reval, or in the main list (null owner). A null context separates lists.
    struct ContextEntry
    {
        VrnSnBaseGlslContext* context = nullptr;
        VrnSnBaseGlslContext* owner = nullptr;
        RevalEntry reval;

        bool isSeparator() const { return context == nullptr; }
        bool operator==(const ContextEntry& o) const;
        bool operator!=(const ContextEntry& o) const { return !(*this == o); }
    };

    // Names one instruction list: (owner, re-evaluation entry).
    using ListKey = QPair<VrnSnBaseGlslContext*, RevalEntry>;

    // One allocated output: the producer and its point, in the list that
    // produced it. Identity is the connection key with the list.
    struct StorageKey
    {
        QPointer<VrnSnBaseNode> node;
        QString outputName;
        int connectionKey = 0;
        VrnSnBaseGlslContext* owner = nullptr;
        RevalEntry reval;

        bool operator==(const StorageKey& o) const;
        bool operator!=(const StorageKey& o) const { return !(*this == o); }
    };

    // What identifies a storage key in the slot tables: its connection key
    // and its list, the list's re-evaluation entry by its index, which is
    // unique within a record (equal entries share it).
    struct StorageIdentity
    {
        int connectionKey = 0;
        int revalIndex = -1;
        VrnSnBaseGlslContext* owner = nullptr;

        bool operator==(const StorageIdentity& o) const
        {
            return connectionKey == o.connectionKey && revalIndex == o.revalIndex && owner == o.owner;
        }
    };

    using UniformKey = QPair<QString, QString>; // node uuid, attribute name

    // What the steps read of a context's record, asked for many times per context.
    struct ChannelReads
    {
        bool readsCache = false;
        bool readsBakedChannel = false;
    };

    struct ContextFacts
    {
        ChannelReads reads;
        bool readsKept = false; // reads was filled from ContextInfoMap
        bool versionRecorded = false; // ContextVersionHash and ContextVariantKey hold its node's
        bool stageInfoKept = false;
        VrnSnNodeGlslInfo stageInfo;
    };

    unsigned ShaderType = 0;
    VrnSnGlslNodeAliases NodeAliases;
    QList<VrnSnBaseGlslContext*> Contexts;
    VrnSnGlslContextInfoMap ContextInfoMap;
    // What the steps ask of a context several times, kept by its place in
    // Contexts (ContextNumbers, the first place of a context listed twice) in
    // arrays rather than in a hash entry per context: the channels its record
    // reads, filled by the driver from ContextInfoMap, and its analysis for
    // this stage, kept once the analyses are gathered. Reads not kept are
    // looked up in the map; an analysis not kept, by version hash (and logged).
    VrnAddressNumbers ContextNumbers{0};
    bool ContextsDistinct = false; // no context listed twice: a context's place is its only one
    QVector<ContextFacts> ContextFactsByNumber;
    // The last context placed and its number: a step asks for one entry's
    // context several times in a row. A record belongs to one thread.
    struct PlaceAsked
    {
        bool known = false;
        const VrnSnBaseGlslContext* context = nullptr;
        int number = -1;
    };
    mutable PlaceAsked LastPlaceAsked;

    QString DeclarationCode;
    QString BodyCode;
    QString StateType;
    QString SystemStateType;
    QString StateStackType;
    QString UniformBlockName;

    QVector<ContextEntry> ContextEntries; // contiguous: one instruction each

    int NodeFuncCount = 0;
    int FloatCount = 0;
    int Vec4Count = 0;
    int StorageSlotCount = 0;

    // Per context, by its place (ContextNumbers); read through
    // versionHashOf, variantKeyOf and parameterIndexOf.
    QVector<QString> ContextVersionHash;
    QVector<QString> ContextVariantKey;
    QVector<int> ParameterIndexByContext; // -1: no parameter block
    // Per instruction and instruction list.
    // Entries are unique in ContextEntries: the per-entry tables are kept by
    // the entry's place there, and a list holds the places of its entries.
    QVector<int> WiringIndexByEntry;
    QHash<ListKey, int> InstructionListStarts;
    QHash<ListKey, QVector<int>> EntriesByList;
    // Storage slots of the outputs: filled per output and dropped with the
    // record, so their entries lie in one array each.
    VrnFlatHash<int, int> OutputConsumerCounts; // connection key -> inputs reading it
    VrnFlatHash<StorageIdentity, int> RemainingConsumers;
    VrnFlatHash<StorageIdentity, int> StorageSlotByOutput;
    QVector<StorageKey> OutputBySlot; // a free slot holds an empty key
    QList<int> FreeStorageSlots;
    QVector<bool> WiredEntries; // by place

    // Per version hash. The maps whose order reaches the shader text are
    // ordered by key, so that the text does not depend on hashing.
    QSet<QString> UsedVersionHashes;
    QMap<QString, QSet<QString>> VersionHashVariants;
    QHash<QString, QHash<QString, QString>> VariantEnumValues; // variant key -> attribute -> enum text
    QMap<QString, QList<RevalEntry>> RevalInfoMap;
    QMap<QString, QMap<unsigned, VrnSnNodeGlslInfo>> VersionHashGlslInfoMap; // shader type 0: every type
    QHash<QString, QString> VersionHashSources;
    QHash<QString, bool> VersionHashEncrypted;
    QHash<QString, QString> NodePathKeys;
    QSet<QString> RevalVersionHashes;

    // Node functions.
    QSet<int> RevalNodeFuncIndices;
    QHash<QString, int> NodeFuncIndexByKey; // key: version hash followed by variant key
    QHash<QString, int> NodeFuncParameterCount;
    QHash<QString, int> NodeFuncWiringCount;

    bool Ok = false;

    // The uniform block's data.
    QVector<int> InstructionList;
    QVector<int> WiringList;
    QVector<int> ParameterList;
    VrnShaderUniformBlock::LocationMap UniformLocationMap;
    VrnShaderUniformBlock::EveryFrameMap UniformsToUpdateEveryFrame;
    QVector<float> FloatUniforms;
    QVector<Wm3::Vector4<float>> Vec4Uniforms;
    QHash<UniformKey, QVariant> BlockUniforms; // written to the block in key order
    QSet<QString> CubemapFiles;
};

uint qHash(const VrnSnGlslStyle5ShaderTypeInfo::RevalEntry& entry, uint seed = 0);
uint qHash(const VrnSnGlslStyle5ShaderTypeInfo::StorageIdentity& key, uint seed = 0);
