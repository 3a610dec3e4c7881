#pragma once

#include <QString>
#include <QVariant>

// One named, typed value of a serialisable object, with display flags.
class VrnCustomAttribute
{
public:
    enum Flag {
        Visible = 0x1,
        // The attribute's value was set by the application and is not yet
        // confirmed by the user (an expression set in code, for example).
        Pending = 0x2,
        Tweakable = 0x4,
    };

    VrnCustomAttribute() = default;
    VrnCustomAttribute(const QString& name, const QVariant& value, int flags = Visible | Tweakable)
        : m_name(name), m_value(value), m_flags(flags) {}

    const QString& name() const { return m_name; }
    const QVariant& value() const { return m_value; }
    void setValue(const QVariant& value) { m_value = value; }
    int flags() const { return m_flags; }
    void setFlags(int flags) { m_flags = flags; }
    bool isValid() const { return !m_name.isEmpty(); }

    // The value as text: a channel reference gives its channel name, an enum or a
    // string list its current entry, anything else QVariant's text.
    QString toString() const;

    void setVisible(bool on) { setFlag(Visible, on); }
    void setTweakable(bool on) { setFlag(Tweakable, on); }
    bool isVisible() const { return m_flags & Visible; }
    bool isTweakable() const { return m_flags & Tweakable; }

private:
    void setFlag(int flag, bool on) { m_flags = on ? (m_flags | flag) : (m_flags & ~flag); }

    QString m_name;
    QVariant m_value;
    int m_flags = Visible | Tweakable;
};
