#include "VrnSnGlslContextRecordIndex.h"

#include "VrnReadAhead.h"

namespace {
thread_local VrnSnGlslContextRecordIndex* t_current = nullptr;
}

VrnSnGlslContextRecordIndex::VrnSnGlslContextRecordIndex(VrnSnGlslContextInfoMap& map)
    : VrnSnGlslContextRecordIndex(map, VrnSnGlslRecordPlaces())
{
}

VrnSnGlslContextRecordIndex::VrnSnGlslContextRecordIndex(VrnSnGlslContextInfoMap& map, VrnSnGlslRecordPlaces&& places)
    : m_map(map), m_contexts(std::move(places.contexts)), m_records(std::move(places.records)), m_outer(t_current)
{
    // (A map shared with a copy is not read through the index: see holdsTheMapsNodes.)
    if (m_contexts.size() != size_t(map.size()) || m_records.size() != m_contexts.size()) {
        // Not where this map's records lie: read from the map itself. begin()
        // detaches a shared map first, so the records found are the map's own.
        m_contexts.clear();
        m_records.clear();
        m_contexts.reserve(size_t(map.size()));
        m_records.reserve(size_t(map.size()));
        for (auto it = map.begin(); it != map.end(); ++it) {
            m_contexts.push_back(it.key());
            m_records.push_back(&it.value());
        }
    }
    m_first = map.constBegin();
    m_asks = VrnReadAhead::asksFor(qsizetype(m_records.size()));
    t_current = this;
}

VrnSnGlslContextRecordIndex::~VrnSnGlslContextRecordIndex()
{
    t_current = m_outer;
}

VrnSnGlslContextRecordIndex* VrnSnGlslContextRecordIndex::indexOf(const VrnSnGlslContextInfoMap& map)
{
    return t_current && &t_current->m_map == &map && t_current->holdsTheMapsNodes() ? t_current : nullptr;
}

VrnSnGlslCodeGeneratorContextInfo& VrnSnGlslContextRecordIndex::recordOf(VrnSnGlslContextInfoMap& map, VrnSnBaseGlslContext* context)
{
    if (VrnSnGlslContextRecordIndex* index = indexOf(map))
        return index->find(context);
    return map[context];
}

const VrnSnGlslCodeGeneratorContextInfo* VrnSnGlslContextRecordIndex::findRecord(const VrnSnGlslContextInfoMap& map,
                                                                                VrnSnBaseGlslContext* context)
{
    if (VrnSnGlslContextRecordIndex* index = indexOf(map)) {
        const int place = index->placeOf(context);
        return place < 0 ? nullptr : index->m_records[size_t(place)];
    }
    const auto found = map.constFind(context);
    return found == map.constEnd() ? nullptr : &found.value();
}

bool VrnSnGlslContextRecordIndex::holdsTheMapsNodes() const
{
    return m_map.isDetached() && m_map.constBegin() == m_first;
}

VrnAddressNumbers& VrnSnGlslContextRecordIndex::numbers()
{
    if (!m_numbers) {
        m_numbers = std::make_unique<VrnAddressNumbers>(m_contexts.size());
        for (size_t k = 0; k < m_contexts.size(); ++k)
            m_numbers->insert(m_contexts[k], int(k));
    }
    return *m_numbers;
}

int VrnSnGlslContextRecordIndex::placeOf(VrnSnBaseGlslContext* context)
{
    const size_t before = m_last;
    const int place = vrnNumberInTurn(
        context, m_last, m_contexts.size(), [this](size_t k) { return m_contexts[k]; },
        [this](const void* address) { return numbers().numberOf(address); });
    // A pass that moves on to the next record asks for one a few places
    // further: at many thousand contexts the map's nodes lie far apart and
    // out of the caches.
    if (place >= 0 && size_t(place) == before + 1 && m_asks && size_t(place) + kRecordsAhead < m_records.size())
        VrnReadAhead::askLines(m_records[size_t(place) + kRecordsAhead], sizeof(VrnSnGlslCodeGeneratorContextInfo));
    return place;
}

VrnSnGlslCodeGeneratorContextInfo& VrnSnGlslContextRecordIndex::find(VrnSnBaseGlslContext* context)
{
    const int place = placeOf(context);
    if (place >= 0)
        return *m_records[size_t(place)];
    VrnSnGlslCodeGeneratorContextInfo& inserted = m_map[context];
    m_numbers->insert(context, int(m_records.size()));
    m_contexts.push_back(context);
    m_records.push_back(&inserted);
    m_first = m_map.constBegin(); // a smaller address becomes the first node
    return inserted;
}
