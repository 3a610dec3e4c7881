#include "VrnSerializableObject.h"

VrnSerializableObject::VrnSerializableObject(QObject* parent) : QObject(parent), m_uuid(QUuid::createUuid()) {}

VrnSerializableObject::~VrnSerializableObject() = default;

QString VrnSerializableObject::uuidString() const
{
    // Written into a text of the final size: QUuid::toString goes through a
    // byte buffer and a Latin-1 conversion, and builds ask for every node's.
    static const char hex[] = "0123456789abcdef";
    QString text(38, Qt::Uninitialized);
    QChar* w = text.data();
    auto put = [&w](quint64 value, int digits) {
        for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
            *w++ = QLatin1Char(hex[(value >> shift) & 0xf]);
    };
    *w++ = QLatin1Char('{');
    put(m_uuid.data1, 8);
    *w++ = QLatin1Char('-');
    put(m_uuid.data2, 4);
    *w++ = QLatin1Char('-');
    put(m_uuid.data3, 4);
    *w++ = QLatin1Char('-');
    put(quint64(m_uuid.data4[0]) << 8 | m_uuid.data4[1], 4);
    *w++ = QLatin1Char('-');
    quint64 node = 0;
    for (int i = 2; i < 8; ++i)
        node = node << 8 | m_uuid.data4[i];
    put(node, 12);
    *w++ = QLatin1Char('}');
    return text;
}

int VrnSerializableObject::indexOf(const QString& name) const
{
    // Most names asked for are the kind's own texts, shared with the
    // attributes made from them: the same characters, found without a compare.
    const QChar* const shared = name.constData();
    for (int i = 0; i < m_attributes.size(); ++i)
        if (m_attributes.at(i).name().constData() == shared && m_attributes.at(i).name().size() == name.size())
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
