#pragma once

// Value classes of custom attributes. Each is a registered Qt meta-type under its
// class name, so that a QVariant can carry it and be converted back.

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

namespace Wm3 {
template <class Real> struct Vector2
{
    Real x = 0, y = 0;
    Vector2() = default;
    Vector2(Real a, Real b) : x(a), y(b) {}
    bool operator==(const Vector2& o) const { return x == o.x && y == o.y; }
};
template <class Real> struct Vector3
{
    Real x = 0, y = 0, z = 0;
    Vector3() = default;
    Vector3(Real a, Real b, Real c) : x(a), y(b), z(c) {}
    bool operator==(const Vector3& o) const { return x == o.x && y == o.y && z == o.z; }
};
template <class Real> struct Vector4
{
    Real x = 0, y = 0, z = 0, w = 0;
    Vector4() = default;
    Vector4(Real a, Real b, Real c, Real d) : x(a), y(b), z(c), w(d) {}
    bool operator==(const Vector4& o) const { return x == o.x && y == o.y && z == o.z && w == o.w; }
};
} // namespace Wm3

using Vector2f = Wm3::Vector2<float>;
using Vector3f = Wm3::Vector3<float>;
using Vector4f = Wm3::Vector4<float>;

struct VrnColor
{
    float r = 0, g = 0, b = 0, a = 1;
    VrnColor() = default;
    VrnColor(float red, float green, float blue, float alpha = 1) : r(red), g(green), b(blue), a(alpha) {}
    bool operator==(const VrnColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// A list of strings with one current entry.
class VrnStringList
{
public:
    VrnStringList() = default;
    explicit VrnStringList(const QStringList& strings, int current = -1) : m_strings(strings), m_current(current) {}

    void append(const QString& s) { m_strings.append(s); }
    // Makes the entry current; appends it when it is not in the list yet.
    void setCurrentString(const QString& s);
    QString currentString() const { return m_current >= 0 && m_current < m_strings.size() ? m_strings.at(m_current) : QString(); }
    int currentIndex() const { return m_current; }
    const QStringList& strings() const { return m_strings; }
    bool operator==(const VrnStringList& o) const { return m_strings == o.m_strings && m_current == o.m_current; }

private:
    QStringList m_strings;
    int m_current = -1;
};

// An enumeration chosen by the user. A blend-mode enum selects how two layers mix.
class VrnUserEnum
{
public:
    VrnUserEnum() = default;
    VrnUserEnum(const QStringList& options, int current, bool blendMode = false)
        : m_options(options), m_current(current), m_blendMode(blendMode) {}

    QString getCurrentEnumString() const { return m_current >= 0 && m_current < m_options.size() ? m_options.at(m_current) : QString(); }
    int currentIndex() const { return m_current; }
    bool setCurrentEnumString(const QString& s);
    const QStringList& options() const { return m_options; }
    bool isBlendMode() const { return m_blendMode; }
    bool operator==(const VrnUserEnum& o) const { return m_options == o.m_options && m_current == o.m_current && m_blendMode == o.m_blendMode; }

private:
    QStringList m_options;
    int m_current = -1;
    bool m_blendMode = false;
};

// A list of files of one type (type 1 holds the faces of cube maps).
class VrnFileList
{
public:
    explicit VrnFileList(int type = 0, const QStringList& files = {}) : m_type(type), m_files(files) {}
    int type() const { return m_type; }
    const QStringList& files() const { return m_files; }
    bool isEmpty() const { return m_files.isEmpty(); }
    bool operator==(const VrnFileList& o) const { return m_type == o.m_type && m_files == o.m_files; }

private:
    int m_type;
    QStringList m_files;
};

// A list of paint channels by name.
class VrnImageList
{
public:
    VrnImageList() = default;
    explicit VrnImageList(const QStringList& channels) : m_channels(channels) {}
    const QStringList& channels() const { return m_channels; }
    bool operator==(const VrnImageList& o) const { return m_channels == o.m_channels; }

private:
    QStringList m_channels;
};

// A colour ramp, either baked into a shared atlas or given its own 1D texture.
class VrnGradient
{
public:
    VrnGradient(int size = 100, int type = 0, bool atlas = false) : m_size(size), m_type(type), m_atlas(atlas) {}
    int size() const { return m_size; }
    int type() const { return m_type; }
    bool useAtlas() const { return m_atlas; }
    bool operator==(const VrnGradient& o) const { return m_size == o.m_size && m_type == o.m_type && m_atlas == o.m_atlas; }

private:
    int m_size;
    int m_type;
    bool m_atlas;
};

// A reference to a paint channel by name, or to the project's current channel.
class VrnChannelId
{
public:
    static QString currentChannelText() { return QStringLiteral("Current Channel"); }

    VrnChannelId() = default;
    explicit VrnChannelId(const QString& channelName) : m_channelName(channelName) {}
    const QString& channelName() const { return m_channelName; }
    bool isCurrentChannel() const { return m_channelName == currentChannelText(); }
    bool operator==(const VrnChannelId& o) const { return m_channelName == o.m_channelName; }

private:
    QString m_channelName;
};

// Scene locators handed to a node: either points (vec3) or transforms (mat4x4).
class VrnLocatorList
{
public:
    VrnLocatorList() = default;
    VrnLocatorList(const QString& glslType, const QVector<float>& values) : m_glslType(glslType), m_values(values) {}
    const QString& glslType() const { return m_glslType; }
    const QVector<float>& values() const { return m_values; }
    bool operator==(const VrnLocatorList& o) const { return m_glslType == o.m_glslType && m_values == o.m_values; }

private:
    QString m_glslType;
    QVector<float> m_values;
};

Q_DECLARE_METATYPE(Vector2f)
Q_DECLARE_METATYPE(Vector3f)
Q_DECLARE_METATYPE(Vector4f)
Q_DECLARE_METATYPE(VrnColor)
Q_DECLARE_METATYPE(VrnStringList)
Q_DECLARE_METATYPE(VrnUserEnum)
Q_DECLARE_METATYPE(VrnFileList)
Q_DECLARE_METATYPE(VrnImageList)
Q_DECLARE_METATYPE(VrnGradient)
Q_DECLARE_METATYPE(VrnChannelId)
Q_DECLARE_METATYPE(VrnLocatorList)

// Meta-type ids of the value classes, registered under their class names on first use.
struct VrnAttributeMetaTypes
{
    int vector2f, vector3f, vector4f, color, stringList, userEnum, fileList, imageList, gradient, channelId, locatorList;
};
const VrnAttributeMetaTypes& vrnAttributeMetaTypes();
