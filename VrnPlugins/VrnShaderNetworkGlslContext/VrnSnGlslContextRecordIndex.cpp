#include "VrnSnGlslContextRecordIndex.h"

namespace {
thread_local VrnSnGlslContextRecordIndex* t_current = nullptr;
}

VrnSnGlslContextRecordIndex::VrnSnGlslContextRecordIndex(VrnSnGlslContextInfoMap& map)
    : m_map(map), m_numbers(size_t(map.size())), m_outer(t_current)
{
    m_records.reserve(size_t(map.size()));
    // begin() detaches a shared map first, so the records found are the map's own.
    for (auto it = map.begin(); it != map.end(); ++it) {
        m_numbers.insert(it.key(), int(m_records.size()));
        m_records.push_back(&it.value());
    }
    m_first = map.constBegin();
    t_current = this;
}

VrnSnGlslContextRecordIndex::~VrnSnGlslContextRecordIndex()
{
    t_current = m_outer;
}

VrnSnGlslCodeGeneratorContextInfo& VrnSnGlslContextRecordIndex::recordOf(VrnSnGlslContextInfoMap& map, VrnSnBaseGlslContext* context)
{
    if (t_current && &t_current->m_map == &map && t_current->holdsTheMapsNodes())
        return t_current->find(context);
    return map[context];
}

bool VrnSnGlslContextRecordIndex::holdsTheMapsNodes() const
{
    return m_map.isDetached() && m_map.constBegin() == m_first;
}

VrnSnGlslCodeGeneratorContextInfo& VrnSnGlslContextRecordIndex::find(VrnSnBaseGlslContext* context)
{
    const int number = m_numbers.numberOf(context);
    if (number >= 0)
        return *m_records[size_t(number)];
    VrnSnGlslCodeGeneratorContextInfo& inserted = m_map[context];
    m_numbers.insert(context, int(m_records.size()));
    m_records.push_back(&inserted);
    m_first = m_map.constBegin(); // a smaller address becomes the first node
    return inserted;
}
