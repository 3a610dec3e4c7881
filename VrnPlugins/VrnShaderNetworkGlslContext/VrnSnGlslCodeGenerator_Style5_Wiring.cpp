// Style 5, wiring and storage slots: how many inputs read each output, and
// per entry the wiring block that tells its node function where its inputs
// lie, where its re-evaluated inputs' sub-lists start and where to write its
// outputs. A slot is freed when its last reader has been wired.

#include "VrnSnGlslCodeGenerator_Style5.h"

#include "VrnReadAhead.h"
#include "VrnSnBaseGlslContext.h"
#include "VrnSnGlslLog.h"
#include "VrnSnGlslStyle5Steps.h"

#include <utility>

using namespace VrnSnGlslStyle5Steps;
using namespace VrnSnGlslLog::Style5Line;

namespace {
// One int per input (and its inverted flag): the slot of the producer's
// output, or -1 for the default input.
void wireInputs(Info& r, const Info::ContextEntry& e, const VrnSnNodeGlslInfo& info, int& cursor)
{
    VrnSnBaseGlslContext* c = e.context;
    VrnSnBaseNode* node = c->parentNode();
    for (const QString& input : info.inputs) {
        Point resolved;
        const Point* supplier = inputSupplier(r, c, node, input, resolved);
        if (!supplier) {
            setAt(r.WiringList, cursor, kDefaultInput);
        } else {
            // Only a producer wired earlier in the same list has a slot;
            // without one the input keeps -9999 and reads its default.
            const Info::StorageIdentity key = storageIdentity(*supplier, e);
            if (const int* slot = r.StorageSlotByOutput.find(key)) {
                const int storageSlot = *slot;
                setAt(r.WiringList, cursor, storageSlot);
                if (--r.RemainingConsumers[key] == 0) {
                    r.FreeStorageSlots.append(storageSlot);
                    if (storageSlot >= 0 && storageSlot < r.OutputBySlot.size())
                        r.OutputBySlot[storageSlot] = Info::StorageKey();
                    r.StorageSlotByOutput.remove(key);
                }
            }
        }
        ++cursor;
        // The host tags every input of a kind that declares it invertible,
        // so this slot lines up with the flag the node function reads.
        if (node->hasInputTag(input, QStringLiteral("_invertable"))) {
            setAt(r.WiringList, cursor, node->hasInputTag(input, QStringLiteral("_invert")) ? 1 : 0);
            ++cursor;
        }
    }
}

// Two ints per re-evaluated input: where its sub-list starts and the slot
// that holds the input's value after it ran.
void wireRevalInputs(Info& r, const Info::ContextEntry& e, int& cursor)
{
    VrnSnBaseGlslContext* c = e.context;
    if (!mayReevaluate(r, c))
        return;
    const QList<Info::RevalEntry> revals = r.RevalInfoMap.value(versionHashOf(r, c)); // const: iterating it copies nothing
    for (const Info::RevalEntry& reval : revals) {
        const Info::ListKey list(c, reval);
        const auto start = r.InstructionListStarts.constFind(list);
        if (start == r.InstructionListStarts.constEnd()) {
            setAt(r.WiringList, cursor, kNoSubList);
            setAt(r.WiringList, cursor + 1, kNoSubList);
            cursor += 2;
            continue;
        }
        setAt(r.WiringList, cursor, start.value());
        ++cursor;
        // The sub-list is wired now, while the slots live across this
        // entry are still taken, so that running it clobbers none of them.
        const QVector<int> members = r.EntriesByList.value(list);
        for (int member : members) {
            int memberCursor = r.WiringIndexByEntry.value(member);
            VrnSnGlslCodeGenerator_Style5::wireEntryAt(r, member, memberCursor);
        }
        if (!members.isEmpty()) {
            const Point point = resolvedConnection(r, c->parentNode(), reval.inputName);
            if (!point.node.isNull()) {
                if (const int* slot = r.StorageSlotByOutput.find(storageIdentity(point, r.ContextEntries.at(members.last()))))
                    setAt(r.WiringList, cursor, *slot);
            }
        }
        ++cursor;
    }
}

// One int per output: a free slot, or a new one; it stays taken until its
// last reader in the entry's list is wired.
void allocateOutputSlots(Info& r, const Info::ContextEntry& e, const VrnSnNodeGlslInfo& info, int& cursor)
{
    VrnSnBaseNode* node = e.context->parentNode();
    for (const QString& output : info.outputs) {
        // The point's own reference to the node is taken over: a new one
        // would look the node's counter up in its private part.
        Point point = node->outputPoint(output);
        const Info::StorageIdentity identity = storageIdentity(point, e);
        Info::StorageKey key;
        key.node = std::move(point.node);
        key.outputName = output;
        key.connectionKey = point.connectionKey; // the host keeps connectionKey(node, output)
        key.owner = e.owner;
        key.reval = e.reval;
        // Every slot is taken while none is free: the next is the one after them.
        int slot = 0;
        if (r.FreeStorageSlots.isEmpty()) {
            slot = r.OutputBySlot.size();
            r.OutputBySlot.append(std::move(key));
            ++r.StorageSlotCount;
        } else {
            slot = r.FreeStorageSlots.takeFirst();
            r.OutputBySlot[slot] = std::move(key);
        }
        r.StorageSlotByOutput.insert(identity, slot);
        r.RemainingConsumers.insert(identity, r.OutputConsumerCounts.value(identity.connectionKey, 0));
        setAt(r.WiringList, cursor, slot);
        ++cursor;
    }
}
} // namespace

int VrnSnGlslCodeGenerator_Style5::connectionKey(const VrnSnBaseNode* node, const QString& outputName)
{
    const QString text = QStringLiteral("%1.%2").arg(reinterpret_cast<quintptr>(node), 16, 16, QLatin1Char('0')).arg(outputName);
    return int(qHash(text, 0));
}

void VrnSnGlslCodeGenerator_Style5::countOutputConsumers(ShaderTypeInfo& r)
{
    if (!r.Ok)
        return;
    r.OutputConsumerCounts.clear();
    r.OutputConsumerCounts.reserve(r.Contexts.size()); // about one read output per context
    const VrnReadAhead ahead(r.Contexts);
    for (int place = 0; place < r.ContextEntries.size(); ++place) {
        ahead.reach(place);
        const ShaderTypeInfo::ContextEntry& e = r.ContextEntries.at(place);
        VrnSnBaseGlslContext* c = e.context;
        VrnSnBaseNode* node = c ? c->parentNode() : nullptr;
        if (!node || isCacheNode(r, c, node) || isBakeNode(r, c, node))
            continue;
        const VrnSnNodeGlslInfo& info = checkedInfo(r, c, node, kCountMissingHash, kCountMissingType);
        for (const QString& input : info.inputs) {
            Point resolved;
            if (const Point* supplier = inputSupplier(r, c, node, input, resolved))
                r.OutputConsumerCounts[supplier->connectionKey] += 1;
        }
    }
}

void VrnSnGlslCodeGenerator_Style5::wireEntry(ShaderTypeInfo& r, const ShaderTypeInfo::ContextEntry& e, int& cursor)
{
    if (e.isSeparator())
        return;
    for (int place = 0; place < r.ContextEntries.size(); ++place)
        if (r.ContextEntries.at(place) == e) {
            wireEntryAt(r, place, cursor);
            return;
        }
    wireEntryOnce(r, e, cursor);
}

void VrnSnGlslCodeGenerator_Style5::wireEntryAt(ShaderTypeInfo& r, int place, int& cursor)
{
    if (place < 0 || place >= r.ContextEntries.size() || r.ContextEntries.at(place).isSeparator())
        return;
    if (r.WiredEntries.size() < r.ContextEntries.size())
        r.WiredEntries.resize(r.ContextEntries.size());
    if (r.WiredEntries.at(place))
        return;
    r.WiredEntries[place] = true;
    wireEntryOnce(r, r.ContextEntries.at(place), cursor); // wiring appends no entry
}

void VrnSnGlslCodeGenerator_Style5::wireEntryOnce(ShaderTypeInfo& r, const ShaderTypeInfo::ContextEntry& e, int& cursor)
{
    VrnSnBaseGlslContext* c = e.context;
    VrnSnBaseNode* node = c->parentNode();
    if (!node)
        return;
    const VrnSnNodeGlslInfo& info = checkedInfo(r, c, node, kWireMissingHash, kWireMissingType);
    // Cache and bake nodes run node function 0, which only writes outputs.
    if (!isCacheNode(r, c, node) && !isBakeNode(r, c, node)) {
        wireInputs(r, e, info, cursor);
        wireRevalInputs(r, e, cursor);
    }
    allocateOutputSlots(r, e, info, cursor);
}
