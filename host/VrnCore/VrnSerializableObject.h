#pragma once

#include "VrnCustomAttribute.h"

#include <QObject>
#include <QStringList>
#include <QUuid>
#include <QVector>

// An object with an identity and ordered user attributes.
class VrnSerializableObject : public QObject
{
    Q_OBJECT
public:
    explicit VrnSerializableObject(QObject* parent = nullptr);
    ~VrnSerializableObject() override;

    bool exists(const QString& name) const;
    // A copy of the attribute; an invalid attribute when there is none of that name.
    VrnCustomAttribute userAttribute(const QString& name) const;
    // The attribute's value without copying the attribute; an invalid value
    // when there is none of that name. Valid until the attributes change.
    const QVariant& userAttributeValue(const QString& name) const;
    // Names in creation order, unless a subclass moves them.
    QStringList userAttributeNames() const;
    // The attributes themselves, in the same order: a walk over names and
    // values without a list made and a search per name.
    const QVector<VrnCustomAttribute>& userAttributes() const { return m_attributes; }
    // Adds the attribute; false when one of that name exists already.
    bool createUserAttribute(const VrnCustomAttribute& attribute);
    // Changes an existing attribute's value; false when there is none of that name.
    // With notify, subclasses hear of the change through userAttributeEvent.
    bool setUserAttribute(const QString& name, const QVariant& value, bool notify = true);
    bool setUserAttributeFlags(const QString& name, int flags);
    bool removeUserAttribute(const QString& name);

    const QUuid& uuid() const { return m_uuid; }
    // The uuid in braces, as QUuid::toString writes it. Made with the
    // object (the uuid never changes): builds ask for every node's, and
    // the shared text costs them no allocation.
    const QString& uuidString() const { return m_uuidText; }

protected:
    enum class AttributeEvent { Created, Changed, Removed };
    // Called after an attribute is created, changed (when notified) or removed.
    // The object's own notification operations, where a subclass has them,
    // take their turn from here.
    virtual void userAttributeEvent(AttributeEvent event, const QString& name);
    // Moves an existing attribute to the index in userAttributeNames() order.
    void moveUserAttribute(const QString& name, int index);

private:
    int indexOf(const QString& name) const;

    QUuid m_uuid;
    QString m_uuidText;
    QVector<VrnCustomAttribute> m_attributes;
};
