#pragma once

#include "VrnSnGlslEmission.h"
#include "VrnSnGlslStyle5ShaderTypeInfo.h"

#include <QByteArray>
#include <QString>

// What the steps of a Style 5 build share: the sentinels of the int lists,
// the log prefixes and the queries on a record.
namespace VrnSnGlslStyle5Steps {
using Info = VrnSnGlslStyle5ShaderTypeInfo;
using Point = VrnSnBaseNode::ConnectionPoint;
using VrnSnGlslEmission::kCacheActive;

// Sentinels of the int lists; the interpreter stops a list at any negative instruction.
const int kUnwritten = -9999;
const int kSeparator = -1000;
const int kTerminator = -8888;
const int kDefaultInput = -1;
const int kNoSubList = -6000;

extern const char* const kMissingHashPrefix;
extern const char* const kMissingTypePrefix;

// "//--------------------------\n": around the head of every node function.
QString nodeFunctionBanner();

void logLine(int line, const QString& text);
QByteArray local8Bit(const QString& text);

// Numbers the record's contexts by their place and sizes the tables kept by
// place, unless that was done: the driver does it first, a record whose steps
// run without it gets it from the first step that writes such a table.
void numberContexts(Info& r);
// The context's place in the tables kept by place; -1 for a context without
// one. Inline, with the last answer kept: the steps ask for one entry's
// context many times in a row, and then mostly for the next context of the
// list, which is tried before the table by address.
inline int placeOf(const Info& r, const VrnSnBaseGlslContext* c)
{
    Info::PlaceAsked& last = r.LastPlaceAsked;
    if (!last.known || last.context != c) {
        const int next = last.known ? last.number + 1 : 0;
        const bool isNext = r.ContextsDistinct && next >= 0 && next < r.Contexts.size() && r.Contexts.at(next) == c;
        last = Info::PlaceAsked{true, c, isNext ? next : r.ContextNumbers.numberOf(c)};
    }
    return last.number < r.ContextFactsByNumber.size() ? last.number : -1;
}
// What the record keeps of a context by its place; null for a context without one.
inline const Info::ContextFacts* factsOf(const Info& r, const VrnSnBaseGlslContext* c)
{
    const int place = placeOf(r, c);
    return place >= 0 ? &r.ContextFactsByNumber.at(place) : nullptr;
}
// A context's version hash, variant key and parameter block (-1 for none);
// empty for a context without a place.
const QString& versionHashOf(const Info& r, const VrnSnBaseGlslContext* c);
const QString& variantKeyOf(const Info& r, const VrnSnBaseGlslContext* c);
int parameterIndexOf(const Info& r, const VrnSnBaseGlslContext* c);
// The key of a node function in the record's node-function tables.
inline QString nodeFunctionKey(const QString& versionHash, const QString& variantKey)
{
    return versionHash + variantKey;
}
// Whether a context's record has it read its cache or baked channel; a
// context without a record reads neither (none is inserted).
Info::ChannelReads contextInfoOf(const Info& r, VrnSnBaseGlslContext* c);
// What an input reads: through the shader type's aliases, and through any
// pass-through node they do not name.
Point resolvedConnection(const Info& r, const VrnSnBaseNode* node, const QString& inputName);
// What an input of the context's node reads, for the steps that ask whether
// it takes its default and, if not, what supplies it: null for the default.
// The input is looked up once; a connection that no alias names and no
// pass-through node forwards is its own supplier, anything else is worked
// out into `resolved`.
const Point* inputSupplier(const Info& r, VrnSnBaseGlslContext* c, const VrnSnBaseNode* node, const QString& input, Point& resolved);
// A node whose outputs come from its cache channels.
bool isCacheNode(const Info& r, VrnSnBaseGlslContext* c, const VrnSnBaseNode* node);
// A bake point whose output comes from its baked channel.
bool isBakeNode(const Info& r, VrnSnBaseGlslContext* c, VrnSnBaseNode* node);
// The node's analysis for the record's stage. Missing entries are logged at
// the two lines given and read as an empty analysis. The reference lasts
// while the record's analyses are not changed.
const VrnSnNodeGlslInfo& checkedInfo(const Info& r, const QString& versionHash, const VrnSnBaseNode* node, int hashLine, int typeLine);
// The same for a context's version hash.
const VrnSnNodeGlslInfo& checkedInfo(Info& r, VrnSnBaseGlslContext* c, const VrnSnBaseNode* node, int hashLine, int typeLine);
// Keeps each context's analysis for the record's stage in its facts,
// once the analyses are gathered and before the steps that read them.
void keepStageInfos(Info& r);
// False when the context's kept analysis has no re-evaluated input: its
// version hash then has no entries in RevalInfoMap, which need not be searched.
bool mayReevaluate(const Info& r, VrnSnBaseGlslContext* c);
int outputCount(const Info& r, VrnSnBaseGlslContext* c);
// Writes value at index when the index lies in the list.
void setAt(QVector<int>& list, int index, int value);
// What identifies the storage key of a producer's output as the entry's
// list sees it: all the slot tables look up.
Info::StorageIdentity storageIdentity(const Point& point, const Info::ContextEntry& entry);
} // namespace VrnSnGlslStyle5Steps
