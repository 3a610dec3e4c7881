#include "VrnSnGlslCodeGeneratorManager.h"

#include "VrnMutexLocker.h"

VrnSnGlslCodeGeneratorManager& VrnSnGlslCodeGeneratorManager::instance()
{
    static VrnSnGlslCodeGeneratorManager* manager = new VrnSnGlslCodeGeneratorManager;
    return *manager;
}

bool VrnSnGlslCodeGeneratorManager::registerCodeGenerator(const QString& name, VrnSnBaseGlslCodeGenerator* generator)
{
    VrnMutexLocker lock(&m_mutex);
    if (name.isEmpty() || !generator)
        return false;
    for (const auto& entry : m_generators)
        if (entry.first == name)
            return false;
    m_generators.append(qMakePair(name, generator));
    return true;
}

VrnSnBaseGlslCodeGenerator* VrnSnGlslCodeGeneratorManager::codeGenerator(const QString& name) const
{
    VrnMutexLocker lock(&m_mutex);
    for (const auto& entry : m_generators)
        if (entry.first == name)
            return entry.second;
    return nullptr;
}

QStringList VrnSnGlslCodeGeneratorManager::codeGeneratorNames() const
{
    VrnMutexLocker lock(&m_mutex);
    QStringList names;
    for (const auto& entry : m_generators)
        names.append(entry.first);
    return names;
}
