#include "VrnClassFactory.h"

#include <QMutex>
#include "VrnMutexLocker.h"

#include <memory>
#include <vector>

namespace {
struct FactoryRegistry
{
    QMutex mutex;
    std::vector<std::unique_ptr<VrnClassFactory>> factories;
};

FactoryRegistry& registry()
{
    // Never destroyed: factories may be asked for objects while other statics unwind.
    static FactoryRegistry* instance = new FactoryRegistry;
    return *instance;
}
} // namespace

VrnClassFactory::VrnClassFactory(QObject* parent) : QObject(parent) {}

VrnClassFactory::~VrnClassFactory() = default;

bool VrnClassFactory::registerMe(VrnClassFactory* factory)
{
    if (!factory)
        return false;
    FactoryRegistry& r = registry();
    VrnMutexLocker lock(&r.mutex);
    for (const auto& known : r.factories)
        if (known.get() == factory)
            return false;
    r.factories.emplace_back(factory);
    return true;
}

VrnClassFactory* VrnClassFactory::factory(const QString& className)
{
    FactoryRegistry& r = registry();
    VrnMutexLocker lock(&r.mutex);
    for (auto it = r.factories.rbegin(); it != r.factories.rend(); ++it)
        if ((*it)->className() == className)
            return it->get();
    return nullptr;
}

QPointer<QObject> VrnClassFactory::createObject(const QString& className, QObject* parent)
{
    VrnClassFactory* f = factory(className);
    return f ? f->create(parent) : QPointer<QObject>();
}

QList<VrnClassFactory*> VrnClassFactory::registeredFactories()
{
    FactoryRegistry& r = registry();
    VrnMutexLocker lock(&r.mutex);
    QList<VrnClassFactory*> result;
    for (const auto& f : r.factories)
        result.append(f.get());
    return result;
}
