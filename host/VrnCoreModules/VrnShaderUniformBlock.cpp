#include "VrnShaderUniformBlock.h"

#include "VrnTextIdentity.h"

#include <algorithm>
#include <vector>

VrnShaderUniformBlock::VrnShaderUniformBlock(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

VrnShaderUniformBlock::VrnShaderUniformBlock(const QString& name, const QVector<int>& int0, const QVector<int>& int1,
                                             const QVector<int>& int2, const LocationMap& locations,
                                             const EveryFrameMap& everyFrame, const QVector<float>& floats,
                                             const QVector<Wm3::Vector4<float>>& vec4s, QObject* parent)
    : QObject(parent), m_name(name), m_floats(floats), m_vec4s(vec4s), m_locations(locations), m_everyFrame(everyFrame)
{
    m_int[0] = int0;
    m_int[1] = int1;
    m_int[2] = int2;
}

int VrnShaderUniformBlock::byteSize() const
{
    const qint64 elements = qint64(m_int[0].size()) + m_int[1].size() + m_int[2].size() + m_floats.size() + m_vec4s.size();
    const qint64 bytes = elements * kBytesPerElement;
    return bytes > INT_MAX ? INT_MAX : int(bytes);
}

namespace {
// A bake point's background switch, refreshed every frame when listed.
const QLatin1String kBakeBackground("limitBakeBackground");

Wm3::Vector4<float> asVec4(const QVariant& value, bool& ok)
{
    const VrnAttributeMetaTypes& t = vrnAttributeMetaTypes();
    ok = true;
    const int type = value.userType();
    if (type == t.vector2f) { const Vector2f v = value.value<Vector2f>(); return {v.x, v.y, 0, 0}; }
    if (type == t.vector3f) { const Vector3f v = value.value<Vector3f>(); return {v.x, v.y, v.z, 0}; }
    if (type == t.vector4f) { const Vector4f v = value.value<Vector4f>(); return {v.x, v.y, v.z, v.w}; }
    if (type == t.color) { const VrnColor c = value.value<VrnColor>(); return {c.r, c.g, c.b, c.a}; }
    ok = false;
    return {};
}
} // namespace

bool VrnShaderUniformBlock::setShaderUniformBlockUniform(VrnSurfaceShader*, const QString& uuid, const QString& attributeName, const QVariant& value)
{
    return keepAndWrite(Key(uuid, attributeName), value, nullptr);
}

bool VrnShaderUniformBlock::EveryFrameKeys::containsBackgroundSwitch(const Key& key)
{
    if (!m_gathered) {
        for (const Key& listed : m_map)
            if (listed.second == kBakeBackground)
                m_keys.insert(listed);
        m_gathered = true;
    }
    return m_keys.contains(key);
}

void VrnShaderUniformBlock::setShaderUniformBlockUniforms(VrnSurfaceShader*, const QMap<Key, QVariant>& values)
{
    EveryFrameKeys everyFrame(m_everyFrame);
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        keepAndWrite(it.key(), it.value(), &everyFrame);
}

namespace {
// The first eight UTF-16 units of a text as two numbers, missing units as 0:
// where the numbers of two texts differ, they order the texts as QString's
// operator< does; where they are equal, the texts themselves decide.
struct TextPrefix
{
    quint64 high = 0;
    quint64 low = 0;

    explicit TextPrefix(const QString& text)
    {
        const QChar* units = text.constData();
        const int size = text.size();
        for (int i = 0; i < 8; ++i) {
            quint64& half = i < 4 ? high : low;
            half = (half << 16) | (i < size ? units[i].unicode() : 0u);
        }
    }
    bool operator<(const TextPrefix& o) const { return high != o.high ? high < o.high : low < o.low; }
    bool operator==(const TextPrefix& o) const { return high == o.high && low == o.low; }
};
} // namespace

VrnShaderUniformBlock::FilledSlots::FilledSlots(const VrnShaderUniformBlock& block)
{
    for (int which = 0; which < 3; ++which)
        m_filled[Ints0 + which].resize(size_t(block.m_int[which].size()));
    m_filled[Floats].resize(size_t(block.m_floats.size()));
    m_filled[Vec4s].resize(size_t(block.m_vec4s.size()));
}

void VrnShaderUniformBlock::FilledSlots::fill(int array, int index, int count)
{
    std::vector<bool>& filled = m_filled[array];
    if (index < 0 || size_t(index) + size_t(count) > filled.size()) {
        m_clashed = true;
        return;
    }
    for (size_t i = size_t(index); i < size_t(index) + size_t(count); ++i) {
        m_clashed = m_clashed || filled[i];
        filled[i] = true;
    }
}

void VrnShaderUniformBlock::setShaderUniformBlockUniforms(VrnSurfaceShader*, const QHash<Key, QVariant>& values)
{
    // A block that holds no values yet ends up holding exactly these: it
    // shares the hash instead of inserting them one by one.
    if (m_values.isEmpty())
        m_values = values;
    else
        for (auto it = values.constBegin(); it != values.constEnd(); ++it)
            m_values.insert(it.key(), it.value());
    EveryFrameKeys everyFrame(m_everyFrame);
    // Each key has slots of its own in a block as the generators pack it:
    // then the hash's order gives what key order gives, without the sort.
    FilledSlots filled(*this);
    for (auto it = values.constBegin(); it != values.constEnd() && !filled.clashed(); ++it)
        writeUniform(it.key(), it.value(), &everyFrame, &filled);
    if (!filled.clashed())
        return;
    // Two keys share a slot: every value is written again, in key order.
    // The entries put in key order where they lie, rather than copied into a
    // map. Uuids differ early: their prefixes, read once per entry, decide
    // most comparisons without following the strings.
    struct Entry
    {
        TextPrefix uuid;
        QHash<Key, QVariant>::const_iterator it;
    };
    std::vector<Entry> ordered;
    ordered.reserve(size_t(values.size()));
    for (auto it = values.constBegin(); it != values.constEnd(); ++it)
        ordered.push_back(Entry{TextPrefix(it.key().first), it});
    // The attributes of one node share their uuid's characters: those are
    // ordered by name without comparing the uuids.
    std::sort(ordered.begin(), ordered.end(), [](const Entry& a, const Entry& b) {
        if (!(a.uuid == b.uuid))
            return a.uuid < b.uuid;
        const Key& x = a.it.key();
        const Key& y = b.it.key();
        if (vrnSameCharacters(x.first, y.first))
            return x.second < y.second;
        return x < y;
    });
    for (const Entry& entry : ordered)
        writeUniform(entry.it.key(), entry.it.value(), &everyFrame);
}

bool VrnShaderUniformBlock::keepAndWrite(const Key& key, const QVariant& value, EveryFrameKeys* everyFrameKeys)
{
    m_values.insert(key, value);
    return writeUniform(key, value, everyFrameKeys);
}

bool VrnShaderUniformBlock::writeUniform(const Key& key, const QVariant& value, EveryFrameKeys* everyFrameKeys, FilledSlots* filled)
{
    const QString& attributeName = key.second;
    const auto found = m_locations.constFind(key);
    if (found == m_locations.constEnd())
        return false;
    const Location location = found.value();
    const int index = location.second;
    if (index < 0)
        return false;
    const VrnAttributeMetaTypes& t = vrnAttributeMetaTypes();
    const int type = value.userType();
    const int intArray = qBound(0, location.first, 2);

    const auto fill = [&](int array, int count) {
        if (filled)
            filled->fill(array, index, count);
    };
    const int ints = FilledSlots::Ints0 + intArray;
    auto writeInt = [&](int v) {
        QVector<int>& array = m_int[intArray];
        if (index >= array.size())
            return false;
        array[index] = v;
        fill(ints, 1);
        return true;
    };
    // The background switch of a baked read sits in the vec4 array.
    const auto refreshedEveryFrame = [&] {
        return everyFrameKeys ? everyFrameKeys->containsBackgroundSwitch(key)
                              : std::find(m_everyFrame.cbegin(), m_everyFrame.cend(), key) != m_everyFrame.cend();
    };
    if (type == QMetaType::Bool && attributeName == kBakeBackground && refreshedEveryFrame()) {
        if (index >= m_vec4s.size())
            return false;
        m_vec4s[index] = Wm3::Vector4<float>(0, 0, 0, 0);
        fill(FilledSlots::Vec4s, 1);
        return true;
    }
    switch (type) {
    case QMetaType::Bool:
    case QMetaType::Int:
        return writeInt(value.toInt());
    case QMetaType::Float:
    case QMetaType::Double:
        if (index >= m_floats.size())
            return false;
        m_floats[index] = value.toFloat();
        fill(FilledSlots::Floats, 1);
        return true;
    default:
        break;
    }
    bool isVector = false;
    const Wm3::Vector4<float> v = asVec4(value, isVector);
    if (isVector) {
        if (index >= m_vec4s.size())
            return false;
        m_vec4s[index] = v;
        fill(FilledSlots::Vec4s, 1);
        return true;
    }
    if (type == t.userEnum)
        return writeInt(value.value<VrnUserEnum>().currentIndex());
    if (type == t.stringList && attributeName != QLatin1String("Channel"))
        return writeInt(value.value<VrnStringList>().currentIndex());
    if (type == t.gradient)
        return writeInt(0);
    if (type == t.channelId || type == t.stringList || type == QMetaType::QString) {
        // Resolved to a texture layer when the block is uploaded.
        m_channelReferences.insert(Location(intArray, index), value.toString());
        fill(ints, 1); // the kept entry's key
        return true;
    }
    if (type == t.fileList) {
        // A cube-map token: the sampler first, then 0. This host binds the
        // same black cube map to every sampler, so the first stands for any;
        // an empty list names none.
        if (index + 1 >= m_int[intArray].size())
            return false;
        const int sampler = value.value<VrnFileList>().isEmpty() ? -1 : 0;
        m_int[intArray][index] = sampler;
        m_int[intArray][index + 1] = sampler < 0 ? -1 : 0;
        fill(ints, 2);
        return true;
    }
    if (type == t.imageList) {
        if (index + 3 >= m_int[intArray].size())
            return false;
        m_imageListReferences.insert(Location(intArray, index), value.value<VrnImageList>().channels());
        fill(ints, 1);
        return true;
    }
    if (type == t.locatorList) {
        const VrnLocatorList locators = value.value<VrnLocatorList>();
        const int slotCount = locators.glslType() == QLatin1String("mat4x4") ? 8 : locators.glslType() == QLatin1String("vec3") ? 1 : 0;
        if (slotCount == 0 || index + slotCount > m_vec4s.size())
            return false;
        m_locatorLists.insert(index, locators);
        fill(FilledSlots::Vec4s, 1);
        return true;
    }
    return false;
}
