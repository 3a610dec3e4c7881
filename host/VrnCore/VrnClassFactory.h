#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

// Creates objects of one class by name. Factories are registered once and owned
// by the registry for the rest of the process.
class VrnClassFactory : public QObject
{
    Q_OBJECT
public:
    explicit VrnClassFactory(QObject* parent = nullptr);
    ~VrnClassFactory() override;

    virtual QPointer<QObject> create(QObject* parent) = 0;
    virtual QString className() const = 0;
    virtual QString typeName() const = 0;

    // Takes ownership of the factory. A second factory for the same class name
    // is kept too; lookups answer with the latest one.
    static bool registerMe(VrnClassFactory* factory);

    // The latest factory registered for the class name, or null.
    static VrnClassFactory* factory(const QString& className);
    // Creates an object of the named class, or returns null when no factory knows it.
    static QPointer<QObject> createObject(const QString& className, QObject* parent);
    // Every factory in registration order (duplicates included).
    static QList<VrnClassFactory*> registeredFactories();
};
