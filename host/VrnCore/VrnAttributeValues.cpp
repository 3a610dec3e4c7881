#include "VrnAttributeValues.h"

void VrnStringList::setCurrentString(const QString& s)
{
    int index = m_strings.indexOf(s);
    if (index < 0) {
        m_strings.append(s);
        index = m_strings.size() - 1;
    }
    m_current = index;
}

bool VrnUserEnum::setCurrentEnumString(const QString& s)
{
    const int index = m_options.indexOf(s);
    if (index < 0)
        return false;
    m_current = index;
    return true;
}

namespace {
template <class T> int registerWithComparators(const char* name)
{
    const int id = qRegisterMetaType<T>(name);
    if (!QMetaType::hasRegisteredComparators<T>())
        QMetaType::registerEqualsComparator<T>();
    return id;
}

VrnAttributeMetaTypes registerAll()
{
    VrnAttributeMetaTypes t;
    t.vector2f = registerWithComparators<Vector2f>("Vector2f");
    t.vector3f = registerWithComparators<Vector3f>("Vector3f");
    t.vector4f = registerWithComparators<Vector4f>("Vector4f");
    t.color = registerWithComparators<VrnColor>("VrnColor");
    t.stringList = registerWithComparators<VrnStringList>("VrnStringList");
    t.userEnum = registerWithComparators<VrnUserEnum>("VrnUserEnum");
    t.fileList = registerWithComparators<VrnFileList>("VrnFileList");
    t.imageList = registerWithComparators<VrnImageList>("VrnImageList");
    t.gradient = registerWithComparators<VrnGradient>("VrnGradient");
    t.channelId = registerWithComparators<VrnChannelId>("VrnChannelId");
    t.locatorList = registerWithComparators<VrnLocatorList>("VrnLocatorList");
    // Attribute texts: a channel reference reads as its channel name, lists and
    // enums as their current entry.
    QMetaType::registerConverter<VrnChannelId, QString>([](const VrnChannelId& v) { return v.channelName(); });
    QMetaType::registerConverter<VrnStringList, QString>([](const VrnStringList& v) { return v.currentString(); });
    QMetaType::registerConverter<VrnUserEnum, QString>([](const VrnUserEnum& v) { return v.getCurrentEnumString(); });
    return t;
}
} // namespace

const VrnAttributeMetaTypes& vrnAttributeMetaTypes()
{
    static const VrnAttributeMetaTypes types = registerAll();
    return types;
}

namespace {
// Registered when the library loads, so values read from any plug-in convert.
const int registeredAtLoad = (vrnAttributeMetaTypes(), 0);
} // namespace
