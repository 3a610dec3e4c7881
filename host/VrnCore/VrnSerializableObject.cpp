#include "VrnSerializableObject.h"

#include "VrnTextIdentity.h"

#include <cstring>

namespace {
// The two hexadecimal characters of each byte value, as the UTF-16 pair they are in a QString.
struct HexPairs
{
    quint32 pair[256];
    constexpr HexPairs() : pair()
    {
        constexpr char hex[] = "0123456789abcdef";
        for (int b = 0; b < 256; ++b) {
            const quint32 high = quint32(hex[b >> 4]);
            const quint32 low = quint32(hex[b & 0xf]);
            pair[b] = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? high | low << 16 : high << 16 | low;
        }
    }
};
constexpr HexPairs kHexPairs;

// Written into a text of the final size, a byte at a time: QUuid::toString
// goes through a byte buffer and a Latin-1 conversion.
QString uuidText(const QUuid& uuid)
{
    QString text(38, Qt::Uninitialized);
    QChar* w = text.data();
    auto put = [&w](quint64 value, int bytes) {
        for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8) {
            std::memcpy(static_cast<void*>(w), &kHexPairs.pair[(value >> shift) & 0xff], sizeof(quint32));
            w += 2;
        }
    };
    *w++ = QLatin1Char('{');
    put(uuid.data1, 4);
    *w++ = QLatin1Char('-');
    put(uuid.data2, 2);
    *w++ = QLatin1Char('-');
    put(uuid.data3, 2);
    *w++ = QLatin1Char('-');
    put(quint64(uuid.data4[0]) << 8 | uuid.data4[1], 2);
    *w++ = QLatin1Char('-');
    quint64 node = 0;
    for (int i = 2; i < 8; ++i)
        node = node << 8 | uuid.data4[i];
    put(node, 6);
    *w++ = QLatin1Char('}');
    return text;
}
} // namespace

VrnSerializableObject::VrnSerializableObject(QObject* parent)
    : QObject(parent), m_uuid(QUuid::createUuid()), m_uuidText(uuidText(m_uuid))
{
}

VrnSerializableObject::~VrnSerializableObject() = default;

int VrnSerializableObject::indexOf(const QString& name) const
{
    // Most names asked for are the kind's own texts, shared with the
    // attributes made from them: the same characters, found without a compare.
    for (int i = 0; i < m_attributes.size(); ++i)
        if (vrnSameCharacters(m_attributes.at(i).name(), name))
            return i;
    for (int i = 0; i < m_attributes.size(); ++i)
        if (m_attributes.at(i).name() == name)
            return i;
    return -1;
}

bool VrnSerializableObject::exists(const QString& name) const
{
    return indexOf(name) >= 0;
}

VrnCustomAttribute VrnSerializableObject::userAttribute(const QString& name) const
{
    const int i = indexOf(name);
    return i >= 0 ? m_attributes.at(i) : VrnCustomAttribute();
}

const QVariant& VrnSerializableObject::userAttributeValue(const QString& name) const
{
    static const QVariant none;
    const int i = indexOf(name);
    return i >= 0 ? m_attributes.at(i).value() : none;
}

QStringList VrnSerializableObject::userAttributeNames() const
{
    QStringList names;
    names.reserve(m_attributes.size());
    for (const VrnCustomAttribute& a : m_attributes)
        names.append(a.name());
    return names;
}

bool VrnSerializableObject::createUserAttribute(const VrnCustomAttribute& attribute)
{
    if (!attribute.isValid() || exists(attribute.name()))
        return false;
    m_attributes.append(attribute);
    userAttributeEvent(AttributeEvent::Created, attribute.name());
    return true;
}

bool VrnSerializableObject::setUserAttribute(const QString& name, const QVariant& value, bool notify)
{
    const int i = indexOf(name);
    if (i < 0)
        return false;
    m_attributes[i].setValue(value);
    if (notify)
        userAttributeEvent(AttributeEvent::Changed, name);
    return true;
}

bool VrnSerializableObject::setUserAttributeFlags(const QString& name, int flags)
{
    const int i = indexOf(name);
    if (i < 0)
        return false;
    m_attributes[i].setFlags(flags);
    return true;
}

bool VrnSerializableObject::removeUserAttribute(const QString& name)
{
    const int i = indexOf(name);
    if (i < 0)
        return false;
    m_attributes.remove(i);
    userAttributeEvent(AttributeEvent::Removed, name);
    return true;
}

void VrnSerializableObject::moveUserAttribute(const QString& name, int index)
{
    const int from = indexOf(name);
    if (from >= 0 && index >= 0 && index < m_attributes.size())
        m_attributes.move(from, index);
}

void VrnSerializableObject::userAttributeEvent(AttributeEvent, const QString&) {}
