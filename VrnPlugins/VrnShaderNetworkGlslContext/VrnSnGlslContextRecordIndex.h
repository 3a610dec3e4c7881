#pragma once

#include "VrnAddressNumbers.h"
#include "VrnSnBaseGlslCodeGenerator.h"

#include <memory>
#include <vector>

// While it lives, the records of one context-information map are found by
// place or by address instead of by a walk down the map's tree: a generator
// asks for a context's record several times per node, and at ten thousand
// nodes each walk meets a dozen scattered tree nodes. One index is current
// per thread; recordOf uses it for the map it was made for and the map itself
// otherwise.
//
// Generators ask for the records mostly in the order of the list: the
// context after the one asked for last is tried first, and only a context
// found elsewhere is looked up by address.
class VrnSnGlslContextRecordIndex
{
public:
    explicit VrnSnGlslContextRecordIndex(VrnSnGlslContextInfoMap& map);
    // From where the map's records lie, as the map was made (the map is not read).
    VrnSnGlslContextRecordIndex(VrnSnGlslContextInfoMap& map, VrnSnGlslRecordPlaces&& places);
    ~VrnSnGlslContextRecordIndex();
    VrnSnGlslContextRecordIndex(const VrnSnGlslContextRecordIndex&) = delete;
    VrnSnGlslContextRecordIndex& operator=(const VrnSnGlslContextRecordIndex&) = delete;

    // map[context]: a context without a record gets a default one, inserted.
    static VrnSnGlslCodeGeneratorContextInfo& recordOf(VrnSnGlslContextInfoMap& map, VrnSnBaseGlslContext* context);
    // The context's record in the map; null for a context without one.
    static const VrnSnGlslCodeGeneratorContextInfo* findRecord(const VrnSnGlslContextInfoMap& map, VrnSnBaseGlslContext* context);

private:
    // The thread's current index when it was made for the map and still holds its nodes; null otherwise.
    static VrnSnGlslContextRecordIndex* indexOf(const VrnSnGlslContextInfoMap& map);
    VrnSnGlslCodeGeneratorContextInfo& find(VrnSnBaseGlslContext* context);
    // The place of the context's record; -1 for a context without one.
    int placeOf(VrnSnBaseGlslContext* context);
    // Still the map's own nodes: a copy of the map shares them until the
    // next change detaches one side, which moves every record of the map.
    bool holdsTheMapsNodes() const;

    // The numbers by address, made when a context is first asked out of turn.
    VrnAddressNumbers& numbers();

    VrnSnGlslContextInfoMap& m_map;
    std::unique_ptr<VrnAddressNumbers> m_numbers;
    std::vector<VrnSnBaseGlslContext*> m_contexts;
    std::vector<VrnSnGlslCodeGeneratorContextInfo*> m_records;
    size_t m_last = 0; // the place asked for last
    bool m_asks = false; // reads ahead (VrnReadAhead): the map is long enough
    static constexpr size_t kRecordsAhead = 3;
    VrnSnGlslContextInfoMap::const_iterator m_first;
    VrnSnGlslContextRecordIndex* m_outer;
};
