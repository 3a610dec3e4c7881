#pragma once

#include "VrnAddressNumbers.h"
#include "VrnSnBaseGlslCodeGenerator.h"

#include <vector>

// While it lives, the records of one context-information map are found by
// address instead of by a walk down the map's tree: a generator asks for a
// context's record several times per node, and at ten thousand nodes each
// walk meets a dozen scattered tree nodes. One index is current per thread;
// recordOf uses it for the map it was made for and the map itself otherwise.
class VrnSnGlslContextRecordIndex
{
public:
    explicit VrnSnGlslContextRecordIndex(VrnSnGlslContextInfoMap& map);
    ~VrnSnGlslContextRecordIndex();
    VrnSnGlslContextRecordIndex(const VrnSnGlslContextRecordIndex&) = delete;
    VrnSnGlslContextRecordIndex& operator=(const VrnSnGlslContextRecordIndex&) = delete;

    // map[context]: a context without a record gets a default one, inserted.
    static VrnSnGlslCodeGeneratorContextInfo& recordOf(VrnSnGlslContextInfoMap& map, VrnSnBaseGlslContext* context);

private:
    VrnSnGlslCodeGeneratorContextInfo& find(VrnSnBaseGlslContext* context);
    // Still the map's own nodes: a copy of the map shares them until the
    // next change detaches one side, which moves every record of the map.
    bool holdsTheMapsNodes() const;

    VrnSnGlslContextInfoMap& m_map;
    VrnAddressNumbers m_numbers;
    std::vector<VrnSnGlslCodeGeneratorContextInfo*> m_records;
    VrnSnGlslContextInfoMap::const_iterator m_first;
    VrnSnGlslContextRecordIndex* m_outer;
};
